// The POSIX Env: the job's file, clock and sleep services on Linux.
//
// The exclusive open is open(2) plus a non-blocking flock(2); a lock held
// by another open file is the "sharing violation" and reported as
// EWOULDBLOCK.  Write-through is O_DSYNC, writes at the end O_APPEND.  No
// open blocks (O_NONBLOCK: a FIFO in place of a file answers at once), the
// files the job writes are never reached through a symbolic link
// (O_NOFOLLOW), and whatever is not a regular file is refused after the
// open (EINVAL).
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "runtime/os/env.h"

namespace {

constexpr size_t kPathCap = PATH_MAX;

// How often the exclusive open follows a name that was renamed or removed
// between its open and its lock before it reports the file as busy.
constexpr int kOpenAttempts = 3;

// True when path itself (a link not followed) is the file open as fd.
bool SameFile(int fd, const char* path, int* err) {
  struct stat held, named;
  *err = 0;
  if (fstat(fd, &held) != 0) {
    *err = errno;
    return false;
  }
  if (lstat(path, &named) != 0) {
    *err = errno;
    return false;
  }
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Opens p with flags, retrying on EINTR; a file that is not a regular file
// is closed again and refused with EINVAL.
int OpenRegular(const char* p, int flags, int* fd) {
  int f;
  do {
    f = open(p, flags, 0644);
  } while (f < 0 && errno == EINTR);
  if (f < 0) return errno;
  struct stat st;
  if (fstat(f, &st) != 0) {
    int e = errno;
    close(f);
    return e;
  }
  if (!S_ISREG(st.st_mode)) {
    close(f);
    return EINVAL;
  }
  *fd = f;
  return 0;
}

class PosixEnv final : public Env {
 public:
  int OpenExclusive(const char* path, int* fd) override {
    if (fd == nullptr) return EINVAL;
    *fd = -1;
    char p[kPathCap];
    int rc = Env_PosixPath(path, p, sizeof p);
    if (rc != 0) return rc;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
      int f = -1;
      rc = OpenRegular(p,
                       O_RDWR | O_CREAT | O_APPEND | O_DSYNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                       &f);
      if (rc != 0) return rc;
      int r;
      do {
        r = flock(f, LOCK_EX | LOCK_NB);
      } while (r != 0 && errno == EINTR);
      if (r != 0) {
        int e = errno;
        close(f);
        return e == EAGAIN ? EWOULDBLOCK : e;
      }
      // Another writer may have renamed (rotated) or removed the file
      // between our open and our lock; then the lock is on the old file and
      // the name must be opened again.
      int err;
      if (SameFile(f, p, &err)) {
        *fd = f;
        return 0;
      }
      close(f);
    }
    return EWOULDBLOCK;
  }

  int SeekEnd(int fd, int64_t* size) override {
    off_t end = lseek(fd, 0, SEEK_END);
    if (end < 0) return errno;
    if (size != nullptr) *size = static_cast<int64_t>(end);
    return 0;
  }

  int Write(int fd, const void* data, size_t n, size_t* written) override {
    if (written != nullptr) *written = 0;
    if (n > 0 && data == nullptr) return EINVAL;
    const char* p = static_cast<const char*>(data);
    size_t done = 0;
    int rc = 0;
    while (done < n) {
      ssize_t r = write(fd, p + done, n - done);
      if (r < 0) {
        if (errno == EINTR) continue;
        rc = errno;
        break;
      }
      if (r == 0) break;  // no progress: a short write, reported by *written
      done += static_cast<size_t>(r);
    }
    if (written != nullptr) *written = done;
    return rc;
  }

  int Truncate(int fd, int64_t size) override {
    if (size < 0) return EINVAL;
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) return errno;
    if (lseek(fd, static_cast<off_t>(size), SEEK_SET) < 0) return errno;
    return 0;
  }

  int Close(int fd) override {
    // On Linux the descriptor is released even when close reports EINTR,
    // and the data went out with O_DSYNC already; retrying would close a
    // descriptor someone else may have got meanwhile.
    if (close(fd) != 0 && errno != EINTR) return errno;
    return 0;
  }

  int Rename(const char* from, const char* to) override {
    char f[kPathCap], t[kPathCap];
    int rc = Env_PosixPath(from, f, sizeof f);
    if (rc == 0) rc = Env_PosixPath(to, t, sizeof t);
    if (rc != 0) return rc;
    return std::rename(f, t) == 0 ? 0 : errno;
  }

  int Remove(const char* path) override {
    char p[kPathCap];
    int rc = Env_PosixPath(path, p, sizeof p);
    if (rc != 0) return rc;
    return unlink(p) == 0 ? 0 : errno;
  }

  int OpenRead(const char* path, int* fd) override {
    if (fd == nullptr) return EINVAL;
    *fd = -1;
    char p[kPathCap];
    int rc = Env_PosixPath(path, p, sizeof p);
    if (rc != 0) return rc;
    return OpenRegular(p, O_RDONLY | O_NONBLOCK | O_CLOEXEC, fd);
  }

  int Read(int fd, char* buf, size_t cap, size_t* len) override {
    if (len != nullptr) *len = 0;
    if (buf == nullptr && cap > 0) return EINVAL;
    ssize_t r;
    do {
      r = read(fd, buf, cap);
    } while (r < 0 && errno == EINTR);
    if (r < 0) return errno;
    if (len != nullptr) *len = static_cast<size_t>(r);
    return 0;
  }

  int ReadAt(int fd, int64_t offset, char* buf, size_t cap, size_t* len) override {
    if (len != nullptr) *len = 0;
    if ((buf == nullptr && cap > 0) || offset < 0) return EINVAL;
    size_t got = 0;
    int rc = 0;
    while (got < cap) {
      off_t at = static_cast<off_t>(offset) + static_cast<off_t>(got);
      ssize_t r = pread(fd, buf + got, cap - got, at);
      if (r < 0) {
        if (errno == EINTR) continue;
        rc = errno;
        break;
      }
      if (r == 0) break;
      got += static_cast<size_t>(r);
    }
    if (len != nullptr) *len = got;
    return rc;
  }

  int CheckNamed(const char* path, int fd) override {
    char p[kPathCap];
    int rc = Env_PosixPath(path, p, sizeof p);
    if (rc != 0) return rc;
    int err;
    if (SameFile(fd, p, &err)) return 0;
    return err == ENOENT ? ENOENT : ESTALE;
  }

  void SleepMs(int ms) override {
    // nanosleep underneath, resumed with the remaining time after a signal.
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

  time_t Now() override { return time(nullptr); }
};

}  // namespace

Env* Env_Posix() {
  static PosixEnv env;
  return &env;
}
