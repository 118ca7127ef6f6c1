// Dates the job converts itself.  Every date the job binds goes through
// Oracle's TO_DATE with the mask 'yyyymmdd' or 'yyyymmddHH24MISS', which on
// the server is the strict PL/pgSQL function ora_to_date.  A value with all
// the digits of its mask and a valid date needs none of its checks: the
// engine sends it as a timestamp, in a second prepared form of the
// statement where the call is a cast; any other value goes to the function
// as written, which names its error.
#ifndef PPS2BDE_SQL_POSTGRES_POSTGRES_DATES_H_
#define PPS2BDE_SQL_POSTGRES_POSTGRES_DATES_H_

#include <string>
#include <vector>

namespace sql {
namespace pg {

// A parameter that is only ever a TO_DATE argument with one of those masks.
struct DateParam {
  int index;      // 0-based, as $index+1
  bool withTime;  // 'yyyymmddHH24MISS' (else 'yyyymmdd')
};

// Rewrites each ora_TO_DATE($n,'mask') of an adapted statement text whose
// mask is one of the two and whose $n appears nowhere else into
// $n::timestamp(0), into *quick, and lists those parameters in *dates.
// False (quick and dates empty) when there is none.
bool Dates_QuickForm(const std::string& text, std::string* quick,
                     std::vector<DateParam>* dates);

// When value is a date in its mask's form with every digit (year not 0,
// month 1..12, a day of that month, hour 0..23, minute and second 0..59):
// true with *iso "YYYY-MM-DD HH:MM:SS".  False for anything else.
bool Dates_Quick(const std::string& value, bool withTime, std::string* iso);

}  // namespace pg
}  // namespace sql

#endif  // PPS2BDE_SQL_POSTGRES_POSTGRES_DATES_H_
