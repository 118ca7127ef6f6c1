#include "runtime/ini.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "gtest/gtest.h"
#include "runtime/crypt.h"
#include "runtime/os/test_env.h"
#include "tests/support/support.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteAll;

std::string Cipher(const std::string& plain) {
  char cipher[kCryptCipherCap];
  EXPECT_EQ(0, Crypt_Encode(plain.c_str(), cipher, sizeof cipher, kCryptKeyText, 0));
  return cipher;
}

// A pair of lines: "x;section;y" and "number;key;cipher".
std::string Pair(const std::string& section, const std::string& number,
                 const std::string& key, const std::string& plain,
                 const char* eol = "\n") {
  return "x;" + section + ";y" + eol + number + ";" + key + ";" + Cipher(plain) + eol;
}

class IniFindTest : public ::testing::Test {
 protected:
  int Find(const std::string& content, const char* section, const char* key,
           int32_t number) {
    WriteAll(path_, content);
    return Ini_Find(section, key, number, path_.c_str());
  }
  void ExpectCleared() {
    EXPECT_EQ(0, Ini_Result().number);
    EXPECT_TRUE(Ini_Result().section.empty());
    EXPECT_TRUE(Ini_Result().key.empty());
    EXPECT_TRUE(Ini_Result().value.empty());
  }

  TempDir dir_;
  std::string path_ = dir_ / "velmaris.ini";
};

TEST_F(IniFindTest, FindsKeyAndDeciphersValue) {
  const std::string file = Pair("S1", "5", "LOGIN", "scott") + Pair("S2", "6", "PASS", "tiger");
  EXPECT_EQ(0, Find(file, "", "PASS", 0));
  EXPECT_EQ(6, Ini_Result().number);
  EXPECT_EQ("S2", Ini_Result().section);
  EXPECT_EQ("PASS", Ini_Result().key);
  EXPECT_EQ("tiger", Ini_Result().value);
}

TEST_F(IniFindTest, MatchesOnSectionOrNumber) {
  const std::string file = Pair("S1", "5", "LOGIN", "one") + Pair("S2", "6", "PASS", "two");
  EXPECT_EQ(0, Find(file, "S2", "none", 99));
  EXPECT_EQ("two", Ini_Result().value);
  EXPECT_EQ(0, Find(file, "none", "none", 6));
  EXPECT_EQ("two", Ini_Result().value);
  // First match wins.
  EXPECT_EQ(0, Find(file, "S2", "LOGIN", 6));
  EXPECT_EQ("one", Ini_Result().value);
}

TEST_F(IniFindTest, NoMatchOrNoFileLeavesClearedResult) {
  const std::string file = Pair("S1", "5", "LOGIN", "scott");
  EXPECT_EQ(0, Find(file, "", "LOGIN", 0));  // fill the result first
  EXPECT_EQ(1403, Find(file, "", "PASS", 0));
  ExpectCleared();

  EXPECT_EQ(0, Find(file, "", "LOGIN", 0));
  EXPECT_EQ(1403, Ini_Find("", "LOGIN", 0, (dir_ / "absent.ini").c_str()));
  ExpectCleared();
  EXPECT_EQ(1403, Ini_Find("", "LOGIN", 0, nullptr));
}

TEST_F(IniFindTest, KeyOnFirstLineIsNotFound) {
  // "PASS" stands on the first line of the second pair.
  const std::string file = Pair("S1", "5", "LOGIN", "scott") + "7;PASS;" + Cipher("tiger") +
                           "\n" + "8;S3;z\n";
  EXPECT_EQ(1403, Find(file, "", "PASS", 0));
  ExpectCleared();
}

TEST_F(IniFindTest, EmptySectionOrNumberZeroMatchesEveryKey) {
  const std::string emptySection = Pair("", "5", "LOGIN", "first") + Pair("S", "6", "PASS", "p");
  for (const char* key : {"LOGIN", "PASS", "NET8"}) {
    EXPECT_EQ(0, Find(emptySection, "", key, 0)) << key;
    EXPECT_EQ("first", Ini_Result().value) << key;
    EXPECT_EQ("LOGIN", Ini_Result().key) << key;
  }
  const std::string numberZero = Pair("S1", "abc", "LOGIN", "zero") + Pair("S", "6", "PASS", "p");
  EXPECT_EQ(0, Find(numberZero, "", "PASS", 0));
  EXPECT_EQ("zero", Ini_Result().value);
  EXPECT_EQ(0, Ini_Result().number);
}

