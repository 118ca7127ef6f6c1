// Helpers shared by the tests: temporary folders, whole-file reads and
// writes, running a process, and direct SQLite access that bypasses the
// client layer under test.
#ifndef PPS2BDE_TESTS_SUPPORT_SUPPORT_H_
#define PPS2BDE_TESTS_SUPPORT_SUPPORT_H_

#include <string>
#include <vector>

namespace testing_support {

// A fresh, empty folder under base, or under $TMPDIR (or /tmp) when base is
// empty; removed with its contents when the object goes out of scope.
class TempDir {
 public:
  explicit TempDir(const std::string& base = "");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A folder in memory (tmpfs) for tests that run the job many times and do
// not test durability against power loss: "/dev/shm" when it can be
// written, else "" (the default temporary folder).
std::string MemoryTempBase();

bool FileExists(const std::string& path);
// The file's bytes, or "" when it cannot be read.
std::string ReadAll(const std::string& path);
// Writes (replacing) the file; creates missing parent folders.
void WriteAll(const std::string& path, const std::string& data);
void MakeDirs(const std::string& path);

// Runs argv[0] with its arguments in cwd, waits and returns the exit code
// (128+signal when killed).  Extra environment entries "NAME=value" are
// added to the inherited environment.
// When output is not empty, stdout and stderr go to that file.
int RunProcess(const std::vector<std::string>& argv, const std::string& cwd,
               const std::vector<std::string>& env = {}, const std::string& output = "");

// Starts argv[0] as RunProcess does but returns at once: the child's pid, or
// -1 when it could not be started.  Every start needs a wait that reaps the
// child (WaitProcess, WaitProcessFor, or ProcessEnded until it is true).
int StartProcess(const std::vector<std::string>& argv, const std::string& cwd,
                 const std::vector<std::string>& env = {}, const std::string& output = "");
// Waits for a started child and returns its exit code (128+signal when
// killed, -1 on error).
int WaitProcess(int pid);
// Waits at most seconds for a started child: its exit code, or -2 after the
// child was killed with SIGKILL because it had not ended in time.
int WaitProcessFor(int pid, double seconds);
// Waits at most seconds until the started child has stopped itself
// (SIGSTOP); false when it did not stop in time (it still needs its wait)
// or ended (then it is reaped).  The child goes on after kill(pid, SIGCONT)
// and still needs its wait.
bool WaitStopped(int pid, double seconds);
// RunProcess with a time limit (see WaitProcessFor).
int RunProcessFor(double seconds, const std::vector<std::string>& argv, const std::string& cwd,
                  const std::vector<std::string>& env = {}, const std::string& output = "");
// True when the started child has ended (then *code is its exit code and the
// child is reaped; do not wait for it again); false while it runs.
bool ProcessEnded(int pid, int* code);

// Path of a built executable ("pps2bde", "pps2bde-admin").
std::string BuiltProgram(const std::string& name);

// Creates a new SQLite database at path with the job's whole schema.
void CreateDatabase(const std::string& path);
// Runs sql (any number of statements) on the database (a SQLite path, or a
// PostgreSQL service text: see pg_test_db.h); fails the test on an error.
void ExecSql(const std::string& dbPath, const std::string& sql);
// Runs sql like ExecSql but returns SQLite's error message ("" on success)
// instead of failing the test.
std::string TrySql(const std::string& dbPath, const std::string& sql);
// Runs a query; each row as its columns joined by '|' (NULL as "<null>"),
// rows joined by '\n'.
std::string QuerySql(const std::string& dbPath, const std::string& sql);
// The column names of a table in their order, joined by ',', without those
// whose name ends in dropSuffix (any case; "" drops none).  Either engine.
std::string ColumnNames(const std::string& db, const std::string& table,
                        const std::string& dropSuffix = "");
// An ORDER BY term that gives a table's rows in the order they were
// inserted, for a table that is only inserted into ("rowid", "ctid").
std::string InsertionOrder(const std::string& db);

}  // namespace testing_support

#endif  // PPS2BDE_TESTS_SUPPORT_SUPPORT_H_
