// End-to-end: the full run takes planning orders and operations over into
// the BDE tables, checks every operation and counts what it did.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/planning_rows.h"
#include "tests/support/install.h"

namespace {

using e2e::AfoRow;
using e2e::AukRow;
using e2e::MasterRows;
using e2e::TerminalRow;
using testing_support::Installation;
using testing_support::LogEntry;
using testing_support::ParseLog;
using testing_support::ReadAll;

// Every row of a table ordered by its key, without the change time stamps
// (columns whose name ends in "Dat"), which differ from run to run.
std::string Dump(Installation& inst, const std::string& table, const std::string& orderBy) {
  std::string cols = testing_support::ColumnNames(inst.db(), table, "Dat");
  return inst.Query("select " + cols + " from " + table + " order by " + orderBy);
}

std::string Stats(Installation& inst) {
  return inst.Query(
      "select DwnApk,DwnApp,DwnAuk,DwnAfo,DwnNeu,DwnAen,DwnLoe from Kvn542Dwn order by " +
      testing_support::InsertionOrder(inst.db()));
}

TEST(Transfer, NewOrderWithThreeOperationsTakesTheFieldTables) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB09") + MasterRows("AG01", "AP01") +
           AukRow("100000000001", 1) + AfoRow("100000000001", "00010", 1) +
           AfoRow("100000000001", "00020", 1) + AfoRow("100000000001", "00030", 1));
  ASSERT_EQ(0, inst.RunJob());
  EXPECT_EQ("", ReadAll(inst.log()));

  EXPECT_EQ(
      "100000000001|Bez1 0001|Bez2 0001|Txt0001|10|0|K0001|Kunde 0001|Ort 0001|"
      "2024-03-01 00:00:00|2024-03-15 00:00:00|3|0|Teil-0001|TB1 0001|TB2 0001|1234.5|0.0|STK|"
      "<null>|<null>|FB01|K100|Z1 0001|Z2 0001|Z3 0001| |0|<null>|<null>|0|Kolvane|1",
      inst.Query("select ApkApk,ApkBz1,ApkBz2,ApkTxt,ApkSts,ApkSis,ApkKun,ApkKb1,ApkKb2,ApkBgs,"
                 "ApkEns,ApkAfo,ApkEaf,ApkTnr,ApkTb1,ApkTb2,ApkSme,ApkIme,ApkMee,ApkBdi,ApkEdi,"
                 "ApkFbe,ApkKst,ApkZf1,ApkZf2,ApkZf3,ApkKnz,ApkSsn,ApkDna,ApkDwn,ApkSta,ApkErf,"
                 "ApkAba from Kvn501Apk"));
  EXPECT_EQ("1", inst.Query("select count(*) from Kvn501Apk where ApkDat is not null"));
  // The download has sent the order and its three new operations, released
  // them and counted the operations into the order (ApkAfo 3 above).
  EXPECT_EQ(4u, ReadAll(inst.buff() + "/SndDnl1.buf").size() / 552);

  std::string ops = inst.Query(
      "select AppApp,AppVaf,AppNaf,AppBz1,AppBz2,AppTxt,AppSts,AppSis,AppBdi,AppBds,AppSbd,"
      "AppEdi,AppEds,AppSed,AppRad,AppRed,AppAgs,AppAbs,AppAes,AppSme,AppIme,AppAme,AppMee,"
      "AppSza,AppStr,AppSte,AppIta,AppItr,AppIte,AppApg,AppApl,AppKt1,AppKz1,AppKt4,AppKz4,"
      "AppFbe,AppKst,AppZf1,AppZf2,AppZf3,AppKnz,AppDna,AppDwn,AppSsn,AppSta,AppErf "
      "from Kvn504App where AppApk='100000000001' order by AppApp");
  std::string expected;
  for (std::string app : {"00010", "00020", "00030"}) {
    if (!expected.empty()) expected += "\n";
    expected += app + "|V" + app.substr(1) + "|N" + app.substr(1) + "|Op " + app + "|Op2 " + app + "|T" + app +
                "|10|0|<null>|2024-03-02 07:30:00|2024-03-02 07:30:00|<null>|"
                "2024-03-03 16:15:00|2024-03-03 16:15:00|<null>|<null>|0|0|0|100.25|0.0|0.0|KG|"
                "12.5|1.75|2.5|0.0|0.0|0.0|AG01|AP01|               |   |               |   |"
                "FB01|OK" + app + "|OZ1|OZ2|OZ3| |<null>|<null>|0|0|Kolvane";
  }
  EXPECT_EQ(expected, ops);
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn500Auk"));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn503Afo"));
  EXPECT_EQ("1|3|1|3|4|0|0", Stats(inst));
}

