// The column description of the operation record, shared by every
// statement on Kvn504App: each statement lists the fields it binds or
// reads, in its own column order (sql/record.h).
#ifndef PPS2BDE_DB_DBSTD_APP_FIELDS_H_
#define PPS2BDE_DB_DBSTD_APP_FIELDS_H_

#include <cstdint>

#include "db/Dbstd/app.h"
#include "sql/record.h"

enum AppField : uint8_t {
  kAppApk, kAppApp, kAppVaf, kAppNaf, kAppBz1, kAppBz2, kAppTxt, kAppSts,
  kAppSis,
  kAppBdiDate, kAppBdiTime, kAppBdsDate, kAppBdsTime, kAppSbdDate, kAppSbdTime,
  kAppEdiDate, kAppEdiTime, kAppEdsDate, kAppEdsTime, kAppSedDate, kAppSedTime,
  kAppRadDate, kAppRadTime, kAppRedDate, kAppRedTime,
  kAppAgs, kAppAbs, kAppAes, kAppSme, kAppIme, kAppAme, kAppMee, kAppSza,
  kAppStr, kAppSte, kAppIta, kAppItr, kAppIte, kAppApg, kAppApl,
  kAppKt1, kAppKz1, kAppKt2, kAppKz2, kAppKt3, kAppKz3, kAppKt4, kAppKz4,
  kAppFbe, kAppKst, kAppZf1, kAppZf2, kAppZf3, kAppKnz, kAppDna, kAppDwn,
  kAppSsn, kAppSta, kAppDat, kAppErf,
  // The eight date-time columns as written: date part followed by time part.
  kAppBdi, kAppBds, kAppSbd, kAppEdi, kAppEds, kAppSed, kAppRad, kAppRed,
  // The same columns travelling as 32-bit integers (download cursor).
  kAppSsn32, kAppSta32,
  kAppFieldCount
};

extern const sql::Field kAppFields[kAppFieldCount];

// The 60 expressions of every read by key and cursor, in select order.
constexpr int kAppReadCount = 60;
extern const uint8_t kAppReadOrder[kAppReadCount];

#endif  // PPS2BDE_DB_DBSTD_APP_FIELDS_H_
