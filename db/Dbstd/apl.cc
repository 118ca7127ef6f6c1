// The workplace table Kvn531Apl: read, update and delete by key, a cursor
// over a key range and a cursor over the workplaces of one work group.
#include "db/Dbstd/apl.h"

#include <cstddef>
#include <cstdint>

#include "db/Dbstd/apl_fields.h"
#include "db/Dbstd/arg_text.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

// AplUbg travels as a 5-byte text (at most 4 characters) although the record
// field has room for 5; the last byte of the field stays its terminator.
static constexpr uint16_t kUbgWidth = 5;
static_assert(kUbgWidth <= sizeof(WorkplaceRecord::AplUbg));

const sql::Field kAplFields[kAplFieldCount] = {
    SQL_FIELD(WorkplaceRecord, AplApl, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplBez, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplTxt, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplApg, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplFbe, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplSts, sql::kI16),
    SQL_FIELD(WorkplaceRecord, AplSis, sql::kI16),
    SQL_FIELD(WorkplaceRecord, AplApr, sql::kI32),
    SQL_FIELD(WorkplaceRecord, AplAaf, sql::kI32),
    sql::Field{sql::kText, static_cast<uint16_t>(offsetof(WorkplaceRecord, AplUbg)), kUbgWidth,
               0, 0},
    SQL_FIELD(WorkplaceRecord, AplUdt, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplZf1, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplZf2, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplZf3, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplTag, sql::kI32),
    SQL_FIELD(WorkplaceRecord, AplVrf, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplRsp, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplRsi, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplAfp, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplAfi, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplPau, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplUnt, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplIak, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplAvt, sql::kI32),
    SQL_FIELD(WorkplaceRecord, AplKap, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplAvr, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplAvp, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplSt1, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplSt2, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplSt3, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplSf1, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplSf2, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplSf3, sql::kF64),
    SQL_FIELD(WorkplaceRecord, AplDna, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplDwn, sql::kText),
    SQL_FIELD(WorkplaceRecord, AplSta, sql::kI16),
    SQL_FIELD(WorkplaceRecord, AplErf, sql::kText),
};

const uint8_t kAplSelectOrder[kAplSelectCount] = {
    kAplApl, kAplBez, kAplTxt, kAplApg, kAplFbe, kAplSts, kAplSis,
    kAplApr, kAplAaf, kAplUbg, kAplUdt, kAplTag, kAplVrf, kAplRsp,
    kAplRsi, kAplAfp, kAplAfi, kAplPau, kAplUnt, kAplIak, kAplAvt,
    kAplKap, kAplAvr, kAplAvp, kAplSt1, kAplSt2, kAplSt3, kAplSf1,
    kAplSf2, kAplSf3, kAplZf1, kAplZf2, kAplZf3, kAplDna, kAplDwn,
    kAplSta, kAplErf,
};

namespace {

constexpr int kSelectCount = kAplSelectCount;
// :b0 to :b36 of the update (AplDat is sysdate between :b35 and :b36).
const uint8_t kUpdateOrder[] = {
    kAplApl, kAplBez, kAplTxt, kAplApg, kAplFbe, kAplSts, kAplSis,
    kAplApr, kAplAaf, kAplUbg, kAplUdt, kAplZf1, kAplZf2, kAplZf3,
    kAplTag, kAplVrf, kAplRsp, kAplRsi, kAplAfp, kAplAfi, kAplPau,
    kAplUnt, kAplIak, kAplAvt, kAplKap, kAplAvr, kAplAvp, kAplSt1,
    kAplSt2, kAplSt3, kAplSf1, kAplSf2, kAplSf3, kAplDna, kAplDwn,
    kAplSta, kAplErf,
};
constexpr int kUpdateCount = sizeof kUpdateOrder;

sql::Cursor g_range;  // Apl_Open: key range
sql::Cursor g_group;  // Apl_OpenApg: the workplaces of one work group
// The output buffer of the read and both cursors; its selected fields go
// into the caller's record only on success.
WorkplaceRecord g_row;

// Copies the selected fields of g_row into rec; AplDat keeps its content.
void TakeRow(WorkplaceRecord& rec) {
  Text<15> dat = rec.AplDat;
  rec = g_row;
  rec.AplDat = dat;
}

int FetchInto(sql::Cursor& c, WorkplaceRecord& rec) {
  sql::Out outs[kSelectCount];
  sql::OutsOf(&g_row, kAplFields, kAplSelectOrder, kSelectCount, outs);
  int rc = sql::Fetch(c, outs, kSelectCount);
  if (rc == 0) TakeRow(rec);
  return rc;
}

}  // namespace

int Apl_PKeyReadk(WorkplaceRecord& rec) {
  static sql::Stmt s{
      "select AplApl ,AplBez ,AplTxt ,AplApg ,AplFbe ,AplSts ,AplSis ,AplApr ,AplAaf ,AplUbg ,"
      "TO_CHAR(AplUdt,'yyyymmddHH24MISS') ,AplTag ,AplVrf ,AplRsp ,AplRsi ,AplAfp ,AplAfi ,AplPau ,"
      "AplUnt ,AplIak ,AplAvt ,AplKap ,AplAvr ,AplAvp ,AplSt1 ,AplSt2 ,AplSt3 ,AplSf1 ,AplSf2 ,"
      "AplSf3 ,AplZf1 ,AplZf2 ,AplZf3 ,AplDna ,AplDwn ,AplSta ,AplErf  from Kvn531Apl where "
      "AplApl=:b0"};
  const sql::Bind binds[] = {sql::BText(rec.AplApl)};
  sql::Out outs[kSelectCount];
  sql::OutsOf(&g_row, kAplFields, kAplSelectOrder, kSelectCount, outs);
  int rc = sql::SelectOne(s, binds, 1, outs, kSelectCount);
  if (rc == 0) {
    TakeRow(rec);
  } else {
    Text<11> key = rec.AplApl;
    rec = WorkplaceRecord{};
    rec.AplApl = key;
  }
  return rc;
}