TEST_F(IniFindTest, ComparisonIsExact) {
  const std::string file = Pair("S1", "5", "login", "lower") + Pair("S2", "6", "LOGIN ", "blank");
  EXPECT_EQ(1403, Find(file, "", "LOGIN", 0));
  EXPECT_EQ(1403, Find(file, "s1", "x", 1));
  EXPECT_EQ(0, Find(file, "", "login", 0));
  EXPECT_EQ("lower", Ini_Result().value);
}

TEST_F(IniFindTest, CrLfLinesReadLikeLf) {
  const std::string file = Pair("S1", "5", "LOGIN", "scott", "\r\n") +
                           Pair("S2", "6", "PASS", "tiger", "\r\n");
  EXPECT_EQ(0, Find(file, "S2", "", -1));
  EXPECT_EQ("S2", Ini_Result().section);
  EXPECT_EQ("tiger", Ini_Result().value);
  EXPECT_EQ(0, Find(file, "", "PASS", 0));
  EXPECT_EQ("PASS", Ini_Result().key);
  // A CR inside a line stays part of it.
  EXPECT_EQ(1403, Find("x;S\r1;y\n5;K\rEY;00000\n", "S1", "KEY", 0));
}

TEST_F(IniFindTest, OverLongLinesAreCutAndTheRestSkipped) {
  // A first line of 500 characters: cut after 198 characters, and the rest
  // of the physical line does not become the second line of the pair.
  std::string file = "x;S1;" + std::string(495, 'y') + "\n" + "5;LOGIN;" + Cipher("scott") + "\n";
  EXPECT_EQ(0, Find(file, "none", "LOGIN", 7));
  EXPECT_EQ("S1", Ini_Result().section);
  EXPECT_EQ(5, Ini_Result().number);
  EXPECT_EQ("scott", Ini_Result().value);
  // A section whose closing ';' lies beyond the cut is empty.
  file = "x;" + std::string(300, 's') + ";y\n" + "5;LOGIN;" + Cipher("scott") + "\n";
  EXPECT_EQ(0, Find(file, "", "NET8", 7));
  EXPECT_TRUE(Ini_Result().section.empty());

  // A second line longer than 398 characters: its value is cut, the next
  // pair still starts on the next physical line.
  file = Pair("S1", "5", "PASS", "x").substr(0, 6) + "\n5;PASS;" + std::string(900, '1') +
         "\n" + Pair("S2", "6", "NET8", "db");
  EXPECT_EQ(0, Find(file, "", "NET8", 0));
  EXPECT_EQ("db", Ini_Result().value);
  EXPECT_EQ(6, Ini_Result().number);
}

TEST_F(IniFindTest, FirstLineWithoutTwoSemicolonsHasEmptySection) {
  std::string file = "no separators\n5;LOGIN;" + Cipher("a") + "\n";
  EXPECT_EQ(0, Find(file, "", "NET8", 0));
  EXPECT_TRUE(Ini_Result().section.empty());
  EXPECT_EQ("a", Ini_Result().value);

  // Without an empty section the same pair no longer matches.
  EXPECT_EQ(1403, Find(file, "S", "NET8", 1));
  // A second line with fewer than two ';' has neither key nor value.
  file = "x;S;y\n5;LOGIN\n";
  EXPECT_EQ(0, Find(file, "", "", 9));
  EXPECT_TRUE(Ini_Result().key.empty());
  EXPECT_TRUE(Ini_Result().value.empty());
  EXPECT_EQ(5, Ini_Result().number);
}

TEST_F(IniFindTest, LastLineWithoutLineBreakIsEndOfFile) {
  const std::string pair = Pair("S1", "5", "LOGIN", "scott");
  EXPECT_EQ(1403, Find(pair.substr(0, pair.size() - 1), "", "LOGIN", 0));
  ExpectCleared();
  // A lone first line.
  EXPECT_EQ(1403, Find("x;;y\n", "", "LOGIN", 0));
  EXPECT_EQ(1403, Find("", "", "LOGIN", 0));
}

