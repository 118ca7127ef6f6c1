#include "sql/sqlite/ora_dates.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "sql/errors.h"

namespace sql {
namespace {

enum Kind { kYearField, kMonthField, kDayField, kHourField, kMinuteField,
            kSecondField, kLiteral };

struct Element {
  Kind kind;
  int width;  // digits of a field
  char ch;    // a literal
};

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool StartsWith(const char* p, size_t n, const char* word) {
  size_t w = std::strlen(word);
  if (n < w) return false;
  for (size_t i = 0; i < w; ++i)
    if (Upper(p[i]) != word[i]) return false;
  return true;
}

int Tokenize(const char* mask, size_t n, Element* out, int* count) {
  static const struct { const char* word; Kind kind; int width; } kWords[] = {
      {"YYYY", kYearField, 4},  {"HH24", kHourField, 2}, {"MM", kMonthField, 2},
      {"DD", kDayField, 2},     {"MI", kMinuteField, 2}, {"SS", kSecondField, 2},
  };
  if (mask == nullptr || n > kMaxMask) return kBadDateFormat;
  int k = 0;
  size_t i = 0;
  while (i < n) {
    bool found = false;
    for (const auto& w : kWords) {
      if (StartsWith(mask + i, n - i, w.word)) {
        out[k++] = Element{w.kind, w.width, 0};
        i += std::strlen(w.word);
        found = true;
        break;
      }
    }
    if (found) continue;
    if (std::strchr(" -/:.,;", mask[i]) == nullptr || mask[i] == '\0')
      return kBadDateFormat;
    out[k++] = Element{kLiteral, 0, mask[i++]};
  }
  *count = k;
  return kOk;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t* y, int* m, int* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = yoe + era * 400 + (*m <= 2);
}

// Reads exactly n digits at p.
bool Digits(const char* p, int n, int* v) {
  *v = 0;
  for (int i = 0; i < n; ++i) {
    if (!IsDigit(p[i])) return false;
    *v = *v * 10 + (p[i] - '0');
  }
  return true;
}

// Writes the last n decimal digits of v (taken as positive), zero-padded.
void PutDigits(char* out, int v, int n) {
  unsigned u = v < 0 ? 0u - static_cast<unsigned>(v) : static_cast<unsigned>(v);
  for (int i = n - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + u % 10);
    u /= 10;
  }
}

}  // namespace

int OraDate_DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

int OraDate_Parse(const char* text, size_t len, const char* mask,
                  size_t masklen, const OraDate& today, OraDate* out) {
  Element el[kMaxMask];
  int count = 0;
  int rc = Tokenize(mask, masklen, el, &count);
  if (rc != kOk) return rc;
  OraDate d{today.year, today.month, 1, 0, 0, 0};
  // A field the input does not reach keeps its lowest value.
  for (int i = 0; i < count; ++i)
    if (el[i].kind == kMonthField) d.month = 1;
  size_t pos = 0;
  for (int i = 0; i < count && pos < len; ++i) {
    const Element& e = el[i];
    if (e.kind == kLiteral) {
      if (text[pos] != e.ch) return kFormatMismatch;
      ++pos;
      continue;
    }
    if (!IsDigit(text[pos])) return kNonNumeric;
    int v = 0;
    for (int k = 0; k < e.width && pos < len && IsDigit(text[pos]); ++k, ++pos)
      v = v * 10 + (text[pos] - '0');
    switch (e.kind) {
      case kYearField:
        if (v == 0) return kYear;
        d.year = v;
        break;
      case kMonthField:
        if (v < 1 || v > 12) return kNotValidMonth;
        d.month = v;
        break;
      case kDayField:
        if (v < 1 || v > 31) return kDayOfMonth;
        d.day = v;
        break;
      case kHourField:
        if (v > 23) return kHour;
        d.hour = v;
        break;
      case kMinuteField:
        if (v > 59) return kMinute;
        d.minute = v;
        break;
      case kSecondField:
        if (v > 59) return kSecond;
        d.second = v;
        break;
      case kLiteral:
        break;
    }
  }
  if (pos < len) return kFormatEnds;
  if (d.day > OraDate_DaysInMonth(d.year, d.month)) return kDayOfMonth;
  *out = d;
  return kOk;
}

