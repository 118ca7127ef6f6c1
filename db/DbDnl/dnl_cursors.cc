// The order and operation download cursors over Kvn501Apk and Kvn504App.
//
// The records' column descriptions are those of the table modules; a
// cursor's fetch lists the fields in its select order.  A fetch reads into
// a buffer record and copies it into the caller's record only on success,
// so a failed fetch leaves the caller's record as it was.
#include "db/DbDnl/dnl_cursors.h"

#include <cstdint>
#include <cstring>

#include "db/Dbstd/apk_fields.h"
#include "db/Dbstd/app_fields.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

// --- Orders.

// The 36 columns of the order cursor, in select order.
constexpr uint8_t kApkOrder[] = {
    kApkApk, kApkBz1, kApkBz2, kApkTxt, kApkSts, kApkSis, kApkKun,
    kApkKb1, kApkKb2, kApkBgs, kApkEns, kApkAfo, kApkEaf, kApkTnr,
    kApkTb1, kApkTb2, kApkSme, kApkIme, kApkMee, kApkBdiDate, kApkBdiTime,
    kApkEdiDate, kApkEdiTime, kApkFbe, kApkKst, kApkZf1, kApkZf2, kApkZf3,
    kApkKnz, kApkSsn32, kApkDna, kApkDwn, kApkSta32, kApkDat, kApkErf, kApkAba};
constexpr int kApkCount = sizeof kApkOrder;
static_assert(kApkCount == 36);

// The select positions of the texts read through 30-byte host buffers:
// TO_CHAR(ApkBdi,'yyyymmdd'), TO_CHAR(ApkEdi,'yyyymmdd') and
// TO_CHAR(ApkDat,'yyyymmddHH24MISS').
constexpr int kApkBdiPos = 19;
constexpr int kApkEdiPos = 21;
constexpr int kApkDatPos = 33;
static_assert(kApkOrder[kApkBdiPos] == kApkBdiDate &&
              kApkOrder[kApkEdiPos] == kApkEdiDate &&
              kApkOrder[kApkDatPos] == kApkDat);

// --- Operations.

// The 60 columns of the operation cursor, in select order.
constexpr uint8_t kAppOrder[] = {
    kAppApk, kAppApp, kAppVaf, kAppNaf, kAppBz1, kAppBz2, kAppTxt, kAppSts,
    kAppSis,
    kAppBdiDate, kAppBdiTime, kAppBdsDate, kAppBdsTime, kAppSbdDate, kAppSbdTime,
    kAppEdiDate, kAppEdiTime, kAppEdsDate, kAppEdsTime, kAppSedDate, kAppSedTime,
    kAppRadDate, kAppRadTime, kAppRedDate, kAppRedTime,
    kAppAgs, kAppAbs, kAppAes, kAppSme, kAppIme, kAppAme, kAppMee, kAppSza,
    kAppStr, kAppSte, kAppIta, kAppItr, kAppIte, kAppApg, kAppApl,
    kAppKt1, kAppKz1, kAppKt2, kAppKz2, kAppKt3, kAppKz3, kAppKt4, kAppKz4,
    kAppFbe, kAppKst, kAppZf1, kAppZf2, kAppZf3, kAppKnz, kAppSsn32, kAppDna,
    kAppDwn, kAppSta32, kAppDat, kAppErf};
constexpr int kAppCount = sizeof kAppOrder;
static_assert(kAppCount == 60);

// TO_CHAR(AppDat,'yyyymmddHH24MISS') is read through a 30-byte host buffer.
constexpr int kAppDatPos = 58;
static_assert(kAppOrder[kAppDatPos] == kAppDat);

// The fields that name the row or its terminal: a value that does not fit
// is the row's error (-1406), never cut into another row's key or area.
const uint8_t kApkKeys[] = {kApkApk, kApkFbe};
const uint8_t kAppKeys[] = {kAppApk, kAppApp, kAppFbe};

// True for the statuses of a delivered row (0, or a value that does not fit).
bool Delivered(int rc) { return rc == 0 || sql::NoFit(rc); }

// The selector as bound: at most 8 characters.  A longer one is bound as
// NULL, which equals no marker, instead of being cut into another marker.
Text<9> SelectorOf(const char* selector) {
  Text<9> s;
  if (selector != nullptr && strnlen(selector, 9) < 9) s = selector;
  return s;
}

}  // namespace

static sql::Cursor g_apk;
static sql::Cursor g_app;

