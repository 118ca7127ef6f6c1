#include "sql/sqlite/ora_dates.h"

#include <cstring>
#include <string>

#include "gtest/gtest.h"
#include "sql/errors.h"

namespace sql {
namespace {

const OraDate kToday{2031, 7, 19, 13, 14, 15};

// TO_DATE into the stored form, or "error <code>".
std::string ToDate(const char* text, const char* mask) {
  OraDate d;
  int rc = OraDate_Parse(text, std::strlen(text), mask, std::strlen(mask), kToday, &d);
  if (rc != kOk) return "error " + std::to_string(rc);
  char out[kStoredDateSize];
  OraDate_ToStored(d, out);
  return out;
}

std::string ToChar(const char* stored, const char* mask) {
  OraDate d;
  int rc = OraDate_FromStored(stored, std::strlen(stored), &d);
  if (rc != kOk) return "error " + std::to_string(rc);
  char out[kMaxMask * 2 + 1];
  size_t n = 0;
  rc = OraDate_Format(d, mask, std::strlen(mask), out, sizeof out, &n);
  if (rc != kOk) return "error " + std::to_string(rc);
  EXPECT_EQ(n, std::strlen(out));
  return out;
}

TEST(OraDateParse, ReadsTheJobsMasksInAnyCase) {
  EXPECT_EQ("2024-02-29 00:00:00", ToDate("20240229", "yyyymmdd"));
  EXPECT_EQ("2024-12-31 23:59:58", ToDate("20241231235958", "yyyymmddHH24MISS"));
  EXPECT_EQ("2024-12-31 23:59:58", ToDate("20241231235958", "YYYYMMDDhh24miss"));
  EXPECT_EQ("2024-01-05 07:08:09", ToDate("2024-01-05 07:08:09", "yyyy-mm-dd hh24:mi:ss"));
}

TEST(OraDateParse, ShortInputLeavesTheMissingFieldsAtTheirLowest) {
  EXPECT_EQ("2024-03-15 00:00:00", ToDate("20240315", "yyyymmddHH24MISS"));
  EXPECT_EQ("2024-03-15 12:00:00", ToDate("2024031512", "yyyymmddHH24MISS"));
  EXPECT_EQ("2024-01-01 00:00:00", ToDate("2024", "yyyymmdd"));
  EXPECT_EQ("2024-03-01 00:00:00", ToDate("202403", "yyyymmdd"));
  // A last field cut short takes the digits that are there.
  EXPECT_EQ("2024-03-05 00:00:00", ToDate("2024035", "yyyymmdd"));
}

TEST(OraDateParse, FieldsTheMaskLeavesOutComeFromTodayAndDayOne) {
  EXPECT_EQ("2031-07-01 12:34:56", ToDate("123456", "HH24MISS"));
}

TEST(OraDateParse, InvalidValuesRaiseOraclesCodes) {
  EXPECT_EQ("error -1843", ToDate("20241301", "yyyymmdd"));
  EXPECT_EQ("error -1843", ToDate("20240001", "yyyymmdd"));
  EXPECT_EQ("error -1847", ToDate("20230229", "yyyymmdd"));  // no leap year
  EXPECT_EQ("error -1847", ToDate("19000229", "yyyymmdd"));  // century, not leap
  EXPECT_EQ("2000-02-29 00:00:00", ToDate("20000229", "yyyymmdd"));
  EXPECT_EQ("error -1847", ToDate("20240230", "yyyymmdd"));
  EXPECT_EQ("error -1847", ToDate("20240431", "yyyymmdd"));
  EXPECT_EQ("error -1847", ToDate("20240100", "yyyymmdd"));
  EXPECT_EQ("error -1847", ToDate("20240132", "yyyymmdd"));
  EXPECT_EQ("error -1850", ToDate("20240101240000", "yyyymmddHH24MISS"));
  EXPECT_EQ("error -1851", ToDate("20240101236000", "yyyymmddHH24MISS"));
  EXPECT_EQ("error -1852", ToDate("20240101235960", "yyyymmddHH24MISS"));
  EXPECT_EQ("error -1858", ToDate("2024ab01", "yyyymmdd"));
  EXPECT_EQ("error -1858", ToDate(" 2024010", "yyyymmdd"));  // "%8s" of 7 chars
  EXPECT_EQ("error -1841", ToDate("00000101", "yyyymmdd"));
  EXPECT_EQ("error -1830", ToDate("20240101123456", "yyyymmdd"));
  EXPECT_EQ("error -1861", ToDate("2024/01/01", "yyyy-mm-dd"));
  EXPECT_EQ("error -1821", ToDate("20240101", "yyyymmddd"));
  EXPECT_EQ("error -1821", ToDate("2024", "yy"));
}

TEST(OraDateFormat, WritesTheStoredDateThroughTheMask) {
  EXPECT_EQ("20240305", ToChar("2024-03-05 07:08:09", "yyyymmdd"));
  EXPECT_EQ("070809", ToChar("2024-03-05 07:08:09", "HH24MISS"));
  EXPECT_EQ("20240305070809", ToChar("2024-03-05 07:08:09", "yyyymmddHH24MISS"));
  EXPECT_EQ("000000", ToChar("2024-03-05", "hh24miss"));
  EXPECT_EQ("05.03.2024", ToChar("2024-03-05 07:08", "dd.mm.yyyy"));
  EXPECT_EQ("error -1821", ToChar("2024-03-05 07:08:09", "yyyymmddX"));
}

TEST(OraDateFormat, OnlyWellFormedStoredDatesAreRead) {
  EXPECT_EQ("070809", ToChar("2024-03-05T07:08:09.123", "HH24MISS"));
  EXPECT_EQ("error -1858", ToChar("20240305", "yyyymmdd"));
  EXPECT_EQ("error -1858", ToChar("2024-02-30 00:00:00", "yyyymmdd"));
  EXPECT_EQ("error -1858", ToChar("2024-03-05 25:00:00", "yyyymmdd"));
  EXPECT_EQ("error -1858", ToChar("2024-03-05 07:08:09x", "yyyymmdd"));
  EXPECT_EQ("error -1858", ToChar("2024-03-05 07", "yyyymmdd"));
}

TEST(OraDateFormat, StopsAtTheEndOfItsBuffer) {
  OraDate d{2024, 3, 5, 7, 8, 9};
  char out[8];
  size_t n = 0;
  EXPECT_EQ(kBadDateFormat, OraDate_Format(d, "yyyymmdd", 8, out, sizeof out, &n));
  char fits[9];
  EXPECT_EQ(kOk, OraDate_Format(d, "yyyymmdd", 8, fits, sizeof fits, &n));
  EXPECT_STREQ("20240305", fits);
}

TEST(OraDateAddDays, AddsWholeAndPartDaysAcrossMonthsAndYears) {
  OraDate d{2024, 12, 31, 18, 0, 0};
  ASSERT_EQ(kOk, OraDate_AddDays(&d, 1));
  char out[kStoredDateSize];
  OraDate_ToStored(d, out);
  EXPECT_STREQ("2025-01-01 18:00:00", out);
  ASSERT_EQ(kOk, OraDate_AddDays(&d, 0.25));
  OraDate_ToStored(d, out);
  EXPECT_STREQ("2025-01-02 00:00:00", out);
  ASSERT_EQ(kOk, OraDate_AddDays(&d, -61));
  OraDate_ToStored(d, out);
  EXPECT_STREQ("2024-11-02 00:00:00", out);
  d = OraDate{2024, 2, 28, 0, 0, 0};
  ASSERT_EQ(kOk, OraDate_AddDays(&d, 1));
  EXPECT_EQ(29, d.day);
  d = OraDate{9999, 12, 31, 0, 0, 0};
  EXPECT_EQ(kYear, OraDate_AddDays(&d, 1));
  EXPECT_EQ(kYear, OraDate_AddDays(&d, 1e300));
}

}  // namespace
}  // namespace sql
