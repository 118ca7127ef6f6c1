#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>

#include "gtest/gtest.h"
#include "runtime/os/env.h"
#include "runtime/os/test_env.h"
#include "tests/support/support.h"

namespace {

using testing_support::ReadAll;
using testing_support::TempDir;
using testing_support::WriteAll;

// Runs fn in a child process and returns its exit code (fn's result).
template <typename Fn>
int InChild(Fn fn) {
  pid_t pid = fork();
  if (pid == 0) _exit(fn());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(EnvPosixPath, TurnsBackslashesIntoSlashesWithinItsBuffer) {
  char out[16];
  EXPECT_EQ(0, Env_PosixPath("..\\Comm\\Buff\\x", out, sizeof out));
  EXPECT_STREQ("../Comm/Buff/x", out);

  EXPECT_EQ(0, Env_PosixPath("123456789012345", out, sizeof out));  // exactly fits
  EXPECT_STREQ("123456789012345", out);
  EXPECT_EQ(ENAMETOOLONG, Env_PosixPath("1234567890123456", out, sizeof out));
  EXPECT_STREQ("", out);
  EXPECT_EQ(ENAMETOOLONG, Env_PosixPath("a", out, 0));
  EXPECT_EQ(EINVAL, Env_PosixPath(nullptr, out, sizeof out));

  Env* env = Env_Posix();
  std::string longName(5000, 'a');
  int fd = -1;
  EXPECT_EQ(ENAMETOOLONG, env->OpenExclusive(longName.c_str(), &fd));
  EXPECT_EQ(-1, fd);
  EXPECT_EQ(ENAMETOOLONG, env->Remove(longName.c_str()));
}

TEST(EnvPosix, ExclusiveOpenIsRefusedToAnotherProcessUntilClosed) {
  TempDir dir;
  std::string path = dir / "log.txt";
  Env* env = Env_Posix();
  int fd = -1;
  ASSERT_EQ(0, env->OpenExclusive(path.c_str(), &fd));
  struct stat st;
  ASSERT_EQ(0, stat(path.c_str(), &st));
  EXPECT_EQ(0u, st.st_mode & 0133u);  // 0644 under any umask

  auto tryOpen = [&] {
    int other = -1;
    int rc = Env_Posix()->OpenExclusive(path.c_str(), &other);
    if (rc == 0) Env_Posix()->Close(other);
    return rc == EWOULDBLOCK ? 1 : rc == 0 ? 0 : 2;
  };
  EXPECT_EQ(1, InChild(tryOpen));  // held by us
  EXPECT_EQ(0, env->Close(fd));
  EXPECT_EQ(0, InChild(tryOpen));  // free again
}

TEST(EnvPosix, AppendsAtTheEndAndTruncates) {
  TempDir dir;
  WriteAll(dir / "f", "abc");
  std::string path = dir.path() + "\\f";  // the job's separator
  Env* env = Env_Posix();
  int fd = -1;
  ASSERT_EQ(0, env->OpenExclusive(path.c_str(), &fd));
  int64_t size = -1;
  ASSERT_EQ(0, env->SeekEnd(fd, &size));
  EXPECT_EQ(3, size);
  size_t written = 0;
  EXPECT_EQ(0, env->Write(fd, "defg", 4, &written));
  EXPECT_EQ(4u, written);
  EXPECT_EQ(0, env->Truncate(fd, 5));
  EXPECT_EQ(0, env->Write(fd, "X", 1, &written));
  EXPECT_EQ(0, env->Close(fd));
  EXPECT_EQ("abcdeX", ReadAll(dir / "f"));
}

TEST(EnvPosix, ShortWriteReportsTheBytesThatReachedTheFile) {
  TempDir dir;
  std::string path = dir / "short";
  // A file size limit of 10 bytes makes the kernel write only part of the
  // data; the rest fails with EFBIG.
  int rc = InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim = {10, 10};
    if (setrlimit(RLIMIT_FSIZE, &lim) != 0) return 3;
    int fd = -1;
    if (Env_Posix()->OpenExclusive(path.c_str(), &fd) != 0) return 4;
    size_t written = 99;
    int w = Env_Posix()->Write(fd, "0123456789abcdefghij", 20, &written);
    Env_Posix()->Close(fd);
    return w == EFBIG && written == 10 ? 0 : 1;
  });
  EXPECT_EQ(0, rc);
  EXPECT_EQ("0123456789", ReadAll(path));
}

