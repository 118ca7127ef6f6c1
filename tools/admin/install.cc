// pps2bde-admin install: an empty installation, ready for its first run.
#include <fmt/core.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "runtime/crypt.h"
#include "runtime/ini.h"
#include "sql/postgres/postgres_engine.h"
#include "tools/admin/admin.h"
#include "tools/layout/layout.h"

namespace {

// Longest configuration value the job reads (velmaris.ini) and longest
// connect text "LOGIN/PASS@NET8".
constexpr size_t kValueMax = kIniCredentialCap - 1;
constexpr size_t kConnectMax = 100;

// True when the --db value names a PostgreSQL service or URI rather than a
// SQLite file (the job's own rule).
bool IsPostgres(const std::string& db) { return sql::Postgres_IsService(db.data(), db.size()); }

// Prepares the PostgreSQL database named by net8 for the job (the schema on
// the server, which must be empty) and returns 0, or 1 with a message.
int PreparePostgres(const std::string& net8, const std::string& login,
                    const std::string& password) {
  return Admin_InitDb(net8.c_str(), login.c_str(), password.c_str());
}

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd) == nullptr) return path;
  return std::string(cwd) + "/" + path;
}

}  // namespace

int Admin_Install(const AdminInstallOptions& o) {
  std::string password;
  if (o.passwordStdin && !std::getline(std::cin, password)) password.clear();
  if (!password.empty() && password.back() == '\r') password.pop_back();
  const Layout layout{Absolute(o.root)};
  const bool postgres = IsPostgres(o.db);
  // The job reads NET8 from its working folder: the default database as
  // the relative path every installation uses, any other file absolute.
  std::string net8 = o.db;
  if (!postgres) {
    net8 = Absolute(o.db);
    if (net8 == layout.db()) net8 = kLayoutDefaultNet8;
  }
  for (const auto& [name, value] :
       {std::pair{"--login", o.login}, std::pair{"password", password}, std::pair{"--db", net8}}) {
    if (value.size() > kValueMax || value.find_first_of("\r\n") != std::string::npos) {
      fmt::print(stderr, "pps2bde-admin: {} must be one line of at most {} characters\n", name,
                 kValueMax);
      return 2;
    }
  }
  if (o.login.size() + password.size() + net8.size() + 2 > kConnectMax) {
    fmt::print(stderr,
               "pps2bde-admin: login, password and database together exceed the {} characters "
               "of the job's connect text; use a shorter path\n",
               kConnectMax);
    return 2;
  }
  if (access(layout.config().c_str(), F_OK) == 0) {
    fmt::print(stderr, "pps2bde-admin: {} exists; an installation is never overwritten\n",
               layout.config());
    return 1;
  }
  if (int e = Layout_MakeFolders(layout)) {
    fmt::print(stderr, "pps2bde-admin: cannot lay out {}: {}\n", layout.root, std::strerror(e));
    return 1;
  }
  if (postgres) {
    if (PreparePostgres(net8, o.login, password) != 0) return 1;
  } else {
    std::string error;
    int rc = Layout_CreateSqlite(Absolute(o.db), &error);
    if (rc != 0) {
      fmt::print(stderr, "pps2bde-admin: cannot create the database {}: {}\n", o.db,
                 rc > 0 ? std::strerror(rc) : error);
      return 1;
    }
    fmt::print("created the database {}\n", Absolute(o.db));
  }
  int rc = Layout_WriteConfig(layout.config(), o.login.c_str(), password.c_str(), net8.c_str());
  std::fill(password.begin(), password.end(), '\0');
  if (rc != 0) {
    fmt::print(stderr, "pps2bde-admin: cannot write {}: {}\n", layout.config(), std::strerror(rc));
    return 1;
  }
  fmt::print("laid out {}\n  configuration  {}\n  working folder {}\n  buffer files   {}\n\n",
             layout.root, layout.config(), layout.run(), layout.buff());
  if (int e = Admin_EnterRoot(layout.root)) return e;
  return Admin_Check();
}
