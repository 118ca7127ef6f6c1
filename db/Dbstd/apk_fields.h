// The column description of the order record, shared by every statement
// on Kvn501Apk: each statement lists the fields it binds or reads, in its
// own column order (sql/record.h).
#ifndef PPS2BDE_DB_DBSTD_APK_FIELDS_H_
#define PPS2BDE_DB_DBSTD_APK_FIELDS_H_

#include <cstdint>

#include "db/Dbstd/apk.h"
#include "sql/record.h"

enum ApkField : uint8_t {
  kApkApk, kApkBz1, kApkBz2, kApkTxt, kApkSts, kApkSis, kApkKun, kApkKb1,
  kApkKb2, kApkBgs, kApkEns, kApkAfo, kApkEaf, kApkTnr, kApkTb1, kApkTb2,
  kApkSme, kApkIme, kApkMee, kApkBdiDate, kApkBdiTime, kApkEdiDate,
  kApkEdiTime, kApkFbe, kApkKst, kApkZf1, kApkZf2, kApkZf3, kApkKnz, kApkSsn,
  kApkDna, kApkDwn, kApkSta, kApkDat, kApkErf, kApkAba,
  // The date-time columns as written: date part followed by time part.
  kApkBdi, kApkEdi,
  // The same columns travelling as 32-bit integers (download cursor).
  kApkSsn32, kApkSta32,
  kApkFieldCount
};

extern const sql::Field kApkFields[kApkFieldCount];

// The 35 expressions of the read by key, in select order.
constexpr int kApkReadCount = 35;
extern const uint8_t kApkReadOrder[kApkReadCount];

#endif  // PPS2BDE_DB_DBSTD_APK_FIELDS_H_
