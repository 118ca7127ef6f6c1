// The order interface table Kvn500Auk: the order cursor, the removal of a
// processed row, and the marking of all operations of one order.
#include "db/DbDnl/auk.h"

#include <cstdint>

#include "db/Dbstd/arg_text.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

// The columns of Kvn500Auk, in record order.
enum {
  kAukApk, kAukBz1, kAukBz2, kAukTxt, kAukSts, kAukAfo, kAukKun,
  kAukKb1, kAukKb2, kAukBgs, kAukEns, kAukTnr, kAukTb1, kAukTb2,
  kAukSme, kAukMee, kAukZf1, kAukZf2, kAukZf3, kAukFbe, kAukKst,
};
const sql::Field kFields[] = {
    SQL_FIELD(PpsOrderRecord, AukApk, sql::kKey),
    SQL_FIELD(PpsOrderRecord, AukBz1, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukBz2, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukTxt, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukSts, sql::kI16),
    SQL_FIELD(PpsOrderRecord, AukAfo, sql::kI16),
    SQL_FIELD(PpsOrderRecord, AukKun, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukKb1, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukKb2, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukBgs, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukEns, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukTnr, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukTb1, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukTb2, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukSme, sql::kF64),
    SQL_FIELD(PpsOrderRecord, AukMee, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukZf1, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukZf2, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukZf3, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukFbe, sql::kText),
    SQL_FIELD(PpsOrderRecord, AukKst, sql::kText),
};
// The columns of the cursor, in select order.
constexpr uint8_t kCursorOrder[] = {
    kAukApk, kAukBz1, kAukBz2, kAukTxt, kAukSts, kAukBgs, kAukEns,
    kAukAfo, kAukTnr, kAukTb1, kAukTb2, kAukSme, kAukMee, kAukZf1,
    kAukZf2, kAukZf3, kAukKun, kAukKb1, kAukKb2, kAukFbe, kAukKst,
};
constexpr int kCursorCount = sizeof kCursorOrder;

// The operation columns that Apk_AppDel writes, with its key.
enum { kAppDwn, kAppDna, kAppApk };
const sql::Field kAppFields[] = {
    SQL_FIELD(OperationRecord, AppDwn, sql::kText),
    SQL_FIELD(OperationRecord, AppDna, sql::kText),
    SQL_FIELD(OperationRecord, AppApk, sql::kText),
};
const uint8_t kAppDelOrder[] = {kAppDwn, kAppDna, kAppApk};

sql::Cursor g_cursor;
// The fetch buffer: one row as the cursor delivers it, copied into the
// caller's record only when the cursor delivered a row.
PpsOrderRecord g_row;

}  // namespace

int Auk_Open(const char* lower, const char* upper) {
  static sql::Stmt s{
      "select AukApk ,AukBz1 ,AukBz2 ,AukTxt ,AukSts ,AukBgs ,AukEns ,AukAfo ,AukTnr ,AukTb1 ,"
      "AukTb2 ,AukSme ,AukMee ,AukZf1 ,AukZf2 ,AukZf3 ,AukKun ,AukKb1 ,AukKb2 ,AukFbe ,AukKst  "
      "from Kvn500Auk where (AukApk>:b0 and AukApk<:b1) order by AukApk"};
  Text<13> lo;
  Text<13> hi;
  // A bound that does not fit its field selects nothing (bound as NULL).
  ArgText_Bound(lo, lower);
  ArgText_Bound(hi, upper);
  const sql::Bind binds[] = {sql::BText(lo), sql::BText(hi)};
  return sql::Open(g_cursor, s, binds, 2);
}

int Auk_Fetch(PpsOrderRecord& rec) {
  sql::Out outs[kCursorCount];
  sql::OutsOf(&g_row, kFields, kCursorOrder, kCursorCount, outs);
  int rc = sql::Fetch(g_cursor, outs, kCursorCount);
  if (rc == 0 || sql::NoFit(rc)) rec = g_row;
  return rc;
}

int Auk_Close() { return sql::Close(g_cursor); }

int Auk_PKeyDel(const char* orderNumber) {
  static sql::WriteStmt w{{"savepoint Auk_PKeyDel_Sp"},
                          {"delete  from Kvn500Auk  where AukApk=:b0"},
                          {"rollback  to Auk_PKeyDel_Sp"}};
  // A number longer than the column names no row; cut, it could name
  // another order.
  Text<13> key;
  if (!ArgText_Set(key, orderNumber)) return sql::kNoData;
  const sql::Bind binds[] = {sql::BText(key)};
  return sql::Write(w, binds, 1);
}

int Apk_AppDel(const OperationRecord& op) {
  static sql::WriteStmt w{{"savepoint Apk_AppDel_Sp"},
                          {"update KVN504App  set AppDwn=:b0,AppDna=:b1 where AppApk=:b2"},
                          {"rollback  to Apk_AppDel_Sp"}};
  constexpr int n = sizeof kAppDelOrder;
  sql::Bind binds[n];
  sql::BindsOf(&op, kAppFields, kAppDelOrder, n, binds);
  return sql::Write(w, binds, n);
}

int Auk_PKeyReadk(PpsOrderRecord& rec) {
  static sql::Stmt s{
      "select AukApk ,AukBz1 ,AukBz2 ,AukTxt ,AukSts ,AukBgs ,AukEns ,AukAfo ,AukTnr ,AukTb1 ,"
      "AukTb2 ,AukSme ,AukMee ,AukZf1 ,AukZf2 ,AukZf3 ,AukKun ,AukKb1 ,AukKb2 ,AukFbe ,AukKst  "
      "from Kvn500Auk where AukApk=:b0 for update"};
  // The key is bound from a copy: the outputs land in the same record.
  Text<13> key = rec.AukApk;
  const sql::Bind binds[] = {sql::BText(key)};
  PpsOrderRecord row;
  sql::Out outs[kCursorCount];
  sql::OutsOf(&row, kFields, kCursorOrder, kCursorCount, outs);
  int rc = sql::SelectOne(s, binds, 1, outs, kCursorCount);
  rec = rc == 0 ? row : PpsOrderRecord{};
  rec.AukApk = key;
  return rc;
}

int Auk_Waiting(const char* orderNumber) {
  static sql::Stmt s{"select count(*)  from Kvn500Auk where AukApk=:b0"};
  Text<13> key;
  key = orderNumber;
  const sql::Bind binds[] = {sql::BText(key)};
  int32_t n = 0;
  const sql::Out outs[] = {sql::OI32(n)};
  int rc = sql::SelectOne(s, binds, 1, outs, 1);
  if (rc != 0) return rc;
  return n > 0 ? 0 : sql::kNoData;
}