int Apl_PKeyUpd(const WorkplaceRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Apl_PKeyUpd_Sp"},
      {"update KVN531Apl  set AplApl=:b0,AplBez=:b1,AplTxt=:b2,AplApg=:b3,AplFbe=:b4,AplSts=:b5,"
       "AplSis=:b6,AplApr=:b7,AplAaf=:b8,AplUbg=:b9,AplUdt=TO_DATE(:b10,'yyyymmddHH24MISS'),"
       "AplZf1=:b11,AplZf2=:b12,AplZf3=:b13,AplTag=:b14,AplVrf=:b15,AplRsp=:b16,AplRsi=:b17,"
       "AplAfp=:b18,AplAfi=:b19,AplPau=:b20,AplUnt=:b21,AplIak=:b22,AplAvt=:b23,AplKap=:b24,"
       "AplAvr=:b25,AplAvp=:b26,AplSt1=:b27,AplSt2=:b28,AplSt3=:b29,AplSf1=:b30,AplSf2=:b31,"
       "AplSf3=:b32,AplDna=:b33,AplDwn=:b34,AplSta=:b35,AplDat=sysdate,AplErf=:b36 where "
       "AplApl=:b0"},
      {"rollback  to Apl_PKeyUpd_Sp"}};
  sql::Bind binds[kUpdateCount];
  sql::BindsOf(&rec, kAplFields, kUpdateOrder, kUpdateCount, binds);
  return sql::Write(w, binds, kUpdateCount);
}

int Apl_PKeyDel(const char* key) {
  static sql::WriteStmt w{{"savepoint Apl_PKeyDel_Sp"},
                          {"delete  from Kvn531Apl  where AplApl=:b0"},
                          {"rollback  to Apl_PKeyDel_Sp"}};
  // A key longer than the column names no row; cut, it could name another.
  Text<11> k;
  if (!ArgText_Set(k, key)) return sql::kNoData;
  const sql::Bind binds[] = {sql::BText(k)};
  return sql::Write(w, binds, 1);
}

int Apl_Open(const char* lower, const char* upper) {
  static sql::Stmt s{
      "select AplApl ,AplBez ,AplTxt ,AplApg ,AplFbe ,AplSts ,AplSis ,AplApr ,AplAaf ,AplUbg ,"
      "TO_CHAR(AplUdt,'yyyymmddHH24MISS') ,AplTag ,AplVrf ,AplRsp ,AplRsi ,AplAfp ,AplAfi ,AplPau ,"
      "AplUnt ,AplIak ,AplAvt ,AplKap ,AplAvr ,AplAvp ,AplSt1 ,AplSt2 ,AplSt3 ,AplSf1 ,AplSf2 ,"
      "AplSf3 ,AplZf1 ,AplZf2 ,AplZf3 ,AplDna ,AplDwn ,AplSta ,AplErf  from Kvn531Apl where "
      "(AplApl>:b0 and AplApl<:b1) order by AplApl"};
  Text<11> lo;
  Text<11> hi;
  // A bound that does not fit its field selects nothing (bound as NULL).
  ArgText_Bound(lo, lower);
  ArgText_Bound(hi, upper);
  const sql::Bind binds[] = {sql::BText(lo), sql::BText(hi)};
  return sql::Open(g_range, s, binds, 2);
}

int Apl_Fetch(WorkplaceRecord& rec) { return FetchInto(g_range, rec); }

int Apl_Close() { return sql::Close(g_range); }

int Apl_OpenApg(const char* workGroup) {
  static sql::Stmt s{
      "select AplApl ,AplBez ,AplTxt ,AplApg ,AplFbe ,AplSts ,AplSis ,AplApr ,AplAaf ,AplUbg ,"
      "TO_CHAR(AplUdt,'yyyymmddHH24MISS') ,AplTag ,AplVrf ,AplRsp ,AplRsi ,AplAfp ,AplAfi ,AplPau ,"
      "AplUnt ,AplIak ,AplAvt ,AplKap ,AplAvr ,AplAvp ,AplSt1 ,AplSt2 ,AplSt3 ,AplSf1 ,AplSf2 ,"
      "AplSf3 ,AplZf1 ,AplZf2 ,AplZf3 ,AplDna ,AplDwn ,AplSta ,AplErf  from Kvn531Apl where "
      "AplApg=:b0 order by AplApl"};
  Text<11> group;
  group = workGroup;
  const sql::Bind binds[] = {sql::BText(group)};
  return sql::Open(g_group, s, binds, 1);
}

int Apl_FetchApg(WorkplaceRecord& rec) { return FetchInto(g_group, rec); }

int Apl_CloseApg() { return sql::Close(g_group); }
