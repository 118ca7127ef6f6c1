#include "runtime/date.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "gtest/gtest.h"
#include "runtime/os/test_env.h"

namespace {

// Seconds since the epoch of a UTC date and time.
time_t Utc(int year, int month, int day, int hour, int minute, int second) {
  struct tm t = {};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return timegm(&t);
}

class DateNowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    hadTz_ = tz != nullptr;
    if (hadTz_) oldTz_ = tz;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) setenv("TZ", oldTz_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

  // Runs Date_Now at the given instant with filled buffers.
  int Now(time_t at, int layout) {
    env_.now = at;
    ScopedEnv scoped(&env_);
    std::memset(date_, '#', sizeof date_);
    std::memset(time_, '#', sizeof time_);
    return Date_Now(date_, time_, layout);
  }

  ClockEnv env_;
  char date_[20];
  char time_[10];
  bool hadTz_ = false;
  std::string oldTz_;
};

TEST_F(DateNowTest, AllLayouts) {
  const time_t at = Utc(2024, 2, 29, 7, 5, 9);
  EXPECT_EQ(0, Now(at, 1));
  EXPECT_STREQ("29022024", date_);
  EXPECT_STREQ("070509", time_);

  EXPECT_EQ(0, Now(at, 2));
  EXPECT_STREQ("29022024070509", date_);
  EXPECT_EQ(std::string(4, '\0'), std::string(time_, 4));

  EXPECT_EQ(0, Now(at, 3));
  EXPECT_STREQ("20240229", date_);
  EXPECT_STREQ("070509", time_);
  EXPECT_EQ('#', date_[9]);  // nothing beyond the 9 bytes of the layout
  EXPECT_EQ('#', time_[7]);

  EXPECT_EQ(0, Now(at, 4));
  EXPECT_STREQ("20240229070509", date_);
  EXPECT_EQ('#', date_[15]);
  EXPECT_EQ(std::string(4, '\0'), std::string(time_, 4));
}

TEST_F(DateNowTest, LastSecondOfTheDayAndYear) {
  EXPECT_EQ(0, Now(Utc(2023, 12, 31, 23, 59, 59), 3));
  EXPECT_STREQ("20231231", date_);
  EXPECT_STREQ("235959", time_);
  EXPECT_EQ(0, Now(Utc(2024, 1, 1, 0, 0, 0), 3));
  EXPECT_STREQ("20240101", date_);
  EXPECT_STREQ("000000", time_);
}

TEST_F(DateNowTest, CenturyIsAlwaysTwenty) {
  EXPECT_EQ(0, Now(Utc(1999, 6, 15, 12, 0, 0), 3));
  EXPECT_STREQ("20990615", date_);
  EXPECT_EQ(0, Now(Utc(2005, 6, 15, 12, 0, 0), 1));
  EXPECT_STREQ("15062005", date_);
}

TEST_F(DateNowTest, UnknownLayoutClearsBoth) {
  for (int layout : {0, 5, -1}) {
    EXPECT_EQ(0, Now(Utc(2024, 5, 1, 1, 2, 3), layout));
    EXPECT_EQ(std::string(4, '\0'), std::string(date_, 4));
    EXPECT_EQ(std::string(4, '\0'), std::string(time_, 4));
    EXPECT_EQ('#', date_[4]);
  }
}

TEST(NumFromTextTest, ImpliedDecimals) {
  double n = -5;
  EXPECT_EQ(0, Num_FromText("001234", &n, 2));
  EXPECT_DOUBLE_EQ(12.34, n);
  EXPECT_EQ(0, Num_FromText("  12", &n, 2));
  EXPECT_DOUBLE_EQ(0.12, n);
  EXPECT_EQ(0, Num_FromText("  12", &n, 0));
  EXPECT_DOUBLE_EQ(12, n);
  EXPECT_EQ(0, Num_FromText("99999999999123", &n, 3));
  EXPECT_DOUBLE_EQ(99999999999.123, n);

  n = 7;
  EXPECT_EQ(-1, Num_FromText("  12", &n, 3));
  EXPECT_EQ(0, n);
  n = 7;
  EXPECT_EQ(-1, Num_FromText("12", &n, -1));
  EXPECT_EQ(0, n);
  // A part longer than 11 characters does not fit.
  n = 7;
  EXPECT_EQ(-1, Num_FromText("123456789012", &n, 0));
  EXPECT_EQ(0, n);
  EXPECT_EQ(-1, Num_FromText("123456789012", &n, 12));
  EXPECT_EQ(-1, Num_FromText(std::string(5000, '7').c_str(), &n, 3));
  EXPECT_EQ(-1, Num_FromText("1", nullptr, 0));
}

TEST(TimeTest, MinutesAndSeconds) {
  Text<7> t;
  Time_FromMinutes(1440, &t);
  EXPECT_EQ("235959", t);
  Time_FromMinutes(0, &t);
  EXPECT_EQ("000000", t);
  Time_FromMinutes(61, &t);
  EXPECT_EQ("010100", t);
  Time_FromMinutes(1439, &t);
  EXPECT_EQ("235900", t);
  Time_FromMinutes(2000000000, &t);  // cut, never overrun
  EXPECT_EQ(6u, t.size());

  EXPECT_EQ(13 * 60 + 45, Time_ToMinutes("134559"));
  EXPECT_EQ(13 * 60, Time_ToMinutes("13"));
  EXPECT_EQ(0, Time_ToMinutes(""));
  EXPECT_EQ(3600 * 23 + 60 * 59 + 58, Time_Seconds("23:59:58"));
  EXPECT_EQ(3600 * 2, Time_Seconds("02"));
  EXPECT_EQ(3600 - 1, Time_DiffSec("20240101", "120000", "20000101", "125959"));
  EXPECT_EQ(-(3600 * 12), Time_DiffSec(nullptr, "120000", nullptr, "0"));
}

