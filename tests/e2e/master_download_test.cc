// End-to-end: the operator's master-data download (pps2bde-admin download)
// run in the job's working folder, its buffer lines compared byte for byte
// with lines built here from the line and payload layouts.
#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/planning_rows.h"
#include "tests/e2e/terminal_lines.h"
#include "tests/support/install.h"

namespace {

using e2e::DownloadLine;
using e2e::Left;
using e2e::Right;
using e2e::TerminalRow;
using e2e::Utf8;
using testing_support::Installation;
using testing_support::LogEntry;
using testing_support::ParseLog;
using testing_support::ReadAll;
using Lines = std::vector<std::string>;

std::string Stamp(time_t t) {
  struct tm tm;
  localtime_r(&t, &tm);
  char buf[16];
  strftime(buf, sizeof buf, "%Y%m%d%H%M%S", &tm);
  return buf;
}

// Runs pps2bde-admin download with args in the working folder; stdout and
// stderr go to inst.output().
int RunDownload(Installation& inst, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {testing_support::BuiltProgram("pps2bde-admin"), "download"};
  argv.insert(argv.end(), args.begin(), args.end());
  return testing_support::RunProcess(argv, inst.run(), {}, inst.output());
}

Lines LinesOf(const std::string& path) {
  std::string b = ReadAll(path);
  EXPECT_EQ(0u, b.size() % 552) << path;
  Lines lines;
  for (size_t p = 0; p + 552 <= b.size(); p += 552) lines.push_back(b.substr(p, 552));
  return lines;
}

// What the command stamped into a line: the write time (positions 22 to
// 35) and the run date and time (94 to 105), both checked to lie within
// the run.
struct Stamps {
  std::string write, date, time;
};
Stamps StampsOf(const std::string& line, const std::string& from, const std::string& to) {
  Stamps s;
  s.write = line.substr(21, 14);
  std::string run = "20" + line.substr(93, 12);
  EXPECT_GE(run, from);
  EXPECT_LE(run, s.write);
  EXPECT_LE(s.write, to);
  s.date = run.substr(0, 8);
  s.time = run.substr(8);
  return s;
}

// The payload layouts, from the formats of the master-data downloads.
std::string WorkGroupPayload(const std::string& apg, const std::string& bez,
                             const std::string& txt, const std::string& fbe,
                             const std::string& kst, const std::string& zf1,
                             const std::string& zf2, const std::string& zf3) {
  return Left(apg, 10) + Left(bez, 30) + Left(txt, 8) + Left(fbe, 10) + Left(kst, 7) +
         std::string(10, ' ') + Right(zf1, 10) + Right(zf2, 20) + Right(zf3, 30) + " X";
}
std::string WorkplacePayload(const std::string& apl, const std::string& bez,
                             const std::string& txt, const std::string& fbe,
                             const std::string& kst, const std::string& apg, int apr, int sts,
                             const std::string& zf1, const std::string& zf2,
                             const std::string& zf3) {
  std::string text = Left(apl, 10) + Left(bez, 30) + Left(txt, 8) + Left(fbe, 10) +
                     Left(kst, 7) + Left(apg, 10) + std::string(20, ' ') +
                     Right(std::to_string(apr), 5) + std::to_string(sts).substr(0, 1) +
                     Right(zf1, 10) + Right(zf2, 20) + Right(zf3, 30);
  return text.substr(0, 154) + "X";
}
std::string UbgPayload(int knz, const std::string& ubg, const std::string& bez,
                       const std::string& txt) {
  return (knz == 1 ? "U" : "S") + Left(ubg, 4) + Left(bez, 30) + Left(bez, 30) + Right(txt, 8) +
         "X";
}

class MasterDownload : public ::testing::Test {
 protected:
  // Runs the command and checks that it printed one line with the rows
  // sent and not sent, and exited 1 when any could not be sent (its reason
  // on one more line).
  void Run(const std::vector<std::string>& args, int sent, int notSent = 0) {
    from_ = Stamp(time(nullptr));
    ASSERT_EQ(notSent > 0 ? 1 : 0, RunDownload(inst_, args)) << ReadAll(inst_.output());
    to_ = Stamp(time(nullptr));
    std::string out = ReadAll(inst_.output());
    EXPECT_EQ(notSent > 0 ? 2 : 1, std::count(out.begin(), out.end(), '\n')) << out;
    EXPECT_EQ(0u, out.find("download " + args[0])) << out;
    EXPECT_NE(std::string::npos, out.find(": status 0, " + std::to_string(sent) + " rows sent, " +
                                          std::to_string(notSent) + " rows not sent,"))
        << out;
  }
  std::string Line(const std::string& line, const std::string& ip, const std::string& port,
                   const std::string& skz, const std::string& fun, const std::string& payload) {
    Stamps s = StampsOf(line, from_, to_);
    return DownloadLine(ip, port, s.write, skz, s.date, s.time, fun, payload);
  }

