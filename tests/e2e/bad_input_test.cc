// End-to-end: the job on bad input.  NULL in every nullable column,
// over-long texts, invalid dates, values beyond 16 bits, huge quantities
// and queue-mode arguments of any length and any bytes.  Whatever the rows
// hold, the job ends with exit code 0 and prints nothing (in the sanitizer
// build a report would print and abort), every log entry has the entry
// layout, and the buffer files hold whole download lines only.
#include <dirent.h>

#include <algorithm>
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

constexpr size_t kLine = 552;

// Runs the job and checks what must hold after any run: exit code 0,
// nothing printed, a log of whole entries with a function and a numeric
// code.  Returns the entries.
std::vector<LogEntry> RunClean(Installation& inst, const std::vector<std::string>& args = {}) {
  EXPECT_EQ(0, inst.RunJob(args));
  EXPECT_EQ("", ReadAll(inst.output())) << "the job prints nothing, the sanitizers report nothing";
  std::vector<LogEntry> entries = ParseLog(ReadAll(inst.log()));
  for (const LogEntry& e : entries) {
    EXPECT_EQ("FMSG ", e.kinds);
    EXPECT_FALSE(e.function.empty());
    EXPECT_FALSE(e.code.empty());
    EXPECT_EQ(std::string::npos, e.code.find_first_not_of("-0123456789")) << e.code;
  }
  return entries;
}

// Every line of every buffer file: 552 bytes, "$" first, "*" CR LF last.
// Returns the lines of all files.
std::vector<std::string> BufferLines(Installation& inst) {
  std::vector<std::string> lines;
  DIR* dir = opendir(inst.buff().c_str());
  if (dir == nullptr) {
    ADD_FAILURE() << "no buffer folder";
    return lines;
  }
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    std::string bytes = ReadAll(inst.buff() + "/" + name);
    EXPECT_EQ(0u, bytes.size() % kLine) << name << " holds a torn line";
    for (size_t pos = 0; pos + kLine <= bytes.size(); pos += kLine) {
      std::string line = bytes.substr(pos, kLine);
      EXPECT_EQ('$', line[0]) << name << " line " << pos / kLine;
      EXPECT_EQ("*\r\n", line.substr(kLine - 3)) << name << " line " << pos / kLine;
      lines.push_back(line);
    }
  }
  closedir(dir);
  return lines;
}

bool Logged(const std::vector<LogEntry>& entries, const std::string& function,
            const std::string& message) {
  for (const LogEntry& e : entries)
    if (e.function == function && e.message == message) return true;
  return false;
}

// An SQL update that sets every TEXT column of table but the listed key
// columns to value.
std::string SetEveryText(Installation& inst, const std::string& table, const std::string& value,
                         const std::string& where, const std::vector<std::string>& keep) {
  std::string cols = inst.Query("select group_concat(name, ' ') from pragma_table_info('" +
                                table + "') where type='TEXT'");
  std::string sets;
  size_t pos = 0;
  while (pos < cols.size()) {
    size_t end = cols.find(' ', pos);
    if (end == std::string::npos) end = cols.size();
    std::string col = cols.substr(pos, end - pos);
    pos = end + 1;
    bool skip = false;
    for (const std::string& k : keep) skip = skip || k == col;
    if (skip) continue;
    sets += (sets.empty() ? "" : ",") + col + "=" + value;
  }
  return "update " + table + " set " + sets + " where " + where + ";\n";
}

