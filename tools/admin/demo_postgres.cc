// The demo's throwaway PostgreSQL server: a cluster in DIR/pg that listens
// only on a Unix socket in that folder, its database pps2bde with the
// schema and the sample data, and the queries the demo shows.
#include <libpq-fe.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/admin/admin.h"

namespace {

constexpr char kPort[] = "55433";

// The newest installed server's bin folder ("" when none).
std::string ServerBin() {
  std::string best;
  for (int v = 30; v >= 10 && best.empty(); --v) {
    std::string bin = "/usr/lib/postgresql/" + std::to_string(v) + "/bin";
    if (access((bin + "/initdb").c_str(), X_OK) == 0) best = bin;
  }
  return best;
}

// Runs argv, as the user postgres when this process is root (the server
// refuses to run as root); quiet unless it fails.  Its exit code or -1.
int RunServerTool(const std::vector<std::string>& argv, const std::string& log) {
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (geteuid() == 0) {
      struct passwd* pw = getpwnam("postgres");
      if (pw == nullptr || setgid(pw->pw_gid) != 0 || setuid(pw->pw_uid) != 0) _exit(126);
    }
    if (std::freopen(log.c_str(), "a", stdout) == nullptr) _exit(125);
    dup2(fileno(stdout), 2);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

PGconn* Open(const char* dbname) {
  const char* keys[] = {"dbname", "user", "password", nullptr};
  const char* values[] = {dbname, kAdminDemoLogin, kAdminDemoPass, nullptr};
  return PQconnectdbParams(keys, values, 0);
}

bool Exec(PGconn* c, const char* text) {
  PGresult* r = PQexec(c, text);
  bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
  if (!ok) std::fprintf(stderr, "pps2bde-admin: %s", PQerrorMessage(c));
  PQclear(r);
  return ok;
}

}  // namespace

int AdminPg_Start(const std::string& root, std::string* net8) {
  const std::string bin = ServerBin();
  if (bin.empty()) {
    std::fprintf(stderr, "pps2bde-admin: no PostgreSQL server installed (Debian: postgresql)\n");
    return 1;
  }
  const std::string dir = root + "/pg";
  const std::string log = dir + "/server.log";
  bool fresh = access((dir + "/data/PG_VERSION").c_str(), F_OK) != 0;
  if (fresh) {
    mkdir(dir.c_str(), 0700);
    std::string pw = dir + "/pw";
    FILE* f = std::fopen(pw.c_str(), "w");
    if (f == nullptr) return 1;
    std::fprintf(f, "%s\n", kAdminDemoPass);
    std::fclose(f);
    if (geteuid() == 0) {
      struct passwd* p = getpwnam("postgres");
      if (p == nullptr || chown(dir.c_str(), p->pw_uid, p->pw_gid) != 0 ||
          chown(pw.c_str(), p->pw_uid, p->pw_gid) != 0) {
        std::fprintf(stderr, "pps2bde-admin: no user postgres to run the server as\n");
        return 1;
      }
    }
    int rc = RunServerTool({bin + "/initdb", "-D", dir + "/data", "-U", kAdminDemoLogin,
                            "--pwfile=" + pw, "--auth=scram-sha-256", "-E", "UTF8",
                            "--no-locale"},
                           log);
    unlink(pw.c_str());
    if (rc != 0) {
      std::fprintf(stderr, "pps2bde-admin: initdb failed, see %s\n", log.c_str());
      return 1;
    }
  }
  // A server left running by an interrupted demo is used as it is.
  bool running = RunServerTool({bin + "/pg_ctl", "-D", dir + "/data", "status"}, log) == 0;
  if (!running &&
      RunServerTool({bin + "/pg_ctl", "-D", dir + "/data", "-l", log, "-w", "-o",
                     "-k " + dir + " -p " + kPort + " -c listen_addresses=", "start"},
                    log) != 0) {
    std::fprintf(stderr, "pps2bde-admin: the server did not start, see %s\n", log.c_str());
    return 1;
  }
  // The job and the queries below find the server through libpq's
  // defaults; NET8 names only the database (it holds at most 51 characters).
  setenv("PGHOST", dir.c_str(), 1);
  setenv("PGPORT", kPort, 1);
  *net8 = "dbname=pps2bde";
  std::printf("PostgreSQL server in %s (socket %s/.s.PGSQL.%s)\n", dir.c_str(), dir.c_str(),
              kPort);
  if (!fresh) return 0;
  PGconn* c = Open("postgres");
  bool ok = PQstatus(c) == CONNECTION_OK && Exec(c, "CREATE DATABASE pps2bde");
  PQfinish(c);
  if (!ok || Admin_InitDb(net8->c_str(), kAdminDemoLogin, kAdminDemoPass) != 0) return 1;
  c = Open("pps2bde");
  ok = PQstatus(c) == CONNECTION_OK && Exec(c, Admin_DemoData());
  PQfinish(c);
  return ok ? 0 : 1;
}

void AdminPg_Stop(const std::string& root) {
  const std::string bin = ServerBin();
  const std::string dir = root + "/pg";
  RunServerTool({bin + "/pg_ctl", "-D", dir + "/data", "-w", "stop"}, dir + "/server.log");
  std::printf("\nPostgreSQL server stopped (start it again with pps2bde-admin demo %s "
              "--postgres)\n",
              root.c_str());
}

void AdminPg_ShowQuery(const char* query) {
  PGconn* c = Open("pps2bde");
  PGresult* r = PQstatus(c) == CONNECTION_OK ? PQexec(c, query) : nullptr;
  if (PQresultStatus(r) != PGRES_TUPLES_OK) {
    std::printf("(%s)\n", PQerrorMessage(c));
  } else if (PQntuples(r) == 0) {
    std::printf("(no rows)\n");
  } else {
    for (int row = 0; row < PQntuples(r); ++row) {
      for (int i = 0; i < PQnfields(r); ++i)
        std::printf("%s%s", i ? " | " : "", PQgetisnull(r, row, i) ? "NULL" : PQgetvalue(r, row, i));
      std::printf("\n");
    }
  }
  PQclear(r);
  PQfinish(c);
}
