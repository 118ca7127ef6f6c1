// Statements of the operation table Kvn504App.
//
// The columns of the operation record are described once (kAppFields); every
// statement names the fields it binds or reads, in its own column order.
#include "db/Dbstd/app.h"

#include <cstddef>
#include <cstring>

#include "db/Dbstd/app_fields.h"
#include "db/Dbstd/arg_text.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

#define F(name, type) SQL_FIELD(OperationRecord, name, type)
#define P(column) SQL_PAIR(OperationRecord, column##Date, column##Time)
const sql::Field kAppFields[kAppFieldCount] = {
    F(AppApk, sql::kText),     F(AppApp, sql::kText),     F(AppVaf, sql::kText),
    F(AppNaf, sql::kText),     F(AppBz1, sql::kText),     F(AppBz2, sql::kText),
    F(AppTxt, sql::kText),     F(AppSts, sql::kI16),      F(AppSis, sql::kI16),
    F(AppBdiDate, sql::kText), F(AppBdiTime, sql::kText), F(AppBdsDate, sql::kText),
    F(AppBdsTime, sql::kText), F(AppSbdDate, sql::kText), F(AppSbdTime, sql::kText),
    F(AppEdiDate, sql::kText), F(AppEdiTime, sql::kText), F(AppEdsDate, sql::kText),
    F(AppEdsTime, sql::kText), F(AppSedDate, sql::kText), F(AppSedTime, sql::kText),
    F(AppRadDate, sql::kText), F(AppRadTime, sql::kText), F(AppRedDate, sql::kText),
    F(AppRedTime, sql::kText),
    F(AppAgs, sql::kI32),      F(AppAbs, sql::kI32),      F(AppAes, sql::kI32),
    F(AppSme, sql::kF64),      F(AppIme, sql::kF64),      F(AppAme, sql::kF64),
    F(AppMee, sql::kText),     F(AppSza, sql::kF64),      F(AppStr, sql::kF64),
    F(AppSte, sql::kF64),      F(AppIta, sql::kF64),      F(AppItr, sql::kF64),
    F(AppIte, sql::kF64),      F(AppApg, sql::kText),     F(AppApl, sql::kText),
    F(AppKt1, sql::kText),     F(AppKz1, sql::kText),     F(AppKt2, sql::kText),
    F(AppKz2, sql::kText),     F(AppKt3, sql::kText),     F(AppKz3, sql::kText),
    F(AppKt4, sql::kText),     F(AppKz4, sql::kText),     F(AppFbe, sql::kText),
    F(AppKst, sql::kText),     F(AppZf1, sql::kText),     F(AppZf2, sql::kText),
    F(AppZf3, sql::kText),     F(AppKnz, sql::kText),     F(AppDna, sql::kText),
    F(AppDwn, sql::kText),     F(AppSsn, sql::kI16),      F(AppSta, sql::kI16),
    F(AppDat, sql::kText),     F(AppErf, sql::kText),
    P(AppBdi), P(AppBds), P(AppSbd), P(AppEdi), P(AppEds), P(AppSed), P(AppRad),
    P(AppRed),
    F(AppSsn, sql::kI32),      F(AppSta, sql::kI32),
};
#undef P
#undef F

const uint8_t kAppReadOrder[kAppReadCount] = {
    kAppApk, kAppApp, kAppVaf, kAppNaf, kAppBz1, kAppBz2, kAppTxt, kAppSts,
    kAppSis,
    kAppBdiDate, kAppBdiTime, kAppBdsDate, kAppBdsTime, kAppSbdDate, kAppSbdTime,
    kAppEdiDate, kAppEdiTime, kAppEdsDate, kAppEdsTime, kAppSedDate, kAppSedTime,
    kAppRadDate, kAppRadTime, kAppRedDate, kAppRedTime,
    kAppAgs, kAppAbs, kAppAes, kAppSme, kAppIme, kAppAme, kAppMee, kAppSza,
    kAppStr, kAppSte, kAppIta, kAppItr, kAppIte, kAppApg, kAppApl,
    kAppKt1, kAppKz1, kAppKt2, kAppKz2, kAppKt3, kAppKz3, kAppKt4, kAppKz4,
    kAppFbe, kAppKst, kAppZf1, kAppZf2, kAppZf3, kAppKnz, kAppSsn, kAppDna,
    kAppDwn, kAppSta, kAppDat, kAppErf};

