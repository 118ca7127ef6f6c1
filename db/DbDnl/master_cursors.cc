// The master-data download cursors over Kvn530Apg (joined with Kvn537Ksg),
// Kvn531Apl, Kvn521Ubg, Kvn510Prv and the cost centres.
//
// Each record's columns are described once here; the cursor's fetch lists
// them in select order.  A fetch reads into a copy of the caller's record,
// so the fields no cursor reads (ApgDat, AplDat, UbgDat, PrvDat) keep their
// content, and hands the copy back only on success.
#include "db/DbDnl/master_cursors.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sql/record.h"
#include "sql/sql.h"

namespace {

// --- Work groups.  ApgKst receives the cost centre KsgKst of the join.

enum : uint8_t {
  kApgApg, kApgBez, kApgTxt, kApgFbe, kApgKst, kApgApl, kApgTag, kApgKap,
  kApgPrd, kApgRst, kApgPau, kApgUnt, kApgIak, kApgSt1, kApgSt2, kApgSt3,
  kApgSf1, kApgSf2, kApgSf3, kApgZf1, kApgZf2, kApgZf3, kApgDna, kApgDwn,
  kApgSta, kApgErf,
};
#define F(name, type) SQL_FIELD(WorkGroupRecord, name, type)
const sql::Field kApgFields[] = {
    F(ApgApg, sql::kText), F(ApgBez, sql::kText), F(ApgTxt, sql::kText),
    F(ApgFbe, sql::kText), F(ApgKst, sql::kText), F(ApgApl, sql::kI32),
    F(ApgTag, sql::kI32),  F(ApgKap, sql::kF64),  F(ApgPrd, sql::kF64),
    F(ApgRst, sql::kF64),  F(ApgPau, sql::kF64),  F(ApgUnt, sql::kF64),
    F(ApgIak, sql::kF64),  F(ApgSt1, sql::kText), F(ApgSt2, sql::kText),
    F(ApgSt3, sql::kText), F(ApgSf1, sql::kF64),  F(ApgSf2, sql::kF64),
    F(ApgSf3, sql::kF64),  F(ApgZf1, sql::kText), F(ApgZf2, sql::kText),
    F(ApgZf3, sql::kText), F(ApgDna, sql::kText), F(ApgDwn, sql::kText),
    F(ApgSta, sql::kI16),  F(ApgErf, sql::kText),
};
#undef F
// The description is in select order: the cursor reads every field of it.
const uint8_t kApgOrder[] = {
    kApgApg, kApgBez, kApgTxt, kApgFbe, kApgKst, kApgApl, kApgTag, kApgKap,
    kApgPrd, kApgRst, kApgPau, kApgUnt, kApgIak, kApgSt1, kApgSt2, kApgSt3,
    kApgSf1, kApgSf2, kApgSf3, kApgZf1, kApgZf2, kApgZf3, kApgDna, kApgDwn,
    kApgSta, kApgErf,
};
constexpr int kApgCount = sizeof kApgOrder;
static_assert(kApgCount == 26);

// --- Workplaces.

enum : uint8_t {
  kAplApl, kAplBez, kAplTxt, kAplApg, kAplFbe, kAplSts, kAplSis, kAplApr,
  kAplAaf, kAplUbg, kAplUdt, kAplTag, kAplVrf, kAplRsp, kAplRsi, kAplAfp,
  kAplAfi, kAplPau, kAplUnt, kAplIak, kAplAvt, kAplKap, kAplAvr, kAplAvp,
  kAplSt1, kAplSt2, kAplSt3, kAplSf1, kAplSf2, kAplSf3, kAplZf1, kAplZf2,
  kAplZf3, kAplDna, kAplDwn, kAplSta, kAplErf,
};
#define F(name, type) SQL_FIELD(WorkplaceRecord, name, type)
const sql::Field kAplFields[] = {
    F(AplApl, sql::kText), F(AplBez, sql::kText), F(AplTxt, sql::kText),
    F(AplApg, sql::kText), F(AplFbe, sql::kText), F(AplSts, sql::kI16),
    F(AplSis, sql::kI16),  F(AplApr, sql::kI32),  F(AplAaf, sql::kI32),
    // AplUbg travels as a 5-byte text (at most 4 characters).
    sql::Field{sql::kText, static_cast<uint16_t>(offsetof(WorkplaceRecord, AplUbg)),
               5, 0, 0},
    F(AplUdt, sql::kText), F(AplTag, sql::kI32),  F(AplVrf, sql::kF64),
    F(AplRsp, sql::kF64),  F(AplRsi, sql::kF64),  F(AplAfp, sql::kF64),
    F(AplAfi, sql::kF64),  F(AplPau, sql::kF64),  F(AplUnt, sql::kF64),
    F(AplIak, sql::kF64),  F(AplAvt, sql::kI32),  F(AplKap, sql::kF64),
    F(AplAvr, sql::kF64),  F(AplAvp, sql::kF64),  F(AplSt1, sql::kText),
    F(AplSt2, sql::kText), F(AplSt3, sql::kText), F(AplSf1, sql::kF64),
    F(AplSf2, sql::kF64),  F(AplSf3, sql::kF64),  F(AplZf1, sql::kText),
    F(AplZf2, sql::kText), F(AplZf3, sql::kText), F(AplDna, sql::kText),
    F(AplDwn, sql::kText), F(AplSta, sql::kI16),  F(AplErf, sql::kText),
};
#undef F
const uint8_t kAplOrder[] = {
    kAplApl, kAplBez, kAplTxt, kAplApg, kAplFbe, kAplSts, kAplSis, kAplApr,
    kAplAaf, kAplUbg, kAplUdt, kAplTag, kAplVrf, kAplRsp, kAplRsi, kAplAfp,
    kAplAfi, kAplPau, kAplUnt, kAplIak, kAplAvt, kAplKap, kAplAvr, kAplAvp,
    kAplSt1, kAplSt2, kAplSt3, kAplSf1, kAplSf2, kAplSf3, kAplZf1, kAplZf2,
    kAplZf3, kAplDna, kAplDwn, kAplSta, kAplErf,
};
constexpr int kAplCount = sizeof kAplOrder;
static_assert(kAplCount == 37);

// --- Kvn521Ubg.

enum : uint8_t {
  kUbgUbg, kUbgKnz, kUbgFbe, kUbgBez, kUbgTxt, kUbgZf1, kUbgZf2, kUbgZf3,
  kUbgAst, kUbgRst, kUbgAsf, kUbgSt1, kUbgSt2, kUbgSt3, kUbgSf1, kUbgSf2,
  kUbgSf3, kUbgDna, kUbgDwn, kUbgSta, kUbgErf,
};
#define F(name, type) SQL_FIELD(UbgRecord, name, type)
const sql::Field kUbgFields[] = {
    F(UbgUbg, sql::kText), F(UbgKnz, sql::kI32),  F(UbgFbe, sql::kText),
    F(UbgBez, sql::kText), F(UbgTxt, sql::kText), F(UbgZf1, sql::kText),
    F(UbgZf2, sql::kText), F(UbgZf3, sql::kText), F(UbgAst, sql::kF64),
    F(UbgRst, sql::kF64),  F(UbgAsf, sql::kF64),  F(UbgSt1, sql::kText),
    F(UbgSt2, sql::kText), F(UbgSt3, sql::kText), F(UbgSf1, sql::kF64),
    F(UbgSf2, sql::kF64),  F(UbgSf3, sql::kF64),  F(UbgDna, sql::kText),
    F(UbgDwn, sql::kText), F(UbgSta, sql::kI32),  F(UbgErf, sql::kText),
};
#undef F
const uint8_t kUbgOrder[] = {
    kUbgUbg, kUbgKnz, kUbgFbe, kUbgBez, kUbgTxt, kUbgZf1, kUbgZf2, kUbgZf3,
    kUbgAst, kUbgRst, kUbgAsf, kUbgSt1, kUbgSt2, kUbgSt3, kUbgSf1, kUbgSf2,
    kUbgSf3, kUbgDna, kUbgDwn, kUbgSta, kUbgErf,
};
constexpr int kUbgCount = sizeof kUbgOrder;
static_assert(kUbgCount == 21);

// --- Kvn510Prv (PrvDat is read by no statement).

enum : uint8_t {
  kPrvPnr, kPrvGvo, kPrvGbi, kPrvBer, kPrvKst, kPrvFbe, kPrvMmb, kPrvZf1,
  kPrvZf2, kPrvZf3, kPrvSta, kPrvErf, kPrvDna, kPrvDwn, kPrvAwn, kPrvAwa,
  kPrvAnw, kPrvApl, kPrvApp, kPrvPzm, kPrvAvn, kPrvAbi, kPrvNam, kPrvStr,
  kPrvOrt,
};
#define F(name, type) SQL_FIELD(PrvRecord, name, type)
const sql::Field kPrvFields[] = {
    F(PrvPnr, sql::kText), F(PrvGvo, sql::kText), F(PrvGbi, sql::kText),
    F(PrvBer, sql::kI32),  F(PrvKst, sql::kText), F(PrvFbe, sql::kText),
    F(PrvMmb, sql::kText), F(PrvZf1, sql::kText), F(PrvZf2, sql::kText),
    F(PrvZf3, sql::kText), F(PrvSta, sql::kI32),  F(PrvErf, sql::kText),
    F(PrvDna, sql::kText), F(PrvDwn, sql::kText), F(PrvAwn, sql::kText),
    F(PrvAwa, sql::kI32),  F(PrvAnw, sql::kI32),  F(PrvApl, sql::kI32),
    F(PrvApp, sql::kI32),  F(PrvPzm, sql::kI32),  F(PrvAvn, sql::kText),
    F(PrvAbi, sql::kText), F(PrvNam, sql::kText), F(PrvStr, sql::kText),
    F(PrvOrt, sql::kText),
};
#undef F
// The column order of the table's cursors.
const uint8_t kPrvOrder[] = {
    kPrvPnr, kPrvGvo, kPrvGbi, kPrvBer, kPrvKst, kPrvFbe, kPrvMmb, kPrvZf1,
    kPrvZf2, kPrvZf3, kPrvDna, kPrvDwn, kPrvAwa, kPrvAwn, kPrvAnw, kPrvAvn,
    kPrvAbi, kPrvApl, kPrvApp, kPrvPzm, kPrvSta, kPrvErf, kPrvNam, kPrvStr,
    kPrvOrt,
};
constexpr int kPrvCount = sizeof kPrvOrder;
static_assert(kPrvCount == 25);

// --- Cost centres.

enum : uint8_t { kKstNum, kFbeFbe };
const sql::Field kKsgFields[] = {
    SQL_FIELD(KsgDnlRecord, KstNum, sql::kText),
    SQL_FIELD(KsgDnlRecord, FbeFbe, sql::kText),
};
const uint8_t kKsgOrder[] = {kKstNum, kFbeFbe};
constexpr int kKsgCount = sizeof kKsgOrder;

// The selector as bound: at most 8 characters.  A longer one is bound as
// NULL, which equals no marker, instead of being cut into another marker.
Text<9> SelectorOf(const char* selector) {
  Text<9> s;
  if (selector != nullptr && strnlen(selector, 9) < 9) s = selector;
  return s;
}

// Opens c on s with the selector as :b0.
int OpenWithSelector(sql::Cursor& c, sql::Stmt& s, const char* selector) {
  Text<9> sel = SelectorOf(selector);
  sql::Bind binds[] = {sql::BText(sel)};
  return sql::Open(c, s, binds, 1);
}

// Fetches the next row of c into a copy of rec and hands the copy back on 0.
template <typename Record, size_t N>
int FetchInto(sql::Cursor& c, Record& rec, const sql::Field* fields,
              const uint8_t (&order)[N]) {
  Record row = rec;
  sql::Out outs[N];
  sql::OutsOf(&row, fields, order, static_cast<int>(N), outs);
  int rc = sql::Fetch(c, outs, static_cast<int>(N));
  if (rc == 0) rec = row;
  return rc;
}

}  // namespace

