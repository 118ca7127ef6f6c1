#include "sql/sqlite/sqlite_errors.h"

#include <sqlite3.h>

#include "gtest/gtest.h"
#include "sql/errors.h"

namespace sql {
namespace {

TEST(SqliteStatus, ExtendedCodesMapToOraclesCodes) {
  EXPECT_EQ(kOk, Sqlite_Status(SQLITE_DONE, nullptr));
  EXPECT_EQ(kUniqueViolated, Sqlite_Status(SQLITE_CONSTRAINT_PRIMARYKEY, nullptr));
  EXPECT_EQ(kNotNull, Sqlite_Status(SQLITE_CONSTRAINT_NOTNULL, nullptr));
  EXPECT_EQ(kInternal, Sqlite_Status(SQLITE_CONSTRAINT_CHECK, nullptr));
  EXPECT_EQ(kNonNumeric,
            Sqlite_Status(SQLITE_CONSTRAINT_CHECK, "CHECK constraint failed: ApkBgs_is_date"));
  EXPECT_EQ(kBusy, Sqlite_Status(SQLITE_BUSY_SNAPSHOT, nullptr));
  EXPECT_EQ(kBusy, Sqlite_Status(SQLITE_LOCKED_SHAREDCACHE, nullptr));
  EXPECT_EQ(kIoError, Sqlite_Status(SQLITE_FULL, nullptr));
  EXPECT_EQ(kIoError, Sqlite_Status(SQLITE_IOERR_FSYNC, nullptr));
  EXPECT_EQ(kInconsistentTypes, Sqlite_Status(SQLITE_MISMATCH, nullptr));
  EXPECT_EQ(kInternal, Sqlite_Status(SQLITE_CORRUPT, nullptr));
}

TEST(SqliteStatus, ErrorMessagesCarryTheRest) {
  EXPECT_EQ(kNoSuchTable, Sqlite_Status(SQLITE_ERROR, "no such table: main.Kvn501Apk"));
  EXPECT_EQ(kInvalidSql, Sqlite_Status(SQLITE_ERROR, "near \"intu\": syntax error"));
  EXPECT_EQ(kInternal, Sqlite_Status(SQLITE_ERROR, "no such column: Foo"));
  EXPECT_EQ(kInternal, Sqlite_Status(SQLITE_ERROR, nullptr));
  EXPECT_EQ(kInternal, Sqlite_Status(SQLITE_ERROR, "ORA-1"));
  // What the date functions raise comes back as its own code.
  for (int code : {kNotValidMonth, kDayOfMonth, kHour, kMinute, kSecond, kNonNumeric,
                   kFormatMismatch, kFormatEnds, kYear, kBadDateFormat})
    EXPECT_EQ(code, Sqlite_Status(SQLITE_ERROR, Sqlite_OraMessage(code)));
}

}  // namespace
}  // namespace sql
