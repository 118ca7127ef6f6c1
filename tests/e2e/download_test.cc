// End-to-end: the terminal download of both run modes, compared byte for
// byte with lines built here from the line and payload layouts.
#include <ctime>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/planning_rows.h"
#include "tests/e2e/terminal_lines.h"
#include "tests/support/install.h"
#include "tests/support/pg_test_db.h"

namespace {

using e2e::AfoRow;
using e2e::AukRow;
using e2e::DownloadLine;
using e2e::MasterRows;
using e2e::OperationFields;
using e2e::OperationPayload;
using e2e::OrderFields;
using e2e::OrderPayload;
using e2e::TerminalRow;
using e2e::Utf8;
using testing_support::Installation;
using testing_support::LogEntry;
using testing_support::ParseLog;
using testing_support::ReadAll;

std::string Stamp(time_t t) {
  struct tm tm;
  localtime_r(&t, &tm);
  char buf[16];
  strftime(buf, sizeof buf, "%Y%m%d%H%M%S", &tm);
  return buf;
}

// A buffer file split into its lines after `skip` leading bytes; every line
// is whole (552 bytes ending "*\r\n").
std::vector<std::string> LinesOf(const std::string& path, size_t skip = 0) {
  std::string b = ReadAll(path).substr(skip);
  EXPECT_EQ(0u, b.size() % 552) << path;
  std::vector<std::string> lines;
  for (size_t p = 0; p + 552 <= b.size(); p += 552) lines.push_back(b.substr(p, 552));
  return lines;
}

// The write time stamp of a line (positions 22 to 35), checked to lie within
// the run.
std::string WriteStampOf(const std::string& line, const std::string& from, const std::string& to) {
  std::string s = line.substr(21, 14);
  EXPECT_GE(s, from);
  EXPECT_LE(s, to);
  return s;
}

// The order a planning row of AukRow() becomes, as its download sends it.
OrderFields NewOrder(const std::string& apk, int afo = 0) {
  std::string t = apk.substr(8);
  OrderFields o;
  o.apk = apk;
  o.bz1 = "Bez1 " + t;
  o.bz2 = "Bez2 " + t;
  o.txt = "Txt" + t;
  o.tnr = "Teil-" + t;
  o.tb1 = "TB1 " + t;
  o.tb2 = "TB2 " + t;
  o.sme = 1234.5;
  o.mee = "STK";
  o.bgs = "20240301";
  o.ens = "20240315";
  o.afo = afo;
  o.sts = 10;
  o.zf1 = "Z1 " + t;
  o.zf2 = "Z2 " + t;
  o.zf3 = "Z3 " + t;
  return o;
}

// The operation a planning row of AfoRow() becomes.
OperationFields NewOperation(const std::string& apk, const std::string& app,
                             const std::string& apg = "AG01") {
  OperationFields a;
  a.apk = apk;
  a.app = app;
  a.bz1 = "Op " + app;
  a.bz2 = "Op2 " + app;
  a.txt = "T" + app;
  a.apg = apg;
  a.sme = 100.25;
  a.mee = "KG";
  a.str = 1.75;
  a.ste = 2.5;
  a.sza = 12.5;
  a.bds = "20240302";
  a.eds = "20240303";
  a.vaf = "V" + app.substr(1);
  a.naf = "N" + app.substr(1);
  a.sts = 10;
  a.zf1 = "OZ1";
  a.zf2 = "OZ2";
  a.zf3 = "OZ3";
  return a;
}

TEST(Download, FullRunWritesEveryLineByteForByte) {
  Installation inst;
  inst.Sql(TerminalRow(9, "10.0.0.9", "49", "FB03", "FB09") +
           TerminalRow(4, "10.0.0.4", "4004", "FB01", "FB05") +
           TerminalRow(2, "192.168.100.2", "", "FB10", "FB19") + MasterRows("AG01", "AP01") +
           AukRow("100000000001", 1, "FB04") + AukRow("100000000002", 1, "FB07") +
           AukRow("100000000003", 1, "FB12") + AfoRow("100000000001", "00010", 1, "AG01", "AP01", "FB04") +
           AfoRow("100000000001", "00020", 1, "AG01", "AP01", "FB04") +
           AfoRow("100000000001", "00030", 1, "AG01", "AP01", "FB04") +
           AfoRow("100000000002", "00010", 1, "AG01", "AP01", "FB07") +
           AfoRow("100000000003", "00010", 1, "AG01", "AP01", "FB12"));
  const std::string old = "an earlier line the terminal has not fetched yet\r\n";
  testing_support::WriteAll(inst.buff() + "/SndDnl4.buf", old);

  std::string from = Stamp(time(nullptr));
  ASSERT_EQ(0, inst.RunJob());
  std::string to = Stamp(time(nullptr));
  EXPECT_EQ("", ReadAll(inst.log()));
  std::string dta;
  for (char c : inst.Query("select DwnDta from Kvn542Dwn"))
    if (c != '-' && c != ' ' && c != ':') dta += c;
  ASSERT_EQ(14u, dta.size());
  const std::string date = dta.substr(0, 8), time = dta.substr(8);

  // Terminal 4 (lowest of the two terminals serving FB04) keeps its old
  // content and gets order 1, then its three operations.
  std::vector<std::string> t4 = LinesOf(inst.buff() + "/SndDnl4.buf", old.size());
  ASSERT_EQ(4u, t4.size());
  EXPECT_EQ(old, ReadAll(inst.buff() + "/SndDnl4.buf").substr(0, old.size()));
  auto line4 = [&](const std::string& line, const std::string& skz, const std::string& payload) {
    return DownloadLine("10.0.0.4", "4004", WriteStampOf(line, from, to), skz, date, time, "NEU",
                        payload);
  };
  EXPECT_EQ(line4(t4[0], "APK", OrderPayload(NewOrder("100000000001"))), t4[0]);
  EXPECT_EQ(line4(t4[1], "APP", OperationPayload(NewOperation("100000000001", "00010"))), t4[1]);
  EXPECT_EQ(line4(t4[2], "APP", OperationPayload(NewOperation("100000000001", "00020"))), t4[2]);
  EXPECT_EQ(line4(t4[3], "APP", OperationPayload(NewOperation("100000000001", "00030"))), t4[3]);

  std::vector<std::string> t9 = LinesOf(inst.buff() + "/SndDnl9.buf");
  ASSERT_EQ(2u, t9.size());
  EXPECT_EQ(DownloadLine("10.0.0.9", "49", WriteStampOf(t9[0], from, to), "APK", date, time, "NEU",
                         OrderPayload(NewOrder("100000000002"))),
            t9[0]);
  EXPECT_EQ(DownloadLine("10.0.0.9", "49", WriteStampOf(t9[1], from, to), "APP", date, time, "NEU",
                         OperationPayload(NewOperation("100000000002", "00010"))),
            t9[1]);

  std::vector<std::string> t2 = LinesOf(inst.buff() + "/SndDnl2.buf");
  ASSERT_EQ(2u, t2.size());
  EXPECT_EQ(DownloadLine("192.168.100.2", "", WriteStampOf(t2[0], from, to), "APK", date, time,
                         "NEU", OrderPayload(NewOrder("100000000003"))),
            t2[0]);

  // Every row is released; the three new operations raised ApkAfo by 3.
  EXPECT_EQ("100000000001|3|<null>|<null>\n100000000002|1|<null>|<null>\n"
            "100000000003|1|<null>|<null>",
            inst.Query("select ApkApk,ApkAfo,ApkDna,ApkDwn from Kvn501Apk order by 1"));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn504App where AppDwn is not null "
                            "or AppDna is not null"));
}