TEST(EnvPosix, RenameRemoveAndRead) {
  TempDir dir;
  Env* env = Env_Posix();
  WriteAll(dir / "a.txt", "12345");
  WriteAll(dir / "b.old", "old");
  EXPECT_EQ(0, env->Rename((dir / "a.txt").c_str(), (dir / "b.old").c_str()));
  EXPECT_EQ(ENOENT, env->Rename((dir / "a.txt").c_str(), (dir / "c").c_str()));

  int fd = -1;
  ASSERT_EQ(0, env->OpenRead((dir / "b.old").c_str(), &fd));
  char buf[8];
  size_t len = 99;
  EXPECT_EQ(0, env->Read(fd, buf, 4, &len));
  EXPECT_EQ("1234", std::string(buf, len));
  EXPECT_EQ(0, env->Read(fd, buf, sizeof buf, &len));
  EXPECT_EQ("5", std::string(buf, len));
  EXPECT_EQ(0, env->Read(fd, buf, sizeof buf, &len));
  EXPECT_EQ(0u, len);
  EXPECT_EQ(0, env->Close(fd));
  EXPECT_EQ(ENOENT, env->OpenRead((dir / "a.txt").c_str(), &fd));
  EXPECT_EQ(-1, fd);

  EXPECT_EQ(0, env->Remove((dir / "b.old").c_str()));
  EXPECT_EQ(ENOENT, env->Remove((dir / "b.old").c_str()));
}

TEST(EnvPosix, ReadAtReadsThroughTheHandleFromTheOffset) {
  TempDir dir;
  Env* env = Env_Posix();
  std::string path = dir / "x.buf";
  WriteAll(path, "0123456789");
  int fd = -1;
  ASSERT_EQ(0, env->OpenExclusive(path.c_str(), &fd));
  // The name no longer matters once the file is open.
  ASSERT_EQ(0, rename(path.c_str(), (dir / "moved").c_str()));
  char buf[8];
  size_t len = 99;
  EXPECT_EQ(0, env->ReadAt(fd, 3, buf, 4, &len));
  EXPECT_EQ("3456", std::string(buf, len));
  EXPECT_EQ(0, env->ReadAt(fd, 7, buf, sizeof buf, &len));  // the end comes first
  EXPECT_EQ("789", std::string(buf, len));
  EXPECT_EQ(0, env->ReadAt(fd, 20, buf, sizeof buf, &len));
  EXPECT_EQ(0u, len);
  EXPECT_EQ(EINVAL, env->ReadAt(fd, -1, buf, sizeof buf, &len));
  EXPECT_EQ(0, env->Close(fd));
}

// Neither open blocks on a FIFO or follows a link to the files the job
// writes; what is not a regular file is refused.  CheckNamed sees a file
// that was moved, replaced or swapped for a link.
TEST(EnvPosix, OddFilesAreRefusedAndAMovedFileIsSeen) {
  TempDir dir;
  Env* env = Env_Posix();
  ASSERT_EQ(0, mkfifo((dir / "fifo").c_str(), 0644));
  WriteAll(dir / "target", "keep");
  ASSERT_EQ(0, symlink("target", (dir / "link").c_str()));
  int fd = -1;
  EXPECT_EQ(EINVAL, env->OpenExclusive((dir / "fifo").c_str(), &fd)) << "no wait for a reader";
  EXPECT_EQ(EINVAL, env->OpenRead((dir / "fifo").c_str(), &fd));
  EXPECT_EQ(ELOOP, env->OpenExclusive((dir / "link").c_str(), &fd));
  EXPECT_EQ(EISDIR, env->OpenExclusive(dir.path().c_str(), &fd));
  EXPECT_EQ(0, env->OpenRead((dir / "link").c_str(), &fd)) << "a read may follow a link";
  env->Close(fd);
  EXPECT_EQ("keep", ReadAll(dir / "target"));

  const std::string path = dir / "f.buf";
  ASSERT_EQ(0, env->OpenExclusive(path.c_str(), &fd));
  EXPECT_EQ(0, env->CheckNamed(path.c_str(), fd));
  ASSERT_EQ(0, rename(path.c_str(), (dir / "f.taken").c_str()));
  EXPECT_EQ(ENOENT, env->CheckNamed(path.c_str(), fd));
  ASSERT_EQ(0, symlink("f.taken", path.c_str()));
  EXPECT_EQ(ESTALE, env->CheckNamed(path.c_str(), fd));
  EXPECT_EQ(0, env->Close(fd));
}

TEST(EnvPosix, SleepMsWaitsAtLeastThatLong) {
  auto start = std::chrono::steady_clock::now();
  Env_Posix()->SleepMs(60);
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(60));
  EXPECT_LT(took, std::chrono::milliseconds(2000));
}

TEST(Env, InstalledEnvDrivesLocalTimeAndNullRestoresPosix) {
  ClockEnv clock;
  struct tm want = {};
  want.tm_year = 124;
  want.tm_mon = 1;
  want.tm_mday = 29;
  want.tm_hour = 23;
  want.tm_min = 59;
  want.tm_sec = 58;
  want.tm_isdst = -1;
  clock.now = mktime(&want);

  EXPECT_EQ(Env_Posix(), Env_Set(&clock));
  EXPECT_EQ(&clock, Env_Get());
  struct tm got;
  Env_LocalTime(&got);
  EXPECT_EQ(29, got.tm_mday);
  EXPECT_EQ(1, got.tm_mon);
  EXPECT_EQ(23, got.tm_hour);
  EXPECT_EQ(58, got.tm_sec);

  EXPECT_EQ(&clock, Env_Set(nullptr));
  EXPECT_EQ(Env_Posix(), Env_Get());
}

}  // namespace