  Installation inst_;
  std::string from_, to_;
};

TEST_F(MasterDownload, WorkGroupsAndWorkplaces) {
  inst_.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB01", "FB05") +
            TerminalRow(7, "192.168.7.77", "", "FB06", "FB09") +
            "insert into Kvn530Apg (ApgApg,ApgBez,ApgTxt,ApgKst,ApgFbe,ApgZf1,ApgZf2,ApgZf3,ApgDna,"
            "ApgDwn) values "
            "('DREH','Dreherei','Drehen CNC','OWN','FB02','z1','zwei','drei','NEU','ZuzErOro'),"
            "('MONT','Montage','Hand','OWN','FB07','','','','LOE','ZuzErOro'),"
            "('LACK','Lackiererei','','OWN','FB03','','','','NEU','ZuzErOro'),"
            "('SAEG','Saegerei','','OWN','FB04','','','','AEN','ZalToGen');\n"
            "insert into Kvn537Ksg (KsgApg,KsgKst,KsgGvo,KsgGbi) values "
            "('DREH','K-ALT','2000-01-01 00:00:00','2001-01-01 00:00:00'),"
            "('DREH','K-4711','2001-01-02 00:00:00',null),"
            "('MONT','K-4712','2000-01-01 00:00:00',null),"
            "('SAEG','K-4714','2000-01-01 00:00:00',null);\n"
            "insert into Kvn531Apl (AplApl,AplBez,AplTxt,AplApg,AplFbe,AplApr,AplSts,AplZf1,AplZf2,"
            "AplZf3,AplDna,AplDwn) values "
            "('DM-01','Drehmaschine 1','CNC-Drehen','DREH','FB02',12,1,'a','b','abc','NEU',"
            "'ZuzErOro'),"
            "('LP-01','Lackierplatz','','LACK','FB08',3,2,'','','ABCDEFGHIJKLMNOPQRSTUVWXYZ0123',"
            "'AEN','ZuzErOro');\n");

  Run({"workgroups", "ZuzErOro"}, 2);
  EXPECT_EQ("", ReadAll(inst_.log()));
  // LACK has no cost centre valid today and is not sent; SAEG carries
  // another marker.
  Lines t1 = LinesOf(inst_.buff() + "/SndDnl1.buf");
  Lines t7 = LinesOf(inst_.buff() + "/SndDnl7.buf");
  ASSERT_EQ(1u, t1.size());
  ASSERT_EQ(1u, t7.size());
  EXPECT_EQ(Line(t1[0], "10.0.0.1", "4001", "MAG", "NEU",
                 WorkGroupPayload("DREH", "Dreherei", "Drehen CNC", "FB02", "K-4711", "z1",
                                  "zwei", "drei")),
            t1[0]);
  EXPECT_EQ(Line(t7[0], "192.168.7.77", "", "MAG", "LOE",
                 WorkGroupPayload("MONT", "Montage", "Hand", "FB07", "K-4712", "", "", "")),
            t7[0]);
  EXPECT_EQ("DREH|OWN|<null>|<null>\nLACK|OWN|NEU|ZuzErOro\nSAEG|OWN|AEN|ZalToGen",
            inst_.Query("select ApgApg,ApgKst,ApgDna,ApgDwn from Kvn530Apg order by 1"));

  Run({"workplaces", "ZuzErOro"}, 2);
  EXPECT_EQ("", ReadAll(inst_.log()));
  t1 = LinesOf(inst_.buff() + "/SndDnl1.buf");
  t7 = LinesOf(inst_.buff() + "/SndDnl7.buf");
  ASSERT_EQ(2u, t1.size());
  ASSERT_EQ(2u, t7.size());
  EXPECT_EQ(Line(t1[1], "10.0.0.1", "4001", "MAS", "NEU",
                 WorkplacePayload("DM-01", "Drehmaschine 1", "CNC-Drehen", "FB02", "K-4711",
                                  "DREH", 12, 1, "a", "b", "abc")),
            t1[1]);
  // No valid cost centre for LACK: blank.
  EXPECT_EQ(Line(t7[1], "192.168.7.77", "", "MAS", "AEN",
                 WorkplacePayload("LP-01", "Lackierplatz", "", "FB08", "", "LACK", 3, 2, "", "",
                                  "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123")),
            t7[1]);
  EXPECT_EQ("DM-01|<null>|<null>\nLP-01|<null>|<null>",
            inst_.Query("select AplApl,AplDna,AplDwn from Kvn531Apl order by 1"));
}

