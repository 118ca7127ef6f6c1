// A laid-out installation of the job for end-to-end tests:
//
//   ROOT/files/velmaris.ini   enciphered LOGIN, PASS, NET8
//   ROOT/files/bde.db         the database
//   ROOT/a/b/c/Comm/Buff/     terminal buffer files
//   ROOT/a/b/c/run/           working folder of pps2bde
//   ROOT/a/b/c/run/Msg/       message log
//
// In the PostgreSQL run of the tests (pg_test_db.h) the database is a new
// one on the test cluster instead of bde.db: NET8 names it ("dbname=..."),
// LOGIN and PASS are the cluster's, and the job finds the server through
// PGHOST and PGPORT, which the test program sets for every process it starts.
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
  // The installation lies under base (see TempDir) when it is given.  With
  // sqlite, the database is a SQLite file also in the PostgreSQL run.
  explicit Installation(bool withDatabase = true, const std::string& base = "",
                        bool sqlite = false);
  ~Installation();
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  std::string root() const { return dir_.path(); }
  // The SQLite file, or the PostgreSQL service (ExecSql and QuerySql take
  // either).
  std::string db() const { return pg_.empty() ? dir_.path() + "/files/bde.db" : pg_; }
  std::string config() const { return dir_.path() + "/files/velmaris.ini"; }
  std::string run() const { return dir_.path() + "/a/b/c/run"; }
  std::string buff() const { return dir_.path() + "/a/b/c/Comm/Buff"; }
  std::string log() const { return run() + "/Msg/Ostrak.Txt"; }
  std::string output() const { return dir_.path() + "/output.txt"; }

  // Writes the configuration with these plain values (enciphered).  The
  // default configuration's values are DefaultLogin() ... .
  std::string DefaultLogin() const;
  std::string DefaultPass() const;
  std::string DefaultNet8() const;
  void WriteConfig(const std::string& login, const std::string& pass, const std::string& net8);
  // Runs pps2bde with args in the working folder; stdout and stderr go to
  // output().  Returns the exit code.
  int RunJob(const std::vector<std::string>& args = {},
             const std::vector<std::string>& env = {});

  void Sql(const std::string& sql) { ExecSql(db(), sql); }
  std::string Query(const std::string& sql) { return QuerySql(db(), sql); }

 private:
  TempDir dir_;
  std::string pg_;  // the PostgreSQL service; empty for SQLite
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
