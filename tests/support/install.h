// A laid-out installation of the job for end-to-end tests:
//
//   ROOT/files/velmaris.ini   enciphered LOGIN, PASS, NET8
//   ROOT/files/bde.db         the database
//   ROOT/a/b/c/Comm/Buff/     terminal buffer files
//   ROOT/a/b/c/run/           working folder of pps2bde
//   ROOT/a/b/c/run/Msg/       message log
#ifndef PPS2BDE_TESTS_SUPPORT_INSTALL_H_
#define PPS2BDE_TESTS_SUPPORT_INSTALL_H_

#include <string>
#include <vector>

#include "tests/support/support.h"

namespace testing_support {

class Installation {
 public:
  // Lays out the folders, writes the configuration naming the database
  // "../../../../files/bde.db" and, when withDatabase, creates the database.
  // The installation lies under base (see TempDir) when it is given.
  explicit Installation(bool withDatabase = true, const std::string& base = "");

  std::string root() const { return dir_.path(); }
  std::string db() const { return dir_.path() + "/files/bde.db"; }
  std::string config() const { return dir_.path() + "/files/velmaris.ini"; }
  std::string run() const { return dir_.path() + "/a/b/c/run"; }
  std::string buff() const { return dir_.path() + "/a/b/c/Comm/Buff"; }
  std::string log() const { return run() + "/Msg/Ostrak.Txt"; }
  std::string output() const { return dir_.path() + "/output.txt"; }

  // Writes the configuration with these plain values (enciphered).
  void WriteConfig(const std::string& login, const std::string& pass, const std::string& net8);
  // Runs pps2bde with args in the working folder; stdout and stderr go to
  // output().  Returns the exit code.
  int RunJob(const std::vector<std::string>& args = {},
             const std::vector<std::string>& env = {});

  void Sql(const std::string& sql) { ExecSql(db(), sql); }
  std::string Query(const std::string& sql) { return QuerySql(db(), sql); }

 private:
  TempDir dir_;
};

// One message log entry, split into its fields.
struct LogEntry {
  std::string date;  // DD.MM.YY
  std::string time;  // HH:MM:SS
  std::string kinds;
  std::string message;
  std::string function;
  std::string code;
};
// Splits a log file into entries; fails the test when the bytes do not have
// the entry layout exactly.
std::vector<LogEntry> ParseLog(const std::string& bytes);
// The exact bytes of one FMSG entry.
std::string FmsgBytes(const std::string& date, const std::string& time,
                      const std::string& message, const std::string& function, int code);

}  // namespace testing_support

#endif  // PPS2BDE_TESTS_SUPPORT_INSTALL_H_
