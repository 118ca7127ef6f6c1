// pps2bde-admin check: one line per check of an installation, OK or the
// problem and what to do about it.
#include <fmt/core.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <map>

#include "runtime/ini.h"
#include "runtime/session.h"
#include "schema/schema_text.h"
#include "sql/sql.h"
#include "tools/admin/admin.h"

namespace {

// The configuration file and the buffer folder as the job's working folder
// sees them.
constexpr const char* kConfig = "../../../../files/velmaris.ini";
constexpr const char* kMsgDir = "Msg";
constexpr const char* kBuffDir = "../Comm/Buff";

int g_problems = 0;

void Ok(const std::string& what) { fmt::print("OK    {}\n", what); }
void Problem(const std::string& what, const std::string& todo) {
  ++g_problems;
  fmt::print("FAIL  {}\n      -> {}\n", what, todo);
}

// A deciphered value that holds a control byte came from a damaged or
// foreign cipher text.
bool Printable(const char* s) {
  for (; *s; ++s)
    if (static_cast<unsigned char>(*s) < 0x20) return false;
  return true;
}

bool CheckConfig() {
  if (access(kConfig, R_OK) != 0) {
    Problem("configuration " + std::string(kConfig) + " cannot be read",
            "create it with pps2bde-admin install, or check the installation's layout and "
            "the file's permissions");
    return false;
  }
  bool ok = true;
  for (const char* key : {"LOGIN", "PASS", "NET8"}) {
    // Looked up by key alone, as the job does; the value is never printed.
    int rc = Ini_Find("", key, 0, kIniFileName);
    const char* value = Ini_Result().value.c_str();
    if (rc != 0) {
      Problem(fmt::format("configuration: no {} entry", key),
              fmt::format("add the pair \"[{}];Login;\" / \"n;{};<pps2bde-admin encipher "
                          "VALUE>\"",
                          key, key));
      ok = false;
    } else if ((value[0] == '\0' && std::string(key) != "PASS") || !Printable(value)) {
      Problem(fmt::format("configuration: {} does not decipher to a usable value", key),
              "write it anew with pps2bde-admin encipher VALUE");
      ok = false;
    }
  }
  if (ok) Ok("configuration readable, LOGIN, PASS and NET8 decipher");
  return ok;
}

// Every table and column of the schema, from the schema text built in.
std::map<std::string, std::vector<std::string>> SchemaColumns() {
  std::map<std::string, std::vector<std::string>> out;
  const std::string s = Schema_SqliteText();
  size_t pos = 0;
  while ((pos = s.find("CREATE TABLE ", pos)) != std::string::npos) {
    pos += 13;
    size_t open = s.find('(', pos);
    if (open == std::string::npos) break;
    std::string table = s.substr(pos, s.find_first_of(" (", pos) - pos);
    size_t end = s.find("\n)", open);
    std::vector<std::string>& cols = out[table];
    for (size_t line = s.find('\n', open); line < end; line = s.find('\n', line + 1)) {
      size_t a = s.find_first_not_of(' ', line + 1);
      size_t b = s.find_first_of(" ,\n", a);
      std::string word = s.substr(a, b - a);
      if (word.empty() || !std::isalpha(static_cast<unsigned char>(word[0])) ||
          word == "PRIMARY" || word == "UNIQUE" || word == "CONSTRAINT" || word == "FOREIGN")
        continue;
      cols.push_back(word);
    }
    pos = end;
  }
  return out;
}

// 0 when "select cols from table" prepares and runs.
int Probe(const std::string& table, const std::string& cols) {
  const std::string text = "select " + cols + " from " + table + " where 1=0";
  sql::Stmt s{text.c_str()};
  sql::Cursor c;
  int rc = sql::Open(c, s, nullptr, 0);
  (void)sql::Close(c);
  return rc;
}

bool CheckSchema() {
  std::vector<std::string> missing;
  for (const auto& [table, cols] : SchemaColumns()) {
    std::string all;
    for (const std::string& c : cols) all += (all.empty() ? "" : ",") + c;
    if (Probe(table, all) == 0) continue;
    if (Probe(table, "count(*)") != 0) {
      missing.push_back("table " + table);
      continue;
    }
    for (const std::string& c : cols)
      if (Probe(table, c) != 0) missing.push_back(table + "." + c);
  }
  if (missing.empty()) {
    Ok("schema complete (every table and column the job uses)");
    return true;
  }
  std::string list;
  for (const std::string& m : missing) list += (list.empty() ? "" : ", ") + m;
  Problem("schema incomplete: " + list + " missing",
          "create the database anew with pps2bde-admin init-db, or add what is missing "
          "from schema/sqlite.sql");
  return false;
}

void CheckFolder(const char* path, const char* what) {
  if (access(path, F_OK) != 0) {
    Problem(fmt::format("{} {} does not exist", what, path),
            fmt::format("create it (mkdir -p {}); the job does not", path));
  } else if (access(path, W_OK | X_OK) != 0) {
    Problem(fmt::format("{} {} is not writable", what, path),
            "give the user the job runs as write access to it");
  } else {
    Ok(fmt::format("{} {} exists and is writable", what, path));
  }
}

void CheckTerminals() {
  std::vector<AdminMarked> marked;
  if (int rc = Admin_ReadMarked(&marked)) {
    Problem(fmt::format("rows marked for download cannot be read (status {})", rc),
            "see the schema check");
    return;
  }
  std::string list;
  int rows = 0;
  for (const AdminMarked& m : marked) {
    if (m.terminal != 0) continue;
    list += fmt::format("\n      {} area key \"{}\": {} rows marked {}", m.table, m.area, m.rows,
                        m.marker);
    rows += m.rows;
  }
  if (rows == 0) {
    Ok("every row waiting for download has a terminal in Kvn557Cfg");
    return;
  }
  Problem(fmt::format("{} rows waiting for download have no terminal in Kvn557Cfg:{}", rows,
                      list),
          "add a Kvn557Cfg row whose first or second range (CfgVn1..CfgBi1, CfgVn2..CfgBi2) "
          "contains the area key; the next run sends them");
}

void CheckRunLock() {
  char holder[200] = {};
  int rc = sql::ProbeRunLock(holder, sizeof holder);
  if (rc == 0) {
    Ok("run lock free");
  } else if (rc == 1) {
    Problem(fmt::format("run lock held by: {}", Admin_Utf8(holder, strnlen(holder, sizeof holder))),
            "wait for that run to end; if it hangs, stop that process (the lock ends with it)");
  } else {
    Problem(fmt::format("run lock cannot be looked at (status {})", rc),
            "check the permissions of the database's folder");
  }
}

}  // namespace

int Admin_Check() {
  g_problems = 0;
  const bool config = CheckConfig();
  CheckFolder(kMsgDir, "log folder");
  CheckFolder(kBuffDir, "buffer folder");
  if (config) {
    int rc = Db_Connect();
    if (rc != 0) {
      Problem(fmt::format("database cannot be reached (status {})", rc),
              "check NET8 in velmaris.ini (a relative path starts in the working folder) "
              "and that the database exists");
    } else {
      Ok("database reachable");
      if (CheckSchema()) CheckTerminals();
      CheckRunLock();
      sql::Disconnect();
    }
  }
  if (g_problems > 0) fmt::print("{} problem(s) found\n", g_problems);
  return g_problems > 0 ? 1 : 0;
}
