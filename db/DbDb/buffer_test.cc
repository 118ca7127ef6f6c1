#include "db/DbDb/buffer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/msg.h"
#include "runtime/os/test_env.h"
#include "sql/sql.h"
#include "tests/support/install.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;
using testing_support::ParseLog;
using testing_support::ReadAll;

// The POSIX Env with a fixed clock that counts the opens of buffer files and
// fails chosen calls on them; the message log passes untouched.
class BufferEnv : public ForwardingEnv {
 public:
  time_t now = 0;
  int opens = 0;
  bool failOpen = false;
  bool failSeek = false;
  bool failWrite = false;
  bool shortWrite = false;

  int OpenExclusive(const char* path, int* fd) override {
    if (std::strstr(path, "SndDnl") == nullptr) return ForwardingEnv::OpenExclusive(path, fd);
    ++opens;
    if (failOpen) return EACCES;
    int rc = ForwardingEnv::OpenExclusive(path, fd);
    if (rc == 0) bufferFd_ = *fd;
    return rc;
  }
  int SeekEnd(int fd, int64_t* size) override {
    if (fd == bufferFd_ && failSeek) return EIO;
    return ForwardingEnv::SeekEnd(fd, size);
  }
  int Write(int fd, const void* data, size_t n, size_t* written) override {
    if (fd == bufferFd_ && failWrite) {
      *written = 0;
      return EIO;
    }
    if (fd == bufferFd_ && shortWrite) {
      ForwardingEnv::Write(fd, data, n / 2, written);
      return 0;
    }
    return ForwardingEnv::Write(fd, data, n, written);
  }
  int Close(int fd) override {
    if (fd == bufferFd_) bufferFd_ = -1;
    return ForwardingEnv::Close(fd);
  }
  time_t Now() override { return now; }

 private:
  int bufferFd_ = -1;
};

time_t LocalTime(int y, int mo, int d, int h, int mi, int s) {
  struct tm t = {};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  t.tm_isdst = -1;
  return mktime(&t);
}

std::string Right(const std::string& v, size_t w) { return std::string(w - v.size(), ' ') + v; }
std::string Left(const std::string& v, size_t w) { return v + std::string(w - v.size(), ' '); }

// The line the writer must produce, built from the record layout.
std::string ExpectedLine(const std::string& ip, const std::string& port,
                         const std::string& payload) {
  return "$" + Left(ip, 15) + Left(port, 5) + "20240102030405" + "999" + Right(ip, 15) +
         Right(port, 5) + std::string(28, ' ') + "0460" + "APK" + "240315" + "101112" + "BDE" +
         "NEU" + Left(payload, 438) + "*\r\n";
}

class BufferTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    testing_support::MakeDirs(dir() / "Comm/Buff");
    testing_support::MakeDirs(dir() / "run/Msg");
    DatabaseTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_NE(nullptr, getcwd(cwd_, sizeof cwd_));
    ASSERT_EQ(0, chdir((dir() / "run").c_str()));
    env_.now = LocalTime(2024, 1, 2, 3, 4, 5);
    Msg_ResetForTest();
    Msg_Init(7, ".\\Msg\\Ostrak.Txt");
    Put_DnlBufferClose();
  }
  void BeforeConnect() override {
    Exec("insert into Kvn557Cfg (CfgDta,CfgIP,CfgPrt,CfgVn1,CfgBi1) values "
         "(3,'10.0.0.3','4711','A','K');"
         "insert into Kvn557Cfg (CfgDta,CfgIP,CfgPrt,CfgVn1,CfgBi1,CfgVn2,CfgBi2) values "
         "(5,'10.0.0.5','',  'L','P','R','T');");
  }
  void TearDown() override {
    Put_DnlBufferClose();
    DatabaseTest::TearDown();
    Msg_ResetForTest();
    if (cwd_[0] != '\0') {
      EXPECT_EQ(0, chdir(cwd_));
    }
  }

  static QueueRecord Record(const std::string& payload) {
    QueueRecord rec;
    rec.DnlDtaDate = "20240315";
    rec.DnlDtaTime = "101112";
    rec.DnlSkz = "APK";
    rec.DnlFun = "NEU";
    rec.DnlDnl = payload.c_str();
    return rec;
  }
  int Put(const std::string& payload, const char* areaKey) {
    return Put_DnlBuffer(Record(payload), areaKey);
  }
  std::string File(int terminal) {
    return ReadAll(dir() / ("Comm/Buff/SndDnl" + std::to_string(terminal) + ".buf"));
  }
  std::vector<testing_support::LogEntry> Log() {
    return ParseLog(ReadAll(dir() / "run/Msg/Ostrak.Txt"));
  }
  // Whether another writer could open the terminal's file now.
  bool Lockable(int terminal) {
    int fd;
    std::string p = "../Comm/Buff/SndDnl" + std::to_string(terminal) + ".buf";
    if (Env_Posix()->OpenExclusive(p.c_str(), &fd) != 0) return false;
    (void)Env_Posix()->Close(fd);
    return true;
  }

  char cwd_[PATH_MAX] = {};
  BufferEnv env_;
  ScopedEnv scoped_{&env_};
};