// BDE rows marked for the full run's download, without planning rows.
std::string MarkedOrder(const std::string& apk, const std::string& fbe, const std::string& dna,
                        int afo = 0) {
  return "insert into Kvn501Apk (ApkApk,ApkBz1,ApkTxt,ApkSts,ApkAfo,ApkSme,ApkFbe,ApkDna,ApkDwn,"
         "ApkBgs) values ('" + apk + "','Auftrag " + apk.substr(8) + "','Kurztext12',3," +
         std::to_string(afo) + ",-7.25,'" + fbe + "','" + dna + "','ZuzErOro',null);\n";
}
std::string MarkedOperation(const std::string& apk, const std::string& app,
                            const std::string& fbe, const std::string& dna) {
  return "insert into Kvn504App (AppApk,AppApp,AppBz1,AppSts,AppSza,AppFbe,AppDna,AppDwn) values "
         "('" + apk + "','" + app + "','Schritt',10,12345.678,'" + fbe + "','" + dna +
         "','ZuzErOro');\n";
}
OrderFields MarkedOrderFields(const std::string& apk, int afo) {
  OrderFields o;
  o.apk = apk;
  o.bz1 = "Auftrag " + apk.substr(8);
  o.txt = "Kurztext12";
  o.sme = -7.25;
  o.afo = afo;
  o.sts = 3;
  return o;
}
OperationFields MarkedOperationFields(const std::string& apk, const std::string& app) {
  OperationFields a;
  a.apk = apk;
  a.app = app;
  a.bz1 = "Schritt";
  a.sza = 12345.678;
  a.sts = 10;
  return a;
}