TEST(BadInput, NullInEveryNullableColumn) {
  Installation inst;
  // A terminal of nothing but its number serves no area key; one with only
  // its range sends lines with blank address and port.
  inst.Sql(
      "insert into Kvn557Cfg (CfgDta) values (1);\n"
      "insert into Kvn557Cfg (CfgDta,CfgVn1,CfgBi1) values (2,'A','Z');\n"
      // Orders and operations of nothing but their keys: one the planning
      // row changes, one sent as it stands, one without an area key.
      "insert into Kvn501Apk (ApkApk) values ('100000000001');\n"
      "insert into Kvn501Apk (ApkApk,ApkDwn,ApkFbe) values ('100000000002','ZuzErOro','FB01');\n"
      "insert into Kvn501Apk (ApkApk,ApkDwn) values ('100000000004','ZuzErOro');\n"
      "insert into Kvn504App (AppApk,AppApp) values ('100000000001','00010');\n"
      "insert into Kvn504App (AppApk,AppApp,AppDwn,AppFbe) values "
      "('100000000002','00010','ZuzErOro','FB01');\n"
      "insert into Kvn504App (AppApk,AppApp,AppDwn) values ('100000000002','00020','ZuzErOro');\n"
      // Planning rows of nothing but their keys.
      "insert into Kvn500Auk (AukApk) values ('100000000001'),('100000000003');\n"
      "insert into Kvn503Afo (AfoApk,AfoApp) values ('100000000001','00010'),"
      "('100000000003','00010'),('100000000009','00010');\n");
  std::vector<LogEntry> entries = RunClean(inst);

  EXPECT_EQ("0", inst.Query("select count(*) from Kvn500Auk")) << "every planning row is taken";
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn503Afo"));
  // Rows without an area key find no terminal.  They come after every row
  // with one, so the order download sends the order with its key before it
  // stops at the first of them; the operation download goes on and sends
  // the one operation with a key.
  EXPECT_TRUE(Logged(entries, "ReadFile", "IP-Ermitteln"));
  EXPECT_TRUE(Logged(entries, "Apk_Dnl", "Fehler beim Senden von ApkS\xE4tze"));
  EXPECT_TRUE(Logged(entries, "App_Dnl", "Fehler beim Senden von AppS\xE4tze"));
  std::vector<std::string> lines = BufferLines(inst);
  ASSERT_EQ(2u, lines.size());
  for (const std::string& line : lines)
    EXPECT_EQ(std::string(20, ' '), line.substr(1, 20)) << "blank address and port";
  EXPECT_EQ("APK", lines[0].substr(90, 3));
  EXPECT_EQ("APP", lines[1].substr(90, 3));
  EXPECT_EQ("BDE   100000000002", lines[0].substr(105, 18)) << "no download function";
  EXPECT_EQ("BDE   100000000002", lines[1].substr(105, 18));
  EXPECT_EQ("100000000001|100000000003|100000000004",
            inst.Query("select group_concat(ApkApk,'|') from (select ApkApk from Kvn501Apk "
                       "where ApkDwn='ZuzErOro' order by ApkApk)"));
  EXPECT_EQ("100000000002|00020", inst.Query("select AppApk,AppApp from Kvn504App where "
                                             "AppApk='100000000002' and AppDwn is not null"));
}

TEST(BadInput, OverlongTextsInEveryTextColumn) {
  Installation inst;
  const std::string kLong = "printf('%.300c','W')";
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB99") + MasterRows("AG01", "AP01") +
           AukRow("100000000001", 1) + AfoRow("100000000001", "00010", 1) +
           AukRow("100000000002", 1) + AfoRow("100000000002", "00010", 1) +
           "insert into Kvn501Apk (ApkApk,ApkDwn,ApkFbe) values ('100000000005','ZuzErOro','FB05');\n"
           "insert into Kvn504App (AppApk,AppApp,AppDwn,AppFbe) values "
           "('100000000005','00010','ZuzErOro','FB05');\n");
  // Every text but the keys, the area key, the markers and the dates (the
  // next tests) over-long; the terminal keeps its ranges.
  inst.Sql(SetEveryText(inst, "Kvn500Auk", kLong, "AukApk='100000000001'", {"AukApk"}) +
           SetEveryText(inst, "Kvn503Afo", kLong, "AfoApk='100000000001'", {"AfoApk", "AfoApp"}) +
           SetEveryText(inst, "Kvn501Apk", kLong, "1",
                        {"ApkApk", "ApkDwn", "ApkFbe", "ApkBgs", "ApkEns", "ApkBdi", "ApkEdi",
                         "ApkDat"}) +
           SetEveryText(inst, "Kvn504App", kLong, "1",
                        {"AppApk", "AppApp", "AppDwn", "AppFbe", "AppBdi", "AppBds", "AppSbd",
                         "AppEdi", "AppEds", "AppSed", "AppRad", "AppRed", "AppDat"}) +
           SetEveryText(inst, "Kvn557Cfg", kLong, "1",
                        {"CfgVn1", "CfgBi1", "CfgVn2", "CfgBi2", "CfgDat"}));
  std::vector<LogEntry> entries = RunClean(inst);
  std::vector<std::string> lines = BufferLines(inst);
  // The well-formed order and operation go through whatever the others
  // hold; the address and port are cut to their fields.
  ASSERT_FALSE(lines.empty()) << ReadAll(inst.log());
  for (const std::string& line : lines) {
    EXPECT_EQ(std::string(15, 'W') + std::string(5, 'W'), line.substr(1, 20));
  }
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn500Auk where AukApk='100000000002'"));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn503Afo where AfoApk='100000000002'"));
  for (const LogEntry& e : entries) EXPECT_LT(e.message.size(), 100u) << e.message;
}