namespace {

// :b0 to :b50 of the insert.
const uint8_t kInsertOrder[] = {
    kAppApk, kAppApp, kAppVaf, kAppNaf, kAppBz1, kAppBz2, kAppTxt, kAppSts,
    kAppSis, kAppBdi, kAppBds, kAppSbd, kAppEdi, kAppEds, kAppSed, kAppRad,
    kAppRed, kAppAgs, kAppAbs, kAppAes, kAppSme, kAppIme, kAppAme, kAppMee,
    kAppSza, kAppStr, kAppSte, kAppIta, kAppItr, kAppIte, kAppApg, kAppApl,
    kAppKt1, kAppKz1, kAppKt2, kAppKz2, kAppKt3, kAppKz3, kAppKt4, kAppKz4,
    kAppFbe, kAppKst, kAppZf1, kAppZf2, kAppZf3, kAppKnz, kAppSsn, kAppDna,
    kAppDwn, kAppSta, kAppErf};
// :b0 to :b50 of the update.
const uint8_t kUpdateOrder[] = {
    kAppApk, kAppApp, kAppVaf, kAppNaf, kAppBz1, kAppBz2, kAppTxt, kAppSts,
    kAppSis, kAppBdi, kAppBds, kAppSbd, kAppEdi, kAppEds, kAppSed, kAppRad,
    kAppRed, kAppAgs, kAppAbs, kAppAes, kAppSme, kAppIme, kAppAme, kAppMee,
    kAppSza, kAppStr, kAppSte, kAppIta, kAppItr, kAppIte, kAppApg, kAppApl,
    kAppKt1, kAppKz1, kAppKt2, kAppKz2, kAppKt3, kAppKz3, kAppKt4, kAppKz4,
    kAppFbe, kAppKst, kAppZf1, kAppZf2, kAppZf3, kAppKnz, kAppSsn, kAppSta,
    kAppErf, kAppDwn, kAppDna};

constexpr int kReadCount = kAppReadCount;
constexpr int kInsertCount = sizeof kInsertOrder;
constexpr int kUpdateCount = sizeof kUpdateOrder;
static_assert(kReadCount == 60);
static_assert(kInsertCount == 51 && kUpdateCount == 51);

// The select list and table of every read.
#define APP_SELECT                                                            \
  "select AppApk ,AppApp ,AppVaf ,AppNaf ,AppBz1 ,AppBz2 ,AppTxt ,AppSts ,"   \
  "AppSis ,TO_CHAR(AppBdi,'yyyymmdd') ,TO_CHAR(AppBdi,'HH24MISS') ,"          \
  "TO_CHAR(AppBds,'yyyymmdd') ,TO_CHAR(AppBds,'HH24MISS') ,"                  \
  "TO_CHAR(AppSbd,'yyyymmdd') ,TO_CHAR(AppSbd,'HH24MISS') ,"                  \
  "TO_CHAR(AppEdi,'yyyymmdd') ,TO_CHAR(AppEdi,'HH24MISS') ,"                  \
  "TO_CHAR(AppEds,'yyyymmdd') ,TO_CHAR(AppEds,'HH24MISS') ,"                  \
  "TO_CHAR(AppSed,'yyyymmdd') ,TO_CHAR(AppSed,'HH24MISS') ,"                  \
  "TO_CHAR(AppRad,'yyyymmdd') ,TO_CHAR(AppRad,'HH24MISS') ,"                  \
  "TO_CHAR(AppRed,'yyyymmdd') ,TO_CHAR(AppRed,'HH24MISS') ,AppAgs ,AppAbs ,"  \
  "AppAes ,AppSme ,AppIme ,AppAme ,AppMee ,AppSza ,AppStr ,AppSte ,AppIta ,"  \
  "AppItr ,AppIte ,AppApg ,AppApl ,AppKt1 ,AppKz1 ,AppKt2 ,AppKz2 ,AppKt3 ,"  \
  "AppKz3 ,AppKt4 ,AppKz4 ,AppFbe ,AppKst ,AppZf1 ,AppZf2 ,AppZf3 ,AppKnz ,"  \
  "AppSsn ,AppDna ,AppDwn ,AppSta ,TO_CHAR(AppDat,'yyyymmddHH24MISS') ,"      \
  "AppErf  from Kvn504App "

// The cursors: the key range per direction (index 0: direction 1), the
// inclusive range without one status, and the rows of one AppZf2.
sql::Cursor g_range[2];
sql::Cursor g_sts;
sql::Cursor g_zf2;

// The key-range cursor of a direction, or null for any other direction.
sql::Cursor* RangeCursor(int direction) {
  if (direction == 1 || direction == 2) return &g_range[direction - 1];
  return nullptr;
}

// Fetches the next row of c straight into rec.
int FetchInto(sql::Cursor& c, OperationRecord& rec) {
  sql::Out outs[kReadCount];
  sql::OutsOf(&rec, kAppFields, kAppReadOrder, kReadCount, outs);
  return sql::Fetch(c, outs, kReadCount);
}

// Bounded copies of the four key texts of a range.
struct KeyRange {
  Text<13> fromOrder;
  Text<6> fromOperation;
  Text<13> toOrder;
  Text<6> toOperation;
};

KeyRange RangeOf(const char* fromOrder, const char* fromOperation,
                 const char* toOrder, const char* toOperation) {
  KeyRange r;
  // A bound that does not fit its field selects nothing: the order bounds,
  // which every variant uses, are then bound as NULL.
  bool fit = ArgText_Set(r.fromOrder, fromOrder);
  fit = ArgText_Set(r.fromOperation, fromOperation) && fit;
  fit = ArgText_Set(r.toOrder, toOrder) && fit;
  fit = ArgText_Set(r.toOperation, toOperation) && fit;
  if (!fit) {
    r.fromOrder.Clear();
    r.toOrder.Clear();
  }
  return r;
}

// True when text does not fit a field of width bytes.
bool TooLong(const char* text, size_t width) {
  return text != nullptr && strnlen(text, width) >= width;
}

}  // namespace

