// The personnel table Kvn510Prv: read, insert, update and delete by key,
// emptying the table, a cursor over a key range and the reads by badge
// number.
#include "db/Dbstd/prv.h"

#include <cstdint>
#include <cstring>

#include "db/Dbstd/arg_text.h"
#include "db/Dbstd/prv_fields.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

// The reads by key and by badge, in select order.
const uint8_t kReadOrder[] = {
    kPrvPnr, kPrvGvo, kPrvGbi, kPrvBer, kPrvKst, kPrvFbe, kPrvMmb, kPrvZf1,
    kPrvZf2, kPrvZf3, kPrvSta, kPrvErf, kPrvDna, kPrvDwn, kPrvAwn, kPrvAwa,
    kPrvAnw, kPrvApl, kPrvApp, kPrvPzm, kPrvAvn, kPrvAbi, kPrvNam, kPrvStr,
    kPrvOrt,
};
// :b0 to :b24 of the insert (PrvDat is sysdate between :b10 and :b11).
const uint8_t kInsertOrder[] = {
    kPrvPnr, kPrvGvo, kPrvGbi, kPrvBer, kPrvKst, kPrvFbe, kPrvMmb, kPrvZf1,
    kPrvZf2, kPrvZf3, kPrvSta, kPrvErf, kPrvDna, kPrvDwn, kPrvAwn, kPrvAwa,
    kPrvAnw, kPrvApl, kPrvApp, kPrvPzm, kPrvAvn, kPrvAbi, kPrvNam, kPrvStr,
    kPrvOrt,
};
// :b0 to :b23 of the update's assignments, then the key as :b24.
const uint8_t kUpdateOrder[] = {
    kPrvGvo, kPrvGbi, kPrvBer, kPrvKst, kPrvFbe, kPrvMmb, kPrvZf1, kPrvZf2,
    kPrvZf3, kPrvSta, kPrvErf, kPrvDna, kPrvDwn, kPrvAwn, kPrvAwa, kPrvAnw,
    kPrvApl, kPrvApp, kPrvPzm, kPrvAvn, kPrvAbi, kPrvNam, kPrvStr, kPrvOrt,
    kPrvPnr,
};
constexpr int kReadCount = sizeof kReadOrder;
constexpr int kInsertCount = sizeof kInsertOrder;
constexpr int kUpdateCount = sizeof kUpdateOrder;
constexpr int kCursorCount = kPrvCursorCount;
static_assert(kReadCount == 25 && kInsertCount == 25 && kUpdateCount == 25);

#define PRV_READ_SELECT                                                       \
  "select PrvPnr ,TO_CHAR(PrvGvo,'yyyymmdd') ,TO_CHAR(PrvGbi,'yyyymmdd') ,"   \
  "PrvBer ,PrvKst ,PrvFbe ,PrvMmb ,PrvZf1 ,PrvZf2 ,PrvZf3 ,PrvSta ,PrvErf ,"  \
  "PrvDna ,PrvDwn ,PrvAwn ,PrvAwa ,PrvAnw ,PrvApl ,PrvApp ,PrvPzm ,"          \
  "TO_CHAR(PrvAvn,'yyyymmddHH24MISS') ,TO_CHAR(PrvAbi,'yyyymmddHH24MISS') ,"  \
  "PrvNam ,PrvStr ,PrvOrt  from Kvn510Prv "
#define PRV_CURSOR_SELECT                                                     \
  "select PrvPnr ,TO_CHAR(PrvGvo,'yyyymmdd') ,TO_CHAR(PrvGbi,'yyyymmdd') ,"   \
  "PrvBer ,PrvKst ,PrvFbe ,PrvMmb ,PrvZf1 ,PrvZf2 ,PrvZf3 ,PrvDna ,PrvDwn ,"  \
  "PrvAwa ,PrvAwn ,PrvAnw ,TO_CHAR(PrvAvn,'yyyymmddHH24MISS') ,"              \
  "TO_CHAR(PrvAbi,'yyyymmddHH24MISS') ,PrvApl ,PrvApp ,PrvPzm ,PrvSta ,"      \
  "PrvErf ,PrvNam ,PrvStr ,PrvOrt  from Kvn510Prv "