TEST(BadInput, OverlongKeysNeverActOnAnotherRow) {
  Installation inst;
  // Keys one character too long whose first 12 (or 5) characters name the
  // well-formed rows.
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB99") + MasterRows("AG01", "AP01") +
           AukRow("100000000001", 1) + AfoRow("100000000001", "00010", 1) +
           AukRow("1000000000011", 1) + AfoRow("100000000001", "000101", 1) +
           AfoRow("1000000000011", "00010", 1) +
           "update Kvn500Auk set AukBz1='FALSCH' where length(AukApk)>12;\n"
           "update Kvn503Afo set AfoBz1='FALSCH' where length(AfoApk)>12 or length(AfoApp)>5;\n");
  RunClean(inst);
  EXPECT_EQ(2u, BufferLines(inst).size());
  // The well-formed rows are taken over with their own data, once.
  EXPECT_EQ("100000000001|Bez1 0001|<null>",
            inst.Query("select ApkApk,ApkBz1,ApkDna from Kvn501Apk order by ApkApk"));
  EXPECT_EQ("100000000001|00010|Op 00010|<null>",
            inst.Query("select AppApk,AppApp,AppBz1,AppDna from Kvn504App"));
  // The over-long rows are not taken over under a cut key; they stay.
  EXPECT_EQ("1000000000011", inst.Query("select AukApk from Kvn500Auk"));
  EXPECT_EQ("100000000001|000101\n1000000000011|00010",
            inst.Query("select AfoApk,AfoApp from Kvn503Afo order by AfoApk,AfoApp"));

  // Queue rows with such keys asking for deletion touch nothing either.
  inst.Sql(
      "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlFun,DnlSkz,DnlApk,DnlApp,DnlErf) values "
      "('2024-03-01 12:00:00',1,'LOE','APK','1000000000011',null,'ZuzErOro'),"
      "('2024-03-01 12:00:00',2,'LOE','APP','100000000001','000101','ZuzErOro'),"
      "('2024-03-01 12:00:00',3,'LOE','APP','1000000000011','00010','ZuzErOro');\n");
  RunClean(inst, {"20240301", "120000"});
  EXPECT_EQ(2u, BufferLines(inst).size()) << "nothing sent";
  EXPECT_EQ("1", inst.Query("select count(*) from Kvn501Apk where ApkDwn is null"));
  EXPECT_EQ("1", inst.Query("select count(*) from Kvn504App where AppDwn is null"));
}

