#include "bench/server.h"

#include <dirent.h>
#include <libpq-fe.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "schema/schema_text.h"

namespace {

// utime + stime + cutime + cstime of a process (clock ticks), and its
// parent; false when it has gone.
bool ProcessTicks(int pid, long long* ticks, int* parent) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
  FILE* f = std::fopen(path, "r");
  if (f == nullptr) return false;
  char buf[1024];
  size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  buf[n] = '\0';
  // The command name is in parentheses and may hold spaces: the fields
  // count on from the last ')', which is followed by field 3 (the state).
  const char* p = std::strrchr(buf, ')');
  if (p == nullptr) return false;
  long long field[18] = {};
  int k = 3;
  for (const char* q = p + 1; k < 18; ++k) {
    while (*q == ' ') ++q;
    if (*q == '\0') return false;
    if (k > 3) field[k] = std::strtoll(q, nullptr, 10);
    while (*q != ' ' && *q != '\0') ++q;
  }
  *parent = static_cast<int>(field[4]);
  *ticks = field[14] + field[15] + field[16] + field[17];
  return true;
}

// CPU seconds of the postmaster pid and its children.
double ServerCpu(int postmaster) {
  long long total = 0;
  int parent = 0;
  long long ticks = 0;
  if (ProcessTicks(postmaster, &ticks, &parent)) total += ticks;
  if (DIR* d = opendir("/proc")) {
    while (dirent* e = readdir(d)) {
      char* end = nullptr;
      long pid = std::strtol(e->d_name, &end, 10);
      if (end == e->d_name || *end != '\0' || pid == postmaster) continue;
      if (ProcessTicks(static_cast<int>(pid), &ticks, &parent) && parent == postmaster)
        total += ticks;
    }
    closedir(d);
  }
  return static_cast<double>(total) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

PgServer BenchServer_Of(const std::string& dir) {
  // The socket lies in the bench folder: no other server can hold its name.
  return PgServer{dir + "/pg", "55434", "bench", "bench", {"track_wal_io_timing=on"}};
}

int BenchServer_Start(const PgServer& s) {
  // The server's user must reach its folder inside the bench folder.
  const std::string parent = s.dir.substr(0, s.dir.find_last_of('/'));
  if (geteuid() == 0 && chmod(parent.c_str(), 0755) != 0) {
    std::fprintf(stderr, "pps2bde-bench: cannot open %s to the server's user\n", parent.c_str());
    return -1;
  }
  bool fresh = false;
  if (PgServer_Start(s, &fresh) != 0) {
    std::fprintf(stderr, "pps2bde-bench: no PostgreSQL server in %s\n", s.dir.c_str());
    return -1;
  }
  PgServer_Export(s);
  return 0;
}

int BenchServer_CreateDb(const PgServer& s, const char* name, BenchDb* db) {
  PGconn* c = PgServer_Connect(s, "postgres");
  bool ok = PQstatus(c) == CONNECTION_OK &&
            PgServer_Exec(c, (std::string("CREATE DATABASE ") + name).c_str(), "pps2bde-bench");
  PQfinish(c);
  if (ok) {
    c = PgServer_Connect(s, name);
    ok = PQstatus(c) == CONNECTION_OK &&
         PgServer_Exec(c, Schema_PostgresText(), "pps2bde-bench");
    PQfinish(c);
  }
  db->login = s.superuser;
  db->pass = s.password;
  db->net8 = std::string("dbname=") + name;
  db->service = db->net8;
  db->sqlite = false;
  return ok ? 0 : -1;
}

int BenchServer_Settle(const PgServer& s, const char* name) {
  PGconn* c = PgServer_Connect(s, name);
  const bool ok = PQstatus(c) == CONNECTION_OK &&
                  PgServer_Exec(c, "CHECKPOINT", "pps2bde-bench");
  PQfinish(c);
  return ok ? 0 : -1;
}

int BenchServer_Read(const PgServer& s, const char* dbname, ServerFigures* out) {
  const int pid = PgServer_Pid(s);
  if (pid <= 0) return -1;
  PGconn* c = PgServer_Connect(s, "postgres");
  const char* values[] = {dbname};
  PGresult* r = PQstatus(c) == CONNECTION_OK
                    ? PQexecParams(c,
                                   "SELECT (SELECT xact_commit FROM pg_stat_database "
                                   "WHERE datname = $1), wal_sync, wal_sync_time FROM pg_stat_wal",
                                   1, nullptr, values, nullptr, nullptr, 0)
                    : nullptr;
  const bool ok = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1;
  if (ok) {
    out->commits = std::atoll(PQgetvalue(r, 0, 0));
    out->walSyncs = std::atoll(PQgetvalue(r, 0, 1));
    out->walSyncSeconds = std::atof(PQgetvalue(r, 0, 2)) / 1000.0;
  } else {
    std::fprintf(stderr, "pps2bde-bench: cannot read the server's statistics: %s",
                 PQerrorMessage(c));
  }
  PQclear(r);
  PQfinish(c);
  // After the session above has ended, so its backend is counted alike
  // in both readings.
  out->cpuSeconds = ServerCpu(pid);
  return ok ? 0 : -1;
}

double BenchServer_ProcessCpu(int pid) {
  long long ticks = 0;
  int parent = 0;
  if (!ProcessTicks(pid, &ticks, &parent)) return 0;
  return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double BenchServer_Cpu(const PgServer& s) {
  const int pid = PgServer_Pid(s);
  return pid > 0 ? ServerCpu(pid) : 0;
}