static sql::Cursor g_apg;
static sql::Cursor g_apl;
static sql::Cursor g_ubg;
static sql::Cursor g_prv;
static sql::Cursor g_ksg;

int Apg_OpenDnl(const char* selector) {
  static sql::Stmt s{
      "select ApgApg ,ApgBez ,ApgTxt ,ApgFbe ,KsgKst ,ApgApl ,ApgTag ,ApgKap ,"
      "ApgPrd ,ApgRst ,ApgPau ,ApgUnt ,ApgIak ,ApgSt1 ,ApgSt2 ,ApgSt3 ,ApgSf1 ,"
      "ApgSf2 ,ApgSf3 ,ApgZf1 ,ApgZf2 ,ApgZf3 ,ApgDna ,ApgDwn ,ApgSta ,ApgErf  "
      "from Kvn530Apg ,Kvn537Ksg where (((ApgDwn=:b0 and ApgApg=KsgApg) and "
      "KsgGvo<=trunc(sysdate)) and (KsgGbi is null  or KsgGbi>=trunc(sysdate))) "
      "order by ApgFbe"};
  return OpenWithSelector(g_apg, s, selector);
}

int Apg_FetchDnl(WorkGroupRecord& rec) {
  return FetchInto(g_apg, rec, kApgFields, kApgOrder);
}

