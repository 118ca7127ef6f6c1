#include "tests/support/pg_test_db.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "tests/support/support.h"

namespace testing_support {

const char kPgUser[] = "pps2bde";
const char kPgPassword[] = "pps2bde-test";

namespace {

std::string Cluster() {
  const char* dir = std::getenv("PPS2BDE_PG_CLUSTER");
  return dir != nullptr ? dir : "";
}

std::string Service(const std::string& dbname) {
  return "host=" + Cluster() + " port=55432 dbname=" + dbname;
}

PGconn* Open(const std::string& service) {
  const char* keys[] = {"dbname", "user", "password", "options", nullptr};
  const char* values[] = {service.c_str(), kPgUser, kPgPassword,
                          "-c search_path=public,kvnsystem -c client_min_messages=warning",
                          nullptr};
  PGconn* c = PQconnectdbParams(keys, values, 1);
  if (PQstatus(c) != CONNECTION_OK) {
    ADD_FAILURE() << "cannot connect to " << service << ": " << PQerrorMessage(c);
    PQfinish(c);
    return nullptr;
  }
  return c;
}

constexpr Oid kFloat4Oid = 700, kFloat8Oid = 701;

// A double as SQLite writes a REAL column's text (15 digits, ".0" on a
// whole number), so that the rows of both engines compare as texts.
std::string AsSqliteReal(const char* v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", std::strtod(v, nullptr));
  std::string s = buf;
  if (s.find_first_of(".eni") == std::string::npos) s += ".0";
  return s;
}

// Runs text; false (and the test failed when report) on an error.
bool Run(PGconn* c, const std::string& text, bool report) {
  PGresult* r = PQexec(c, text.c_str());
  ExecStatusType st = PQresultStatus(r);
  bool ok = st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK;
  if (!ok && report) ADD_FAILURE() << "sql: " << PQerrorMessage(c) << "\n in: " << text;
  PQclear(r);
  return ok;
}

// Skips every test of the program (or fails them under CI) when this is
// the PostgreSQL run and the cluster is missing.  Otherwise points libpq's
// defaults at the cluster (PGHOST, PGPORT), for the processes the tests
// start as for the program itself.
class ClusterCheck : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!UsePostgres()) return;
    std::string why = PgClusterMissing();
    if (why.empty()) {
      setenv("PGHOST", Cluster().c_str(), 1);
      setenv("PGPORT", "55432", 1);
      return;
    }
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true") FAIL() << why;
    // A skip here would not reach the tests (nor CTest): the program ends
    // with the line CTest takes for a skipped test.
    std::printf("[  SKIPPED ] %s", why.c_str());
    std::fflush(stdout);
    std::_Exit(0);
  }
};

const ::testing::Environment* const kClusterCheck =
    ::testing::AddGlobalTestEnvironment(new ClusterCheck);

}  // namespace

bool UsePostgres() { return !Cluster().empty(); }

std::string PgClusterMissing() {
  std::string dir = Cluster();
  if (dir.empty()) return "PPS2BDE_PG_CLUSTER is not set (run the tests through ctest)";
  if (FileExists(dir + "/missing")) return ReadAll(dir + "/missing");
  if (!FileExists(dir + "/.s.PGSQL.55432")) return "no PostgreSQL test server in " + dir;
  return "";
}

bool IsPgService(const std::string& db) { return db.find('=') != std::string::npos; }

std::string PgCreateDatabase(bool schema) {
  static std::atomic<int> counter{0};
  std::string name = "t" + std::to_string(getpid()) + "_" + std::to_string(++counter);
  PGconn* c = Open(Service("postgres"));
  if (c == nullptr) return "";
  bool ok = Run(c, "CREATE DATABASE " + name + " TEMPLATE " +
                       (schema ? "pps2bde_template" : "pps2bde_functions"), true);
  PQfinish(c);
  return ok ? Service(name) : "";
}

void PgDropDatabase(const std::string& service) {
  size_t at = service.rfind("dbname=");
  if (at == std::string::npos) return;
  PGconn* c = Open(Service("postgres"));
  if (c == nullptr) return;
  Run(c, "DROP DATABASE IF EXISTS " + service.substr(at + 7) + " WITH (FORCE)", true);
  PQfinish(c);
}

std::string PgTrySql(const std::string& service, const std::string& sql) {
  PGconn* c = Open(service);
  if (c == nullptr) return "cannot connect to " + service;
  std::string message;
  PGresult* r = PQexec(c, sql.c_str());
  if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
    message = PQerrorMessage(c);
  PQclear(r);
  PQfinish(c);
  return message;
}

std::string PgQuery(const std::string& service, const std::string& sql) {
  PGconn* c = Open(service);
  if (c == nullptr) return "";
  std::string out;
  PGresult* r = PQexec(c, sql.c_str());
  if (PQresultStatus(r) != PGRES_TUPLES_OK) {
    ADD_FAILURE() << "query: " << PQerrorMessage(c) << "\n in: " << sql;
  } else {
    for (int row = 0; row < PQntuples(r); ++row) {
      if (row) out += '\n';
      for (int col = 0; col < PQnfields(r); ++col) {
        if (col) out += '|';
        if (PQgetisnull(r, row, col))
          out += "<null>";
        else if (PQftype(r, col) == kFloat8Oid || PQftype(r, col) == kFloat4Oid)
          out += AsSqliteReal(PQgetvalue(r, row, col));
        else
          out += PQgetvalue(r, row, col);
      }
    }
  }
  PQclear(r);
  PQfinish(c);
  return out;
}

PgConnection::PgConnection(const std::string& service) : conn_(Open(service)) {}

PgConnection::~PgConnection() { PQfinish(static_cast<PGconn*>(conn_)); }

int PgConnection::Exec(const char* text) {
  if (conn_ == nullptr) return -1;
  return Run(static_cast<PGconn*>(conn_), text, false) ? 0 : 1;
}

}  // namespace testing_support