TEST(Transfer, UpdateKeepsTheFieldsAsRead) {
  Installation inst;
  inst.Sql(MasterRows("AG01", "AP01") +  // no terminal: the rows stay marked
           "insert into Kvn501Apk (ApkApk,ApkBz1,ApkSts,ApkSis,ApkAfo,ApkAba,ApkKnz,ApkKst,"
           "ApkBdi,ApkIme,ApkDna,ApkDwn,ApkErf) values ('100000000001','alt',12,4,3,7,'X','K9',"
           "'2024-02-01 06:00:00',5.5,null,null,'Schicht');\n"
           "insert into Kvn504App (AppApk,AppApp,AppBz1,AppSts,AppSbd,AppSed,AppBds,AppKt1,"
           "AppKz1,AppIme,AppSta,AppKnz,AppDna) values ('100000000001','00010','alt',11,"
           "'2024-01-01 01:00:00','2024-01-02 02:00:00','2024-01-01 01:00:00','KT1','KZ1',"
           "3.25,2,'Y',null);\n" +
           AukRow("100000000001", 1) + AfoRow("100000000001", "00010", 1));
  ASSERT_EQ(0, inst.RunJob());
  EXPECT_EQ("Bez1 0001|12|4|3|7|X|2003|2024-02-01 06:00:00|5.5|AEN|ZuzErOro|Kolvane",
            inst.Query("select ApkBz1,ApkSts,ApkSis,ApkAfo,ApkAba,ApkKnz,ApkKst,ApkBdi,ApkIme,"
                       "ApkDna,ApkDwn,ApkErf from Kvn501Apk"));
  EXPECT_EQ(
      "Op 00010|11|2024-01-01 01:00:00|2024-01-02 02:00:00|2024-03-02 07:30:00|"
      "2024-03-03 16:15:00|KT1|KZ1|3.25|2|Y|12.5|AEN|ZuzErOro|Kolvane",
      inst.Query("select AppBz1,AppSts,AppSbd,AppSed,AppBds,AppEds,AppKt1,AppKz1,AppIme,AppSta,"
                 "AppKnz,AppSza,AppDna,AppDwn,AppErf from Kvn504App"));
  EXPECT_EQ("1|1|1|1|0|2|0", Stats(inst));
}

TEST(Transfer, PlanningDeletionOfActiveOrderMarksItAndItsOperations) {
  Installation inst;
  inst.Sql(
      "insert into Kvn501Apk (ApkApk,ApkSts,ApkDna,ApkErf) values ('100000000001',10,null,'X');\n"
      "insert into Kvn501Apk (ApkApk,ApkSts) values ('100000000002',11);\n"
      "insert into Kvn504App (AppApk,AppApp,AppSts,AppDat) values "
      "('100000000001','00010',10,'2020-01-01 00:00:00'),"
      "('100000000001','00020',50,'2020-01-01 00:00:00'),"
      "('100000000002','00010',10,'2020-01-01 00:00:00');\n" +
      AukRow("100000000001", 9) + AukRow("100000000002", 9));
  ASSERT_EQ(0, inst.RunJob());
  EXPECT_EQ("100000000001|10|LOE|ZuzErOro|Kolvane\n100000000002|11|<null>|<null>|<null>",
            inst.Query("select ApkApk,ApkSts,ApkDna,ApkDwn,ApkErf from Kvn501Apk order by 1"));
  EXPECT_EQ(
      "100000000001|00010|LOE|ZuzErOro|2020-01-01 00:00:00\n"
      "100000000001|00020|LOE|ZuzErOro|2020-01-01 00:00:00\n"
      "100000000002|00010|<null>|<null>|2020-01-01 00:00:00",
      inst.Query("select AppApk,AppApp,AppDna,AppDwn,AppDat from Kvn504App order by 1,2"));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn500Auk"));
  EXPECT_EQ("2|0|2|0|0|0|1", Stats(inst));
}