TEST_F(IniFindTest, LongValuesAreCut) {
  // More than 52 cipher words: only the first 52 are deciphered.
  const std::string a52(52, 'a');
  EXPECT_EQ(0, Find("x;S;y\n1;K;" + Cipher(a52) + Cipher("bcd") + "\n", "", "K", 0));
  EXPECT_STREQ(a52.c_str(), Ini_Result().value.c_str());
}

// Serves the configuration file from memory and records the path asked for.
class ConfigEnv : public ForwardingEnv {
 public:
  std::string content;
  std::string path;
  bool present = true;
  size_t at = 0;
  int OpenRead(const char* p, int* fd) override {
    path = p;
    at = 0;
    *fd = 99;
    return present ? 0 : ENOENT;
  }
  int Read(int, char* buf, size_t cap, size_t* len) override {
    *len = std::min(cap, content.size() - at);
    std::memcpy(buf, content.data() + at, *len);
    at += *len;
    return 0;
  }
  int Close(int) override { return 0; }
};

TEST(IniReadLoginTest, ReadsTheThreeCredentials) {
  ConfigEnv env;
  ScopedEnv scoped(&env);
  env.content = Pair("A", "1", "LOGIN", "scott") + Pair("B", "2", "PASS", "tiger") +
                Pair("C", "3", "NET8", "../../../../files/bde.db");
  char account[kIniCredentialCap], password[kIniCredentialCap], service[kIniCredentialCap];
  EXPECT_EQ(0, Ini_ReadLogin(account, password, service));
  EXPECT_EQ("..\\..\\..\\..\\files\\velmaris.ini", env.path);
  EXPECT_STREQ("scott", account);
  EXPECT_STREQ("tiger", password);
  EXPECT_STREQ("../../../../files/bde.db", service);
}

TEST(IniReadLoginTest, MissingFileAndLongValues) {
  ConfigEnv env;
  ScopedEnv scoped(&env);
  env.present = false;
  char account[kIniCredentialCap] = "x", password[kIniCredentialCap] = "y",
       service[kIniCredentialCap] = "z";
  EXPECT_EQ(1403, Ini_ReadLogin(account, password, service));
  EXPECT_STREQ("", account);
  EXPECT_STREQ("", password);
  EXPECT_STREQ("", service);

  // A value of 52 characters is never cut to the 51 a buffer holds: its
  // output stays empty and the result names it.  A missing entry leaves its
  // output empty.
  env.present = true;
  env.content = Pair("A", "1", "LOGIN", std::string(51, 'L')) + Pair("B", "2", "PASS", "pw");
  EXPECT_EQ(1403, Ini_ReadLogin(account, password, service));
  EXPECT_EQ(std::string(51, 'L'), account);
  EXPECT_STREQ("pw", password);
  EXPECT_STREQ("", service);
  for (int i = 0; i < 3; ++i) {
    env.content = Pair("A", "1", "LOGIN", i == 0 ? std::string(52, 'L') : "a") +
                  Pair("B", "2", "PASS", i == 1 ? std::string(52, 'P') : "p") +
                  Pair("C", "3", "NET8", i == 2 ? std::string(52, 'N') : "n");
    EXPECT_EQ(i + 1, Ini_ReadLogin(account, password, service));
    EXPECT_STREQ("", (i == 0 ? account : i == 1 ? password : service));
  }
}

// A configuration far larger than any line buffer or read chunk is read to
// its end: the pair after 200 KiB of other pairs is found.
TEST(IniReadLoginTest, FileOfAnySize) {
  ConfigEnv env;
  ScopedEnv scoped(&env);
  std::string filler;
  while (filler.size() < 200 * 1024) filler += Pair("X", "7", "OTHER", "x");
  env.content = filler + Pair("A", "1", "LOGIN", "scott");
  ASSERT_EQ(0, Ini_Find("S", "LOGIN", 0, kIniFileName));
  EXPECT_STREQ("scott", Ini_Result().value.c_str());
}

}  // namespace