int Apk_OpenDnl(const char* selector) {
  static sql::Stmt s{
      "select ApkApk ,ApkBz1 ,ApkBz2 ,ApkTxt ,ApkSts ,ApkSis ,ApkKun ,ApkKb1 ,"
      "ApkKb2 ,TO_CHAR(ApkBgs,'yyyymmdd') ,TO_CHAR(ApkEns,'yyyymmdd') ,ApkAfo ,"
      "ApkEaf ,ApkTnr ,ApkTb1 ,ApkTb2 ,ApkSme ,ApkIme ,ApkMee ,"
      "TO_CHAR(ApkBdi,'yyyymmdd') ,TO_CHAR(ApkBdi,'HH24MISS') ,"
      "TO_CHAR(ApkEdi,'yyyymmdd') ,TO_CHAR(ApkEdi,'HH24MISS') ,ApkFbe ,ApkKst ,"
      "ApkZf1 ,ApkZf2 ,ApkZf3 ,ApkKnz ,ApkSsn ,ApkDna ,ApkDwn ,ApkSta ,"
      "TO_CHAR(ApkDat,'yyyymmddHH24MISS') ,ApkErf ,ApkAba  from Kvn501Apk "
      "where ApkDwn=:b0 order by ApkDwn,ApkFbe"};
  Text<9> sel = SelectorOf(selector);
  sql::Bind binds[] = {sql::BText(sel)};
  return sql::Open(g_apk, s, binds, 1);
}

int Apk_FetchDnl(OrderRecord& rec) {
  OrderRecord row;
  Text<30> bdi;
  Text<30> edi;
  Text<30> dat;
  sql::Out outs[kApkCount];
  sql::OutsOf(&row, kApkFields, kApkOrder, kApkCount, outs);
  sql::MarkKeys(kApkOrder, kApkCount, kApkKeys, sizeof kApkKeys, outs);
  outs[kApkBdiPos] = sql::OText(bdi);
  outs[kApkEdiPos] = sql::OText(edi);
  outs[kApkDatPos] = sql::OText(dat);
  int rc = sql::Fetch(g_apk, outs, kApkCount);
  if (!Delivered(rc)) return rc;
  row.ApkBdiDate.Set(bdi);
  row.ApkEdiDate.Set(edi);
  row.ApkDat.Set(dat);
  rec = row;
  return rc;
}

int Apk_CloseDnl() { return sql::Close(g_apk); }

int App_OpenDnl(const char* selector) {
  static sql::Stmt s{
      "select AppApk ,AppApp ,AppVaf ,AppNaf ,AppBz1 ,AppBz2 ,AppTxt ,AppSts ,"
      "AppSis ,TO_CHAR(AppBdi,'yyyymmdd') ,TO_CHAR(AppBdi,'HH24MISS') ,"
      "TO_CHAR(AppBds,'yyyymmdd') ,TO_CHAR(AppBds,'HH24MISS') ,"
      "TO_CHAR(AppSbd,'yyyymmdd') ,TO_CHAR(AppSbd,'HH24MISS') ,"
      "TO_CHAR(AppEdi,'yyyymmdd') ,TO_CHAR(AppEdi,'HH24MISS') ,"
      "TO_CHAR(AppEds,'yyyymmdd') ,TO_CHAR(AppEds,'HH24MISS') ,"
      "TO_CHAR(AppSed,'yyyymmdd') ,TO_CHAR(AppSed,'HH24MISS') ,"
      "TO_CHAR(AppRad,'yyyymmdd') ,TO_CHAR(AppRad,'HH24MISS') ,"
      "TO_CHAR(AppRed,'yyyymmdd') ,TO_CHAR(AppRed,'HH24MISS') ,AppAgs ,AppAbs ,"
      "AppAes ,AppSme ,AppIme ,AppAme ,AppMee ,AppSza ,AppStr ,AppSte ,AppIta ,"
      "AppItr ,AppIte ,AppApg ,AppApl ,AppKt1 ,AppKz1 ,AppKt2 ,AppKz2 ,AppKt3 ,"
      "AppKz3 ,AppKt4 ,AppKz4 ,AppFbe ,AppKst ,AppZf1 ,AppZf2 ,AppZf3 ,AppKnz ,"
      "AppSsn ,AppDna ,AppDwn ,AppSta ,TO_CHAR(AppDat,'yyyymmddHH24MISS') ,"
      "AppErf  from Kvn504App where AppDwn=:b0 order by AppDwn,AppFbe"};
  Text<9> sel = SelectorOf(selector);
  sql::Bind binds[] = {sql::BText(sel)};
  return sql::Open(g_app, s, binds, 1);
}

int App_FetchDnl(OperationRecord& rec) {
  OperationRecord row;
  Text<30> dat;
  sql::Out outs[kAppCount];
  sql::OutsOf(&row, kAppFields, kAppOrder, kAppCount, outs);
  sql::MarkKeys(kAppOrder, kAppCount, kAppKeys, sizeof kAppKeys, outs);
  outs[kAppDatPos] = sql::OText(dat);
  int rc = sql::Fetch(g_app, outs, kAppCount);
  if (!Delivered(rc)) return rc;
  row.AppDat.Set(dat);
  rec = row;
  return rc;
}

int App_CloseDnl() { return sql::Close(g_app); }