sql::Cursor g_range;  // Prv_Open: key range
sql::Cursor g_badge;  // Prv_OpenAwn: the rows of one badge valid today

// Runs the single-row select s with binds into a copy of rec and hands the
// copy back on 0 (PrvDat keeps its content); rec is untouched otherwise.
int ReadInto(sql::Stmt& s, const sql::Bind* binds, int nbinds, PrvRecord& rec) {
  PrvRecord row = rec;
  sql::Out outs[kReadCount];
  sql::OutsOf(&row, kPrvFields, kReadOrder, kReadCount, outs);
  int rc = sql::SelectOne(s, binds, nbinds, outs, kReadCount);
  if (rc == 0) rec = row;
  return rc;
}

// Fetches the next row of c into a copy of rec and hands it back on 0.
int FetchInto(sql::Cursor& c, PrvRecord& rec) {
  PrvRecord row = rec;
  sql::Out outs[kCursorCount];
  sql::OutsOf(&row, kPrvFields, kPrvCursorOrder, kCursorCount, outs);
  int rc = sql::Fetch(c, outs, kCursorCount);
  if (rc == 0) rec = row;
  return rc;
}

}  // namespace

int Prv_PKeyReadk(PrvRecord& rec) {
  static sql::Stmt s{PRV_READ_SELECT "where PrvPnr=:b0"};
  const sql::Bind binds[] = {sql::BText(rec.PrvPnr)};
  int rc = ReadInto(s, binds, 1, rec);
  if (rc != 0) {
    Text<9> key = rec.PrvPnr;
    rec = PrvRecord{};
    rec.PrvPnr = key;
  }
  return rc;
}

int Prv_PKeyIns(PrvRecord& rec) {
  static sql::Stmt defaultArea{"select FbeFbe  from Kvn559Fbe where FbeTyp=1"};
  static sql::WriteStmt w{
      {"savepoint Prv_PKeyIns_Sp"},
      {"insert into Kvn510Prv (PrvPnr,PrvGvo,PrvGbi,PrvBer,PrvKst,PrvFbe,"
       "PrvMmb,PrvZf1,PrvZf2,PrvZf3,PrvSta,PrvDat,PrvErf,PrvDna,PrvDwn,PrvAwn,"
       "PrvAwa,PrvAnw,PrvApl,PrvApp,PrvPzm,PrvAvn,PrvAbi,PrvNam,PrvStr,PrvOrt) "
       "values (:b0,TO_DATE(:b1,'yyyymmdd'),TO_DATE(:b2,'yyyymmdd'),:b3,:b4,"
       ":b5,:b6,:b7,:b8,:b9,:b10,sysdate,:b11,:b12,:b13,:b14,:b15,:b16,:b17,"
       ":b18,:b19,TO_DATE(:b20,'yyyymmddHH24MISS'),"
       "TO_DATE(:b21,'yyyymmddHH24MISS'),:b22,:b23,:b24)"},
      {"rollback  to Prv_PKeyIns_Sp"}};
  // A row without an area gets the default area.  When there is none (or
  // more than one) the field stays empty and the row is inserted without.
  if (rec.PrvFbe.empty()) {
    Text<11> area;
    const sql::Out outs[] = {sql::OText(area)};
    if (sql::SelectOne(defaultArea, nullptr, 0, outs, 1) == 0) rec.PrvFbe = area;
  }
  sql::Bind binds[kInsertCount];
  sql::BindsOf(&rec, kPrvFields, kInsertOrder, kInsertCount, binds);
  return sql::Write(w, binds, kInsertCount);
}

int Prv_Delete() {
  static sql::WriteStmt w{{"savepoint Prv_Delete_Sp"},
                          {"delete  from Kvn510Prv "},
                          {"rollback  to Prv_Delete_Sp"}};
  return sql::Write(w, nullptr, 0);
}

