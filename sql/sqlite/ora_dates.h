// Oracle's date conversions over the stored form of a DATE column.
//
// A DATE is stored as the text "YYYY-MM-DD HH:MM:SS" (local time, the time
// always present).  TO_DATE reads a text through a format mask, TO_CHAR
// writes a date through one.  The mask elements are YYYY, MM, DD, HH24, MI
// and SS in any case (so 'yyyymmdd', 'HH24MISS', 'yyyymmddHH24MISS'), and the
// punctuation " -/:.,;" as literals.  Errors are Oracle's codes:
//   -1821 the mask has an unknown element
//   -1830 the input goes on after the mask has ended
//   -1841 year 0
//   -1843 month not 1..12
//   -1847 day not 1..last day of the month
//   -1850 hour not 0..23, -1851 minute not 0..59, -1852 second not 0..59
//   -1858 a non-digit where the mask wants digits
//   -1861 a character where the mask wants another literal
#ifndef PPS2BDE_SQL_SQLITE_ORA_DATES_H_
#define PPS2BDE_SQL_SQLITE_ORA_DATES_H_

#include <cstddef>
#include <ctime>

namespace sql {

// "YYYY-MM-DD HH:MM:SS" and its terminator.
constexpr size_t kStoredDateSize = 20;
// Longest mask taken (longer ones are -1821); TO_CHAR output fits in
// kMaxMask * 2 bytes.
constexpr size_t kMaxMask = 64;

struct OraDate {
  int year, month, day, hour, minute, second;
};

// TO_DATE: reads text[0..len-1] through mask[0..masklen-1] into *out.  The
// input may end early: the fields not reached take their lowest value
// (month and day 1, time 0).  Fields the mask does not name are taken from
// today (year, month), day 1 and time 0, as Oracle does.  Returns 0 or a
// negative code above.
[[nodiscard]] int OraDate_Parse(const char* text, size_t len, const char* mask,
                                size_t masklen, const OraDate& today,
                                OraDate* out);

// TO_CHAR: writes d through the mask into out[cap] with a terminator; *n
// gets the length.  Returns 0 or -1821.
[[nodiscard]] int OraDate_Format(const OraDate& d, const char* mask,
                                 size_t masklen, char* out, size_t cap,
                                 size_t* n);

// Reads the stored form ("YYYY-MM-DD", optionally followed by ' ' or 'T'
// and "HH:MM" or "HH:MM:SS", fractions of a second ignored).  Returns 0 or
// -1858 for any other text or an invalid date.
[[nodiscard]] int OraDate_FromStored(const char* text, size_t len, OraDate* out);

// Writes the stored form of d into out (kStoredDateSize bytes).
void OraDate_ToStored(const OraDate& d, char* out);

// The local time of t.
void OraDate_FromTime(time_t t, OraDate* out);

// Adds days (fractions are parts of a day, rounded to the second), as
// Oracle's date + number.  Returns 0, or -1841 when the result leaves the
// years 1 to 9999.
[[nodiscard]] int OraDate_AddDays(OraDate* d, double days);

// Days of the month (1..12) in the year.
int OraDate_DaysInMonth(int year, int month);

}  // namespace sql

#endif  // PPS2BDE_SQL_SQLITE_ORA_DATES_H_