TEST_F(BufferTest, ConsecutiveLinesForOneTerminalOpenTheFileOnce) {
  ASSERT_EQ(0, Put("erste", "B"));
  ASSERT_EQ(0, Put("zweite", "K"));  // upper end of the range included
  EXPECT_EQ(1, env_.opens);
  EXPECT_EQ(ExpectedLine("10.0.0.3", "4711", "erste") +
                ExpectedLine("10.0.0.3", "4711", "zweite"),
            File(3));
  EXPECT_FALSE(Lockable(3)) << "the file of the current terminal stays held";
  EXPECT_TRUE(Log().empty());
}

TEST_F(BufferTest, TerminalsThreeFiveThreeReopen) {
  ASSERT_EQ(0, Put("a", "A"));
  ASSERT_EQ(0, Put("b", "S"));  // second range of terminal 5
  EXPECT_TRUE(Lockable(3)) << "file 3 closed when terminal 5 came";
  EXPECT_FALSE(Lockable(5));
  ASSERT_EQ(0, Put("c", "C"));
  EXPECT_EQ(3, env_.opens);
  EXPECT_EQ(ExpectedLine("10.0.0.3", "4711", "a") + ExpectedLine("10.0.0.3", "4711", "c"),
            File(3));
  EXPECT_EQ(ExpectedLine("10.0.0.5", "", "b"), File(5));
}

TEST_F(BufferTest, ExistingFileKeepsItsContent) {
  testing_support::WriteAll(dir() / "Comm/Buff/SndDnl3.buf", "alte Zeile\r\nohne Ende");
  ASSERT_EQ(0, Put("neu", "D"));
  EXPECT_EQ("alte Zeile\r\nohne Ende" + ExpectedLine("10.0.0.3", "4711", "neu"), File(3));
}

// A line cut off in its write (the process died in it) is taken back
// before the next line, so the lines stay on the 552-byte grid; what does
// not look like the start of a download line stays.
TEST_F(BufferTest, TornLineAtTheEndIsCutBeforeTheNextLine) {
  const std::string path = dir() / "Comm/Buff/SndDnl3.buf";
  const std::string whole = ExpectedLine("10.0.0.3", "4711", "alt");
  const std::string next = ExpectedLine("10.0.0.3", "4711", "neu");
  const std::string cases[][2] = {
      {whole + whole.substr(0, 200), whole + next},     // behind a whole line
      {whole.substr(0, 551), next},                     // alone, one byte short
      {whole + "$x\r\n", whole + "$x\r\n" + next},      // a line end: not a torn line
      {whole + "x" + whole.substr(1, 99), whole + "x" + whole.substr(1, 99) + next},
      {std::string(552, 'a') + "$abc", std::string(552, 'a') + "$abc" + next},  // no line before
  };
  for (const auto& c : cases) {
    Put_DnlBufferClose();
    testing_support::WriteAll(path, c[0]);
    ASSERT_EQ(0, Put("neu", "D"));
    EXPECT_EQ(c[1], File(3)) << c[0].size() << " bytes before";
  }
  EXPECT_TRUE(Log().empty());
}

