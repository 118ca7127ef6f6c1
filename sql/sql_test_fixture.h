// A session on a fresh, empty database for the tests of the client layer:
// a SQLite file, or in the PostgreSQL run of the tests (PPS2BDE_PG_CLUSTER
// set) a new database on the test cluster.
#ifndef PPS2BDE_SQL_SQL_TEST_FIXTURE_H_
#define PPS2BDE_SQL_SQL_TEST_FIXTURE_H_

#include <sqlite3.h>

#include <memory>
#include <string>

#include "gtest/gtest.h"
#include "sql/errors.h"
#include "sql/postgres/postgres_engine.h"
#include "sql/sql.h"
#include "sql/sqlite/sqlite_engine.h"
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
  int Reconnect() {
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
  int Run(const char* text, const Bind* binds = nullptr, int n = 0) {
    Stmt s{text};
    return Exec(s, binds, n);
  }

  testing_support::TempDir dir_;
  std::string path_;  // SQLite file or PostgreSQL service
};

// A second connection to the database, as another program would hold it.
class OtherConnection {
 public:
  explicit OtherConnection(const std::string& db) {
    if (testing_support::IsPgService(db))
      pg_ = std::make_unique<testing_support::PgConnection>(db);
    else
      sqlite3_open_v2(db.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  }
  ~OtherConnection() { sqlite3_close_v2(db_); }
  // 0 when the statements succeeded (SQLite: its result code).
  int Exec(const char* text) {
    if (pg_) return pg_->Exec(text);
    return sqlite3_exec(db_, text, nullptr, nullptr, nullptr);
  }
  // Opens a transaction that holds the write lock of table (SQLite: of the
  // whole database): 0 or not.
  int TakeWriteLock(const std::string& table) {
    if (pg_) return Exec(("BEGIN; LOCK TABLE " + table + " IN EXCLUSIVE MODE").c_str());
    return Exec("BEGIN IMMEDIATE");
  }
  // True when no other connection holds a transaction or the write lock:
  // SQLite, this connection could take the write lock; PostgreSQL, no
  // other session of the database is inside a transaction.
  bool NothingHeldElsewhere() {
    if (pg_) {
      return pg_->Exec("DO $$ BEGIN IF EXISTS (SELECT 1 FROM pg_stat_activity WHERE "
                       "datname = current_database() AND pid <> pg_backend_pid() AND "
                       "state LIKE 'idle in transaction%') THEN RAISE 'held'; END IF; END $$") == 0;
    }
    if (Exec("BEGIN IMMEDIATE") != SQLITE_OK) return false;
    Exec("ROLLBACK");
    return true;
  }

 private:
  sqlite3* db_ = nullptr;
  std::unique_ptr<testing_support::PgConnection> pg_;
};

}  // namespace sql

#endif  // PPS2BDE_SQL_SQL_TEST_FIXTURE_H_