TEST(DateTest, CompactAndSplit) {
  Text<15> out;
  Date_Compact("29.02.2024", &out, "D");
  EXPECT_EQ("20240229", out);
  Date_Compact("07:05:09", &out, "Z");
  EXPECT_EQ("070509", out);
  Date_Compact("29.02.202407:05:09", &out, "T");
  EXPECT_EQ("20240229070509", out);
  Date_Compact("29.02.2024", &out, "X");
  EXPECT_EQ("", out);
  Date_Compact("29.02.2024", &out, "DD");
  EXPECT_EQ("", out);
  Date_Compact("29.", &out, "D");  // short source: short result
  EXPECT_EQ("", out);
  Date_Compact(std::string(200, '9').c_str(), &out, "T");
  EXPECT_STREQ(std::string(14, '9').c_str(), out.c_str());

  Text<11> d;
  Text<9> t;
  Stamp_Split("20240229070509", &d, &t);
  EXPECT_EQ("29.02.2024", d);
  EXPECT_EQ("07:05:09", t);
  Stamp_Split("2024", &d, &t);
  EXPECT_EQ("", t);
}

TEST(DateTest, DbForm) {
  Text<15> date;
  Text<9> time;
  Text<27> stamp;
  date = "20240229";
  time = "070509";
  Date_DbForm(&date, &time, &stamp, "D");
  EXPECT_EQ("2024-02-29", stamp);
  Date_DbForm(&date, &time, &stamp, "Z");
  EXPECT_EQ("07.05.09", stamp);
  Date_DbForm(&date, &time, &stamp, "T");
  EXPECT_EQ("2024-02-29-07.05.09.000000", stamp);
  date = "20231231235958";
  Date_DbForm(&date, &time, &stamp, "TS");
  EXPECT_EQ("2023-12-31-23.59.58.000000", stamp);

  stamp = "20250102030405";
  Date_DbForm(&date, &time, &stamp, "DZ");
  EXPECT_EQ("2025-01-02", date);
  EXPECT_EQ("03.04.05", time);

  Date_DbForm(&date, &time, &stamp, "Q");
  EXPECT_EQ("2025-01-02", date);
  EXPECT_EQ("20250102030405", stamp);
}

TEST(DateTest, MonthDaysLeapRules) {
  EXPECT_EQ(29, Date_MonthDays(2, 2000));
  EXPECT_EQ(29, Date_MonthDays(2, 2024));
  EXPECT_EQ(28, Date_MonthDays(2, 1900));
  EXPECT_EQ(28, Date_MonthDays(2, 2026));
  EXPECT_EQ(30, Date_MonthDays(4, 2026));
  EXPECT_EQ(30, Date_MonthDays(11, 2026));
  EXPECT_EQ(31, Date_MonthDays(12, 2026));
  EXPECT_EQ(31, Date_MonthDays(1, 2026));
}

TEST(DateTest, DayCounting) {
  EXPECT_EQ(1, Date_DayOfYear(1, 1, 2023));
  EXPECT_EQ(60, Date_DayOfYear(29, 2, 2024));
  EXPECT_EQ(366, Date_DayOfYear(31, 12, 2024));
  EXPECT_EQ(365, Date_DayOfYear(31, 12, 2100));

  EXPECT_EQ(366, Date_DaysBetween(1, 1, 2024, 1, 1, 2025));
  EXPECT_EQ(366, Date_DaysBetween(1, 1, 2025, 1, 1, 2024));
  EXPECT_EQ(365, Date_DaysBetween(1, 1, 2100, 1, 1, 2101));
  EXPECT_EQ(366, Date_DaysBetween(1, 1, 2000, 1, 1, 2001));
  EXPECT_EQ(365, Date_DaysBetween(1, 3, 1900, 1, 3, 1901));

  // Against the C library's calendar.
  for (int y : {1970, 1999, 2000, 2024, 2038, 2100}) {
    for (int m : {1, 2, 3, 12}) {
      EXPECT_EQ(static_cast<int64_t>(Utc(y, m, 28, 0, 0, 0)), Date_EpochSeconds(28, m, y))
          << y << "-" << m;
    }
  }
  EXPECT_EQ(Date_EpochSeconds(1, 1, 2024), Date_EpochSeconds(1, 1, 24));
  EXPECT_EQ(Date_EpochSeconds(1, 1, 1995), Date_EpochSeconds(1, 1, 95));

  EXPECT_EQ(1, Stamp_DiffSec("20240101000000", "20231231235959"));
  EXPECT_EQ(-(86400 * 366), Stamp_DiffSec("20240101120000", "20250101120000"));
  EXPECT_EQ(Utc(2024, 2, 29, 7, 5, 9) - Utc(2024, 1, 1, 0, 0, 0),
            Stamp_DiffSec("20240229070509", "20240101000000"));
}

}  // namespace