int Apg_CloseDnl() { return sql::Close(g_apg); }

int Apl_OpenDnl(const char* selector) {
  static sql::Stmt s{
      "select AplApl ,AplBez ,AplTxt ,AplApg ,AplFbe ,AplSts ,AplSis ,AplApr ,"
      "AplAaf ,AplUbg ,TO_CHAR(AplUdt,'yyyymmddHH24MISS') ,AplTag ,AplVrf ,"
      "AplRsp ,AplRsi ,AplAfp ,AplAfi ,AplPau ,AplUnt ,AplIak ,AplAvt ,AplKap ,"
      "AplAvr ,AplAvp ,AplSt1 ,AplSt2 ,AplSt3 ,AplSf1 ,AplSf2 ,AplSf3 ,AplZf1 ,"
      "AplZf2 ,AplZf3 ,AplDna ,AplDwn ,AplSta ,AplErf  from Kvn531Apl "
      "where AplDwn=:b0 order by AplFbe"};
  return OpenWithSelector(g_apl, s, selector);
}

int Apl_FetchDnl(WorkplaceRecord& rec) {
  return FetchInto(g_apl, rec, kAplFields, kAplOrder);
}

int Apl_CloseDnl() { return sql::Close(g_apl); }

int Ubg_OpenDnl(const char* selector) {
  static sql::Stmt s{
      "select UbgUbg ,UbgKnz ,UbgFbe ,UbgBez ,UbgTxt ,UbgZf1 ,UbgZf2 ,UbgZf3 ,"
      "UbgAst ,UbgRst ,UbgAsf ,UbgSt1 ,UbgSt2 ,UbgSt3 ,UbgSf1 ,UbgSf2 ,UbgSf3 ,"
      "UbgDna ,UbgDwn ,UbgSta ,UbgErf  from Kvn521Ubg "
      "where UbgDwn=:b0 order by UbgFbe"};
  return OpenWithSelector(g_ubg, s, selector);
}