TEST_F(MasterDownload, UbgAndPersonnel) {
  inst_.Sql(TerminalRow(2, "10.0.0.2", "4002", "FB01", "FB09") +
            "insert into Kvn521Ubg (UbgUbg,UbgKnz,UbgFbe,UbgBez,UbgTxt,UbgDna,UbgDwn) values "
            "('R1',1,'FB01','Ruesten','Ruest','NEU','ZalToGen'),"
            "('S2',2,'FB02','Stoerung Maschine','0123456789','LOE','ZalToGen'),"
            "('X3',1,'ZZ99','kein Terminal','','NEU','ZalToGen');\n"
            "insert into Kvn510Prv (PrvPnr,PrvGvo,PrvBer,PrvKst,PrvFbe,PrvDna,PrvDwn,PrvAwn,PrvAwa,"
            "PrvNam) values "
            "('00004711','2024-01-01 00:00:00',1,'K-100','FB03','NEU','ZalToGen','A-77',1,'Eins'),"
            "('00004712','2024-01-01 00:00:00',2,'K-200','FB04','LOE','ZalToGen','A-78',3,'Zwei'),"
            "('00004713','2024-01-01 00:00:00',5,'K-300','FB05','LOE','ZalToGen','A-79',1,'Drei');\n");

  // X3 has no terminal: counted as not sent, it stays marked.
  Run({"ubg", "ZalToGen"}, 2, 1);
  Lines t2 = LinesOf(inst_.buff() + "/SndDnl2.buf");
  ASSERT_EQ(2u, t2.size());
  EXPECT_EQ(Line(t2[0], "10.0.0.2", "4002", "UBG", "NEU", UbgPayload(1, "R1", "Ruesten", "Ruest")),
            t2[0]);
  EXPECT_EQ(Line(t2[1], "10.0.0.2", "4002", "UBG", "LOE",
                 UbgPayload(2, "S2", "Stoerung Maschine", "01234567")),
            t2[1]);
  EXPECT_EQ("R1|<null>|<null>\nX3|NEU|ZalToGen",
            inst_.Query("select UbgUbg,UbgDna,UbgDwn from Kvn521Ubg order by 1"));

  const std::string log = ReadAll(inst_.log());
  Run({"prv", "ZalToGen"}, 3);
  EXPECT_EQ(log, ReadAll(inst_.log()));
  t2 = LinesOf(inst_.buff() + "/SndDnl2.buf");
  ASSERT_EQ(8u, t2.size());
  const std::string ip = "10.0.0.2", port = "4002";
  EXPECT_EQ(Line(t2[2], ip, port, "PNR", "AEN", "00004711K-100  AX"), t2[2]);
  EXPECT_EQ(Line(t2[3], ip, port, "AWN", "NEU", "A-77    00004711X"), t2[3]);
  EXPECT_EQ(Line(t2[4], ip, port, "PNR", "LOE", "00004712K-200  MX"), t2[4]);
  EXPECT_EQ(Line(t2[5], ip, port, "AWN", "LOE", "A-78    00004712X"), t2[5]);
  EXPECT_EQ(Line(t2[6], ip, port, "PNR", "AEN", "00004713K-300   X"), t2[6]);
  EXPECT_EQ(Line(t2[7], ip, port, "AWN", "LOE", "A-79    00004713X"), t2[7]);
  // 4712 (LOE, PrvAwa 3) is deleted; 4713 (LOE) keeps the person without
  // the badge.
  EXPECT_EQ("00004711|A-77|2024-01-01 00:00:00|<null>|<null>|Eins\n"
            "00004713|<null>|<null>|<null>|<null>|Drei",
            inst_.Query("select PrvPnr,PrvAwn,PrvGvo,PrvDna,PrvDwn,PrvNam from Kvn510Prv "
                        "order by 1"));
}

