// A second, raw connection to a test database, as another program (the
// planning system) would hold it: SQLite for a file path, libpq for a
// PostgreSQL service (pg_test_db.h).
#ifndef PPS2BDE_TESTS_SUPPORT_OTHER_CONNECTION_H_
#define PPS2BDE_TESTS_SUPPORT_OTHER_CONNECTION_H_

#include <sqlite3.h>

#include <memory>
#include <string>

#include "tests/support/pg_test_db.h"

namespace testing_support {

class OtherConnection {
 public:
  explicit OtherConnection(const std::string& db) {
    if (IsPgService(db)) {
      pg_ = std::make_unique<PgConnection>(db);
    } else {
      sqlite3_open_v2(db.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
      sqlite3_busy_timeout(db_, 10000);
    }
  }
  ~OtherConnection() { sqlite3_close_v2(db_); }
  OtherConnection(const OtherConnection&) = delete;
  OtherConnection& operator=(const OtherConnection&) = delete;

  // 0 when the statements succeeded (SQLite: its result code).
  int Exec(const std::string& text) {
    if (pg_) return pg_->Exec(text.c_str());
    return sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
  }
  // Runs the statements as one transaction that takes the write lock at
  // once (SQLite BEGIN IMMEDIATE, PostgreSQL BEGIN): 0 or not.
  int Transaction(const std::string& statements) {
    return Exec((pg_ ? "BEGIN;" : "BEGIN IMMEDIATE;") + statements + "COMMIT;");
  }
  // Opens a transaction that holds the write lock of table (SQLite: of the
  // whole database): 0 or not.
  int TakeWriteLock(const std::string& table) {
    if (pg_) return Exec("BEGIN; LOCK TABLE " + table + " IN EXCLUSIVE MODE");
    return Exec("BEGIN IMMEDIATE");
  }
  // True when no other connection holds a transaction or the write lock:
  // SQLite, this connection could take the write lock at once; PostgreSQL,
  // no other session of the database is inside a transaction.
  bool NothingHeldElsewhere() {
    if (pg_) {
      return Exec("DO $$ BEGIN IF EXISTS (SELECT 1 FROM pg_stat_activity WHERE "
                  "datname = current_database() AND pid <> pg_backend_pid() AND "
                  "state LIKE 'idle in transaction%') THEN RAISE 'held'; END IF; END $$") == 0;
    }
    sqlite3_busy_timeout(db_, 0);
    bool free = Exec("BEGIN IMMEDIATE") == SQLITE_OK;
    if (free) Exec("ROLLBACK");
    sqlite3_busy_timeout(db_, 10000);
    return free;
  }

 private:
  sqlite3* db_ = nullptr;
  std::unique_ptr<PgConnection> pg_;
};

}  // namespace testing_support

#endif  // PPS2BDE_TESTS_SUPPORT_OTHER_CONNECTION_H_