TEST(Transfer, PlanningDeletionSendsAtOnceAndRemovesTheOrder) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB09") +
           "insert into Kvn501Apk (ApkApk,ApkSts,ApkAfo,ApkFbe) values ('100000000005',10,1,'FB01');\n"
           "insert into Kvn504App (AppApk,AppApp,AppSts,AppFbe) values "
           "('100000000005','00010',10,'FB01');\n" +
           AukRow("100000000001", 1) + AukRow("100000000005", 9) + AukRow("100000000009", 1));
  ASSERT_EQ(0, inst.RunJob());
  EXPECT_EQ("", ReadAll(inst.log()));
  std::string bytes = ReadAll(inst.buff() + "/SndDnl1.buf");
  ASSERT_EQ(4u * 552, bytes.size());
  std::vector<std::string> sent;  // record type, function and order number
  for (size_t p = 0; p < bytes.size(); p += 552)
    sent.push_back(bytes.substr(p + 90, 3) + bytes.substr(p + 108, 3) + bytes.substr(p + 111, 12));
  // The deletion's own download pass sends what is marked at that moment:
  // the order inserted before it and the deleted order with its operation.
  // The order after it goes with the final pass.
  std::vector<std::string> first(sent.begin(), sent.begin() + 2);
  std::sort(first.begin(), first.end());
  EXPECT_EQ((std::vector<std::string>{"APKLOE100000000005", "APKNEU100000000001"}), first);
  EXPECT_EQ("APPLOE100000000005", sent[2]);
  EXPECT_EQ("APKNEU100000000009", sent[3]);
  EXPECT_EQ("100000000001\n100000000009",
            inst.Query("select ApkApk from Kvn501Apk order by 1"));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn504App"));
  EXPECT_EQ("3|0|3|0|2|0|1", Stats(inst));
}

TEST(Transfer, DeletionOfMissingRowsOnlyRemovesThePlanningRows) {
  Installation inst;
  inst.Sql(MasterRows("AG01", "AP01") + AukRow("100000000001", 9) +
           AfoRow("100000000001", "00010", 9) +
           "insert into Kvn501Apk (ApkApk,ApkSts) values ('100000000009',10);\n"
           "insert into Kvn504App (AppApk,AppApp,AppSts) values ('100000000009','00010',11);\n" +
           AfoRow("100000000009", "00010", 9));
  ASSERT_EQ(0, inst.RunJob());
  EXPECT_EQ("100000000009", inst.Query("select ApkApk from Kvn501Apk"));
  EXPECT_EQ("100000000009|00010|11|<null>",
            inst.Query("select AppApk,AppApp,AppSts,AppDna from Kvn504App"));
  EXPECT_EQ("0|0", inst.Query("select (select count(*) from Kvn500Auk),"
                              "(select count(*) from Kvn503Afo)"));
  EXPECT_EQ("1|2|1|2|0|0|0", Stats(inst));
}

TEST(Transfer, InvalidPlanningDateStaysWithOneEntryAndTheRunGoesOn) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB09") +
           AukRow("100000000001", 1, "FB01", "20241301") + AukRow("100000000002", 1) +
           AukRow("100000000003", 1, "FB01", "20240230"));
  ASSERT_EQ(0, inst.RunJob());
  std::vector<LogEntry> entries = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(2u, entries.size());
  EXPECT_EQ("Auk_To_Apk", entries[0].function);
  EXPECT_EQ("Fehelr bei Apk_PKeyIns", entries[0].message);
  EXPECT_EQ("-1843", entries[0].code) << "month 13";
  EXPECT_EQ("Fehelr bei Apk_PKeyIns", entries[1].message);
  EXPECT_EQ("-1847", entries[1].code) << "30 February";
  EXPECT_EQ("100000000002", inst.Query("select ApkApk from Kvn501Apk"));
  EXPECT_EQ("100000000001\n100000000003",
            inst.Query("select AukApk from Kvn500Auk order by 1"));
  EXPECT_EQ("3|0|3|0|1|0|0", Stats(inst));
}

TEST(Transfer, BoundKeysAreNeverRead) {
  Installation inst;
  inst.Sql(AukRow("000000000000", 1) + AukRow("999999999999", 1) +
           AfoRow("000000000000", "00010", 1) + AfoRow("999999999999", "00010", 1));
  ASSERT_EQ(0, inst.RunJob());
  EXPECT_EQ("2|2", inst.Query("select (select count(*) from Kvn500Auk),"
                              "(select count(*) from Kvn503Afo)"));
  EXPECT_EQ("0|0", inst.Query("select (select count(*) from Kvn501Apk),"
                              "(select count(*) from Kvn504App)"));
  EXPECT_EQ("0|0|0|0|0|0|0", Stats(inst));
  EXPECT_EQ("", ReadAll(inst.log()));
}

TEST(Transfer, PlausibilityFindingsComeInOrderAndTheOperationIsTakenOver) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB09") + MasterRows("AG01", "AP01") +
           MasterRows("AG02", "AP02") + AukRow("100000000001", 1) +
           AfoRow("100000000001", "00010", 1, "AG01", "AP01") +  // all valid
           AfoRow("100000000001", "00020", 1, "AG01", "AP02") +  // workplace of AG02
           AfoRow("100000000007", "00010", 1, "AGXX", "APXX"));  // nothing valid
  ASSERT_EQ(0, inst.RunJob());
  std::vector<LogEntry> e = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(5u, e.size());
  auto line = [](const LogEntry& x) { return x.function + "/" + x.message + "/" + x.code; };
  EXPECT_EQ("App_Plausi/Arbeitsgruppe nicht relevant/-1", line(e[0]));
  EXPECT_EQ("App_Plausi/kein Apl_Satz gefunden/1403", line(e[1]));
  EXPECT_EQ("App_Plausi/Arbeitsgruppe nicht relevant/-1", line(e[2]));
  EXPECT_EQ("App_Plausi/kein Apk_Satz gefunden/1403", line(e[3]));
  EXPECT_EQ("App_Plausi/kein Apg_Satz gefunden/1403", line(e[4]));
  EXPECT_EQ("3", inst.Query("select count(*) from Kvn504App")) << "checks never stop a transfer";
}