TEST(BadInput, InvalidDatesAreRefusedRowByRow) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB99") + MasterRows("AG01", "AP01") +
           AukRow("100000000001", 1, "FB01", "20241341") +
           AukRow("100000000002", 1, "FB01", "2024023x") +
           AukRow("100000000003", 1, "FB01", "20240230") +
           AukRow("100000000004", 1, "FB01", "00000000") +
           AukRow("100000000005", 1, "FB01", "20240301") +
           AfoRow("100000000005", "00010", 1) + AfoRow("100000000005", "00020", 1) +
           AfoRow("100000000005", "00030", 1) +
           "update Kvn503Afo set AfoBgz='250000' where AfoApp='00010';\n"
           "update Kvn503Afo set AfoEns='2024' where AfoApp='00020';\n"
           "update Kvn503Afo set AfoEnz='12606x' where AfoApp='00030';\n");
  std::vector<LogEntry> entries = RunClean(inst);
  EXPECT_EQ(1u, BufferLines(inst).size()) << "the valid order; its operations are refused";
  // A row with an invalid date is refused and stays for the planning
  // system to correct; the valid rows go through.
  EXPECT_EQ("1", inst.Query("select count(*) from Kvn501Apk where ApkApk='100000000005'"));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn500Auk where AukApk='100000000005'"));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn501Apk where ApkApk='100000000001'"));
  EXPECT_EQ("1", inst.Query("select count(*) from Kvn500Auk where AukApk='100000000001'"));
  EXPECT_TRUE(Logged(entries, "Auk_To_Apk", "Fehelr bei Apk_PKeyIns"));
  for (const LogEntry& e : entries) {
    if (e.message == "Fehelr bei Apk_PKeyIns") {
      EXPECT_EQ('-', e.code[0]) << e.code;
    }
  }
}

// A date that is no date cannot be stored: another program's write fails
// there and names the column, so no such row reaches the job's cursors.
// Dates at the edges of the calendar are stored and sent.
TEST(BadInput, DateThatIsNoDateIsRefusedWhereItIsWritten) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB99"));
  for (const char* bad : {"gestern", "2024-13-45 99:99:99", "2024-02-30 00:00:00", "20240301",
                          "2024-03-01", "2023-02-29 00:00:00", "2024-03-01 24:00:00",
                          "2024-03-01T12:00:00", "2024-03-01 12:00:00 "}) {
    SCOPED_TRACE(bad);
    EXPECT_NE(std::string::npos,
              testing_support::TrySql(inst.db(), std::string("insert into Kvn501Apk (ApkApk,"
                                                             "ApkEns) values ('1','") + bad + "')")
                  .find("ApkEns_is_date"));
    EXPECT_NE(std::string::npos,
              testing_support::TrySql(inst.db(), std::string("insert into Kvn504App (AppApk,"
                                                             "AppApp,AppRad) values ('1','2','") +
                                                     bad + "')")
                  .find("AppRad_is_date"));
  }
  inst.Sql(
      "insert into Kvn501Apk (ApkApk,ApkBgs,ApkEns,ApkDwn,ApkFbe,ApkDna) values "
      "('100000000007','2024-02-29 00:00:00','9999-12-31 23:59:59','ZuzErOro','FB07','AEN');\n"
      "insert into Kvn504App (AppApk,AppApp,AppBds,AppRad,AppDwn,AppFbe,AppDna) values "
      "('100000000007','00010','0001-01-01 00:00:00','2000-02-29 23:59:59','ZuzErOro','FB07',"
      "'AEN');\n");
  EXPECT_TRUE(RunClean(inst).empty());
  EXPECT_EQ(2u, BufferLines(inst).size());
}

