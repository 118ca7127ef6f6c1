// Dates the job converts itself (postgres_dates.h).
#include "sql/postgres/postgres_dates.h"

#include <strings.h>

#include <cstring>

namespace sql {
namespace pg {
namespace {

constexpr char kCall[] = "ora_TO_DATE($";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// How often $n stands in text as a placeholder of its own.
int Uses(const std::string& text, int n) {
  const std::string mark = "$" + std::to_string(n);
  int uses = 0;
  for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) {
    const size_t end = at + mark.size();
    if (end >= text.size() || !IsDigit(text[end])) ++uses;
  }
  return uses;
}

}  // namespace

bool Dates_QuickForm(const std::string& text, std::string* quick,
                     std::vector<DateParam>* dates) {
  quick->clear();
  dates->clear();
  constexpr size_t kCallLen = sizeof kCall - 1;
  size_t copied = 0;
  for (size_t at = 0; at + kCallLen <= text.size(); ++at) {
    if (strncasecmp(text.c_str() + at, kCall, kCallLen) != 0) continue;
    // $n,'mask')
    size_t i = at + kCallLen;
    int n = 0;
    const size_t digits = i;
    while (i < text.size() && IsDigit(text[i]) && i - digits < 6) n = n * 10 + (text[i++] - '0');
    if (i == digits || n < 1) continue;
    const size_t placeholder = at + kCallLen - 1;  // the '$'
    const size_t placeholderEnd = i;
    bool withTime;
    if (strncasecmp(text.c_str() + i, ",'yyyymmddHH24MISS')", 20) == 0) {
      withTime = true;
      i += 19;
    } else if (strncasecmp(text.c_str() + i, ",'yyyymmdd')", 12) == 0) {
      withTime = false;
      i += 11;
    } else {
      continue;
    }
    if (i >= text.size() || text[i] != ')' || Uses(text, n) != 1) continue;
    quick->append(text, copied, at - copied);
    quick->append(text, placeholder, placeholderEnd - placeholder);
    quick->append("::timestamp(0)");
    copied = i + 1;
    at = i;
    dates->push_back(DateParam{n - 1, withTime});
  }
  if (dates->empty()) {
    quick->clear();
    return false;
  }
  quick->append(text, copied, std::string::npos);
  return true;
}

bool Dates_Quick(const std::string& value, bool withTime, std::string* iso) {
  if (value.size() != (withTime ? 14u : 8u)) return false;
  for (char c : value)
    if (!IsDigit(c)) return false;
  auto num = [&](size_t at, size_t len) {
    int x = 0;
    for (size_t k = at; k < at + len; ++k) x = x * 10 + (value[k] - '0');
    return x;
  };
  const int y = num(0, 4), mo = num(4, 2), d = num(6, 2);
  const int h = withTime ? num(8, 2) : 0, mi = withTime ? num(10, 2) : 0,
            s = withTime ? num(12, 2) : 0;
  if (y == 0 || mo < 1 || mo > 12 || d < 1 || h > 23 || mi > 59 || s > 59) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (d > kDays[mo - 1] + (mo == 2 && leap ? 1 : 0)) return false;
  // The digits as they stand, in the server's ISO form.
  iso->assign(value, 0, 4).append(1, '-').append(value, 4, 2).append(1, '-');
  iso->append(value, 6, 2).append(1, ' ');
  if (withTime)
    iso->append(value, 8, 2).append(1, ':').append(value, 10, 2).append(1, ':').append(value, 12, 2);
  else
    iso->append("00:00:00");
  return true;
}

}  // namespace pg
}  // namespace sql
