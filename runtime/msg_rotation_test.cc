// Rotation after 3000 entries, run against an in-memory file system so that
// thousands of entries take no time.
#include <cerrno>
#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "runtime/msg.h"
#include "runtime/msg_test_util.h"
#include "runtime/os/env.h"

namespace {

constexpr char kLog[] = ".\\Msg\\Ostrak.Txt";
constexpr char kOld[] = ".\\Msg\\Ostrak.old";

class MemEnv : public Env {
 public:
  std::map<std::string, std::string> files;
  std::vector<std::string> removes;
  int renames = 0;
  std::vector<int> renameErrors;  // returned by the next renames, in order
  std::vector<int> sleeps;

  int OpenExclusive(const char* path, int* fd) override {
    files[path];
    *fd = next_;
    open_[next_++] = path;
    return 0;
  }
  int SeekEnd(int, int64_t*) override { return 0; }
  int Write(int fd, const void* data, size_t n, size_t* written) override {
    files[open_.at(fd)].append(static_cast<const char*>(data), n);
    *written = n;
    return 0;
  }
  int Truncate(int, int64_t) override { return ENOSYS; }
  int Close(int fd) override { return open_.erase(fd) == 1 ? 0 : EBADF; }
  int Rename(const char* from, const char* to) override {
    ++renames;
    if (!renameErrors.empty()) {
      int rc = renameErrors.front();
      renameErrors.erase(renameErrors.begin());
      return rc;
    }
    auto it = files.find(from);
    if (it == files.end()) return ENOENT;
    files[to] = it->second;
    files.erase(it);
    return 0;
  }
  int Remove(const char* path) override {
    removes.push_back(path);
    return files.erase(path) == 1 ? 0 : ENOENT;
  }
  void SleepMs(int ms) override { sleeps.push_back(ms); }
  time_t Now() override { return FixedTime(); }

 private:
  std::map<int, std::string> open_;
  int next_ = 3;
};

class RotationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = Env_Set(&env_);
    Msg_ResetForTest();
    Msg_Init(7, kLog);
  }
  void TearDown() override {
    Msg_ResetForTest();
    Env_Set(previous_);
  }
  void WriteEntries(int n) {
    for (int i = 0; i < n; ++i) Msg_Error("Apk_Dnl", "Fehler bei Apk_Frei", i);
  }
  size_t Entries(const char* name) {
    auto it = env_.files.find(name);
    return it == env_.files.end() ? 0 : EntriesIn(it->second);
  }

  MemEnv env_;
  Env* previous_ = nullptr;
};

TEST_F(RotationTest, EntryAfter3001MovesTheLogToTheOldFile) {
  WriteEntries(3001);
  EXPECT_EQ(3001u, Entries(kLog));
  EXPECT_EQ(3001, Msg_EntryCount());
  EXPECT_EQ(0, env_.renames);
  EXPECT_TRUE(env_.removes.empty());

  // The first rotation finds no old file to delete and goes on.
  WriteEntries(1);
  EXPECT_EQ(std::vector<std::string>{kOld}, env_.removes);
  EXPECT_EQ(3001u, Entries(kOld));
  EXPECT_EQ(ExpectedEntry("FMSG ", "Fehler bei Apk_Frei", "Apk_Dnl", "0"), env_.files[kLog]);
  EXPECT_EQ(1, Msg_EntryCount());

  // The next rotation replaces the old file.
  WriteEntries(3001);
  EXPECT_EQ(3001u, Entries(kOld));
  EXPECT_EQ(ExpectedEntry("FMSG ", "Fehler bei Apk_Frei", "Apk_Dnl", "3000"), env_.files[kLog]);
  EXPECT_EQ(2, env_.renames);
  EXPECT_TRUE(env_.sleeps.empty());
}

TEST_F(RotationTest, FailedRenameDropsTheEntryAndIsTriedAgain) {
  WriteEntries(3001);
  env_.renameErrors = {EIO};
  WriteEntries(1);
  EXPECT_EQ(3001u, Entries(kLog));
  EXPECT_EQ(0u, Entries(kOld));
  EXPECT_EQ(3001, Msg_EntryCount());

  WriteEntries(1);
  EXPECT_EQ(2, env_.renames);
  EXPECT_EQ(3001u, Entries(kOld));
  EXPECT_EQ(1u, Entries(kLog));
  EXPECT_EQ(1, Msg_EntryCount());
}

TEST_F(RotationTest, RenameOfABusyLogIsRetriedEvery333Ms) {
  WriteEntries(3001);
  env_.renameErrors = {EWOULDBLOCK, EWOULDBLOCK};
  WriteEntries(1);
  EXPECT_EQ((std::vector<int>{333, 333}), env_.sleeps);
  EXPECT_EQ(3, env_.renames);
  EXPECT_EQ(3001u, Entries(kOld));
  EXPECT_EQ(1u, Entries(kLog));
}

TEST_F(RotationTest, VanishedLogIsNotMovedAndANewOneBegins) {
  WriteEntries(3001);
  env_.files.erase(kLog);
  WriteEntries(2);
  EXPECT_EQ(2u, Entries(kLog));
  EXPECT_EQ(0u, Entries(kOld));
  EXPECT_EQ(2, Msg_EntryCount());
}

TEST_F(RotationTest, LogNamedLikeItsRotationFileIsNeverDeleted) {
  Msg_Init(7, "x.old");
  WriteEntries(3002);
  EXPECT_EQ(3002u, Entries("x.old"));
  EXPECT_TRUE(env_.removes.empty());
  EXPECT_EQ(0, env_.renames);
  EXPECT_EQ(1, Msg_EntryCount());
}

}  // namespace
