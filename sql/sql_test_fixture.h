// A session on a fresh database file for the tests of the client layer.
#ifndef PPS2BDE_SQL_SQL_TEST_FIXTURE_H_
#define PPS2BDE_SQL_SQL_TEST_FIXTURE_H_

#include <sqlite3.h>

#include <string>

#include "gtest/gtest.h"
#include "sql/errors.h"
#include "sql/sql.h"
#include "tests/support/support.h"

namespace sql {

class SqlDbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_ / "bde.db";
    testing_support::WriteAll(path_, "");  // an empty file is an empty database
    ASSERT_EQ(kOk, Connect(("kolvane/secret@" + path_).c_str()));
  }
  void TearDown() override { Disconnect(); }

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
  std::string path_;
};

// A second connection to the database, as another program would hold it.
class OtherConnection {
 public:
  explicit OtherConnection(const std::string& path) {
    sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  }
  ~OtherConnection() { sqlite3_close_v2(db_); }
  // SQLite's result code of the statements.
  int Exec(const char* text) { return sqlite3_exec(db_, text, nullptr, nullptr, nullptr); }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace sql

#endif  // PPS2BDE_SQL_SQL_TEST_FIXTURE_H_
