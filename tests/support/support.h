// Helpers shared by the tests: temporary folders, whole-file reads and
// writes, running a process, and direct SQLite access that bypasses the
// client layer under test.
#ifndef PPS2BDE_TESTS_SUPPORT_SUPPORT_H_
#define PPS2BDE_TESTS_SUPPORT_SUPPORT_H_

#include <string>
#include <vector>

namespace testing_support {

// A fresh, empty folder under $TMPDIR (or /tmp); removed with its contents
// when the object goes out of scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

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

// Path of a built executable ("pps2bde", "pps2bde-admin").
std::string BuiltProgram(const std::string& name);

// Creates a new SQLite database at path with the job's whole schema.
void CreateDatabase(const std::string& path);
// Runs sql (any number of statements) on the database; fails the test on an
// error.
void ExecSql(const std::string& dbPath, const std::string& sql);
// Runs a query; each row as its columns joined by '|' (NULL as "<null>"),
// rows joined by '\n'.
std::string QuerySql(const std::string& dbPath, const std::string& sql);

}  // namespace testing_support

#endif  // PPS2BDE_TESTS_SUPPORT_SUPPORT_H_