int Prv_PKeyUpd(const PrvRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Prv_PKeyUpd_Sp"},
      {"update KVN510Prv  set PrvGvo=TO_DATE(:b0,'yyyymmdd'),"
       "PrvGbi=TO_DATE(:b1,'yyyymmdd'),PrvBer=:b2,PrvKst=:b3,PrvFbe=:b4,"
       "PrvMmb=:b5,PrvZf1=:b6,PrvZf2=:b7,PrvZf3=:b8,PrvSta=:b9,PrvDat=sysdate,"
       "PrvErf=:b10,PrvDna=:b11,PrvDwn=:b12,PrvAwn=:b13,PrvAwa=:b14,"
       "PrvAnw=:b15,PrvApl=:b16,PrvApp=:b17,PrvPzm=:b18,"
       "PrvAvn=TO_DATE(:b19,'yyyymmddHH24MISS'),"
       "PrvAbi=TO_DATE(:b20,'yyyymmddHH24MISS'),PrvNam=:b21,PrvStr=:b22,"
       "PrvOrt=:b23 where PrvPnr=:b24"},
      {"rollback  to Prv_PKeyUpd_Sp"}};
  sql::Bind binds[kUpdateCount];
  sql::BindsOf(&rec, kPrvFields, kUpdateOrder, kUpdateCount, binds);
  return sql::Write(w, binds, kUpdateCount);
}

int Prv_PKeyDel(const char* key) {
  static sql::WriteStmt w{{"savepoint Prv_PKeyDel_Sp"},
                          {"delete  from Kvn510Prv  where PrvPnr=:b0"},
                          {"rollback  to Prv_PKeyDel_Sp"}};
  // A number longer than the column names no row; cut to fit it would name
  // another one and delete it.
  if (key != nullptr && strnlen(key, sizeof(PrvRecord::PrvPnr)) >= sizeof(PrvRecord::PrvPnr))
    return sql::kNoData;
  Text<9> k;
  k = key;
  const sql::Bind binds[] = {sql::BText(k)};
  return sql::Write(w, binds, 1);
}

int Prv_Open(const char* lower, const char* upper) {
  static sql::Stmt s{
      PRV_CURSOR_SELECT
      "where ((PrvPnr>=:b0 and PrvPnr<=:b1) and (PrvGvo<=trunc(sysdate) or "
      "PrvGvo is null )) order by PrvPnr"};
  Text<9> lo;
  Text<9> hi;
  // A bound that does not fit its field selects nothing (bound as NULL).
  ArgText_Bound(lo, lower);
  ArgText_Bound(hi, upper);
  const sql::Bind binds[] = {sql::BText(lo), sql::BText(hi)};
  return sql::Open(g_range, s, binds, 2);
}

int Prv_Fetch(PrvRecord& rec) { return FetchInto(g_range, rec); }

int Prv_Close() { return sql::Close(g_range); }

int Prv_ReadAwn(PrvRecord& rec) {
  static sql::Stmt s{
      PRV_READ_SELECT
      "where ((PrvAwn=:b28 and PrvGvo<=trunc(sysdate)) and (PrvGbi>=trunc("
      "sysdate) or PrvGbi is null )) order by PrvPnr"};
  const sql::Bind binds[] = {sql::BText(rec.PrvAwn)};
  return ReadInto(s, binds, 1, rec);
}

int Prv_OpenAwn(const char* badge) {
  static sql::Stmt s{
      PRV_CURSOR_SELECT
      "where ((PrvAwn=:b0 and PrvGvo<=trunc(sysdate)) and (PrvGbi>=trunc("
      "sysdate) or PrvGbi is null )) order by PrvPnr"};
  // A badge longer than the column matches no row; cut to fit it could
  // match another badge.
  Text<9> b;
  if (badge != nullptr && strnlen(badge, sizeof b) < sizeof b) b = badge;
  const sql::Bind binds[] = {sql::BText(b)};
  return sql::Open(g_badge, s, binds, 1);
}

int Prv_FetchAwn(PrvRecord& rec) { return FetchInto(g_badge, rec); }

int Prv_CloseAwn() { return sql::Close(g_badge); }
