// The table of days Kvn133Bak (one row per calendar date) and the day
// counting built on it.
//
// The functions return the database status (0, 1403 no row, negative Oracle
// code) unless stated otherwise and log nothing.  Days are yyyymmdd texts;
// a longer text names no day (bound as NULL, never cut), an invalid one is
// the Oracle error of its conversion (-1843 not a valid month, ...).
#ifndef PPS2BDE_DB_DBSTD_CALENDAR_H_
#define PPS2BDE_DB_DBSTD_CALENDAR_H_

#include <cstdint>

#include "base/text.h"

// One row of Kvn133Bak.
struct BakRecord {
  Text<9> BakDtm;        // the date, yyyymmdd
  int32_t BakJhr = 0;    // year
  int32_t BakMon = 0;    // month
  int32_t BakTag = 0;    // day of the month
  int32_t BakWch = 0;    // week
  int32_t BakWtg = 0;    // weekday
  int32_t BakJtg = 0;    // day of the year
};

// Reads the row of the date that lies days after day (before it when days
// is negative) into rec; rec is written only on 0.  1403 when the table has
// no row for that date.
[[nodiscard]] int Bak_ReadOffset(const char* day, int32_t days, BakRecord& rec);

// Counts the rows after the day from up to and including the day to into
// *count (written only on 0): 0 for two equal days or from after to.
[[nodiscard]] int Bak_CountDays(const char* from, const char* to, int32_t* count);

// Day arithmetic over the table of days:
//   kind 1: returns the number of rows after date1 up to and including
//           *date2 (Bak_CountDays), or 0 when that read fails;
//   kind 2: writes into *date2 the date that lies days after date1
//           (Bak_ReadOffset), or date1 itself when that read fails, and
//           returns the read status;
//   other kinds return 0 and touch nothing.
// date1 may be date2's own text.
[[nodiscard]] int Cal_Days(int kind, int32_t days, const char* date1, Text<9>* date2);

#endif  // PPS2BDE_DB_DBSTD_CALENDAR_H_
