// The work-group table Kvn530Apg: read, update and delete by key, and a
// cursor over a key range.
#include "db/Dbstd/apg.h"

#include <cstdint>

#include "db/Dbstd/apg_fields.h"
#include "db/Dbstd/arg_text.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

const sql::Field kApgFields[kApgFieldCount] = {
    SQL_FIELD(WorkGroupRecord, ApgApg, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgBez, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgTxt, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgKst, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgFbe, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgZf1, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgZf2, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgZf3, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgApl, sql::kI32),
    SQL_FIELD(WorkGroupRecord, ApgTag, sql::kI32),
    SQL_FIELD(WorkGroupRecord, ApgKap, sql::kF64),
    SQL_FIELD(WorkGroupRecord, ApgPrd, sql::kF64),
    SQL_FIELD(WorkGroupRecord, ApgRst, sql::kF64),
    SQL_FIELD(WorkGroupRecord, ApgPau, sql::kF64),
    SQL_FIELD(WorkGroupRecord, ApgUnt, sql::kF64),
    SQL_FIELD(WorkGroupRecord, ApgIak, sql::kF64),
    SQL_FIELD(WorkGroupRecord, ApgSt1, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgSt2, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgSt3, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgSf1, sql::kF64),
    SQL_FIELD(WorkGroupRecord, ApgSf2, sql::kF64),
    SQL_FIELD(WorkGroupRecord, ApgSf3, sql::kF64),
    SQL_FIELD(WorkGroupRecord, ApgDna, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgDwn, sql::kText),
    SQL_FIELD(WorkGroupRecord, ApgSta, sql::kI16),
    SQL_FIELD(WorkGroupRecord, ApgErf, sql::kText),
};

const uint8_t kApgSelectOrder[kApgSelectCount] = {
    kApgApg, kApgBez, kApgTxt, kApgFbe, kApgKst, kApgApl, kApgTag,
    kApgKap, kApgPrd, kApgRst, kApgPau, kApgUnt, kApgIak, kApgSt1,
    kApgSt2, kApgSt3, kApgSf1, kApgSf2, kApgSf3, kApgZf1, kApgZf2,
    kApgZf3, kApgDna, kApgDwn, kApgSta, kApgErf,
};

namespace {

constexpr int kSelectCount = kApgSelectCount;
// :b0 to :b25 of the update (ApgDat is sysdate between :b24 and :b25).
const uint8_t kUpdateOrder[] = {
    kApgApg, kApgBez, kApgTxt, kApgKst, kApgFbe, kApgApl, kApgZf1,
    kApgZf2, kApgZf3, kApgTag, kApgKap, kApgPrd, kApgPau, kApgRst,
    kApgUnt, kApgIak, kApgSt1, kApgSt2, kApgSt3, kApgSf1, kApgSf2,
    kApgSf3, kApgDna, kApgDwn, kApgSta, kApgErf,
};
constexpr int kUpdateCount = sizeof kUpdateOrder;

sql::Cursor g_cursor;
// The output buffer of the read and the cursor; its selected fields go into
// the caller's record only on success.
WorkGroupRecord g_row;

// Copies the selected fields of g_row into rec; ApgDat keeps its content.
void TakeRow(WorkGroupRecord& rec) {
  Text<15> dat = rec.ApgDat;
  rec = g_row;
  rec.ApgDat = dat;
}

}  // namespace

