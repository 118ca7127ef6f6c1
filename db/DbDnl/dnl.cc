#include "db/DbDnl/dnl.h"

#include "db/DbDnl/stamp_key.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

sql::Cursor g_cursor;

// The fetch buffers: the widths of the cursor's host variables.
struct FetchBuffers {
  Text<9> date;
  Text<7> time;
  int32_t DnlLfn;
  Text<4> DnlVkz;
  Text<11> DnlBer;
  Text<4> DnlFun;
  Text<4> DnlSkz;
  Text<9> DnlPnr;
  Text<13> DnlApk;
  Text<6> DnlApp;
  Text<11> DnlApl;
  Text<256> DnlDnl;
  Text<9> DnlErf;
};
FetchBuffers g_buf;

enum { kLfn, kVkz, kBer, kFun, kSkz, kPnr, kApk, kApp, kApl, kDnl, kErf };
const sql::Field kRecordFields[] = {
    SQL_FIELD(QueueRecord, DnlLfn, sql::kI32), SQL_FIELD(QueueRecord, DnlVkz, sql::kText),
    SQL_FIELD(QueueRecord, DnlBer, sql::kText), SQL_FIELD(QueueRecord, DnlFun, sql::kText),
    SQL_FIELD(QueueRecord, DnlSkz, sql::kText), SQL_FIELD(QueueRecord, DnlPnr, sql::kText),
    SQL_FIELD(QueueRecord, DnlApk, sql::kText), SQL_FIELD(QueueRecord, DnlApp, sql::kText),
    SQL_FIELD(QueueRecord, DnlApl, sql::kText), SQL_FIELD(QueueRecord, DnlDnl, sql::kText),
    SQL_FIELD(QueueRecord, DnlErf, sql::kText),
};
const uint8_t kInsertOrder[] = {kLfn, kVkz, kBer, kFun, kSkz, kPnr,
                                kApk, kApp, kApl, kDnl, kErf};

}  // namespace

int Dnl_Open(const char* date, const char* time, const char* recorder) {
  static sql::Stmt s{
      "select TO_CHAR(DnlDta,'yyyymmdd') ,TO_CHAR(DnlDta,'HH24MISS') ,DnlLfn ,DnlVkz ,DnlBer ,"
      "DnlFun ,DnlSkz ,DnlPnr ,DnlApk ,DnlApp ,DnlApl ,DnlDnl ,DnlErf  from Kvn540Dnl where "
      "(TO_CHAR(DnlDta,'yyyymmddHH24MISS')=:b0 and DnlErf=:b1) order by DnlSkz"};
  Text<9> d;
  Text<7> t;
  Text<9> r;
  d = date;
  t = time;
  r = recorder;
  char key[15];
  Dnl_StampKey(d.c_str(), t.c_str(), key);
  sql::Bind binds[] = {sql::BText(key, 15), sql::BText(r)};
  return sql::Open(g_cursor, s, binds, 2);
}

int Dnl_Fetch(QueueRecord& rec) {
  FetchBuffers& b = g_buf;
  const sql::Out outs[] = {
      sql::OText(b.date),   sql::OText(b.time),   sql::OI32(b.DnlLfn), sql::OText(b.DnlVkz),
      sql::OText(b.DnlBer), sql::OText(b.DnlFun), sql::OText(b.DnlSkz), sql::OText(b.DnlPnr),
      sql::OKey(b.DnlApk),  sql::OKey(b.DnlApp),  sql::OText(b.DnlApl), sql::OText(b.DnlDnl),
      sql::OText(b.DnlErf)};
  // The order and operation numbers name the rows the queue row asks for:
  // cut to the record's fields they could name others (-1406).
  static_assert(sizeof b.DnlApk == sizeof rec.DnlApk && sizeof b.DnlApp == sizeof rec.DnlApp);
  int rc = sql::Fetch(g_cursor, outs, sizeof outs / sizeof outs[0]);
  if (rc != 0 && !sql::NoFit(rc)) return rc;
  rec.DnlDtaDate.Set(b.date);
  rec.DnlDtaTime.Set(b.time);
  rec.DnlLfn = b.DnlLfn;
  rec.DnlVkz.Set(b.DnlVkz);
  rec.DnlBer.Set(b.DnlBer);  // cut to the record's 5 characters
  rec.DnlFun.Set(b.DnlFun);
  rec.DnlSkz.Set(b.DnlSkz);
  rec.DnlPnr.Set(b.DnlPnr);
  rec.DnlApk.Set(b.DnlApk);
  rec.DnlApp.Set(b.DnlApp);
  rec.DnlApl.Set(b.DnlApl);
  rec.DnlDnl.Set(b.DnlDnl);
  rec.DnlErf.Set(b.DnlErf);
  return rc;
}

int Dnl_Close() { return sql::Close(g_cursor); }

int Dnl_PKeyIns(const QueueRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Dnl_PKeyIns_Sp"},
      {"insert into Kvn540Dnl (DnlDta,DnlLfn,DnlVkz,DnlBer,DnlFun,DnlSkz,DnlPnr,DnlApk,DnlApp,"
       "DnlApl,DnlDnl,DnlDat,DnlErf) values (sysdate,:b0,:b1,:b2,:b3,:b4,:b5,:b6,:b7,:b8,:b9,"
       "sysdate,:b10)"},
      {"rollback  to Dnl_PKeyIns_Sp"}};
  constexpr int n = sizeof kInsertOrder;
  sql::Bind binds[n];
  sql::BindsOf(&rec, kRecordFields, kInsertOrder, n, binds);
  binds[kDnl].width = 256;  // the column holds up to 255 characters
  return sql::Write(w, binds, n);
}

int Dnl_PKeyDel(const QueueRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Dnl_PKeyDel_Sp"},
      {"delete  from Kvn540Dnl  where ((TO_CHAR(DnlDta,'yyyymmddHH24MISS')=:b0 and DnlErf=:b1) "
       "and DnlLfn=:b2)"},
      {"rollback  to Dnl_PKeyDel_Sp"}};
  char key[15];
  Dnl_StampKey(rec.DnlDtaDate.c_str(), rec.DnlDtaTime.c_str(), key);
  sql::Bind binds[] = {sql::BText(key, 15), sql::BText(rec.DnlErf), sql::BI32(rec.DnlLfn)};
  return sql::Write(w, binds, 3);
}