int Ubg_FetchDnl(UbgRecord& rec) {
  return FetchInto(g_ubg, rec, kUbgFields, kUbgOrder);
}

int Ubg_CloseDnl() { return sql::Close(g_ubg); }

int Prv_OpenDnl(const char* selector) {
  static sql::Stmt s{
      "select PrvPnr ,TO_CHAR(PrvGvo,'yyyymmdd') ,TO_CHAR(PrvGbi,'yyyymmdd') ,"
      "PrvBer ,PrvKst ,PrvFbe ,PrvMmb ,PrvZf1 ,PrvZf2 ,PrvZf3 ,PrvDna ,PrvDwn ,"
      "PrvAwa ,PrvAwn ,PrvAnw ,TO_CHAR(PrvAvn,'yyyymmddHH24MISS') ,"
      "TO_CHAR(PrvAbi,'yyyymmddHH24MISS') ,PrvApl ,PrvApp ,PrvPzm ,PrvSta ,"
      "PrvErf ,PrvNam ,PrvStr ,PrvOrt  from Kvn510Prv "
      "where PrvDwn=:b0 order by PrvFbe"};
  return OpenWithSelector(g_prv, s, selector);
}

int Prv_FetchDnl(PrvRecord& rec) {
  return FetchInto(g_prv, rec, kPrvFields, kPrvOrder);
}

int Prv_CloseDnl() { return sql::Close(g_prv); }

int Ksg_OpenDnl() {
  static sql::Stmt s{
      "select KstNum ,FbeFbe  from o1003Kststelle ,Kvn559Fbe where FbeTyp=1 "
      "order by FbeFbe"};
  return sql::Open(g_ksg, s, nullptr, 0);
}

int Ksg_FetchDnl(KsgDnlRecord& rec) {
  return FetchInto(g_ksg, rec, kKsgFields, kKsgOrder);
}

int Ksg_CloseDnl() { return sql::Close(g_ksg); }