// One data set with every action: new orders and operations, updates,
// deletions, drops.
std::string MixedData() {
  std::string s = TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB09") + MasterRows("AG01", "AP01");
  for (int o = 1; o <= 3; ++o) {
    std::string apk = "10000000000" + std::to_string(o);
    s += AukRow(apk, 1);
    for (int a = 1; a <= o; ++a) s += AfoRow(apk, "000" + std::to_string(a) + "0", 1);
  }
  s += "insert into Kvn501Apk (ApkApk,ApkSts,ApkAfo,ApkKst,ApkFbe) values "
       "('200000000001',12,2,'K7','FB02'),('200000000002',10,2,'K7','FB02');\n"
       "insert into Kvn504App (AppApk,AppApp,AppSts,AppFbe) values "
       "('200000000001','00010',10,'FB02'),('200000000001','00020',10,'FB02'),"
       "('200000000002','00010',10,'FB02'),('200000000002','00020',10,'FB02');\n";
  s += AukRow("200000000001", 1) + AukRow("200000000002", 9) + AukRow("300000000001", 9);
  s += AfoRow("200000000001", "00010", 1) + AfoRow("200000000001", "00020", 9) +
       AfoRow("300000000001", "00010", 9);
  return s;
}

// The distinct lines of a buffer file with their two time stamps (write
// time, run date and time) blanked; fails on a line that is not whole.
std::set<std::string> Lines(const std::string& path) {
  std::string bytes = ReadAll(path);
  EXPECT_EQ(0u, bytes.size() % 552) << path << " holds a torn line";
  std::set<std::string> lines;
  for (size_t pos = 0; pos + 552 <= bytes.size(); pos += 552) {
    std::string line = bytes.substr(pos, 552);
    EXPECT_EQ("*\r\n", line.substr(549)) << path;
    line.replace(21, 14, 14, ' ');
    line.replace(93, 12, 12, ' ');
    lines.insert(line);
  }
  return lines;
}

TEST(Transfer, RunInterruptedAfterAnyCommitEndsLikeOneUninterruptedRun) {
  Installation reference;
  reference.Sql(MixedData());
  ASSERT_EQ(0, reference.RunJob());
  const std::string apk = Dump(reference, "Kvn501Apk", "ApkApk");
  const std::string app = Dump(reference, "Kvn504App", "AppApk,AppApp");
  const std::set<std::string> lines = Lines(reference.buff() + "/SndDnl1.buf");
  // The deletion's download pass sends the five orders marked so far and
  // the deleted order's two operations; the final pass the eight
  // operations the operation transfer marked.
  ASSERT_EQ(15u, lines.size());
  ASSERT_EQ("0|0", reference.Query("select (select count(*) from Kvn500Auk),"
                                   "(select count(*) from Kvn503Afo)"));

  int interrupted = 0;
  for (int n = 1; n < 200; ++n) {
    Installation inst;
    inst.Sql(MixedData());
    int rc = testing_support::RunProcess(
        {testing_support::BuiltProgram("pps2bde-crashpoint")}, inst.run(),
        {"PPS2BDE_CRASH_AFTER_COMMITS=" + std::to_string(n)}, inst.output());
    if (rc == 0) break;  // the run made fewer than n commits
    ASSERT_EQ(99, rc) << "crash point " << n;
    ++interrupted;
    ASSERT_EQ(0, inst.RunJob());
    EXPECT_EQ(apk, Dump(inst, "Kvn501Apk", "ApkApk")) << "interrupted after commit " << n;
    EXPECT_EQ(app, Dump(inst, "Kvn504App", "AppApk,AppApp")) << "interrupted after commit " << n;
    EXPECT_EQ("0|0", inst.Query("select (select count(*) from Kvn500Auk),"
                                "(select count(*) from Kvn503Afo)"))
        << "interrupted after commit " << n;
    EXPECT_EQ(lines, Lines(inst.buff() + "/SndDnl1.buf"))
        << "every line sent at least once, none other; interrupted after commit " << n;
  }
  EXPECT_GE(interrupted, 20) << "every commit of the run is a crash point";
}

}  // namespace
