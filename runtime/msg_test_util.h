// Fixture for the message log tests: a fresh working directory with a
// "Msg" folder, a fixed clock and the log set up as the job does it.
#ifndef PPS2BDE_RUNTIME_MSG_TEST_UTIL_H_
#define PPS2BDE_RUNTIME_MSG_TEST_UTIL_H_

#include <unistd.h>

#include <algorithm>
#include <string>

#include "gtest/gtest.h"
#include "runtime/msg.h"
#include "runtime/os/test_env.h"
#include "tests/support/support.h"

// 05.03.24 07:08:09 local time.
inline time_t FixedTime() {
  struct tm t = {};
  t.tm_year = 124;
  t.tm_mon = 2;
  t.tm_mday = 5;
  t.tm_hour = 7;
  t.tm_min = 8;
  t.tm_sec = 9;
  t.tm_isdst = -1;
  return mktime(&t);
}

// The entry the log writes at FixedTime().
inline std::string ExpectedEntry(const std::string& kinds, const std::string& message,
                                 const std::string& funktion, const std::string& code) {
  return "\xFE\r\nSystem-Date: 05.03.24\r\nSystem-Time: 07:08:09\r\nMsgArt_____: " + kinds +
         "\r\nMessage____: " + message + "\r\nFunktion___: " + funktion +
         "\r\nErrorCode__: " + code + "\r\n";
}

inline size_t EntriesIn(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\xFE'));
}

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[4096];
    ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
    oldCwd_ = cwd;
    ASSERT_EQ(0, chdir(dir_.path().c_str()));
    testing_support::MakeDirs(dir_ / "Msg");
    clock_.now = FixedTime();
    env_ = new ScopedEnv(&clock_);
    Msg_ResetForTest();
    Msg_Init(7, ".\\Msg\\Ostrak.Txt");
  }
  void TearDown() override {
    Msg_ResetForTest();
    delete env_;
    EXPECT_EQ(0, chdir(oldCwd_.c_str()));
  }
  std::string Log() { return testing_support::ReadAll(dir_ / "Msg/Ostrak.Txt"); }

  testing_support::TempDir dir_;
  ClockEnv clock_;

 private:
  std::string oldCwd_;
  ScopedEnv* env_ = nullptr;
};

#endif  // PPS2BDE_RUNTIME_MSG_TEST_UTIL_H_
