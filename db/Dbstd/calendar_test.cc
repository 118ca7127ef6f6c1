#include "db/Dbstd/calendar.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;

class CalendarTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    // Every day from 2024-01-25 to 2024-03-05, with its parts: year, month,
    // day, week (Monday first), weekday (Sunday 0), day of the year.
    struct tm t = {};
    t.tm_year = 2024 - 1900;
    t.tm_mday = 25;
    time_t day = timegm(&t);
    std::string rows;
    for (int i = 0; i <= 40; ++i, day += 86400) {
      gmtime_r(&day, &t);
      char row[80];
      strftime(row, sizeof row, "('%Y-%m-%d 00:00:00',%Y,%m,%d,%W,%w,%j)", &t);
      rows += (i ? "," : "") + std::string(row);
    }
    Exec("insert into Kvn133Bak values " + rows);
  }
};

TEST_F(CalendarTest, ReadOffsetGivesTheDayThatManyDaysLaterAcrossAMonthEnd) {
  BakRecord r;
  ASSERT_EQ(0, Bak_ReadOffset("20240130", 3, r));
  EXPECT_STREQ("20240202", r.BakDtm.c_str());
  EXPECT_EQ(2024, r.BakJhr);
  EXPECT_EQ(2, r.BakMon);
  EXPECT_EQ(2, r.BakTag);
  EXPECT_EQ(5, r.BakWch);
  EXPECT_EQ(5, r.BakWtg);
  EXPECT_EQ(33, r.BakJtg);
  // Leap day, backwards, and no offset at all.
  ASSERT_EQ(0, Bak_ReadOffset("20240227", 2, r));
  EXPECT_STREQ("20240229", r.BakDtm.c_str());
  ASSERT_EQ(0, Bak_ReadOffset("20240301", -2, r));
  EXPECT_STREQ("20240228", r.BakDtm.c_str());
  ASSERT_EQ(0, Bak_ReadOffset("20240210", 0, r));
  EXPECT_STREQ("20240210", r.BakDtm.c_str());
}

TEST_F(CalendarTest, ReadOffsetOutsideTheTableOrOfABadDayLeavesTheRecord) {
  BakRecord r;
  r.BakDtm = "KEEP";
  r.BakJhr = 7;
  EXPECT_EQ(1403, Bak_ReadOffset("20240301", 10, r));
  EXPECT_EQ(-1843, Bak_ReadOffset("20241301", 1, r));  // not a valid month
  EXPECT_EQ(1403, Bak_ReadOffset("202403010", 0, r));  // too long: no day
  EXPECT_STREQ("KEEP", r.BakDtm.c_str());
  EXPECT_EQ(7, r.BakJhr);
}

TEST_F(CalendarTest, CountDaysCountsAfterTheFirstUpToAndIncludingTheSecond) {
  int32_t n = -1;
  ASSERT_EQ(0, Bak_CountDays("20240130", "20240202", &n));
  EXPECT_EQ(3, n);
  ASSERT_EQ(0, Bak_CountDays("20240215", "20240215", &n));
  EXPECT_EQ(0, n);
  ASSERT_EQ(0, Bak_CountDays("20240220", "20240210", &n));
  EXPECT_EQ(0, n);
  // Only the days the table holds count.
  ASSERT_EQ(0, Bak_CountDays("20240301", "20240331", &n));
  EXPECT_EQ(4, n);
  n = 99;
  EXPECT_EQ(-1847, Bak_CountDays("20240230", "20240301", &n));  // no 30 February
  EXPECT_EQ(99, n);
}

TEST_F(CalendarTest, CalDaysCountsWithKindOneAndAddsWithKindTwo) {
  Text<9> to;
  to = "20240305";
  EXPECT_EQ(5, Cal_Days(1, 0, "20240229", &to));
  EXPECT_STREQ("20240305", to.c_str());
  EXPECT_EQ(0, Cal_Days(1, 0, "20240305", &to));
  EXPECT_EQ(0, Cal_Days(1, 0, "20241305", &to));  // the read fails: 0

  Text<9> out;
  EXPECT_EQ(0, Cal_Days(2, 2, "20240228", &out));
  EXPECT_STREQ("20240301", out.c_str());
  // The result may go into the text it starts from.
  EXPECT_EQ(0, Cal_Days(2, 3, out.c_str(), &out));
  EXPECT_STREQ("20240304", out.c_str());
  // Past the end of the table: the first day itself.
  EXPECT_EQ(1403, Cal_Days(2, 5, out.c_str(), &out));
  EXPECT_STREQ("20240304", out.c_str());
}

TEST_F(CalendarTest, CalDaysOfAnotherKindDoesNothing) {
  Text<9> to;
  to = "20240305";
  EXPECT_EQ(0, Cal_Days(3, 4, "20240201", &to));
  EXPECT_EQ(0, Cal_Days(0, 4, "20240201", &to));
  EXPECT_STREQ("20240305", to.c_str());
}

}  // namespace