void App_TakeRow(OperationRecord& rec, int status) {
  if (status == 0) return;
  static const uint8_t kKeep[] = {kAppApk, kAppApp};
  sql::ClearFields(&rec, kAppFields, kAppFieldCount, kKeep, 2);
}

int App_PKeyReadk(OperationRecord& rec) {
  static sql::Stmt s{APP_SELECT "where (AppApk=:b0 and AppApp=:b2)"};
  // The key is bound from a copy: the outputs land in the same record.
  Text<13> order = rec.AppApk;
  Text<6> operation = rec.AppApp;
  sql::Bind binds[] = {sql::BText(order), sql::BText(operation)};
  sql::Out outs[kReadCount];
  sql::OutsOf(&rec, kAppFields, kAppReadOrder, kReadCount, outs);
  int rc = sql::SelectOne(s, binds, 2, outs, kReadCount);
  App_TakeRow(rec, rc);
  return rc;
}

int App_PKeyIns(const OperationRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint App_PKeyIns_Sp"},
      {"insert into Kvn504App (AppApk,AppApp,AppVaf,AppNaf,AppBz1,AppBz2,"
       "AppTxt,AppSts,AppSis,AppBdi,AppBds,AppSbd,AppEdi,AppEds,AppSed,AppRad,"
       "AppRed,AppAgs,AppAbs,AppAes,AppSme,AppIme,AppAme,AppMee,AppSza,AppStr,"
       "AppSte,AppIta,AppItr,AppIte,AppApg,AppApl,AppKt1,AppKz1,AppKt2,AppKz2,"
       "AppKt3,AppKz3,AppKt4,AppKz4,AppFbe,AppKst,AppZf1,AppZf2,AppZf3,AppKnz,"
       "AppSsn,AppDna,AppDwn,AppSta,AppDat,AppErf) values (:b0,:b1,:b2,:b3,"
       ":b4,:b5,:b6,:b7,:b8,TO_DATE(:b9,'yyyymmddHH24MISS'),"
       "TO_DATE(:b10,'yyyymmddHH24MISS'),TO_DATE(:b11,'yyyymmddHH24MISS'),"
       "TO_DATE(:b12,'yyyymmddHH24MISS'),TO_DATE(:b13,'yyyymmddHH24MISS'),"
       "TO_DATE(:b14,'yyyymmddHH24MISS'),TO_DATE(:b15,'yyyymmddHH24MISS'),"
       "TO_DATE(:b16,'yyyymmddHH24MISS'),:b17,:b18,:b19,:b20,:b21,:b22,:b23,"
       ":b24,:b25,:b26,:b27,:b28,:b29,:b30,:b31,:b32,:b33,:b34,:b35,:b36,:b37,"
       ":b38,:b39,:b40,:b41,:b42,:b43,:b44,:b45,:b46,:b47,:b48,:b49,sysdate,"
       ":b50)"},
      {"rollback  to App_PKeyIns_Sp"}};
  sql::Bind binds[kInsertCount];
  sql::BindsOf(&rec, kAppFields, kInsertOrder, kInsertCount, binds);
  return sql::Write(w, binds, kInsertCount);
}

