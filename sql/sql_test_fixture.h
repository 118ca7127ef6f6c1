// A session on a fresh, empty database for the tests of the client layer:
// a SQLite file, or in the PostgreSQL run of the tests (PPS2BDE_PG_CLUSTER
// set) a new database on the test cluster.
#ifndef PPS2BDE_SQL_SQL_TEST_FIXTURE_H_
#define PPS2BDE_SQL_SQL_TEST_FIXTURE_H_

#include <string>

#include "gtest/gtest.h"
#include "sql/errors.h"
#include "sql/postgres/postgres_engine.h"
#include "sql/sql.h"
#include "sql/sqlite/sqlite_engine.h"
#include "tests/support/other_connection.h"
#include "tests/support/pg_test_db.h"
#include "tests/support/support.h"

namespace sql {

class SqlDbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testing_support::UsePostgres()) {
      PPS2BDE_REQUIRE_PG_CLUSTER();
      path_ = testing_support::PgCreateDatabase(false);
      ASSERT_FALSE(path_.empty());
    } else {
      path_ = dir_ / "bde.db";
      testing_support::WriteAll(path_, "");  // an empty file is an empty database
    }
    ASSERT_EQ(kOk, Reconnect());
  }
  void TearDown() override {
    Disconnect();
    if (testing_support::UsePostgres() && !path_.empty())
      testing_support::PgDropDatabase(path_);
  }

  // Opens the session (again) on the test's database.
  [[nodiscard]] int Reconnect() {
    return Connect(testing_support::kPgUser, testing_support::kPgPassword, path_.c_str());
  }
  // How long a write waits for a lock held elsewhere in sessions opened
  // from now on (SQLite's busy timeout, PostgreSQL's lock_timeout).
  static void SetLockWaitForTest(int ms) {
    SqliteEngine_SetBusyTimeoutForTest(ms);
    PostgresEngine_SetLockTimeoutForTest(ms);
  }

  // Runs statements on a connection of its own (not the session).
  void Sql(const std::string& text) { testing_support::ExecSql(path_, text); }
  std::string Query(const std::string& text) {
    return testing_support::QuerySql(path_, text);
  }

  // Runs one statement text through the session.
  [[nodiscard]] int Run(const char* text, const Bind* binds = nullptr, int n = 0) {
    Stmt s{text};
    return Exec(s, binds, n);
  }

  testing_support::TempDir dir_;
  std::string path_;  // SQLite file or PostgreSQL service
};

using testing_support::OtherConnection;

}  // namespace sql

#endif  // PPS2BDE_SQL_SQL_TEST_FIXTURE_H_