TEST_F(MasterDownload, CostCentresTakeNoSelector) {
  inst_.Sql(TerminalRow(3, "10.0.0.3", "4003", "FB01", "FB09") +
            "insert into o1003Kststelle (KstNum) values ('4711'),('1234567'),('12345678');\n"
            "insert into Kvn559Fbe (FbeFbe,FbeTyp) values ('FB01',1),('FB02',2);\n");
  // --root may follow the kind too.
  Run({"costcentres", "--root", inst_.root()}, 2, 1);
  // A cost centre wider than its 7 positions would reach the terminal as
  // another one: it is not sent.
  std::vector<LogEntry> e = ParseLog(ReadAll(inst_.log()));
  ASSERT_EQ(1u, e.size());
  EXPECT_EQ("Ksg_Dnl/Wert passt nicht ins Feld: 12345678/FB01/-1406",
            e[0].function + "/" + e[0].message + "/" + e[0].code);
  Lines t3 = LinesOf(inst_.buff() + "/SndDnl3.buf");
  ASSERT_EQ(2u, t3.size());
  std::vector<std::string> want;
  for (const std::string& kst : {std::string("1234567"), std::string("4711")}) {
    std::string payload = Left(kst, 7) + Left("Kostenstelle", 25) + std::string(5, ' ') + "X";
    want.push_back(payload);
  }
  // Both cost centres, for the one area of type 1, in either order.
  std::vector<std::string> got;
  for (const std::string& l : t3) {
    got.push_back(l.substr(111, 38));
    EXPECT_EQ(Line(l, "10.0.0.3", "4003", "KST", "NEU", got.back()), l);
  }
  std::sort(got.begin(), got.end());
  EXPECT_EQ(want, got);
  EXPECT_EQ("3", inst_.Query("select count(*) from o1003Kststelle"));
}

// German texts reach the lines in ISO-8859-1, free texts cut to their
// fields; a row whose key, cost centre or number does not fit its field is
// not sent: one entry under the download's name, the row stays marked, the
// next row goes on.
TEST_F(MasterDownload, GermanTextsAndValuesThatDoNotFit) {
  const std::string zf3 = "Zus\xE4tzliche Pr\xFC" "fung der Geh\xE4use";  // 33: cut to 30
  inst_.Sql(TerminalRow(1, "10.0.0.1", "4001", "FB01", "FB09") +
            "insert into Kvn530Apg (ApgApg,ApgBez,ApgTxt,ApgFbe,ApgZf3,ApgDna,ApgDwn) values "
            "('DREH','" + Utf8("Dreherei S\xFC" "d") + "','" + Utf8("Gro\xDF") + "','FB02','" +
            Utf8(zf3) + "','NEU','ZuzErOro'),"
            "('" + Utf8("FR\xC4S") + "','" + Utf8("Fr\xE4serei") +
            "','','FB03','','NEU','ZuzErOro'),"
            "('SCHLEIFEREI','Schleiferei','','FB04','','NEU','ZuzErOro');\n"
            "insert into Kvn537Ksg (KsgApg,KsgKst,KsgGvo) values ('DREH','K-4711','2000-01-01 "
            "00:00:00'),('" + Utf8("FR\xC4S") + "','K-471100','2000-01-01 00:00:00'),"
            "('SCHLEIFEREI','K-1','2000-01-01 00:00:00');\n"
            "insert into Kvn531Apl (AplApl,AplBez,AplApg,AplFbe,AplApr,AplSts,AplDna,AplDwn) values "
            "('DM-01','" + Utf8("Drehmaschine S\xFC" "d") + "','DREH','FB02',12,1,'NEU','ZuzErOro'),"
            "('DM-02','Drehmaschine 2','DREH','FB05',12,10,'NEU','ZuzErOro');\n"
            "insert into Kvn521Ubg (UbgUbg,UbgKnz,UbgFbe,UbgBez,UbgTxt,UbgDna,UbgDwn) values "
            "('R1',1,'FB01','" + Utf8("R\xFC" "sten \xC4nderung") + "','" + Utf8("R\xFC" "st") +
            "','NEU','ZuzErOro');\n"
            "insert into Kvn510Prv (PrvPnr,PrvKst,PrvFbe,PrvBer,PrvDna,PrvDwn,PrvAwn) values "
            "('00004711','K-100000','FB03',1,'NEU','ZuzErOro','A-77');\n");
  // Each run appends its lines; the last one is checked after its run.
  auto lastLine = [&](const char* what, size_t count, int sent, int notSent) {
    Run({what, "ZuzErOro"}, sent, notSent);
    Lines t1 = LinesOf(inst_.buff() + "/SndDnl1.buf");
    EXPECT_EQ(count, t1.size()) << what;
    return t1.empty() ? std::string() : t1.back();
  };
  std::string l = lastLine("workgroups", 1, 1, 2);
  EXPECT_EQ(Line(l, "10.0.0.1", "4001", "MAG", "NEU",
                 WorkGroupPayload("DREH", "Dreherei S\xFC" "d", "Gro\xDF", "FB02", "K-4711", "",
                                  "", zf3.substr(0, 30))),
            l);
  l = lastLine("workplaces", 2, 1, 1);
  EXPECT_EQ(Line(l, "10.0.0.1", "4001", "MAS", "NEU",
                 WorkplacePayload("DM-01", "Drehmaschine S\xFC" "d", "", "FB02", "K-4711", "DREH",
                                  12, 1, "", "", "")),
            l);
  l = lastLine("ubg", 3, 1, 0);
  EXPECT_EQ(Line(l, "10.0.0.1", "4001", "UBG", "NEU",
                 UbgPayload(1, "R1", "R\xFC" "sten \xC4nderung", "R\xFC" "st")),
            l);
  lastLine("prv", 3, 0, 1);
  const std::string m = "Wert passt nicht ins Feld: ";
  std::vector<std::string> entries;
  for (const LogEntry& e : ParseLog(ReadAll(inst_.log())))
    entries.push_back(e.function + "/" + e.message + "/" + e.code);
  EXPECT_EQ((std::vector<std::string>{"Apg_Dnl/" + m + "FR\xC4S/-1406",
                                      "Apg_Dnl/" + m + "SCHLEIFERE/-1406",
                                      "Apl_Dnl/" + m + "DM-02/-1455",
                                      "Prv_Dnl/" + m + "00004711/-1406"}),
            entries);
  EXPECT_EQ(Utf8("FR\xC4S") + "|ZuzErOro\nSCHLEIFEREI|ZuzErOro",
            inst_.Query("select ApgApg,ApgDwn from Kvn530Apg where ApgDwn is not null order by 1"));
  EXPECT_EQ("DM-02", inst_.Query("select AplApl from Kvn531Apl where AplDwn is not null"));
  EXPECT_EQ("ZuzErOro", inst_.Query("select PrvDwn from Kvn510Prv"));
}

