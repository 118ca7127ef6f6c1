#include "runtime/date.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "runtime/os/env.h"

namespace {

// Writes v (0..99) as two digits.
char* Put2(char* p, int v) {
  v = ((v % 100) + 100) % 100;
  p[0] = static_cast<char>('0' + v / 10);
  p[1] = static_cast<char>('0' + v % 10);
  return p + 2;
}

// The characters pos..pos+count-1 of s read like atoi; characters after the
// terminator of s are never read.
int Field(const char* s, size_t pos, size_t count) {
  if (s == nullptr) return 0;
  const size_t n = strnlen(s, pos + count);
  if (n <= pos) return 0;
  const char* p = s + pos;
  const char* end = s + n;
  while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  int value = 0;  // at most count digits, count being small
  for (; p < end && *p >= '0' && *p <= '9'; ++p) value = value * 10 + (*p - '0');
  return negative ? -value : value;
}

// A zero-filled copy of at most cap-1 characters of s, so that fixed
// positions can be picked from it; positions after the text read as zero.
template <size_t N>
Text<N> Copy(const char* s) {
  Text<N> t;
  t.Set(s);
  return t;
}

// Writes form to out, except that a capital letter picks the character of
// src at its position ('A' = 0); a position beyond src[srcCap] gives a zero
// byte.  A zero byte picked from a short source ends the result there.
void Fill(const char* src, size_t srcCap, const char* form, char* out) {
  size_t i = 0;
  for (; form[i] != '\0'; ++i) {
    const char f = form[i];
    if (f < 'A' || f > 'Z') {
      out[i] = f;
      continue;
    }
    const size_t pos = static_cast<size_t>(f - 'A');
    out[i] = pos < srcCap ? src[pos] : '\0';
  }
  out[i] = '\0';
}

bool CodeIs(const char* code, const char* want) {
  return code != nullptr && std::strcmp(code, want) == 0;
}

}  // namespace

int Date_Now(char* dateOut, char* timeOut, int layout) {
  struct tm t;
  Env_LocalTime(&t);
  if (dateOut) std::memset(dateOut, 0, 4);
  if (timeOut) std::memset(timeOut, 0, 4);

  char date[9], time[7];
  if (layout == 1 || layout == 2) {  // ddmm20yy
    char* p = Put2(Put2(date, t.tm_mday), t.tm_mon + 1);
    Put2(Put2(p, 20), t.tm_year % 100);
  } else {  // 20yymmdd
    Put2(Put2(Put2(Put2(date, 20), t.tm_year % 100), t.tm_mon + 1), t.tm_mday);
  }
  Put2(Put2(Put2(time, t.tm_hour), t.tm_min), t.tm_sec);

  switch (layout) {
    case 1:
    case 3:
      if (dateOut) {
        std::memcpy(dateOut, date, 8);
        dateOut[8] = '\0';
      }
      if (timeOut) {
        std::memcpy(timeOut, time, 6);
        timeOut[6] = '\0';
      }
      break;
    case 2:
    case 4:
      if (dateOut) {
        std::memcpy(dateOut, date, 8);
        std::memcpy(dateOut + 8, time, 6);
        dateOut[14] = '\0';
      }
      break;
    default:
      break;
  }
  return 0;
}

int Num_FromText(const char* text, double* number, int decimals) {
  constexpr size_t kPartMax = 11;
  if (number == nullptr) return -1;
  *number = 0;
  if (text == nullptr) text = "";
  while (*text == '0' || *text == ' ') ++text;
  const size_t len = strnlen(text, 2 * kPartMax + 1);
  if (decimals < 0 || len < static_cast<size_t>(decimals)) return -1;
  const size_t fracLen = static_cast<size_t>(decimals);
  const size_t intLen = len - fracLen;
  if (intLen > kPartMax || fracLen > kPartMax) return -1;

  char part[kPartMax + 1];
  std::memcpy(part, text, intLen);
  part[intLen] = '\0';
  const double whole = std::strtod(part, nullptr);
  std::memcpy(part, text + intLen, fracLen);
  part[fracLen] = '\0';
  const double fraction = std::strtod(part, nullptr);
  *number = whole + fraction * std::pow(10.0, -decimals);
  return 0;
}

int32_t Time_DiffSec(const char* /*date1*/, const char* time1,
                     const char* /*date2*/, const char* time2) {
  const int32_t s1 = Field(time1, 0, 2) * 3600 + Field(time1, 2, 2) * 60 + Field(time1, 4, 2);
  const int32_t s2 = Field(time2, 0, 2) * 3600 + Field(time2, 2, 2) * 60 + Field(time2, 4, 2);
  return s2 - s1;
}

int32_t Time_ToMinutes(const char* time) {
  return Field(time, 0, 2) * 60 + Field(time, 2, 2);
}

