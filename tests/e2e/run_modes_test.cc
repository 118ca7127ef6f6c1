// End-to-end: the job's start, both run modes, the statistics row and the
// failures that end a run early, on a laid-out installation.
#include <ctime>
#include <regex>
#include <string>

#include "gtest/gtest.h"
#include "tests/support/install.h"

namespace {

using testing_support::Installation;
using testing_support::LogEntry;
using testing_support::ParseLog;
using testing_support::ReadAll;

// Local time as the database stores it.
std::string LocalStamp(time_t t) {
  struct tm tm;
  localtime_r(&t, &tm);
  char buf[32];
  strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

TEST(RunModes, FullRunOnEmptyDatabaseStoresOneZeroStatisticsRow) {
  Installation inst;
  time_t before = time(nullptr);
  ASSERT_EQ(0, inst.RunJob());
  time_t after = time(nullptr);

  EXPECT_EQ("", ReadAll(inst.output())) << "the job prints nothing";
  EXPECT_EQ("", ReadAll(inst.log())) << "nothing failed, nothing is logged";
  std::string rows = inst.Query(
      "select DwnApk,DwnApp,DwnAuk,DwnAfo,DwnNeu,DwnAen,DwnLoe,DwnZf1,DwnZf2,DwnZf3,DwnErf "
      "from Kvn542Dwn");
  EXPECT_EQ("0|0|0|0|0|0|0|<null>|<null>|<null>|ZuzErOro", rows);

  std::string dta = inst.Query("select DwnDta from Kvn542Dwn");
  std::string dat = inst.Query("select DwnDat from Kvn542Dwn");
  EXPECT_GE(dta, LocalStamp(before));
  EXPECT_LE(dta, LocalStamp(after));
  EXPECT_GE(dat, dta) << "the row is inserted after the run started";
  EXPECT_LE(dat, LocalStamp(after));
}

TEST(RunModes, EveryArgumentCountButTwoStartsTheFullRun) {
  Installation inst;
  ASSERT_EQ(0, inst.RunJob({"20240101"}));
  ASSERT_EQ(0, inst.RunJob({"a", "b", "c"}));
  ASSERT_EQ(0, inst.RunJob({}));
  EXPECT_EQ("3", inst.Query("select count(*) from Kvn542Dwn"));
}

TEST(RunModes, HelpAndVersionAloneTouchNothingElseTheyAreArguments) {
  Installation inst;
  const std::string config = ReadAll(inst.config());
  for (const char* word : {"--help", "--version"}) {
    ASSERT_EQ(0, inst.RunJob({word}));
    EXPECT_NE("", ReadAll(inst.output())) << word;
  }
  EXPECT_NE(std::string::npos, ReadAll(inst.output()).find("pps2bde " PPS2BDE_TEST_VERSION));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn542Dwn")) << "no run";
  EXPECT_FALSE(testing_support::FileExists(inst.log()));
  EXPECT_EQ(config, ReadAll(inst.config()));
  // With another argument beside it the word is just an argument again.
  ASSERT_EQ(0, inst.RunJob({"--help", "x", "y"}));
  EXPECT_EQ("", ReadAll(inst.output()));
  EXPECT_EQ("1", inst.Query("select count(*) from Kvn542Dwn"));
}

TEST(RunModes, MissingDatabaseLogsOneConnectFailure) {
  Installation inst(/*withDatabase=*/false);
  ASSERT_EQ(0, inst.RunJob());
  EXPECT_EQ("", ReadAll(inst.output()));
  std::string log = ReadAll(inst.log());
  std::vector<LogEntry> entries = ParseLog(log);
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ("FMSG ", entries[0].kinds);
  EXPECT_EQ("Fehlerhafter Connect mit der DB ", entries[0].message);
  EXPECT_EQ("dbConnect", entries[0].function);
  EXPECT_EQ("-12154", entries[0].code);
  EXPECT_TRUE(std::regex_match(entries[0].date, std::regex("[0-3][0-9]\\.[01][0-9]\\.[0-9]{2}")));
  EXPECT_TRUE(std::regex_match(entries[0].time, std::regex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9]")));
  EXPECT_EQ(testing_support::FmsgBytes(entries[0].date, entries[0].time,
                                       "Fehlerhafter Connect mit der DB ", "dbConnect", -12154),
            log);
  EXPECT_FALSE(testing_support::FileExists(inst.db())) << "the job never creates the database";
}

TEST(RunModes, MissingConfigurationConnectsWithEmptyTextAndFails) {
  Installation inst;
  ASSERT_EQ(0, std::remove(inst.config().c_str()));
  ASSERT_EQ(0, inst.RunJob());
  std::vector<LogEntry> entries = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ("dbConnect", entries[0].function);
  EXPECT_EQ("-12154", entries[0].code);
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn542Dwn")) << "no run after a failed connect";
}

TEST(RunModes, CredentialsNeverReachTheLog) {
  Installation inst(/*withDatabase=*/false);
  inst.WriteConfig("scott", "Tiger#Pass9", "../../../../files/missing.db");
  ASSERT_EQ(0, inst.RunJob());
  std::string log = ReadAll(inst.log());
  EXPECT_EQ(std::string::npos, log.find("Tiger#Pass9"));
  EXPECT_EQ(std::string::npos, log.find("scott"));
  EXPECT_EQ("", ReadAll(inst.output()));
}

TEST(RunModes, QueueModeRefusesOverlongArguments) {
  Installation inst;
  ASSERT_EQ(0, inst.RunJob({"202401011", "120000"}));
  ASSERT_EQ(0, inst.RunJob({"20240101", std::string(5000, '9')}));
  std::vector<LogEntry> entries = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(2u, entries.size());
  for (const LogEntry& e : entries) {
    EXPECT_EQ("W_PpsDaten", e.function);
    EXPECT_EQ("-1", e.code);
  }
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn542Dwn")) << "the queue mode stores no statistics";
}

TEST(RunModes, QueueModeWithoutMatchingBatchMarksNothing) {
  Installation inst;
  inst.Sql(
      "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlFun,DnlSkz,DnlApk,DnlErf) values "
      "('2024-03-01 12:00:00',1,'AEN','APK','100000000001','AndererE')");
  ASSERT_EQ(0, inst.RunJob({"20240301", "120000"}));
  EXPECT_EQ("", ReadAll(inst.log())) << "the row of another recorder is not read";
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn542Dwn"));
  EXPECT_EQ("1", inst.Query("select count(*) from Kvn540Dnl")) << "queue rows are never removed";
}

TEST(RunModes, QueueModeLogsEveryNamedRowItCannotRead) {
  Installation inst;
  inst.Sql(
      "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlFun,DnlSkz,DnlApk,DnlApp,DnlErf) values "
      "('2024-03-01 12:00:00',2,'AEN','APP','100000000001','00010','ZuzErOro'),"
      "('2024-03-01 12:00:00',1,'AEN','APK','100000000001',null,'ZuzErOro'),"
      "('2024-03-01 12:00:00',3,'AEN','XYZ','100000000001',null,'ZuzErOro'),"
      "('2024-03-01 12:00:01',4,'AEN','APK','100000000002',null,'ZuzErOro')");
  ASSERT_EQ(0, inst.RunJob({"20240301", "120000"}));
  std::vector<LogEntry> entries = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(2u, entries.size()) << "one entry per APK/APP row of the batch, none for XYZ";
  EXPECT_EQ("Fehler bei Apk_PKeyReadk", entries[0].message) << "APK rows come first";
  EXPECT_EQ("Fehler bei App_PKeyReadk", entries[1].message);
  for (const LogEntry& e : entries) {
    EXPECT_EQ("W_PpsDaten", e.function);
    EXPECT_EQ("1403", e.code);
  }
}

TEST(RunModes, ShortQueueDateIsRefusedWithOneEntry) {
  Installation inst;
  inst.Sql(
      "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlFun,DnlSkz,DnlApk,DnlErf) values "
      "('2024-03-01 12:00:00',1,'AEN','APK','100000000001','ZuzErOro')");
  ASSERT_EQ(0, inst.RunJob({"2024031", "120000"}));
  std::vector<testing_support::LogEntry> log = testing_support::ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(1u, log.size());
  EXPECT_EQ("W_PpsDaten|Datum oder Zeit ungueltig|-1",
            log[0].function + "|" + log[0].message + "|" + log[0].code);
}

}  // namespace