int App_PKeyUpd(const OperationRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint App_PKeyUpd_Sp"},
      {"update KVN504App  set AppApk=:b0,AppApp=:b1,AppVaf=:b2,AppNaf=:b3,"
       "AppBz1=:b4,AppBz2=:b5,AppTxt=:b6,AppSts=:b7,AppSis=:b8,"
       "AppBdi=TO_DATE(:b9,'yyyymmddHH24MISS'),"
       "AppBds=TO_DATE(:b10,'yyyymmddHH24MISS'),"
       "AppSbd=TO_DATE(:b11,'yyyymmddHH24MISS'),"
       "AppEdi=TO_DATE(:b12,'yyyymmddHH24MISS'),"
       "AppEds=TO_DATE(:b13,'yyyymmddHH24MISS'),"
       "AppSed=TO_DATE(:b14,'yyyymmddHH24MISS'),"
       "AppRad=TO_DATE(:b15,'yyyymmddHH24MISS'),"
       "AppRed=TO_DATE(:b16,'yyyymmddHH24MISS'),AppAgs=:b17,AppAbs=:b18,"
       "AppAes=:b19,AppSme=:b20,AppIme=:b21,AppAme=:b22,AppMee=:b23,"
       "AppSza=:b24,AppStr=:b25,AppSte=:b26,AppIta=:b27,AppItr=:b28,"
       "AppIte=:b29,AppApg=:b30,AppApl=:b31,AppKt1=:b32,AppKz1=:b33,"
       "AppKt2=:b34,AppKz2=:b35,AppKt3=:b36,AppKz3=:b37,AppKt4=:b38,"
       "AppKz4=:b39,AppFbe=:b40,AppKst=:b41,AppZf1=:b42,AppZf2=:b43,"
       "AppZf3=:b44,AppKnz=:b45,AppSsn=:b46,AppSta=:b47,AppDat=sysdate,"
       "AppErf=:b48,AppDwn=:b49,AppDna=:b50 where (AppApk=:b0 and AppApp=:b1)"},
      {"rollback  to App_PKeyUpd_Sp"}};
  sql::Bind binds[kUpdateCount];
  sql::BindsOf(&rec, kAppFields, kUpdateOrder, kUpdateCount, binds);
  return sql::Write(w, binds, kUpdateCount);
}

