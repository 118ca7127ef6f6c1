// pps2bde-crashpoint: the job with crashes and faults built in, for tests
// only.  Every switch is an environment variable holding a count N >= 1;
// without any the program is the plain job.
//
// Crashes (the process ends abruptly with exit code 99: no final commit, no
// clean-up, as a power cut or a kill would end it there):
//   PPS2BDE_CRASH_AFTER_COMMITS=N  right after the N-th successful commit;
//   PPS2BDE_CRASH_AFTER_WRITES=N   right after the N-th successful write to
//                                  a terminal buffer file;
//   PPS2BDE_CRASH_IN_WRITE=N       in the N-th buffer-file write, after the
//                                  first half of the line reached the file.
//
// Faults of the buffer files (the job goes on; the call reports the error
// code given in parentheses, as the operating system would):
//   PPS2BDE_FAIL_OPEN=N      the N-th open of a buffer file (EACCES);
//   PPS2BDE_FAIL_SEEK=N      the N-th move to the end of a buffer file (EIO);
//   PPS2BDE_FAIL_WRITE=N     the N-th buffer-file write, nothing written
//                            (ENOSPC);
//   PPS2BDE_SHORT_WRITE=N    the N-th buffer-file write, only the first half
//                            of the line written (ENOSPC);
//   PPS2BDE_FAIL_TRUNCATE=N  the N-th cut-back of a buffer file (EIO).
//
// Pauses (the process stops itself with SIGSTOP, so a test can act on the
// files between two lines and go on with SIGCONT):
//   PPS2BDE_PAUSE_AFTER_WRITES=N   right after the N-th successful write to
//                                  a terminal buffer file.
//
// Database:
//   PPS2BDE_BUSY_TIMEOUT_MS=N  how long a write waits for a database that
//                              another process holds locked;
//   PPS2BDE_FAIL_COMMITS=N     every N-th commit fails as on a full disk
//                              (-1114): the transaction is rolled back.
//
// Counts are per process and start at 1; a buffer file is a file whose
// name contains "SndDnl".  The message log is never affected.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <set>

#include "driver/run.h"
#include "runtime/os/test_env.h"
#include "sql/engine.h"
#include "sql/sqlite/sqlite_engine.h"

namespace {

constexpr int kCrashExit = 99;

// The count N of a switch, 0 when unset or not a positive number.
long Switch(const char* name) {
  const char* v = std::getenv(name);
  if (v == nullptr) return 0;
  char* end = nullptr;
  long n = std::strtol(v, &end, 10);
  return (end != v && *end == '\0' && n > 0) ? n : 0;
}

class CommitFaults : public sql::ForwardingEngine {
 public:
  CommitFaults(long crashAfter, long failEvery) : left_(crashAfter), every_(failEvery) {}
  int Commit() override {
    if (every_ > 0 && sql::ForwardingEngine::InTransaction() && ++commits_ % every_ == 0) {
      (void)sql::ForwardingEngine::Rollback();  // the commit fails either way
      return -1114;
    }
    int rc = sql::ForwardingEngine::Commit();
    if (rc == 0 && left_ > 0 && --left_ == 0) _exit(kCrashExit);
    return rc;
  }

 private:
  long left_;
  long every_;
  long commits_ = 0;
};

// Counts the calls of one kind and tells when the chosen one has come.
struct Trigger {
  long at = 0;    // the call that trips, 0: never
  long seen = 0;  // calls so far
  bool Next() { return ++seen == at; }
};

// Forwards to the POSIX Env and trips the chosen buffer-file calls.
class FaultEnv : public ForwardingEnv {
 public:
  Trigger open, seek, write, shortWrite, truncate, crashAfter, crashIn, pauseAfter;

  bool Active() const {
    return open.at || seek.at || write.at || shortWrite.at || truncate.at || crashAfter.at ||
           crashIn.at || pauseAfter.at;
  }

  int OpenExclusive(const char* path, int* fd) override {
    bool buffer = path != nullptr && std::strstr(path, "SndDnl") != nullptr;
    if (buffer && open.Next()) {
      if (fd != nullptr) *fd = -1;
      return EACCES;
    }
    int rc = ForwardingEnv::OpenExclusive(path, fd);
    if (rc == 0 && buffer) buffers_.insert(*fd);
    return rc;
  }

  int SeekEnd(int fd, int64_t* size) override {
    if (IsBuffer(fd) && seek.Next()) return EIO;
    return ForwardingEnv::SeekEnd(fd, size);
  }

  int Write(int fd, const void* data, size_t n, size_t* written) override {
    if (!IsBuffer(fd)) return ForwardingEnv::Write(fd, data, n, written);
    // Every switch sees every buffer-file write, so their counts agree.
    bool fail = write.Next();
    bool shortened = shortWrite.Next();
    bool crashInside = crashIn.Next();
    bool crashAfterIt = crashAfter.Next();
    bool pauseAfterIt = pauseAfter.Next();
    if (fail) {
      if (written != nullptr) *written = 0;
      return ENOSPC;
    }
    if (shortened || crashInside) {
      size_t part = 0;
      int rc = ForwardingEnv::Write(fd, data, n / 2, &part);
      if (crashInside) _exit(kCrashExit);
      if (written != nullptr) *written = part;
      return rc != 0 ? rc : ENOSPC;
    }
    size_t done = 0;
    int rc = ForwardingEnv::Write(fd, data, n, &done);
    if (written != nullptr) *written = done;
    if (crashAfterIt && rc == 0 && done == n) _exit(kCrashExit);
    if (pauseAfterIt && rc == 0 && done == n) raise(SIGSTOP);
    return rc;
  }

  int Truncate(int fd, int64_t size) override {
    if (IsBuffer(fd) && truncate.Next()) return EIO;
    return ForwardingEnv::Truncate(fd, size);
  }

  int Close(int fd) override {
    buffers_.erase(fd);
    return ForwardingEnv::Close(fd);
  }

 private:
  bool IsBuffer(int fd) const { return buffers_.count(fd) != 0; }

  std::set<int> buffers_;
};

}  // namespace

int main(int argc, char** argv) {
  long commits = Switch("PPS2BDE_CRASH_AFTER_COMMITS");
  long failEvery = Switch("PPS2BDE_FAIL_COMMITS");
  static CommitFaults engine(commits, failEvery);
  if (commits > 0 || failEvery > 0) sql::SetEngineForTest(&engine);

  static FaultEnv env;
  env.open.at = Switch("PPS2BDE_FAIL_OPEN");
  env.seek.at = Switch("PPS2BDE_FAIL_SEEK");
  env.write.at = Switch("PPS2BDE_FAIL_WRITE");
  env.shortWrite.at = Switch("PPS2BDE_SHORT_WRITE");
  env.truncate.at = Switch("PPS2BDE_FAIL_TRUNCATE");
  env.crashAfter.at = Switch("PPS2BDE_CRASH_AFTER_WRITES");
  env.crashIn.at = Switch("PPS2BDE_CRASH_IN_WRITE");
  env.pauseAfter.at = Switch("PPS2BDE_PAUSE_AFTER_WRITES");
  if (env.Active()) Env_Set(&env);

  long busyMs = Switch("PPS2BDE_BUSY_TIMEOUT_MS");
  if (busyMs > 0) sql::SqliteEngine_SetBusyTimeoutForTest(static_cast<int>(busyMs));

  return Pps2bde_Main(argc, argv);
}