TEST_F(BufferTest, NoTerminalReturnsTheStatusAndKeepsTheOpenFile) {
  ASSERT_EQ(0, Put("a", "B"));
  EXPECT_EQ(1403, Put("b", "Q"));  // between the ranges of terminal 5
  EXPECT_EQ(1403, Put("c", "Z"));
  ASSERT_EQ(0, Put("d", "C"));
  EXPECT_EQ(1, env_.opens);
  EXPECT_EQ(ExpectedLine("10.0.0.3", "4711", "a") + ExpectedLine("10.0.0.3", "4711", "d"),
            File(3));
  EXPECT_FALSE(testing_support::FileExists(dir() / "Comm/Buff/SndDnl5.buf"));
  auto log = Log();
  ASSERT_EQ(2u, log.size());
  for (const auto& e : log) {
    EXPECT_EQ("ReadFile", e.function);
    EXPECT_EQ("IP-Ermitteln", e.message);
    EXPECT_EQ("1403", e.code);
  }
}

TEST_F(BufferTest, LowestTerminalWinsAndTerminalZeroIsOrdinary) {
  Exec("insert into Kvn557Cfg (CfgDta,CfgIP,CfgPrt,CfgVn1,CfgBi1) values "
       "(0,'10.0.0.0','1','X','Y');"
       "insert into Kvn557Cfg (CfgDta,CfgIP,CfgPrt,CfgVn1,CfgBi1) values "
       "(9,'10.0.0.9','9','X','Z');");
  ASSERT_EQ(0, Put("a", "X"));
  ASSERT_EQ(0, Put("b", "Y"));
  EXPECT_EQ(1, env_.opens);
  ASSERT_EQ(0, Put("c", "Z"));
  ASSERT_EQ(0, Put("d", "X"));
  EXPECT_EQ(3, env_.opens);
  EXPECT_EQ(ExpectedLine("10.0.0.0", "1", "a") + ExpectedLine("10.0.0.0", "1", "b") +
                ExpectedLine("10.0.0.0", "1", "d"),
            File(0));
  EXPECT_EQ(ExpectedLine("10.0.0.9", "9", "c"), File(9));
  EXPECT_TRUE(Log().empty());
}

TEST_F(BufferTest, FailedOrShortWriteLeavesNoTornLine) {
  ASSERT_EQ(0, Put("ganz", "B"));
  std::string before = File(3);
  env_.shortWrite = true;
  EXPECT_EQ(-1, Put("halb", "B"));
  EXPECT_EQ(before, File(3));
  env_.shortWrite = false;
  env_.failWrite = true;
  EXPECT_EQ(-1, Put("keine", "B"));
  env_.failWrite = false;
  ASSERT_EQ(0, Put("danach", "B"));
  EXPECT_EQ(before + ExpectedLine("10.0.0.3", "4711", "danach"), File(3));
  EXPECT_EQ(1, env_.opens);
  auto log = Log();
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ("WrittenFile", log[0].function);
  EXPECT_EQ("", log[0].message);
  EXPECT_EQ(std::to_string(ENOSPC), log[0].code);  // no progress: a full disk
  EXPECT_EQ("WrittenFile", log[1].function);
  EXPECT_EQ(std::to_string(EIO), log[1].code);
}

TEST_F(BufferTest, FailedOpenOrSeekLeavesNoFileOpen) {
  env_.failOpen = true;
  EXPECT_EQ(-1, Put("a", "B"));
  env_.failOpen = false;
  env_.failSeek = true;
  EXPECT_EQ(-1, Put("b", "B"));
  EXPECT_TRUE(Lockable(3)) << "closed after the failed seek";
  env_.failSeek = false;
  ASSERT_EQ(0, Put("c", "B"));
  EXPECT_EQ(3, env_.opens) << "each call after a failure opens again";
  EXPECT_EQ(ExpectedLine("10.0.0.3", "4711", "c"), File(3));
  auto log = Log();
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ("CreateFile", log[0].function);
  EXPECT_EQ("Datei oeffnen", log[0].message);
  EXPECT_EQ(std::to_string(EACCES), log[0].code);
  EXPECT_EQ("SetFilePointer", log[1].function);
  EXPECT_EQ("Ende der Datei", log[1].message);
  EXPECT_EQ(std::to_string(EIO), log[1].code);
}

}  // namespace
