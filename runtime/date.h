// Date and time texts of the current local time, and conversions between
// date texts, time texts and time differences.  The clock is read through
// the Env (runtime/os/env.h), so tests can fix it.
#ifndef PPS2BDE_RUNTIME_DATE_H_
#define PPS2BDE_RUNTIME_DATE_H_

#include <cstdint>

// Writes the current local time in one of four layouts and returns 0:
//   1: dateOut "%d%m20%y" (ddmm20yy)          timeOut "%H%M%S"
//   2: dateOut "%d%m20%y%H%M%S" (14 chars)    timeOut cleared
//   3: dateOut "20%y%m%d" (yyyymmdd)          timeOut "%H%M%S"
//   4: dateOut "20%y%m%d%H%M%S" (14 chars)    timeOut cleared
//   other: both cleared.
// dateOut needs 15 bytes for layouts 2 and 4 and 9 otherwise, timeOut 7.
int Date_Now(char* dateOut, char* timeOut, int layout);

int Num_FromText(const char* text, double* number, int decimals);
int32_t Time_DiffSec(const char* date1, const char* time1, const char* date2,
                     const char* time2);
int32_t Time_ToMinutes(const char* time);
void Time_FromMinutes(int32_t minutes, char* out /* 7 bytes */);
void Date_Compact(const char* source, char* target /* 15 bytes */,
                  const char* code);
void Date_DbForm(char* date, char* time, char* stamp /* 27 bytes */,
                 const char* code);
int64_t Stamp_DiffSec(const char* stamp1, const char* stamp2);
void Stamp_Split(const char* stamp, char* dateOut /* 11 */, char* timeOut /* 9 */);
int32_t Time_Seconds(const char* hhmmss);
int64_t Date_EpochSeconds(int day, int month, int year);
int32_t Date_DayOfYear(int day, int month, int year);
int32_t Date_DaysBetween(int day1, int month1, int year1, int day2, int month2,
                         int year2);
int32_t Date_MonthDays(int month, int year);

#endif  // PPS2BDE_RUNTIME_DATE_H_