TEST(MasterDownloadCommand, WrongArgumentsAreRefusedBeforeConnecting) {
  Installation inst;
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"orders", "ZuzErOro"},
                                             {"workgroups"},
                                             {"workgroups", ""},
                                             {"prv", "ZuzErOro9"},
                                             {"ubg", "ZuzErOro", "extra"},
                                             {"costcentres", "ZuzErOro"}}) {
    EXPECT_EQ(2, RunDownload(inst, args)) << (args.empty() ? "" : args[0]);
    EXPECT_NE(std::string::npos, ReadAll(inst.output()).find("usage")) << ReadAll(inst.output());
  }
  EXPECT_FALSE(testing_support::FileExists(inst.log()));
}

TEST(MasterDownloadCommand, FailedConnectIsReportedWithoutCredentials) {
  Installation inst;
  inst.WriteConfig("bde", "geheim-4711", "../../../../files/fehlt.db");
  EXPECT_EQ(1, RunDownload(inst, {"workgroups", "ZuzErOro"}));
  std::string out = ReadAll(inst.output());
  EXPECT_NE(std::string::npos, out.find("cannot connect")) << out;
  EXPECT_EQ(std::string::npos, out.find("geheim")) << out;
  std::vector<LogEntry> e = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(1u, e.size());
  EXPECT_EQ("dbConnect", e[0].function);
  EXPECT_EQ("-12154", e[0].code);
  EXPECT_EQ(std::string::npos, ReadAll(inst.log()).find("geheim"));
}

TEST(MasterDownloadCommand, FailedCursorIsNotReportedAsSuccess) {
  Installation inst;
  inst.Sql("drop table Kvn521Ubg;");
  EXPECT_EQ(1, RunDownload(inst, {"ubg", "ZuzErOro"}));
  std::vector<LogEntry> e = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(1u, e.size());
  EXPECT_EQ("Ubg_Dnl/fehlerhafte Ubg_OpenDnl/-942",
            e[0].function + "/" + e[0].message + "/" + e[0].code);
}

}  // namespace
