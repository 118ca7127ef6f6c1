// Test databases on the throwaway PostgreSQL cluster of a CTest run
// (tests/support/pg_cluster.sh, a CTest fixture; its folder is in
// $PPS2BDE_PG_CLUSTER).  The database tests run once per engine: CTest runs
// the same test programs a second time with PPS2BDE_PG_CLUSTER set.
#ifndef PPS2BDE_TESTS_SUPPORT_PG_TEST_DB_H_
#define PPS2BDE_TESTS_SUPPORT_PG_TEST_DB_H_

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace testing_support {

// The cluster's login (a test cluster only).
extern const char kPgUser[];
extern const char kPgPassword[];

// True when this run of the tests is the PostgreSQL one (PPS2BDE_PG_CLUSTER
// is set).
bool UsePostgres();
// "" when the cluster can be used, else why not.
std::string PgClusterMissing();
// True when a database text names a PostgreSQL database (libpq key/value).
bool IsPgService(const std::string& db);

// A new database with a unique name: a copy of the schema template, or one
// with only the schema's functions and the schema kvnsystem (no tables).  Returns its service text ("host=... port=... dbname=...") or ""
// (the test failed).
std::string PgCreateDatabase(bool schema);
// Drops it (sessions still on it are ended).
void PgDropDatabase(const std::string& service);
// As TrySql and QuerySql for a PostgreSQL database (double precision
// columns written as SQLite writes REAL ones: 1234.5, 0.0).
std::string PgTrySql(const std::string& service, const std::string& sql);
std::string PgQuery(const std::string& service, const std::string& sql);

// A raw second connection, as another program would hold it.  Exec
// returns 0 when every statement of the text succeeded.
class PgConnection {
 public:
  explicit PgConnection(const std::string& service);
  ~PgConnection();
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;
  int Exec(const char* text);

 private:
  void* conn_;
};

}  // namespace testing_support

// In a fixture's SetUp: when this run is the PostgreSQL one and the
// cluster is missing, skips the test, or fails it under CI (CI=true).
#define PPS2BDE_REQUIRE_PG_CLUSTER()                                             \
  do {                                                                          \
    std::string why_ = testing_support::PgClusterMissing();                     \
    if (!why_.empty()) {                                                        \
      const char* ci_ = std::getenv("CI");                                      \
      if (ci_ != nullptr && std::string(ci_) == "true") FAIL() << why_;         \
      GTEST_SKIP() << why_;                                                     \
    }                                                                           \
  } while (0)

// At the start of a test whose rows hold values only a SQLite file keeps
// (texts longer than their column, numbers beyond the column's type), which
// test how they are cut on reading: the PostgreSQL run skips it, since the
// server's column types refuse such rows.
#define PPS2BDE_SQLITE_ONLY_VALUES()                                          \
  do {                                                                       \
    if (testing_support::UsePostgres())                                      \
      GTEST_SKIP() << "the PostgreSQL column types refuse this test's rows"; \
  } while (0)

#endif  // PPS2BDE_TESTS_SUPPORT_PG_TEST_DB_H_
