#include "tests/support/support.h"

#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "gtest/gtest.h"
#include "schema/schema_text.h"
#include "tests/support/pg_test_db.h"

namespace testing_support {

TempDir::TempDir(const std::string& base) {
  const char* env = std::getenv("TMPDIR");
  std::string folder = !base.empty() ? base : (env && *env ? env : "/tmp");
  std::string tmpl = folder + "/pps2bde-test-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data()) == nullptr) {
    ADD_FAILURE() << "mkdtemp failed: " << std::strerror(errno);
  }
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string MemoryTempBase() {
  return access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : "";
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void MakeDirs(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
}

void WriteAll(const std::string& path, const std::string& data) {
  auto parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) MakeDirs(parent.string());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) ADD_FAILURE() << "cannot write " << path;
}

int StartProcess(const std::vector<std::string>& argv, const std::string& cwd,
                 const std::vector<std::string>& env, const std::string& output) {
  if (argv.empty()) return -1;
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    for (const std::string& e : env) putenv(strdup(e.c_str()));
    if (!output.empty()) {
      int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0) _exit(125);
      dup2(fd, 1);
      dup2(fd, 2);
      close(fd);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return static_cast<int>(pid);
}

namespace {

int ExitCode(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

int WaitProcess(int pid) {
  if (pid <= 0) return -1;
  int status = 0;
  pid_t r;
  do {
    r = waitpid(pid, &status, 0);
  } while (r < 0 && errno == EINTR);
  return r < 0 ? -1 : ExitCode(status);
}

bool ProcessEnded(int pid, int* code) {
  if (pid <= 0) return true;
  int status = 0;
  pid_t r = waitpid(pid, &status, WNOHANG);
  if (r == 0) return false;
  if (code != nullptr) *code = r < 0 ? -1 : ExitCode(status);
  return true;
}

int RunProcess(const std::vector<std::string>& argv, const std::string& cwd,
               const std::vector<std::string>& env, const std::string& output) {
  return WaitProcess(StartProcess(argv, cwd, env, output));
}

bool WaitStopped(int pid, double seconds) {
  if (pid <= 0) return false;
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WUNTRACED | WNOHANG);
    if (r == pid) return WIFSTOPPED(status);
    if (r < 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

int WaitProcessFor(int pid, double seconds) {
  if (pid <= 0) return -1;
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int code = -1;
  while (!ProcessEnded(pid, &code)) {
    if (std::chrono::steady_clock::now() >= end) {
      kill(pid, SIGKILL);
      WaitProcess(pid);
      ADD_FAILURE() << "process " << pid << " still running after " << seconds << " s";
      return -2;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return code;
}

int RunProcessFor(double seconds, const std::vector<std::string>& argv, const std::string& cwd,
                  const std::vector<std::string>& env, const std::string& output) {
  return WaitProcessFor(StartProcess(argv, cwd, env, output), seconds);
}

std::string BuiltProgram(const std::string& name) {
  const char* b = std::getenv("PPS2BDE_BUILD");
  return std::string(b && *b ? b : PPS2BDE_BUILD_DIR) + "/" + name;
}

static sqlite3* OpenDb(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "cannot open " << path << ": " << sqlite3_errmsg(db);
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 10000);
  return db;
}

void CreateDatabase(const std::string& path) {
  sqlite3* db = OpenDb(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  if (db == nullptr) return;
  char* err = nullptr;
  if (sqlite3_exec(db, Schema_SqliteText(), nullptr, nullptr, &err) != SQLITE_OK) {
    ADD_FAILURE() << "schema: " << (err ? err : "?");
    sqlite3_free(err);
  }
  sqlite3_close(db);
}

std::string TrySql(const std::string& dbPath, const std::string& sql) {
  if (IsPgService(dbPath)) return PgTrySql(dbPath, sql);
  sqlite3* db = OpenDb(dbPath, SQLITE_OPEN_READWRITE);
  if (db == nullptr) return "cannot open " + dbPath;
  char* err = nullptr;
  std::string message;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    message = err != nullptr ? err : "?";
    sqlite3_free(err);
  }
  sqlite3_close(db);
  return message;
}

void ExecSql(const std::string& dbPath, const std::string& sql) {
  std::string err = TrySql(dbPath, sql);
  if (!err.empty()) ADD_FAILURE() << "sql: " << err << "\n in: " << sql;
}

std::string QuerySql(const std::string& dbPath, const std::string& sql) {
  if (IsPgService(dbPath)) return PgQuery(dbPath, sql);
  sqlite3* db = OpenDb(dbPath, SQLITE_OPEN_READONLY);
  if (db == nullptr) return "";
  std::string out;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "query: " << sqlite3_errmsg(db) << "\n in: " << sql;
    sqlite3_close(db);
    return "";
  }
  bool first = true;
  while (sqlite3_step(st) == SQLITE_ROW) {
    if (!first) out += '\n';
    first = false;
    int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
      if (i) out += '|';
      if (sqlite3_column_type(st, i) == SQLITE_NULL) {
        out += "<null>";
      } else {
        const unsigned char* t = sqlite3_column_text(st, i);
        out += reinterpret_cast<const char*>(t);
      }
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return out;
}

std::string ColumnNames(const std::string& db, const std::string& table,
                        const std::string& dropSuffix) {
  std::string like = "'%" + dropSuffix + "'";
  if (IsPgService(db)) {
    return PgQuery(db, "select string_agg(column_name, ',' order by ordinal_position) from "
                       "information_schema.columns where table_name = lower('" + table +
                       "')" + (dropSuffix.empty() ? "" : " and column_name not ilike " + like));
  }
  return QuerySql(db, "select group_concat(name, ',') from pragma_table_info('" + table + "')" +
                          (dropSuffix.empty() ? "" : " where name not like " + like));
}

std::string InsertionOrder(const std::string& db) { return IsPgService(db) ? "ctid" : "rowid"; }

}  // namespace testing_support
