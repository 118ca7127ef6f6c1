// The master-data download cursors over Kvn530Apg (joined with Kvn537Ksg),
// Kvn531Apl, Kvn521Ubg, Kvn510Prv and the cost centres.
//
// The records' column descriptions are those of the table modules; each
// cursor's fetch lists the fields in select order.  A fetch reads into a
// copy of the caller's record, so the fields no cursor reads (ApgDat,
// AplDat, UbgDat, PrvDat) keep their content, and hands the copy back when
// the cursor delivered a row.
#include "db/DbDnl/master_cursors.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "db/Dbstd/apg_fields.h"
#include "db/Dbstd/apl_fields.h"
#include "db/Dbstd/prv_fields.h"
#include "db/Dbstd/ubg_fields.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

// --- Work groups: the columns of the read by key, ApgKst receiving the
// cost centre KsgKst of the join.

const uint8_t kApgKeys[] = {kApgApg, kApgFbe};

// --- Workplaces.

const uint8_t kAplKeys[] = {kAplApl, kAplApg, kAplFbe};

// --- Kvn521Ubg.

const uint8_t kUbgKeys[] = {kUbgUbg, kUbgFbe};

// --- Kvn510Prv.

const uint8_t kPrvKeys[] = {kPrvPnr, kPrvFbe, kPrvAwn};

// --- Cost centres.

enum : uint8_t { kKstNum, kFbeFbe };
const sql::Field kKsgFields[] = {
    SQL_FIELD(KsgDnlRecord, KstNum, sql::kText),
    SQL_FIELD(KsgDnlRecord, FbeFbe, sql::kText),
};
const uint8_t kKsgOrder[] = {kKstNum, kFbeFbe};
const uint8_t kKsgKeys[] = {kFbeFbe};

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

// Fetches the next row of c into a copy of rec, the fields in keys strict,
// and hands the copy back when the cursor delivered a row (0, -1455,
// -1406).
template <typename Record, size_t N, size_t K>
int FetchInto(sql::Cursor& c, Record& rec, const sql::Field* fields,
              const uint8_t (&order)[N], const uint8_t (&keys)[K]) {
  Record row = rec;
  sql::Out outs[N];
  sql::OutsOf(&row, fields, order, static_cast<int>(N), outs);
  sql::MarkKeys(order, static_cast<int>(N), keys, static_cast<int>(K), outs);
  int rc = sql::Fetch(c, outs, static_cast<int>(N));
  if (rc == 0 || sql::NoFit(rc)) rec = row;
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
  return FetchInto(g_apg, rec, kApgFields, kApgSelectOrder, kApgKeys);
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
  return FetchInto(g_apl, rec, kAplFields, kAplSelectOrder, kAplKeys);
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
  return FetchInto(g_ubg, rec, kUbgFields, kUbgSelectOrder, kUbgKeys);
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
  return FetchInto(g_prv, rec, kPrvFields, kPrvCursorOrder, kPrvKeys);
}

int Prv_CloseDnl() { return sql::Close(g_prv); }

int Ksg_OpenDnl() {
  static sql::Stmt s{
      "select KstNum ,FbeFbe  from o1003Kststelle ,Kvn559Fbe where FbeTyp=1 "
      "order by FbeFbe"};
  return sql::Open(g_ksg, s, nullptr, 0);
}

int Ksg_FetchDnl(KsgDnlRecord& rec) {
  return FetchInto(g_ksg, rec, kKsgFields, kKsgOrder, kKsgKeys);
}

int Ksg_CloseDnl() { return sql::Close(g_ksg); }