int Apg_PKeyReadk(WorkGroupRecord& rec) {
  static sql::Stmt s{
      "select ApgApg ,ApgBez ,ApgTxt ,ApgFbe ,ApgKst ,ApgApl ,ApgTag ,ApgKap ,ApgPrd ,ApgRst ,"
      "ApgPau ,ApgUnt ,ApgIak ,ApgSt1 ,ApgSt2 ,ApgSt3 ,ApgSf1 ,ApgSf2 ,ApgSf3 ,ApgZf1 ,ApgZf2 ,"
      "ApgZf3 ,ApgDna ,ApgDwn ,ApgSta ,ApgErf  from Kvn530Apg where ApgApg=:b0"};
  const sql::Bind binds[] = {sql::BText(rec.ApgApg)};
  sql::Out outs[kSelectCount];
  sql::OutsOf(&g_row, kApgFields, kApgSelectOrder, kSelectCount, outs);
  int rc = sql::SelectOne(s, binds, 1, outs, kSelectCount);
  if (rc == 0) {
    TakeRow(rec);
  } else {
    Text<11> key = rec.ApgApg;
    rec = WorkGroupRecord{};
    rec.ApgApg = key;
  }
  return rc;
}

int Apg_PKeyUpd(const WorkGroupRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Apg_PKeyUpd_Sp"},
      {"update KVN530Apg  set ApgApg=:b0,ApgBez=:b1,ApgTxt=:b2,ApgKst=:b3,ApgFbe=:b4,ApgApl=:b5,"
       "ApgZf1=:b6,ApgZf2=:b7,ApgZf3=:b8,ApgTag=:b9,ApgKap=:b10,ApgPrd=:b11,ApgPau=:b12,"
       "ApgRst=:b13,ApgUnt=:b14,ApgIak=:b15,ApgSt1=:b16,ApgSt2=:b17,ApgSt3=:b18,ApgSf1=:b19,"
       "ApgSf2=:b20,ApgSf3=:b21,ApgDna=:b22,ApgDwn=:b23,ApgSta=:b24,ApgDat=sysdate,ApgErf=:b25 "
       "where ApgApg=:b0"},
      {"rollback  to Apg_PKeyUpd_Sp"}};
  sql::Bind binds[kUpdateCount];
  sql::BindsOf(&rec, kApgFields, kUpdateOrder, kUpdateCount, binds);
  return sql::Write(w, binds, kUpdateCount);
}

int Apg_PKeyDel(const char* key) {
  static sql::WriteStmt w{{"savepoint Apg_PKeyDel_Sp"},
                          {"delete  from Kvn530Apg  where ApgApg=:b0"},
                          {"rollback  to Apg_PKeyDel_Sp"}};
  // A key longer than the column names no row; cut, it could name another.
  Text<11> k;
  if (!ArgText_Set(k, key)) return sql::kNoData;
  const sql::Bind binds[] = {sql::BText(k)};
  return sql::Write(w, binds, 1);
}

int Apg_Open(const char* lower, const char* upper) {
  static sql::Stmt s{
      "select ApgApg ,ApgBez ,ApgTxt ,ApgFbe ,ApgKst ,ApgApl ,ApgTag ,ApgKap ,ApgPrd ,ApgRst ,"
      "ApgPau ,ApgUnt ,ApgIak ,ApgSt1 ,ApgSt2 ,ApgSt3 ,ApgSf1 ,ApgSf2 ,ApgSf3 ,ApgZf1 ,ApgZf2 ,"
      "ApgZf3 ,ApgDna ,ApgDwn ,ApgSta ,ApgErf  from Kvn530Apg where (ApgApg>:b0 and ApgApg<:b1) "
      "order by ApgApg"};
  Text<11> lo;
  Text<11> hi;
  // A bound that does not fit its field selects nothing (bound as NULL).
  ArgText_Bound(lo, lower);
  ArgText_Bound(hi, upper);
  const sql::Bind binds[] = {sql::BText(lo), sql::BText(hi)};
  return sql::Open(g_cursor, s, binds, 2);
}

int Apg_Fetch(WorkGroupRecord& rec) {
  sql::Out outs[kSelectCount];
  sql::OutsOf(&g_row, kApgFields, kApgSelectOrder, kSelectCount, outs);
  int rc = sql::Fetch(g_cursor, outs, kSelectCount);
  if (rc == 0) TakeRow(rec);
  return rc;
}

int Apg_Close() { return sql::Close(g_cursor); }
