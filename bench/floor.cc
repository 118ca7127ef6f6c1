#include "bench/floor.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "bench/layout.h"
#include "bench/server.h"
#include "sql/sql.h"

namespace {

constexpr char kFloorTable[] = "create table Floor (FlrKey integer primary key, FlrTxt text)";

// A new database with the one table Floor for the loop: a SQLite file, or
// a database on the server named after the file's folder ("floor-before"
// gives floor_before).  *db gets how to reach it.
int CreateFloorDb(const std::string& path, const PgServer* server, BenchDb* db) {
  if (server == nullptr) {
    sqlite3* h = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(h, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(h, kFloorTable, nullptr, nullptr, nullptr);
    sqlite3_close(h);
    db->service = path;
    return rc == SQLITE_OK ? 0 : -1;
  }
  const std::string folder = path.substr(0, path.find_last_of('/'));
  std::string name = folder.substr(folder.find_last_of('/') + 1);
  for (char& c : name)
    if (c == '-' || c == '.') c = '_';
  PGconn* c = PgServer_Connect(*server, "postgres");
  bool ok = PQstatus(c) == CONNECTION_OK &&
            PgServer_Exec(c, ("CREATE DATABASE " + name).c_str(), "pps2bde-bench");
  PQfinish(c);
  if (ok) {
    c = PgServer_Connect(*server, name.c_str());
    ok = PQstatus(c) == CONNECTION_OK && PgServer_Exec(c, kFloorTable, "pps2bde-bench");
    PQfinish(c);
  }
  db->sqlite = false;
  db->login = server->superuser;
  db->pass = server->password;
  db->service = "dbname=" + name;
  return ok ? 0 : -1;
}

int CommitLoop(const std::string& path, const PgServer* server, long long commits,
               double* seconds) {
  // The layer never creates a database: make it and its one table.
  BenchDb db;
  if (CreateFloorDb(path, server, &db) != 0) {
    std::fprintf(stderr, "pps2bde-bench: cannot create the floor's database %s\n", path.c_str());
    return -1;
  }
  if (Bench_Connect(db) != 0) {
    std::fprintf(stderr, "pps2bde-bench: cannot connect to %s\n", db.service.c_str());
    return -1;
  }
  static sql::WriteStmt w{{"savepoint Floor_Sp"},
                          {"insert into Floor (FlrKey,FlrTxt) values (:b0,:b1)"},
                          {"rollback  to Floor_Sp"}};
  // About the size of an order row.
  Text<256> text;
  text = "Bezeichnung des Auftrags 00001 Bezeichnung des Auftrags 00001 Teil-12345-67890 "
         "Bezeichnung des Auftrags 00001 Bezeichnung des Auftrags 00001 Bezeichnung des "
         "Auftrags 00001 Bezeichnung des Auftrags 00001";
  const double start = Bench_Now();
  for (long long i = 0; i < commits; ++i) {
    const int32_t key = static_cast<int32_t>(i);
    const sql::Bind binds[] = {sql::BI32(key), sql::BText(text)};
    if (sql::Write(w, binds, 2) != 0) {
      std::fprintf(stderr, "pps2bde-bench: floor write %lld failed\n", i);
      sql::Disconnect();
      return -1;
    }
  }
  *seconds = Bench_Now() - start;
  sql::Disconnect();
  return 0;
}

int AppendLoop(const std::string& path, long long lines, double* seconds) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_DSYNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    std::fprintf(stderr, "pps2bde-bench: cannot open %s: %s\n", path.c_str(),
                 std::strerror(errno));
    return -1;
  }
  char line[552];
  std::memset(line, 'x', sizeof line);
  line[549] = '*';
  line[550] = '\r';
  line[551] = '\n';
  const double start = Bench_Now();
  for (long long i = 0; i < lines; ++i) {
    if (write(fd, line, sizeof line) != static_cast<ssize_t>(sizeof line)) {
      std::fprintf(stderr, "pps2bde-bench: append failed: %s\n", std::strerror(errno));
      close(fd);
      return -1;
    }
  }
  *seconds = Bench_Now() - start;
  close(fd);
  return 0;
}

}  // namespace

double Bench_Now() {
  using Clock = std::chrono::steady_clock;
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

double Bench_Cpu() {
  rusage ru{};
  if (getrusage(RUSAGE_SELF, &ru) != 0) return 0;
  return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
         static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6;
}

int Bench_Floor(const std::string& dir, const PgServer* server, long long commits,
                long long lines, FloorTimes* out) {
  if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "pps2bde-bench: cannot create %s\n", dir.c_str());
    return -1;
  }
  const double cpu = Bench_Cpu();
  const double serverCpu = server != nullptr ? BenchServer_Cpu(*server) : 0;
  if (CommitLoop(dir + "/floor.db", server, commits, &out->commitSeconds) != 0) return -1;
  if (AppendLoop(dir + "/floor.buf", lines, &out->appendSeconds) != 0) return -1;
  out->cpuSeconds = Bench_Cpu() - cpu;
  if (server != nullptr) out->serverCpuSeconds = BenchServer_Cpu(*server) - serverCpu;
  return 0;
}