int OraDate_Format(const OraDate& d, const char* mask, size_t masklen,
                   char* out, size_t cap, size_t* n) {
  Element el[kMaxMask];
  int count = 0;
  int rc = Tokenize(mask, masklen, el, &count);
  if (rc != kOk) return rc;
  size_t k = 0;
  for (int i = 0; i < count; ++i) {
    const Element& e = el[i];
    int w = e.kind == kLiteral ? 1 : e.width;
    if (k + static_cast<size_t>(w) >= cap) return kBadDateFormat;
    switch (e.kind) {
      case kYearField: PutDigits(out + k, d.year, w); break;
      case kMonthField: PutDigits(out + k, d.month, w); break;
      case kDayField: PutDigits(out + k, d.day, w); break;
      case kHourField: PutDigits(out + k, d.hour, w); break;
      case kMinuteField: PutDigits(out + k, d.minute, w); break;
      case kSecondField: PutDigits(out + k, d.second, w); break;
      case kLiteral: out[k] = e.ch; break;
    }
    k += w;
  }
  if (cap == 0) return kBadDateFormat;
  out[k] = '\0';
  *n = k;
  return kOk;
}

int OraDate_FromStored(const char* text, size_t len, OraDate* out) {
  OraDate d{0, 0, 0, 0, 0, 0};
  if (len < 10 || !Digits(text, 4, &d.year) || text[4] != '-' ||
      !Digits(text + 5, 2, &d.month) || text[7] != '-' ||
      !Digits(text + 8, 2, &d.day))
    return kNonNumeric;
  size_t pos = 10;
  if (pos < len) {
    if ((text[pos] != ' ' && text[pos] != 'T') || len < pos + 6 ||
        !Digits(text + pos + 1, 2, &d.hour) || text[pos + 3] != ':' ||
        !Digits(text + pos + 4, 2, &d.minute))
      return kNonNumeric;
    pos += 6;
    if (pos < len) {
      if (text[pos] != ':' || len < pos + 3 || !Digits(text + pos + 1, 2, &d.second))
        return kNonNumeric;
      pos += 3;
      if (pos < len) {
        if (text[pos] != '.') return kNonNumeric;
        for (++pos; pos < len; ++pos)
          if (!IsDigit(text[pos])) return kNonNumeric;
      }
    }
  }
  if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1 ||
      d.day > OraDate_DaysInMonth(d.year, d.month) || d.hour > 23 ||
      d.minute > 59 || d.second > 59)
    return kNonNumeric;
  *out = d;
  return kOk;
}

void OraDate_ToStored(const OraDate& d, char* out) {
  PutDigits(out, d.year, 4);
  out[4] = '-';
  PutDigits(out + 5, d.month, 2);
  out[7] = '-';
  PutDigits(out + 8, d.day, 2);
  out[10] = ' ';
  PutDigits(out + 11, d.hour, 2);
  out[13] = ':';
  PutDigits(out + 14, d.minute, 2);
  out[16] = ':';
  PutDigits(out + 17, d.second, 2);
  out[19] = '\0';
}

void OraDate_FromTime(time_t t, OraDate* out) {
  struct tm tm;
  if (localtime_r(&t, &tm) == nullptr) {
    *out = OraDate{1970, 1, 1, 0, 0, 0};
    return;
  }
  *out = OraDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                 tm.tm_hour, tm.tm_min, tm.tm_sec};
}

int OraDate_AddDays(OraDate* d, double days) {
  // Beyond this the result leaves the years 1..9999 anyway; the bound keeps
  // the arithmetic below far from overflow.
  if (!std::isfinite(days) || std::fabs(days) > 4.0e6) return kYear;
  int64_t secs = DaysFromCivil(d->year, d->month, d->day) * 86400 +
                 d->hour * 3600 + d->minute * 60 + d->second +
                 std::llround(days * 86400.0);
  int64_t day = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
  int64_t rest = secs - day * 86400;
  int64_t year = 0;
  int month = 0, mday = 0;
  CivilFromDays(day, &year, &month, &mday);
  if (year < 1 || year > 9999) return kYear;
  *d = OraDate{static_cast<int>(year), month, mday, static_cast<int>(rest / 3600),
               static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60)};
  return kOk;
}

}  // namespace sql