TEST(Download, AreaKeyWithoutTerminalStopsOrdersButNotOperations) {
  Installation inst;
  // The terminal serves FB01 and FB03; nothing serves FB02.
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB01", "FB01", "FB03", "FB03") +
           MarkedOrder("100000000001", "FB01", "AEN") + MarkedOrder("100000000002", "FB02", "AEN") +
           MarkedOrder("100000000003", "FB03", "AEN") +
           MarkedOperation("100000000001", "00010", "FB01", "AEN") +
           MarkedOperation("100000000001", "00020", "FB02", "AEN") +
           MarkedOperation("100000000001", "00030", "FB03", "AEN"));
  std::string from = Stamp(time(nullptr));
  ASSERT_EQ(0, inst.RunJob());
  std::string to = Stamp(time(nullptr));

  std::vector<LogEntry> e = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(4u, e.size());
  auto line = [](const LogEntry& x) { return x.function + "/" + x.message + "/" + x.code; };
  EXPECT_EQ("ReadFile/IP-Ermitteln/1403", line(e[0]));
  EXPECT_EQ("Apk_Dnl/Fehler beim Senden von ApkS\xE4tze/1403", line(e[1]));
  EXPECT_EQ("ReadFile/IP-Ermitteln/1403", line(e[2]));
  EXPECT_EQ("App_Dnl/Fehler beim Senden von AppS\xE4tze/1403", line(e[3]));

  std::string dta = inst.Query("select DwnDta from Kvn542Dwn");
  std::string date = dta.substr(0, 4) + dta.substr(5, 2) + dta.substr(8, 2);
  std::string time = dta.substr(11, 2) + dta.substr(14, 2) + dta.substr(17, 2);
  std::vector<std::string> lines = LinesOf(inst.buff() + "/SndDnl1.buf");
  ASSERT_EQ(3u, lines.size()) << "order 1, then operations 1 and 3";
  EXPECT_EQ(DownloadLine("10.0.0.1", "4001", WriteStampOf(lines[0], from, to), "APK", date, time,
                         "AEN", OrderPayload(MarkedOrderFields("100000000001", 0))),
            lines[0]);
  EXPECT_EQ(DownloadLine("10.0.0.1", "4001", WriteStampOf(lines[1], from, to), "APP", date, time,
                         "AEN", OperationPayload(MarkedOperationFields("100000000001", "00010"))),
            lines[1]);
  EXPECT_EQ(DownloadLine("10.0.0.1", "4001", WriteStampOf(lines[2], from, to), "APP", date, time,
                         "AEN", OperationPayload(MarkedOperationFields("100000000001", "00030"))),
            lines[2]);
  EXPECT_EQ("100000000001|<null>\n100000000002|ZuzErOro\n100000000003|ZuzErOro",
            inst.Query("select ApkApk,ApkDwn from Kvn501Apk order by 1"))
      << "the order without terminal and every order behind it stay marked";
  EXPECT_EQ("00010|<null>\n00020|ZuzErOro\n00030|<null>",
            inst.Query("select AppApp,AppDwn from Kvn504App order by 1"));
}

