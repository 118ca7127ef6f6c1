// The log against a busy, refusing or failing file system.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "runtime/msg_test_util.h"
#include "runtime/os/env.h"

namespace {

// The fixed clock plus chosen failures of single steps.
class FaultEnv : public ClockEnv {
 public:
  int openError = 0;
  int seekError = 0;
  bool shortWrite = false;
  int closeError = 0;
  int opens = 0;
  int closes = 0;

  int OpenExclusive(const char* path, int* fd) override {
    ++opens;
    return openError != 0 ? openError : ClockEnv::OpenExclusive(path, fd);
  }
  int SeekEnd(int fd, int64_t* size) override {
    return seekError != 0 ? seekError : ClockEnv::SeekEnd(fd, size);
  }
  int Write(int fd, const void* data, size_t n, size_t* written) override {
    int rc = ClockEnv::Write(fd, data, shortWrite && n > 0 ? n - 1 : n, written);
    return rc;
  }
  int Close(int fd) override {
    ++closes;
    int rc = ClockEnv::Close(fd);
    return closeError != 0 ? closeError : rc;
  }
};

class LogFailureTest : public LogTest {
 protected:
  void SetUp() override {
    LogTest::SetUp();
    fault_.now = clock_.now;
    Env_Set(&fault_);  // LogTest's guard restores the Env afterwards
  }
  FaultEnv fault_;
};

TEST_F(LogFailureTest, WaitsWhileAnotherProcessHoldsTheLog) {
  int ready[2];
  ASSERT_EQ(0, pipe(ready));
  pid_t pid = fork();
  if (pid == 0) {
    int fd = -1;
    int rc = Env_Posix()->OpenExclusive(".\\Msg\\Ostrak.Txt", &fd);
    char c = rc == 0 ? '1' : '0';
    if (write(ready[1], &c, 1) != 1) _exit(2);
    usleep(800 * 1000);
    (void)Env_Posix()->Close(fd);
    _exit(0);
  }
  ASSERT_GT(pid, 0);
  char c = 0;
  ASSERT_EQ(1, read(ready[0], &c, 1));
  ASSERT_EQ('1', c);

  auto start = std::chrono::steady_clock::now();
  Msg_Error("Get_Download", "Fehler bei Apk_Dnl", -54);
  auto waited = std::chrono::steady_clock::now() - start;
  int status = 0;
  waitpid(pid, &status, 0);
  close(ready[0]);
  close(ready[1]);

  EXPECT_GE(fault_.sleeps.size(), 2u);
  for (int ms : fault_.sleeps) EXPECT_EQ(333, ms);
  EXPECT_GE(waited, std::chrono::milliseconds(600));
  EXPECT_EQ(ExpectedEntry("FMSG ", "Fehler bei Apk_Dnl", "Get_Download", "-54"), Log());
  EXPECT_EQ(1, Msg_EntryCount());
}

TEST_F(LogFailureTest, PermissionDeniedDropsTheEntryAtOnce) {
  fault_.openError = EACCES;
  Msg_Error("f", "m", 1);
  EXPECT_EQ(1, fault_.opens);
  EXPECT_TRUE(fault_.sleeps.empty());
  EXPECT_EQ(0, Msg_EntryCount());
  EXPECT_FALSE(testing_support::FileExists(dir_ / "Msg/Ostrak.Txt"));
  EXPECT_EQ(EACCES, Msg_AppendFile(".\\Msg\\x", "d", 1));
}

TEST_F(LogFailureTest, FailedStepsCloseTheFileAndDoNotCount) {
  fault_.seekError = EIO;
  Msg_Error("f", "seek", 1);
  EXPECT_EQ(1, fault_.closes);
  EXPECT_EQ("", Log());
  fault_.seekError = 0;

  fault_.shortWrite = true;
  Msg_Error("f", "short", 2);
  EXPECT_EQ(2, fault_.closes);
  EXPECT_EQ(0, Msg_EntryCount());
  std::string entry = ExpectedEntry("FMSG ", "short", "f", "2");
  EXPECT_EQ(entry.substr(0, entry.size() - 1), Log());  // what was written stays
  EXPECT_EQ(EIO, Msg_AppendFile(".\\Msg\\x", "d", 1));
  fault_.shortWrite = false;

  fault_.closeError = EIO;
  Msg_Error("f", "close", 3);
  EXPECT_EQ(0, Msg_EntryCount());
  EXPECT_EQ(EIO, Msg_AppendFile(".\\Msg\\x", "d", 1));
  fault_.closeError = 0;

  Msg_Error("f", "ok", 4);
  EXPECT_EQ(1, Msg_EntryCount());
}

}  // namespace
