#include "tools/layout/pg_server.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Runs argv, as the user postgres when this process is root; its output
// goes to the log.  Its exit code or -1.
int RunServerTool(const std::vector<std::string>& argv, const std::string& log) {
  // The child reopens stdout: what this process has buffered goes out once.
  std::fflush(nullptr);
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

// Hands path to the user postgres when this process is root.
bool GiveToServer(const std::string& path) {
  if (geteuid() != 0) return true;
  struct passwd* p = getpwnam("postgres");
  return p != nullptr && chown(path.c_str(), p->pw_uid, p->pw_gid) == 0;
}

bool InitCluster(const std::string& bin, const PgServer& s) {
  const std::string pw = s.dir + "/pw";
  FILE* f = std::fopen(pw.c_str(), "w");
  if (f == nullptr) return false;
  std::fprintf(f, "%s\n", s.password.c_str());
  std::fclose(f);
  if (!GiveToServer(s.dir) || !GiveToServer(pw)) {
    unlink(pw.c_str());
    std::fprintf(stderr, "no user postgres to run the server as\n");
    return false;
  }
  int rc = RunServerTool({bin + "/initdb", "-D", s.data(), "-U", s.superuser, "--pwfile=" + pw,
                          "--auth=scram-sha-256", "-E", "UTF8", "--no-locale"},
                         s.log());
  unlink(pw.c_str());
  if (rc != 0) std::fprintf(stderr, "initdb failed, see %s\n", s.log().c_str());
  return rc == 0;
}

}  // namespace

std::string PgServer_Bin() {
  for (int v = 30; v >= 10; --v) {
    std::string bin = "/usr/lib/postgresql/" + std::to_string(v) + "/bin";
    if (access((bin + "/initdb").c_str(), X_OK) == 0) return bin;
  }
  return "";
}

int PgServer_Start(const PgServer& s, bool* fresh) {
  const std::string bin = PgServer_Bin();
  if (bin.empty()) {
    std::fprintf(stderr, "no PostgreSQL server installed (Debian: postgresql)\n");
    return 1;
  }
  *fresh = access((s.data() + "/PG_VERSION").c_str(), F_OK) != 0;
  if (*fresh) {
    mkdir(s.dir.c_str(), 0700);
    if (!InitCluster(bin, s)) return 1;
  }
  if (RunServerTool({bin + "/pg_ctl", "-D", s.data(), "status"}, s.log()) == 0) return 0;
  std::string options = "-k " + s.dir + " -p " + s.port + " -c listen_addresses=";
  for (const std::string& setting : s.settings) options += " -c " + setting;
  if (RunServerTool({bin + "/pg_ctl", "-D", s.data(), "-l", s.log(), "-w", "-t", "60", "-o",
                     options, "start"},
                    s.log()) != 0) {
    std::fprintf(stderr, "the server did not start, see %s\n", s.log().c_str());
    return 1;
  }
  return 0;
}

int PgServer_Stop(const PgServer& s) {
  const std::string bin = PgServer_Bin();
  if (bin.empty()) return 1;
  return RunServerTool({bin + "/pg_ctl", "-D", s.data(), "-w", "stop"}, s.log()) == 0 ? 0 : 1;
}

void PgServer_Export(const PgServer& s) {
  setenv("PGHOST", s.dir.c_str(), 1);
  setenv("PGPORT", s.port.c_str(), 1);
}

PGconn* PgServer_Connect(const PgServer& s, const char* dbname) {
  const char* keys[] = {"host", "port", "dbname", "user", "password", nullptr};
  const char* values[] = {s.dir.c_str(),       s.port.c_str(),         dbname,
                          s.superuser.c_str(), s.password.c_str(), nullptr};
  return PQconnectdbParams(keys, values, 0);
}

bool PgServer_Exec(PGconn* c, const char* text, const char* who) {
  PGresult* r = PQexec(c, text);
  bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
  if (!ok) std::fprintf(stderr, "%s: %s", who, PQerrorMessage(c));
  PQclear(r);
  return ok;
}

int PgServer_Pid(const PgServer& s) {
  FILE* f = std::fopen((s.data() + "/postmaster.pid").c_str(), "r");
  if (f == nullptr) return -1;
  int pid = -1;
  if (std::fscanf(f, "%d", &pid) != 1) pid = -1;
  std::fclose(f);
  return pid;
}