void Time_FromMinutes(int32_t minutes, Text<7>* out) {
  if (out == nullptr) return;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d%02d00", static_cast<int>(minutes / 60),
                static_cast<int>(minutes % 60));
  out->Set(std::strcmp(buf, "240000") == 0 ? "235959" : buf);
}

void Date_Compact(const char* source, Text<15>* target, const char* code) {
  if (target == nullptr) return;
  const Text<30> src = Copy<30>(source);
  char out[15] = {};
  if (CodeIs(code, "D")) {
    Fill(src.s, sizeof src.s, "GHIJDEAB", out);  // DD.MM.YYYY
  } else if (CodeIs(code, "Z")) {
    Fill(src.s, sizeof src.s, "ABDEGH", out);  // HH:MM:SS
  } else if (CodeIs(code, "T")) {
    Fill(src.s, sizeof src.s, "GHIJDEABKLNOQR", out);  // DD.MM.YYYYHH:MM:SS
  }
  target->Set(out);
}

void Date_DbForm(Text<15>* date, Text<9>* time, Text<27>* stamp, const char* code) {
  if (date == nullptr || time == nullptr || stamp == nullptr) return;
  const Text<15> d = Copy<15>(date->s);
  const Text<9> t = Copy<9>(time->s);
  const Text<27> s = Copy<27>(stamp->s);
  char out[27];
  if (CodeIs(code, "D")) {
    Fill(d.s, sizeof d.s, "ABCD-EF-GH", out);
    stamp->Set(out);
  } else if (CodeIs(code, "Z")) {
    Fill(t.s, sizeof t.s, "AB.CD.EF", out);
    stamp->Set(out);
  } else if (CodeIs(code, "T")) {
    char both[15] = {};
    std::memcpy(both, d.s, 8);
    std::memcpy(both + 8, t.s, 6);
    Fill(both, sizeof both, "ABCD-EF-GH-IJ.KL.MN.000000", out);
    stamp->Set(out);
  } else if (CodeIs(code, "TS")) {
    Fill(d.s, sizeof d.s, "ABCD-EF-GH-IJ.KL.MN.000000", out);
    stamp->Set(out);
  } else if (CodeIs(code, "DZ")) {
    Fill(s.s, sizeof s.s, "ABCD-EF-GH", out);
    date->Set(out);
    Fill(s.s, sizeof s.s, "IJ.KL.MN", out);
    time->Set(out);
  }
}

int64_t Stamp_DiffSec(const char* stamp1, const char* stamp2) {
  auto seconds = [](const char* s) {
    return Date_EpochSeconds(Field(s, 6, 2), Field(s, 4, 2), Field(s, 0, 4)) +
           Field(s, 8, 2) * 3600 + Field(s, 10, 2) * 60 + Field(s, 12, 2);
  };
  return seconds(stamp1) - seconds(stamp2);
}

void Stamp_Split(const char* stamp, Text<11>* dateOut, Text<9>* timeOut) {
  const Text<15> s = Copy<15>(stamp);
  char out[11];
  if (dateOut) {
    Fill(s.s, sizeof s.s, "GH.EF.ABCD", out);
    dateOut->Set(out);
  }
  if (timeOut) {
    Fill(s.s, sizeof s.s, "IJ:KL:MN", out);
    timeOut->Set(out);
  }
}

int32_t Time_Seconds(const char* hhmmss) {
  return Field(hhmmss, 0, 2) * 3600 + Field(hhmmss, 3, 2) * 60 + Field(hhmmss, 6, 2);
}

int64_t Date_EpochSeconds(int day, int month, int year) {
  if (year < 100) year += year >= 70 ? 1900 : 2000;
  return static_cast<int64_t>(Date_DaysBetween(1, 1, 1970, day, month, year)) * 86400;
}

int32_t Date_DayOfYear(int day, int month, int year) {
  int64_t days = day;
  for (int m = 1; m < month && m <= 12; ++m) days += Date_MonthDays(m, year);
  return static_cast<int32_t>(days);
}

namespace {

int64_t DayNumber(int day, int month, int year) {
  const int64_t y = static_cast<int64_t>(year) - 1;
  const double leap = static_cast<double>(y / 4) - static_cast<double>(y / 100) * 0.75;
  return Date_DayOfYear(day, month, year) + static_cast<int64_t>(year) * 365 +
         static_cast<int64_t>(leap);
}

}  // namespace

int32_t Date_DaysBetween(int day1, int month1, int year1, int day2, int month2,
                         int year2) {
  return static_cast<int32_t>(
      std::llabs(DayNumber(day1, month1, year1) - DayNumber(day2, month2, year2)));
}

int32_t Date_MonthDays(int month, int year) {
  switch (month) {
    case 4: case 6: case 9: case 11:
      return 30;
    case 2:
      return (year % 400 == 0 || (year % 4 == 0 && year % 100 != 0)) ? 29 : 28;
    default:
      return 31;
  }
}
