// Date and time texts of the current local time, and conversions between
// date texts, time texts and time differences.  The clock is read through
// the Env (runtime/os/env.h), so tests can fix it.
//
// Texts are digits, zero-padded.  The century is always written as "20", so
// the texts of the current time are right for the years 2000 to 2099.
//
// The conversions read their input texts only up to their terminator or to
// the last position they need, whichever comes first: a short or malformed
// text gives a short or wrong result, never a read or write past a buffer.
// A field of digits is read like atoi (leading blanks, a sign, digits; no
// digits give 0).  Outputs are fixed-width texts (base/text.h).
#ifndef PPS2BDE_RUNTIME_DATE_H_
#define PPS2BDE_RUNTIME_DATE_H_

#include <cstdint>

#include "base/text.h"

// Writes the current local time (Env_LocalTime, read once, so date and time
// always belong to the same instant) in one of four layouts and returns 0:
//   1: dateOut "%d%m20%y" (ddmm20yy)          timeOut "%H%M%S"
//   2: dateOut "%d%m20%y%H%M%S" (14 chars)    timeOut cleared
//   3: dateOut "20%y%m%d" (yyyymmdd)          timeOut "%H%M%S"
//   4: dateOut "20%y%m%d%H%M%S" (14 chars)    timeOut cleared
//   other: both cleared.
// "Cleared" means the first four bytes are zero.  dateOut needs 15 bytes for
// layouts 2 and 4 and 9 otherwise, timeOut 7; nothing is written beyond
// that.  A null pointer is skipped.
int Date_Now(char* dateOut, char* timeOut, int layout);

// Reads a number with an implied decimal point: leading '0' and ' '
// characters are skipped, the last decimals characters of the rest are the
// fraction (text "001234" with 2 decimals gives 12.34; "  12" with 2 gives
// 0.12).  Both parts are read like atof and hold at most 11 characters each.
// Returns 0 with *number set.  Returns -1 with *number 0 when decimals is
// negative, the rest is shorter than decimals, or a part is longer than 11
// characters.  A null text counts as empty; a null number returns -1.
[[nodiscard]] int Num_FromText(const char* text, double* number, int decimals);

// Seconds of time2 minus seconds of time1 (HHMMSS texts, each counted as
// hours*3600 + minutes*60 + seconds).  The dates do not take part.
int32_t Time_DiffSec(const char* date1, const char* time1, const char* date2,
                     const char* time2);

// Hours*60 + minutes of the first four characters of an HHMM... text.
int32_t Time_ToMinutes(const char* time);

// Writes "%02d%02d00" of minutes/60 and minutes%60; "240000" becomes
// "235959" (the end of the day).
void Time_FromMinutes(int32_t minutes, Text<7>* out);

// Code "D": DD.MM.YYYY to YYYYMMDD; code "Z": HH:MM:SS to HHMMSS; code "T":
// DD.MM.YYYYHH:MM:SS to YYYYMMDDHHMMSS; any other code (or null) gives an
// empty target.  At most 29 characters of source are read.
void Date_Compact(const char* source, Text<15>* target, const char* code);

// Converts to and from the database stamp form:
//   "D":  date YYYYMMDD to stamp YYYY-MM-DD;
//   "Z":  time HHMMSS to stamp HH.MM.SS;
//   "T":  date and time to stamp YYYY-MM-DD-HH.MM.SS.000000 (26 characters);
//   "TS": date holding YYYYMMDDHHMMSS to the same 26-character stamp;
//   "DZ": stamp YYYYMMDDHHMMSS to date YYYY-MM-DD and time HH.MM.SS.
// Any other code (or null) changes nothing.
void Date_DbForm(Text<15>* date, Text<9>* time, Text<27>* stamp, const char* code);

// Seconds of stamp1 minus seconds of stamp2 (yyyymmddHHMMSS texts), each
// counted as Date_EpochSeconds of its date plus the seconds of its time.
int64_t Stamp_DiffSec(const char* stamp1, const char* stamp2);

// Splits a stamp yyyymmddHHMMSS into date DD.MM.YYYY and time HH:MM:SS.
void Stamp_Split(const char* stamp, Text<11>* dateOut, Text<9>* timeOut);

// Hours*3600 + minutes*60 + seconds of an HH:MM:SS text.
int32_t Time_Seconds(const char* hhmmss);

// Date_DaysBetween of 1 January 1970 and the date, times 86400.  A year
// below 100 gets 1900 added when it is 70 or more, else 2000.  (The day
// difference is absolute: dates before 1970 count forward as well.)
int64_t Date_EpochSeconds(int day, int month, int year);

// Day plus the lengths (Date_MonthDays) of the months 1..month-1 of year;
// months beyond 12 add nothing more.
int32_t Date_DayOfYear(int day, int month, int year);

// Absolute difference of the day numbers of the two dates, the day number
// being Date_DayOfYear + year*365 + the leap days of the years before
// (integer part of (year-1)/4 - ((year-1)/100)*0.75).
int32_t Date_DaysBetween(int day1, int month1, int year1, int day2, int month2,
                         int year2);

// Days of the month: 30 for 4, 6, 9, 11; for 2, 29 in years divisible by
// 400, or by 4 and not by 100, else 28; 31 otherwise.
int32_t Date_MonthDays(int month, int year);

#endif  // PPS2BDE_RUNTIME_DATE_H_
