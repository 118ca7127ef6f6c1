#include "driver/queue_stamp.h"

#include <cstring>

#include "runtime/date.h"

namespace {

constexpr size_t kDateLength = 8;
constexpr size_t kTimeLength = 6;

// The value of text[from..from+n) when all of it is digits, else -1.
int Digits(const char* text, size_t from, size_t n) {
  int value = 0;
  for (size_t i = from; i < from + n; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

bool ValidDate(const char* date) {
  if (strnlen(date, kDateLength + 1) != kDateLength) return false;
  const int year = Digits(date, 0, 4), month = Digits(date, 4, 2), day = Digits(date, 6, 2);
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  return day <= Date_MonthDays(month, year);
}

bool ValidTime(const char* time) {
  if (strnlen(time, kTimeLength + 1) != kTimeLength) return false;
  const int hour = Digits(time, 0, 2), minute = Digits(time, 2, 2), second = Digits(time, 4, 2);
  return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

}  // namespace

const char* Queue_StampError(const char* date, const char* time) {
  if (date == nullptr || time == nullptr) return "Datum oder Zeit ungueltig";
  if (strnlen(date, kDateLength + 1) > kDateLength || strnlen(time, kTimeLength + 1) > kTimeLength)
    return "Datum oder Zeit zu lang";
  if (!ValidDate(date) || !ValidTime(time)) return "Datum oder Zeit ungueltig";
  return nullptr;
}