TEST(Download, DeletedRowsAreRemovedAfterTheirLines) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB01", "FB02") +
           MarkedOrder("100000000001", "FB01", "LOE", 2) +
           MarkedOrder("100000000002", "FB01", "AEN", 4) +
           "update Kvn501Apk set ApkDwn=null,ApkDna=null where ApkApk='100000000002';\n" +
           MarkedOperation("100000000002", "00010", "FB01", "LOE") +
           MarkedOperation("100000000002", "00020", "FB01", "NEU"));
  ASSERT_EQ(0, inst.RunJob());
  EXPECT_EQ("", ReadAll(inst.log()));
  EXPECT_EQ("100000000002|4", inst.Query("select ApkApk,ApkAfo from Kvn501Apk"))
      << "the LOE order is gone; one LOE and one NEU operation leave the count";
  EXPECT_EQ("00020|<null>|<null>", inst.Query("select AppApp,AppDna,AppDwn from Kvn504App"));
  std::vector<std::string> lines = LinesOf(inst.buff() + "/SndDnl1.buf");
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ("APK", lines[0].substr(90, 3));
  EXPECT_EQ("LOE", lines[0].substr(108, 3));
  EXPECT_EQ("LOE", lines[1].substr(108, 3));
  EXPECT_EQ("NEU", lines[2].substr(108, 3));
}

TEST(Download, QueueRunMarksAndSendsItsBatchStampedNow) {
  Installation inst;
  inst.Sql(TerminalRow(3, "10.0.0.3", "4003", "FB01", "FB09") +
           "insert into Kvn501Apk (ApkApk,ApkBz1,ApkTxt,ApkSts,ApkAfo,ApkSme,ApkFbe) values "
           "('100000000001','Auftrag 0001','Kurztext12',3,1,-7.25,'FB01'),"
           "('100000000002','Auftrag 0002','Kurztext12',3,0,-7.25,'FB01');\n"
           "insert into Kvn504App (AppApk,AppApp,AppBz1,AppSts,AppSza,AppFbe) values "
           "('100000000001','00010','Schritt',10,12345.678,'FB01');\n"
           "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlFun,DnlSkz,DnlApk,DnlApp,DnlErf) values "
           "('2024-05-01 06:30:00',1,'AEN','APK','100000000001',null,'ZuzErOro'),"
           "('2024-05-01 06:30:00',2,'NEU','APP','100000000001','00010','ZuzErOro'),"
           "('2024-05-01 06:30:01',3,'AEN','APK','100000000002',null,'ZuzErOro');\n");
  time_t before = time(nullptr);
  ASSERT_EQ(0, inst.RunJob({"20240501", "063000"}));
  time_t after = time(nullptr);
  EXPECT_EQ("", ReadAll(inst.log()));

  std::vector<std::string> lines = LinesOf(inst.buff() + "/SndDnl3.buf");
  ASSERT_EQ(2u, lines.size()) << "the row of the other second is not part of the batch";
  // The run date and time of a queue run are the current time.
  std::string run = lines[0].substr(93, 12);
  EXPECT_GE("20" + run, Stamp(before));
  EXPECT_LE("20" + run, Stamp(after));
  std::string date = "20" + run.substr(0, 6), time = run.substr(6);
  EXPECT_EQ(DownloadLine("10.0.0.3", "4003", lines[0].substr(21, 14), "APK", date, time, "AEN",
                         OrderPayload(MarkedOrderFields("100000000001", 1))),
            lines[0]);
  EXPECT_EQ(DownloadLine("10.0.0.3", "4003", lines[1].substr(21, 14), "APP", date, time, "NEU",
                         OperationPayload(MarkedOperationFields("100000000001", "00010"))),
            lines[1]);
  EXPECT_EQ("100000000001|2|<null>|<null>\n100000000002|0|<null>|<null>",
            inst.Query("select ApkApk,ApkAfo,ApkDna,ApkDwn from Kvn501Apk order by 1"))
      << "released; the NEU operation counted into its order";
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn542Dwn")) << "no statistics in queue mode";
}

TEST(Download, LineWhoseReleaseFailedIsSentAgainByTheNextRun) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB01", "FB02") +
           MarkedOrder("100000000001", "FB01", "AEN") +
           (testing_support::IsPgService(inst.db())
                ? "create function refuse() returns trigger language plpgsql as "
                  "$$ begin raise exception 'refused'; end $$;"
                  "create trigger refuse_release before update on Kvn501Apk for each row "
                  "when (new.ApkDwn is null) execute function refuse();"
                : "create trigger refuse_release before update on Kvn501Apk when new.ApkDwn "
                  "is null begin select raise(abort, 'refused'); end;\n"));
  ASSERT_EQ(0, inst.RunJob());
  std::vector<LogEntry> e = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(1u, e.size());
  EXPECT_EQ("ApkDnl", e[0].function);
  EXPECT_EQ("Fehler bei Apk_PKeyUpd", e[0].message);
  EXPECT_EQ('-', e[0].code[0]);
  EXPECT_EQ("ZuzErOro", inst.Query("select ApkDwn from Kvn501Apk"));
  EXPECT_EQ(1u, LinesOf(inst.buff() + "/SndDnl1.buf").size());

  inst.Sql(std::string("drop trigger refuse_release") +
           (testing_support::IsPgService(inst.db()) ? " on Kvn501Apk" : ""));
  ASSERT_EQ(0, inst.RunJob());
  std::vector<std::string> lines = LinesOf(inst.buff() + "/SndDnl1.buf");
  ASSERT_EQ(2u, lines.size()) << "sent again";
  EXPECT_EQ(lines[0].substr(105), lines[1].substr(105)) << "the same order, the same payload";
  EXPECT_EQ("<null>", inst.Query("select ApkDwn from Kvn501Apk"));
}

