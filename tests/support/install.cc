#include "tests/support/install.h"

#include <unistd.h>

#include "gtest/gtest.h"
#include "runtime/crypt.h"
#include "tests/support/pg_test_db.h"
#include "tools/layout/layout.h"

namespace testing_support {

Installation::Installation(bool withDatabase, const std::string& base, bool sqlite)
    : dir_(base) {
  const Layout layout{root()};
  EXPECT_EQ(0, Layout_MakeFolders(layout));
  if (UsePostgres() && !sqlite) {
    pg_ = withDatabase ? PgCreateDatabase(true)
                       : "host=none dbname=none" + std::to_string(getpid());
  } else if (withDatabase) {
    std::string error;
    EXPECT_EQ(0, Layout_CreateSqlite(layout.db(), &error)) << error;
  }
  WriteConfig(DefaultLogin(), DefaultPass(), DefaultNet8());
}

Installation::~Installation() {
  if (!pg_.empty()) PgDropDatabase(pg_);
}

std::string Installation::DefaultLogin() const { return pg_.empty() ? "bde" : kPgUser; }
std::string Installation::DefaultPass() const { return pg_.empty() ? "secret" : kPgPassword; }
std::string Installation::DefaultNet8() const {
  return pg_.empty() ? kLayoutDefaultNet8 : pg_.substr(pg_.rfind("dbname="));
}

void Installation::WriteConfig(const std::string& login, const std::string& pass,
                               const std::string& net8) {
  ASSERT_EQ(0, Layout_WriteConfig(config(), login.c_str(), pass.c_str(), net8.c_str()));
}

int Installation::RunJob(const std::vector<std::string>& args,
                         const std::vector<std::string>& env) {
  std::vector<std::string> argv = {BuiltProgram("pps2bde")};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv, run(), env, output());
}

namespace {

// Takes one CR LF terminated line starting at pos with the given prefix.
bool TakeLine(const std::string& b, size_t& pos, const std::string& prefix, std::string* value) {
  if (b.compare(pos, prefix.size(), prefix) != 0) return false;
  size_t end = b.find("\r\n", pos);
  if (end == std::string::npos) return false;
  *value = b.substr(pos + prefix.size(), end - pos - prefix.size());
  pos = end + 2;
  return true;
}

}  // namespace

std::vector<LogEntry> ParseLog(const std::string& b) {
  std::vector<LogEntry> out;
  size_t pos = 0;
  while (pos < b.size()) {
    LogEntry e;
    std::string empty;
    bool ok = TakeLine(b, pos, "\xFE", &empty) && empty.empty() &&
              TakeLine(b, pos, "System-Date: ", &e.date) &&
              TakeLine(b, pos, "System-Time: ", &e.time) &&
              TakeLine(b, pos, "MsgArt_____: ", &e.kinds) &&
              TakeLine(b, pos, "Message____: ", &e.message) &&
              TakeLine(b, pos, "Funktion___: ", &e.function) &&
              TakeLine(b, pos, "ErrorCode__: ", &e.code);
    if (!ok) {
      ADD_FAILURE() << "log entry " << out.size() + 1 << " is malformed at byte " << pos;
      break;
    }
    out.push_back(e);
  }
  return out;
}

std::string FmsgBytes(const std::string& date, const std::string& time,
                      const std::string& message, const std::string& function, int code) {
  return "\xFE\r\nSystem-Date: " + date + "\r\nSystem-Time: " + time +
         "\r\nMsgArt_____: FMSG \r\nMessage____: " + message + "\r\nFunktion___: " + function +
         "\r\nErrorCode__: " + std::to_string(code) + "\r\n";
}

}  // namespace testing_support
