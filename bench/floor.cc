#include "bench/floor.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "sql/sql.h"

namespace {

int CommitLoop(const std::string& dbPath, long long commits, double* seconds) {
  // The layer never creates a database: make the file and its one table.
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                           nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_exec(db,
                      "PRAGMA journal_mode=WAL;"
                      "create table Floor (FlrKey integer primary key, FlrTxt text)",
                      nullptr, nullptr, nullptr);
  sqlite3_close(db);
  if (rc != SQLITE_OK) {
    std::fprintf(stderr, "pps2bde-bench: cannot create %s\n", dbPath.c_str());
    return -1;
  }
  const std::string connect = "bench/bench@" + dbPath;
  if (sql::Connect(connect.c_str()) != 0) {
    std::fprintf(stderr, "pps2bde-bench: cannot connect to %s\n", dbPath.c_str());
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

int Bench_Floor(const std::string& dir, long long commits, long long lines, FloorTimes* out) {
  if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "pps2bde-bench: cannot create %s\n", dir.c_str());
    return -1;
  }
  const double cpu = Bench_Cpu();
  if (CommitLoop(dir + "/floor.db", commits, &out->commitSeconds) != 0) return -1;
  if (AppendLoop(dir + "/floor.buf", lines, &out->appendSeconds) != 0) return -1;
  out->cpuSeconds = Bench_Cpu() - cpu;
  return 0;
}