// A number beyond its column's range, or a quantity beyond its line field,
// is never cut into another number: the row is named in one entry (-1455)
// and left as it is, and the rows behind it go on.
TEST(BadInput, NumbersBeyondTheirColumns) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB99") + MasterRows("AG01", "AP01") +
           AukRow("100000000001", 65545) + AfoRow("100000000001", "00010", 65545) +
           AukRow("100000000002", 1) + AfoRow("100000000002", "00010", 1) +
           AukRow("100000000003", 1) + AfoRow("100000000003", "00010", 1) +
           "update Kvn500Auk set AukSme=1e30, AukAfo=4294967297 where AukApk='100000000001';\n"
           "update Kvn500Auk set AukSme=-1e30 where AukApk='100000000002';\n"
           "update Kvn503Afo set AfoSme=1e30, AfoSta=-1e300, AfoStr=1e30, AfoSte=123456789.987,"
           " AfoAgs=99999999999 where AfoApk='100000000001';\n"
           "update Kvn503Afo set AfoSme=-1e30, AfoSta=1e300 where AfoApk='100000000002';\n"
           "insert into Kvn501Apk (ApkApk,ApkSts,ApkAfo,ApkSme,ApkDwn,ApkFbe,ApkDna,ApkAba) "
           "values ('100000000007',70000,-70000,1e308,'ZuzErOro','FB07','AEN',99999999999);\n"
           "insert into Kvn557Cfg (CfgDta,CfgIP,CfgPrt,CfgVn1,CfgBi1,CfgKr1,CfgSta) values "
           "(4294967298,'10.0.0.2','4002','FC00','FC99',99999999999,-99999999999);\n");
  std::vector<LogEntry> entries = RunClean(inst);
  std::vector<std::string> named;
  for (const LogEntry& e : entries) {
    EXPECT_EQ("-1455", e.code) << e.function << " " << e.message;
    EXPECT_EQ(0u, e.message.find("Wert passt nicht ins Feld: ")) << e.message;
    named.push_back(e.message.substr(27));
  }
  std::sort(named.begin(), named.end());
  EXPECT_EQ((std::vector<std::string>{"100000000001", "100000000001/00010", "100000000002",
                                      "100000000002/00010", "100000000007"}),
            named);
  std::vector<std::string> lines = BufferLines(inst);
  ASSERT_EQ(2u, lines.size()) << "order 3 and its operation";
  EXPECT_EQ("100000000003", lines[0].substr(111, 12));
  EXPECT_EQ("100000000003", lines[1].substr(111, 12));
  // The planning rows that do not fit stay; the orders whose quantities do
  // not fit a line stay marked, their numbers as they were.
  EXPECT_EQ("100000000001|100000000001", inst.Query("select (select group_concat(AukApk) from "
                                                    "Kvn500Auk),(select group_concat(AfoApk) "
                                                    "from Kvn503Afo)"));
  EXPECT_EQ("100000000002|ZuzErOro\n100000000003|<null>\n100000000007|ZuzErOro",
            inst.Query("select ApkApk,ApkDwn from Kvn501Apk order by 1"));
  EXPECT_EQ("70000", inst.Query("select ApkSts from Kvn501Apk where ApkApk='100000000007'"));
}

// Queue arguments that are no valid date yyyymmdd and time HHMMSS are
// refused with one entry each and nothing else: no row is marked and no
// download runs (an order already marked for the queue stays marked).
TEST(BadInput, QueueArgumentsOfAnyLengthAndAnyBytes) {
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB99") +
           "insert into Kvn501Apk (ApkApk,ApkFbe,ApkSts) values ('100000000001','FB01',10);\n"
           "insert into Kvn501Apk (ApkApk,ApkFbe,ApkDwn,ApkDna) values "
           "('100000000002','FB02','ZalToGen','AEN');\n"
           "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlFun,DnlSkz,DnlApk,DnlErf) values "
           "('2024-03-01 12:00:00',1,'AEN','APK','100000000001','ZuzErOro'),"
           "('2024-03-01 12:00:00',2,null,null,null,'ZuzErOro'),"
           "('2024-03-01 12:00:00',3,'AENDERN','APP',printf('%.300c','1'),'ZuzErOro');\n");
  const std::vector<std::vector<std::string>> runs = {
      {"", ""},
      {"2", "1"},
      {"2024030", "12000"},
      {"20261301", "120000"},
      {"20240230", "120000"},
      {"20230229", "120000"},
      {"00000101", "120000"},
      {"abc def", "120000"},
      {"20240301", "246100"},
      {"20240301", "126000"},
      {"20240301", "120060"},
      {"2024030\xff", "12000 "},
      {"20240301", std::string(7, '1')},
      {std::string(9, '2'), "120000"},
      {std::string(100, 'x'), std::string(100, 'y')},
      {std::string(4096, '9'), "120000"},
      {"20240301", std::string(100000, '0')},
      {std::string(100000, '\xff'), std::string(100000, '\x01')},
      {"%s%s%n%n", "%x%x"},
      {"'; drop", "--"},
      {"\x7f\x80\xfe", "\t\r\n"},
      {"..\\..\\x", "/dev/null"},
  };
  for (const auto& args : runs) {
    SCOPED_TRACE(args[0].substr(0, 20) + " " + args[1].substr(0, 20));
    const size_t before = ParseLog(ReadAll(inst.log())).size();
    std::vector<LogEntry> entries = RunClean(inst, args);
    ASSERT_EQ(before + 1, entries.size());
    EXPECT_EQ("W_PpsDaten", entries.back().function);
    EXPECT_EQ(args[0].size() > 8 || args[1].size() > 6 ? "Datum oder Zeit zu lang"
                                                        : "Datum oder Zeit ungueltig",
              entries.back().message);
    EXPECT_TRUE(BufferLines(inst).empty()) << "no download runs";
  }
  RunClean(inst, {"20240301", "120000"});
  EXPECT_EQ("3", inst.Query("select count(*) from Kvn540Dnl")) << "the queue is never changed";
  // Only the last run names the batch: its order is sent once, and the
  // order marked before goes with it.
  std::vector<std::string> lines = BufferLines(inst);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("APKAEN100000000001", lines[0].substr(90, 3) + lines[0].substr(108, 3) + lines[0].substr(111, 12));
  EXPECT_EQ("APKAEN100000000002", lines[1].substr(90, 3) + lines[1].substr(108, 3) + lines[1].substr(111, 12));
  EXPECT_EQ("2", inst.Query("select count(*) from Kvn501Apk where ApkDwn is null"));
}