int App_PKeyDel(const char* orderNumber, const char* operationNumber) {
  static sql::WriteStmt w{
      {"savepoint App_PKeyDel_Sp"},
      {"delete  from Kvn504App  where (AppApk=:b0 and AppApp=:b1)"},
      {"rollback  to App_PKeyDel_Sp"}};
  // A key longer than its columns cannot name an operation; cutting it to
  // fit would delete another one.
  if (TooLong(orderNumber, 13) || TooLong(operationNumber, 6))
    return sql::kNoData;
  Text<13> order;
  Text<6> operation;
  order = orderNumber;
  operation = operationNumber;
  sql::Bind binds[] = {sql::BText(order), sql::BText(operation)};
  return sql::Write(w, binds, 2);
}

int App_Open(const char* fromOrder, const char* fromOperation,
             const char* toOrder, const char* toOperation, int direction) {
  static sql::Stmt ascending{
      APP_SELECT
      "where ((AppApk>:b0 or (AppApk=:b0 and AppApp>:b2)) and (AppApk<:b3 or "
      "(AppApk=:b3 and AppApp<:b5))) order by AppApk,AppApp"};
  static sql::Stmt descending{
      APP_SELECT
      "where (AppApk>:b0 and AppApk<:b1) order by AppApk,AppApp desc"};
  sql::Cursor* c = RangeCursor(direction);
  if (c == nullptr) return 0;
  KeyRange r = RangeOf(fromOrder, fromOperation, toOrder, toOperation);
  if (direction == 1) {
    sql::Bind binds[] = {sql::BText(r.fromOrder), sql::BText(r.fromOperation),
                         sql::BText(r.toOrder), sql::BText(r.toOperation)};
    return sql::Open(*c, ascending, binds, 4);
  }
  sql::Bind binds[] = {sql::BText(r.fromOrder), sql::BText(r.toOrder)};
  return sql::Open(*c, descending, binds, 2);
}

int App_Fetch(OperationRecord& rec, int direction) {
  sql::Cursor* c = RangeCursor(direction);
  int rc = c != nullptr ? FetchInto(*c, rec) : sql::kInvalidCursor;
  App_TakeRow(rec, rc);
  return rc;
}

int App_Close(int direction) {
  sql::Cursor* c = RangeCursor(direction);
  if (c == nullptr) return 0;
  return sql::Close(*c);
}

int App_OpenSts(const char* fromOrder, const char* fromOperation,
                const char* toOrder, const char* toOperation,
                int32_t excludedStatus) {
  static sql::Stmt s{
      APP_SELECT
      "where (((AppApk>:b0 or (AppApk=:b0 and AppApp>=:b2)) and (AppApk<:b3 or "
      "(AppApk=:b3 and AppApp<=:b5))) and AppSts<>:b6) order by AppApk,AppApp"};
  KeyRange r = RangeOf(fromOrder, fromOperation, toOrder, toOperation);
  sql::Bind binds[] = {sql::BText(r.fromOrder), sql::BText(r.fromOperation),
                       sql::BText(r.toOrder), sql::BText(r.toOperation),
                       sql::BI16(excludedStatus)};
  return sql::Open(g_sts, s, binds, 5);
}

int App_FetchSts(OperationRecord& rec) {
  int rc = FetchInto(g_sts, rec);
  App_TakeRow(rec, rc);
  return rc;
}

int App_CloseSts() { return sql::Close(g_sts); }

int App_CountZf2(const char* zf2, int32_t* count) {
  static sql::Stmt s{"select count(*)  from Kvn504App where AppZf2=:b1"};
  Text<31> value;
  value = zf2;
  int32_t n = 0;
  sql::Bind binds[] = {sql::BText(value)};
  sql::Out outs[] = {sql::OI32(n)};
  int rc = sql::SelectOne(s, binds, 1, outs, 1);
  if (count != nullptr) *count = rc == 0 ? n : 0;
  return rc;
}

int App_OpenZf2(const char* zf2) {
  static sql::Stmt s{APP_SELECT "where AppZf2=:b0 order by AppZf2"};
  Text<31> value;
  value = zf2;
  sql::Bind binds[] = {sql::BText(value)};
  return sql::Open(g_zf2, s, binds, 1);
}

int App_FetchZf2(OperationRecord& rec) { return FetchInto(g_zf2, rec); }

int App_CloseZf2() { return sql::Close(g_zf2); }
