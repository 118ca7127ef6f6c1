// A test fixture with a fresh database of the job's whole schema (a SQLite
// file in a temporary folder, or in the PostgreSQL run of the tests a new
// database on the test cluster: see pg_test_db.h), connected through the
// client layer for every test, and an optional fixed clock.
//
//   class PrvTest : public testing_support::DatabaseTest {
//    protected:
//     void SetUp() override {
//       FixClock("2030-06-15 10:20:30");
//       DatabaseTest::SetUp();
//     }
//     void TearDown() override {
//       Prv_Close();
//       DatabaseTest::TearDown();
//     }
//   };
#ifndef PPS2BDE_TESTS_SUPPORT_DATABASE_TEST_H_
#define PPS2BDE_TESTS_SUPPORT_DATABASE_TEST_H_

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "runtime/os/test_env.h"
#include "sql/sql.h"
#include "tests/support/pg_test_db.h"
#include "tests/support/support.h"

namespace testing_support {

class DatabaseTest : public ::testing::Test {
 protected:
  // Creates the database with the whole schema (dir()/bde.db for SQLite),
  // runs BeforeConnect, and connects to it; a failed connect is a fatal
  // failure of the test.
  void SetUp() override {
    if (UsePostgres()) {
      PPS2BDE_REQUIRE_PG_CLUSTER();
      db_ = PgCreateDatabase(true);
      ASSERT_FALSE(db_.empty());
    } else {
      db_ = dir_ / "bde.db";
      CreateDatabase(db_);
    }
    BeforeConnect();
    ASSERT_EQ(0, sql::Connect(kPgUser, kPgPassword, db_.c_str()));
  }
  // Disconnects, then puts back the Env that FixClock replaced.  A fixture
  // that closes cursors does so before calling this.
  void TearDown() override {
    sql::Disconnect();
    if (UsePostgres() && !db_.empty()) PgDropDatabase(db_);
    clockScope_.reset();
  }

  // Called by SetUp on the new database before the connection is opened;
  // fills rows the connection must find from its start.  Does nothing here.
  virtual void BeforeConnect() {}

  // The test's database: the SQLite file's path or the PostgreSQL service
  // (ExecSql and QuerySql take either).
  const std::string& db() const { return db_; }
  // The test's temporary folder (holds the database; removed afterwards).
  const TempDir& dir() const { return dir_; }

  // Makes every UPDATE and DELETE of table fail (a trigger raises an error,
  // which the client layer reports as -600), as a table locked against the
  // job would.
  void RefuseChanges(const std::string& table) {
    if (UsePostgres()) {
      Exec("create or replace function refuse_change() returns trigger language plpgsql as "
           "$$ begin raise exception 'gesperrt'; end $$;"
           "create trigger no_change before update or delete on " + table +
           " for each row execute function refuse_change();");
      return;
    }
    Exec("create trigger no_upd_" + table + " before update on " + table +
         " begin select raise(abort, 'gesperrt'); end;"
         "create trigger no_del_" + table + " before delete on " + table +
         " begin select raise(abort, 'gesperrt'); end;");
  }

  // Runs sql on the database directly (see ExecSql).
  void Exec(const std::string& sql) { ExecSql(db_, sql); }
  // A query's rows read directly from the database (see QuerySql).
  std::string Query(const std::string& sql) { return QuerySql(db_, sql); }

  // Fixes the clock of every Env call at now for the rest of the test: the
  // first call installs the fixed-clock Env, later calls only move its clock.
  // Call it before DatabaseTest::SetUp to have the clock fixed from the
  // connect on.  Returns the installed Env (its sleeps are recorded).
  ClockEnv& FixClock(time_t now) {
    clock_.now = now;
    if (!clockScope_) clockScope_.emplace(&clock_);
    return clock_;
  }
  // As above with a local time "YYYY-MM-DD HH:MM:SS" ("YYYY-MM-DD" is
  // midnight); other text fails the test and leaves the clock alone.
  ClockEnv& FixClock(const char* local) {
    struct tm t = {};
    int n = std::sscanf(local, "%d-%d-%d %d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday,
                        &t.tm_hour, &t.tm_min, &t.tm_sec);
    if (n != 3 && n != 6) {
      ADD_FAILURE() << "FixClock: not a local time: " << local;
      return clock_;
    }
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    t.tm_isdst = -1;
    return FixClock(std::mktime(&t));
  }
  // The fixed-clock Env (installed only after FixClock).
  ClockEnv& clock() { return clock_; }

 private:
  TempDir dir_;
  std::string db_;
  ClockEnv clock_;
  std::optional<ScopedEnv> clockScope_;
};

}  // namespace testing_support

#endif  // PPS2BDE_TESTS_SUPPORT_DATABASE_TEST_H_