// German texts, stored in UTF-8, reach the lines in ISO-8859-1, one byte a
// character, each filling exactly its field; a character ISO-8859-1 has not
// arrives as "?".  Control bytes stay in the tables and become blanks in
// the line, so a forged line start inside a text is no line.
TEST(Download, GermanTextsAndControlBytesReachTheLinesInIso88591) {
  const std::string bz1 = "Geh\xE4use f\xFCr Ma\xDF";
  const std::string bz2 =  // 31 characters, cut to 30
      "Gr\xF6\xDF" "enma\xDF f\xFCr Geh\xE4usesch\xE4" "fte und";
  const std::string zf3 = "Zeile\r\n$10.1.20.11  4001\tS\xE4tze";  // 30, fills the record
  const std::string opBz1 = "S\xE4tze pr\xFC" "fen \xC4\xD6\xDC";
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB01", "FB09") + MasterRows("AG01", "AP01") +
           AukRow("100000000001", 1) + AfoRow("100000000001", "00010", 1) +
           "update Kvn500Auk set AukBz1='" + Utf8(bz1) + "',AukBz2='" + Utf8(bz2) +
           "',AukTb1='Preis 5\xE2\x82\xAC',AukZf3='" + Utf8(zf3) + "';\n"
           "update Kvn503Afo set AfoBz1='" + Utf8(opBz1) + "',AfoZf1='\x7F\x01\xC3\x9F';\n");
  ASSERT_EQ(0, inst.RunJob());
  EXPECT_EQ("", ReadAll(inst.log()));
  // The tables hold UTF-8 and the control bytes as they came.
  EXPECT_EQ("Geh\xC3\xA4use f\xC3\xBCr Ma\xC3\x9F|" + Utf8(zf3),
            inst.Query("select ApkBz1,ApkZf3 from Kvn501Apk"));

  std::string dta = inst.Query(
      "select replace(replace(replace(DwnDta,'-',''),' ',''),':','') from Kvn542Dwn");
  std::vector<std::string> lines = LinesOf(inst.buff() + "/SndDnl1.buf");
  ASSERT_EQ(2u, lines.size());
  OrderFields o = NewOrder("100000000001");
  o.bz1 = bz1;
  o.bz2 = bz2.substr(0, 30);
  o.tb1 = "Preis 5?";
  o.zf3 = "Zeile  $10.1.20.11  4001 S\xE4tze";
  OperationFields a = NewOperation("100000000001", "00010");
  a.bz1 = opBz1;
  a.zf1 = "  \xDF";
  EXPECT_EQ(DownloadLine("10.0.0.1", "4001", lines[0].substr(21, 14), "APK", dta.substr(0, 8),
                         dta.substr(8), "NEU", OrderPayload(o)),
            lines[0]);
  EXPECT_EQ(DownloadLine("10.0.0.1", "4001", lines[1].substr(21, 14), "APP", dta.substr(0, 8),
                         dta.substr(8), "NEU", OperationPayload(a)),
            lines[1]);
}

