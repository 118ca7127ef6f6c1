// The operation interface table Kvn503Afo: two cursors over a range of order
// keys (ascending and descending) and the removal of a processed row.
#include "db/DbDnl/afo.h"

#include <cstdint>

#include "db/Dbstd/arg_text.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

// The columns of Kvn503Afo, in record order.
enum {
  kAfoApk, kAfoApp, kAfoVaf, kAfoNaf, kAfoBz1, kAfoBz2, kAfoTxt,
  kAfoSts, kAfoBgs, kAfoBgz, kAfoEns, kAfoEnz, kAfoAgs, kAfoSme,
  kAfoMee, kAfoSta, kAfoStr, kAfoSte, kAfoApg, kAfoApl, kAfoZf1,
  kAfoZf2, kAfoZf3, kAfoKst, kAfoFbe,
};
const sql::Field kFields[] = {
    SQL_FIELD(PpsOperationRecord, AfoApk, sql::kKey),
    SQL_FIELD(PpsOperationRecord, AfoApp, sql::kKey),
    SQL_FIELD(PpsOperationRecord, AfoVaf, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoNaf, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoBz1, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoBz2, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoTxt, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoSts, sql::kI16),
    SQL_FIELD(PpsOperationRecord, AfoBgs, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoBgz, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoEns, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoEnz, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoAgs, sql::kI16),
    SQL_FIELD(PpsOperationRecord, AfoSme, sql::kF64),
    SQL_FIELD(PpsOperationRecord, AfoMee, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoSta, sql::kF64),
    SQL_FIELD(PpsOperationRecord, AfoStr, sql::kF64),
    SQL_FIELD(PpsOperationRecord, AfoSte, sql::kF64),
    SQL_FIELD(PpsOperationRecord, AfoApg, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoApl, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoZf1, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoZf2, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoZf3, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoKst, sql::kText),
    SQL_FIELD(PpsOperationRecord, AfoFbe, sql::kText),
};
// The columns of both cursors, in select order: AfoFbe comes before AfoKst.
constexpr uint8_t kCursorOrder[] = {
    kAfoApk, kAfoApp, kAfoVaf, kAfoNaf, kAfoBz1, kAfoBz2, kAfoTxt,
    kAfoSts, kAfoBgs, kAfoBgz, kAfoEns, kAfoEnz, kAfoAgs, kAfoSme,
    kAfoMee, kAfoSta, kAfoStr, kAfoSte, kAfoApg, kAfoApl, kAfoZf1,
    kAfoZf2, kAfoZf3, kAfoFbe, kAfoKst,
};
constexpr int kCursorCount = sizeof kCursorOrder;
// The key of one row.
const uint8_t kKeyOrder[] = {kAfoApk, kAfoApp};

// Cursor 1 (ascending) and cursor 2 (descending).
sql::Cursor g_cursor[2];
// The fetch buffer shared by both cursors, copied into the caller's record
// only when the cursor delivered a row.
PpsOperationRecord g_row;

bool ValidVariant(int variant) { return variant == 1 || variant == 2; }

}  // namespace

int Afo_Open(const char* lower, const char* upper, int variant) {
  static sql::Stmt s[2] = {
      {"select AfoApk ,AfoApp ,AfoVaf ,AfoNaf ,AfoBz1 ,AfoBz2 ,AfoTxt ,AfoSts ,AfoBgs ,AfoBgz ,"
       "AfoEns ,AfoEnz ,AfoAgs ,AfoSme ,AfoMee ,AfoSta ,AfoStr ,AfoSte ,AfoApg ,AfoApl ,AfoZf1 ,"
       "AfoZf2 ,AfoZf3 ,AfoFbe ,AfoKst  from Kvn503Afo where (AfoApk>:b0 and AfoApk<:b1) order by "
       "AfoApk asc"},
      {"select AfoApk ,AfoApp ,AfoVaf ,AfoNaf ,AfoBz1 ,AfoBz2 ,AfoTxt ,AfoSts ,AfoBgs ,AfoBgz ,"
       "AfoEns ,AfoEnz ,AfoAgs ,AfoSme ,AfoMee ,AfoSta ,AfoStr ,AfoSte ,AfoApg ,AfoApl ,AfoZf1 ,"
       "AfoZf2 ,AfoZf3 ,AfoFbe ,AfoKst  from Kvn503Afo where (AfoApk>:b0 and AfoApk<:b1) order by "
       "AfoApk desc"},
  };
  if (!ValidVariant(variant)) return 0;
  Text<13> lo;
  Text<13> hi;
  // A bound that does not fit its field selects nothing (bound as NULL).
  ArgText_Bound(lo, lower);
  ArgText_Bound(hi, upper);
  const sql::Bind binds[] = {sql::BText(lo), sql::BText(hi)};
  return sql::Open(g_cursor[variant - 1], s[variant - 1], binds, 2);
}

int Afo_Fetch(PpsOperationRecord& rec, int variant) {
  // No cursor of another variant is ever open; answering 0 here would keep a
  // fetch loop going for ever.
  if (!ValidVariant(variant)) return sql::kInvalidCursor;
  sql::Out outs[kCursorCount];
  sql::OutsOf(&g_row, kFields, kCursorOrder, kCursorCount, outs);
  int rc = sql::Fetch(g_cursor[variant - 1], outs, kCursorCount);
  if (rc == 0 || sql::NoFit(rc)) rec = g_row;
  return rc;
}

int Afo_Close(int variant) {
  if (!ValidVariant(variant)) return 0;
  return sql::Close(g_cursor[variant - 1]);
}

int Afo_PKeyDel(const PpsOperationRecord& rec) {
  static sql::WriteStmt w{{"savepoint Afo_PKeyDel_Sp"},
                          {"delete  from Kvn503Afo  where (AfoApk=:b0 and AfoApp=:b1)"},
                          {"rollback  to Afo_PKeyDel_Sp"}};
  constexpr int n = sizeof kKeyOrder;
  sql::Bind binds[n];
  sql::BindsOf(&rec, kFields, kKeyOrder, n, binds);
  return sql::Write(w, binds, n);
}

int Afo_PKeyReadk(PpsOperationRecord& rec) {
  static sql::Stmt s{
      "select AfoApk ,AfoApp ,AfoVaf ,AfoNaf ,AfoBz1 ,AfoBz2 ,AfoTxt ,AfoSts ,AfoBgs ,AfoBgz ,"
      "AfoEns ,AfoEnz ,AfoAgs ,AfoSme ,AfoMee ,AfoSta ,AfoStr ,AfoSte ,AfoApg ,AfoApl ,AfoZf1 ,"
      "AfoZf2 ,AfoZf3 ,AfoFbe ,AfoKst  from Kvn503Afo where (AfoApk=:b0 and AfoApp=:b1) "
      "for update"};
  // The key is bound from a copy: the outputs land in the same record.
  PpsOperationRecord key;
  key.AfoApk = rec.AfoApk;
  key.AfoApp = rec.AfoApp;
  constexpr int nkey = sizeof kKeyOrder;
  sql::Bind binds[nkey];
  sql::BindsOf(&key, kFields, kKeyOrder, nkey, binds);
  PpsOperationRecord row;
  sql::Out outs[kCursorCount];
  sql::OutsOf(&row, kFields, kCursorOrder, kCursorCount, outs);
  int rc = sql::SelectOne(s, binds, nkey, outs, kCursorCount);
  rec = rc == 0 ? row : PpsOperationRecord{};
  rec.AfoApk = key.AfoApk;
  rec.AfoApp = key.AfoApp;
  return rc;
}