// Configuration values that do not fit are refused, never cut (cut, a
// database path could name another database): the connect fails with one
// entry and nothing else happens.  A valid file of any size works, and the
// enciphering tool refuses what the job would refuse.
TEST(BadInput, ConfigurationValuesThatDoNotFit) {
  const std::string db = "../../../../files/bde.db";
  // 51 characters that name the database, and one more that names another.
  const std::string db51 = "../../../../files" + std::string(28, '/') + "bde.db";
  ASSERT_EQ(51u, db51.size());
  struct Case {
    std::string login, pass, net8;
    int code;  // of the dbConnect entry, 0: the run works
  };
  const Case cases[] = {
      {std::string(52, 'L'), "secret", db, -1017},
      {"bde", std::string(52, 'P'), db, -1017},
      {"bde", "secret", db51 + "2", -12154},
      {std::string(24, 'L'), std::string(24, 'P'), db51, -12154},  // 101 characters
      {std::string(23, 'L'), std::string(24, 'P'), db51, 0},       // 100 characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.login.substr(0, 3) + " " + c.pass.substr(0, 3) + " " + c.net8);
    Installation inst;
    inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB99") + AukRow("100000000001", 1));
    inst.WriteConfig(c.login, c.pass, c.net8);
    std::vector<LogEntry> entries = RunClean(inst);
    if (c.code == 0) {
      EXPECT_TRUE(entries.empty());
      EXPECT_EQ(1u, BufferLines(inst).size());
      continue;
    }
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ("dbConnect|Fehlerhafter Connect mit der DB |" + std::to_string(c.code),
              entries[0].function + "|" + entries[0].message + "|" + entries[0].code);
    EXPECT_EQ("1", inst.Query("select count(*) from Kvn500Auk")) << "nothing was done";
  }

  // Far more than 64 KiB of other pairs before the job's own.
  Installation inst;
  inst.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB99") + AukRow("100000000001", 1));
  std::string filler;
  while (filler.size() < 100 * 1024) filler += "x;Other;y\r\n7;OTHER;12345\r\n";
  testing_support::WriteAll(inst.config(), filler + ReadAll(inst.config()));
  EXPECT_TRUE(RunClean(inst).empty());
  EXPECT_EQ(1u, BufferLines(inst).size());

  const std::string admin = testing_support::BuiltProgram("pps2bde-admin");
  EXPECT_EQ(2, testing_support::RunProcess({admin, "encipher", db51 + "2"}, inst.root(), {},
                                           inst.output()));
  EXPECT_NE(std::string::npos, ReadAll(inst.output()).find("more than 51 characters"));
  EXPECT_EQ(0, testing_support::RunProcess({admin, "encipher", db51}, inst.root(), {},
                                           inst.output()));
  EXPECT_EQ(13u * 4 * 5 + 1, ReadAll(inst.output()).size()) << "13 blocks of four words";
}

}  // namespace