// A row with a number that does not fit (a 16-bit status beyond its range,
// a quantity, time or count too large for its line field) is not sent: one
// entry names it, it stays marked, and the next row goes on.  No cut
// number reaches a line.
TEST(Download, NumbersThatDoNotFitKeepTheirRowsMarked) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB01", "FB09") +
           MarkedOrder("100000000001", "FB01", "AEN") + MarkedOrder("100000000002", "FB01", "AEN") +
           MarkedOrder("100000000003", "FB01", "AEN") + MarkedOrder("100000000004", "FB01", "AEN") +
           MarkedOrder("100000000005", "FB01", "AEN") +
           MarkedOperation("100000000005", "00010", "FB01", "AEN") +
           MarkedOperation("100000000005", "00020", "FB01", "AEN") +
           MarkedOperation("100000000005", "00030", "FB01", "AEN") +
           "update Kvn501Apk set ApkSts=65545 where ApkApk='100000000001';\n"
           "update Kvn501Apk set ApkSme=1e300 where ApkApk='100000000002';\n"
           "update Kvn501Apk set ApkSme=123456789012.5 where ApkApk='100000000003';\n"
           "update Kvn501Apk set ApkAfo=100000 where ApkApk='100000000004';\n"
           "update Kvn504App set AppSza=123456.78 where AppApp='00010';\n"
           "update Kvn504App set AppIme=1e999 where AppApp='00020';\n");
  ASSERT_EQ(0, inst.RunJob());
  std::vector<LogEntry> e = ParseLog(ReadAll(inst.log()));
  std::vector<std::string> got;
  for (const LogEntry& x : e) got.push_back(x.function + "/" + x.message + "/" + x.code);
  const std::string m = "Wert passt nicht ins Feld: ";
  EXPECT_EQ((std::vector<std::string>{
                "Apk_Dnl/" + m + "100000000001/-1455", "Apk_Dnl/" + m + "100000000002/-1455",
                "Apk_Dnl/" + m + "100000000003/-1455", "Apk_Dnl/" + m + "100000000004/-1455",
                "App_Dnl/" + m + "100000000005/00010/-1455",
                "App_Dnl/" + m + "100000000005/00020/-1455"}),
            got);
  std::vector<std::string> lines = LinesOf(inst.buff() + "/SndDnl1.buf");
  ASSERT_EQ(2u, lines.size()) << "order 5 and operation 30";
  EXPECT_EQ(OrderPayload(MarkedOrderFields("100000000005", 0)), lines[0].substr(111, 255));
  EXPECT_EQ(OperationPayload(MarkedOperationFields("100000000005", "00030")),
            lines[1].substr(111, 257));
  EXPECT_EQ("100000000001|65545|ZuzErOro\n100000000002|3|ZuzErOro\n100000000003|3|ZuzErOro\n"
            "100000000004|3|ZuzErOro\n100000000005|3|<null>",
            inst.Query("select ApkApk,ApkSts,ApkDwn from Kvn501Apk order by 1"));
  EXPECT_EQ("00010|ZuzErOro\n00020|ZuzErOro\n00030|<null>",
            inst.Query("select AppApp,AppDwn from Kvn504App order by 1"));
}

// Numbers too large for their line fields, on both engines (the test above
// needs rows only a SQLite file can hold).  On a server the next row is
// fetched before a release and its terminal lookup goes with the release's
// commit: a row that cannot be sent between two that can is reported and
// skipped alone, and the rows around it reach their terminal.
TEST(Download, ARowThatDoesNotFitItsLineBetweenSentOnesIsSkippedAlone) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB01", "FB09") +
           MarkedOrder("100000000005", "FB01", "AEN") +
           MarkedOperation("100000000005", "00010", "FB01", "AEN") +
           MarkedOperation("100000000005", "00020", "FB01", "AEN") +
           MarkedOperation("100000000005", "00030", "FB01", "AEN") +
           "update Kvn504App set AppSza=123456.78 where AppApp='00020';\n");
  ASSERT_EQ(0, inst.RunJob());
  std::vector<LogEntry> e = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(1u, e.size());
  EXPECT_EQ("App_Dnl/Wert passt nicht ins Feld: 100000000005/00020/-1455",
            e[0].function + "/" + e[0].message + "/" + e[0].code);
  std::vector<std::string> lines = LinesOf(inst.buff() + "/SndDnl1.buf");
  ASSERT_EQ(3u, lines.size()) << "the order, operations 10 and 30";
  EXPECT_EQ(OperationPayload(MarkedOperationFields("100000000005", "00010")),
            lines[1].substr(111, 257));
  EXPECT_EQ(OperationPayload(MarkedOperationFields("100000000005", "00030")),
            lines[2].substr(111, 257));
  EXPECT_EQ("00010|<null>\n00020|ZuzErOro\n00030|<null>",
            inst.Query("select AppApp,AppDwn from Kvn504App order by 1"));
}

}  // namespace
