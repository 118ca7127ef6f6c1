#include "db/DbDb/master_download.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <string>
#include <vector>

#include "db/DbDb/buffer.h"
#include "db/DbDb/master_release.h"
#include "runtime/msg.h"
#include "runtime/os/test_env.h"
#include "sql/sql.h"
#include "db/DbDb/download_test_fixture.h"
#include "tests/support/install.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ParseLog;
using testing_support::ReadAll;
using Strings = std::vector<std::string>;

// A database with terminal 1 serving the area keys A..K and terminal 2
// serving N..Z (L and M have no terminal), a working folder whose
// ../Comm/Buff holds the buffer files, and the clock fixed at 2024-05-15
// 12:00:00 local time.
class MasterDownloadTest : public DownloadDatabaseTest {
 protected:
  void SetUp() override {
    FixClock("2024-05-15 12:00:00");
    DownloadDatabaseTest::SetUp();
  }

  void WorkGroup(const std::string& apg, const std::string& fbe, const std::string& dna,
                 const std::string& dwn = "ZuzErOro") {
    Exec("insert into Kvn530Apg (ApgApg,ApgBez,ApgKst,ApgFbe,ApgDna,ApgDwn) values ('" + apg +
         "','Gruppe " + apg + "','OWN','" + fbe + "','" + dna + "','" + dwn + "')");
  }
  // A cost centre of apg from gvo to gbi (yyyy-mm-dd, "" for open-ended).
  void CostCentre(const std::string& apg, const std::string& kst, const std::string& gvo,
                  const std::string& gbi = "") {
    Exec("insert into Kvn537Ksg (KsgApg,KsgKst,KsgGvo,KsgGbi) values ('" + apg + "','" + kst +
         "','" + gvo + " 00:00:00'," + (gbi.empty() ? "null" : "'" + gbi + " 00:00:00'") + ")");
  }
  void Workplace(const std::string& apl, const std::string& apg, const std::string& fbe,
                 const std::string& dna, const std::string& dwn = "ZuzErOro") {
    Exec("insert into Kvn531Apl (AplApl,AplBez,AplApg,AplFbe,AplApr,AplSts,AplDna,AplDwn) "
         "values ('" + apl + "','Platz " + apl + "','" + apg + "','" + fbe + "',7,1,'" + dna +
         "','" + dwn + "')");
  }
  void Ubg(const std::string& ubg, int knz, const std::string& fbe, const std::string& dna,
           const std::string& dwn = "ZuzErOro") {
    Exec("insert into Kvn521Ubg (UbgUbg,UbgKnz,UbgFbe,UbgBez,UbgTxt,UbgDna,UbgDwn) values ('" +
         ubg + "'," + std::to_string(knz) + ",'" + fbe + "','Grund " + ubg + "','T" + ubg +
         "','" + dna + "','" + dwn + "')");
  }
  void Person(const std::string& pnr, const std::string& fbe, const std::string& dna, int awa,
              const std::string& dwn = "ZuzErOro") {
    Exec("insert into Kvn510Prv (PrvPnr,PrvGvo,PrvGbi,PrvBer,PrvKst,PrvFbe,PrvDna,PrvDwn,PrvAwn,"
         "PrvAwa,PrvAnw,PrvApl,PrvApp,PrvAvn,PrvAbi,PrvNam) values ('" + pnr +
         "','2024-01-01 00:00:00','2024-12-31 00:00:00',1,'K1','" + fbe + "','" + dna + "','" +
         dwn + "','W" + pnr + "'," + std::to_string(awa) +
         ",1,5,6,'2024-05-15 06:00:00','2024-05-15 14:00:00','Name " + pnr + "')");
  }

  // The lines of a terminal's buffer file; each must have the fixed length.
  Strings Lines(int terminal) {
    std::string all =
        ReadAll(dir() / ("Comm/Buff/SndDnl" + std::to_string(terminal) + ".buf"));
    EXPECT_EQ(0u, all.size() % kDnlLineLength);
    Strings out;
    for (size_t i = 0; i + kDnlLineLength <= all.size(); i += kDnlLineLength)
      out.push_back(all.substr(i, kDnlLineLength));
    return out;
  }
  // "function/message/code" of every log entry.
  Strings Log() {
    Strings out;
    for (const auto& e : ParseLog(ReadAll(dir() / "run/Msg/Ostrak.Txt")))
      out.push_back(e.function + "/" + e.message + "/" + e.code);
    return out;
  }
};

// Record type, function and payload of a line ("MAG/NEU/payload...").
std::string Kind(const std::string& l) { return l.substr(90, 3); }
std::string Fun(const std::string& l) { return l.substr(108, 3); }
std::string Payload(const std::string& l, size_t from, size_t n) {
  return l.substr(111 + from - 1, n);
}

TEST_F(MasterDownloadTest, WorkGroupsSentReleasedOrDeleted) {
  WorkGroup("G1", "B", "NEU");
  CostCentre("G1", "KST-OLD", "2023-01-01", "2024-05-14");
  CostCentre("G1", "KST-G1", "2024-05-01");
  WorkGroup("G2", "C", "LOE");
  CostCentre("G2", "KST-G2", "2024-01-01", "2024-05-15");
  WorkGroup("G3", "D", "NEU");  // no cost centre valid today: not selected
  WorkGroup("G4", "E", "AEN", "ZalToGen");
  CostCentre("G4", "KST-G4", "2024-01-01");
  EXPECT_EQ(0, Apg_Dnl("20240515", "120000", "ZuzErOro"));

  Strings lines = Lines(1);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("MAG", Kind(lines[0]));
  EXPECT_EQ("NEU", Fun(lines[0]));
  EXPECT_EQ("G1        ", Payload(lines[0], 1, 10));
  EXPECT_EQ("KST-G1 ", Payload(lines[0], 59, 7));
  EXPECT_EQ(" X ", Payload(lines[0], 136, 3));
  EXPECT_EQ("LOE", Fun(lines[1]));
  EXPECT_EQ("KST-G2 ", Payload(lines[1], 59, 7));
  // The released row keeps its own cost centre, not the one sent.
  EXPECT_EQ("G1|OWN|<null>|<null>|Gruppe G1\nG3|OWN|NEU|ZuzErOro|Gruppe G3\n"
            "G4|OWN|AEN|ZalToGen|Gruppe G4",
            Query("select ApgApg,ApgKst,ApgDna,ApgDwn,ApgBez from Kvn530Apg order by 1"));
  EXPECT_TRUE(Log().empty());
}

TEST_F(MasterDownloadTest, WorkplacesCarryTheCostCentreOfTheirGroup) {
  Workplace("P1", "G1", "B", "NEU");
  CostCentre("G1", "KST-G1", "2024-05-01");
  Workplace("P2", "G2", "C", "AEN");  // G2 has no valid cost centre: blank
  CostCentre("G2", "KST-ALT", "2023-01-01", "2024-05-14");
  Workplace("P3", "G1", "P", "LOE");
  Workplace("P4", "G1", "B", "NEU", "ZalToGen");
  EXPECT_EQ(0, Apl_Dnl("20240515", "120000", "ZuzErOro"));

  Strings one = Lines(1);
  Strings two = Lines(2);
  ASSERT_EQ(2u, one.size());
  ASSERT_EQ(1u, two.size());
  EXPECT_EQ("MAS", Kind(one[0]));
  EXPECT_EQ("P1        ", Payload(one[0], 1, 10));
  EXPECT_EQ("KST-G1 G1        ", Payload(one[0], 59, 17));
  EXPECT_EQ("    71", Payload(one[0], 96, 6));  // AplApr 7, AplSts 1
  EXPECT_EQ("X", Payload(one[0], 155, 1));
  EXPECT_EQ("P2        ", Payload(one[1], 1, 10));
  EXPECT_EQ("       G2        ", Payload(one[1], 59, 17));
  EXPECT_EQ("LOE", Fun(two[0]));
  EXPECT_EQ("P1|<null>|<null>\nP2|<null>|<null>\nP4|NEU|ZalToGen",
            Query("select AplApl,AplDna,AplDwn from Kvn531Apl order by 1"));
  EXPECT_TRUE(Log().empty());
}

TEST_F(MasterDownloadTest, FailedLinesAreLoggedAndTheRowsStayMarked) {
  Ubg("U1", 1, "B", "NEU");
  Ubg("U2", 2, "L", "NEU");  // no terminal serves L
  Ubg("U3", 0, "P", "AEN");
  EXPECT_EQ(0, Ubg_Dnl("20240515", "120000", "ZuzErOro"));
  Strings one = Lines(1);
  Strings two = Lines(2);
  ASSERT_EQ(1u, one.size());
  ASSERT_EQ(1u, two.size()) << "the pass goes on after a failed line";
  EXPECT_EQ("UBG", Kind(one[0]));
  EXPECT_EQ("UU1  ", Payload(one[0], 1, 5));
  EXPECT_EQ("X", Payload(one[0], 74, 1));
  EXPECT_EQ("SU3  ", Payload(two[0], 1, 5));
  EXPECT_EQ("AEN", Fun(two[0]));
  EXPECT_EQ("U1|<null>|<null>\nU2|NEU|ZuzErOro\nU3|<null>|<null>",
            Query("select UbgUbg,UbgDna,UbgDwn from Kvn521Ubg order by 1"));
  EXPECT_EQ((Strings{"ReadFile/IP-Ermitteln/1403",
                     "Ubg_Dnl/Fehler beim Senden von UbgS\xE4tze/1403"}),
            Log());
}

TEST_F(MasterDownloadTest, PersonsGiveTwoLinesEach) {
  Person("1001", "B", "NEU", 1);
  Person("1002", "C", "LOE", 3);  // deleted
  Person("1003", "D", "LOE", 2);  // kept, badge emptied
  EXPECT_EQ(0, Prv_Dnl("20240515", "120000", "ZuzErOro"));

  Strings lines = Lines(1);
  ASSERT_EQ(6u, lines.size());
  Strings got;
  for (const std::string& l : lines) got.push_back(Kind(l) + "/" + Fun(l) + "/" + Payload(l, 1, 17));
  EXPECT_EQ((Strings{"PNR/AEN/1001    K1     AX", "AWN/NEU/W1001   1001    X",
                     "PNR/LOE/1002    K1     AX", "AWN/LOE/W1002   1002    X",
                     "PNR/AEN/1003    K1     AX", "AWN/LOE/W1003   1003    X"}),
            got);
  EXPECT_EQ(
      "1001|<null>|<null>|W1001|2024-01-01 00:00:00|1|5|6|2024-05-15 06:00:00|Name 1001\n"
      "1003|<null>|<null>|<null>|<null>|0|0|0|<null>|Name 1003",
      Query("select PrvPnr,PrvDna,PrvDwn,PrvAwn,PrvGvo,PrvAnw,PrvApl,PrvApp,PrvAvn,PrvNam "
            "from Kvn510Prv order by 1"));
  EXPECT_TRUE(Log().empty());
}

TEST_F(MasterDownloadTest, PersonWithoutTerminalStillGetsTheBadgeLineTried) {
  Person("1001", "L", "NEU", 1);
  EXPECT_EQ(0, Prv_Dnl("20240515", "120000", "ZuzErOro"));
  EXPECT_TRUE(Lines(1).empty());
  EXPECT_EQ("NEU|ZuzErOro", Query("select PrvDna,PrvDwn from Kvn510Prv"));
  EXPECT_EQ((Strings{"ReadFile/IP-Ermitteln/1403",
                     "Prv_Dnl/Fehler beim Senden von PrvS\xE4tze/1403",
                     "ReadFile/IP-Ermitteln/1403"}),
            Log());
}

TEST_F(MasterDownloadTest, CostCentresForEveryAreaOfTypeOne) {
  Exec("insert into o1003Kststelle (KstNum) values ('4711'),('4712');"
       "insert into Kvn559Fbe (FbeFbe,FbeTyp) values ('B',1),('C',2),('L',1),('P',1);");
  EXPECT_EQ(0, Ksg_Dnl("20240515", "120000", ""));
  Strings one = Lines(1);
  Strings two = Lines(2);
  ASSERT_EQ(2u, one.size());
  ASSERT_EQ(2u, two.size());
  Strings got;
  for (const std::string& l : one) got.push_back(Kind(l) + "/" + Fun(l) + "/" + Payload(l, 1, 38));
  std::sort(got.begin(), got.end());
  EXPECT_EQ((Strings{"KST/NEU/4711   Kostenstelle                  X",
                     "KST/NEU/4712   Kostenstelle                  X"}),
            got);
  // L has no terminal: the write is not examined, only the lookup logs.
  EXPECT_EQ((Strings{"ReadFile/IP-Ermitteln/1403", "ReadFile/IP-Ermitteln/1403"}), Log());
  EXPECT_EQ("2", Query("select count(*) from o1003Kststelle"));
}

TEST_F(MasterDownloadTest, CursorFailuresAreLoggedAndReturned) {
  Exec("drop table Kvn530Apg; drop table Kvn531Apl; drop table Kvn521Ubg; drop table Kvn510Prv;"
       "drop table o1003Kststelle;");
  EXPECT_EQ(-942, Apg_Dnl("20240515", "120000", "ZuzErOro"));
  EXPECT_EQ(-942, Apl_Dnl("20240515", "120000", "ZuzErOro"));
  EXPECT_EQ(-942, Ubg_Dnl("20240515", "120000", "ZuzErOro"));
  EXPECT_EQ(-942, Prv_Dnl("20240515", "120000", "ZuzErOro"));
  EXPECT_EQ(-942, Ksg_Dnl("20240515", "120000", ""));
  EXPECT_EQ((Strings{"Apg_Dnl/fehlerhafter Apg_OpenDnl/-942",
                     "Apl_Dnl/fehlerhafte Apl_OpenDnl/-942",
                     "Ubg_Dnl/fehlerhafte Ubg_OpenDnl/-942",
                     "Prv_Dnl/fehlerhafte Pvr_OpenDnl/-942",
                     "Ksg_Dnl/fehlerhafte Ksg_OpenDnl/-942"}),
            Log());
}

TEST_F(MasterDownloadTest, FailedReleasesAreLogged) {
  WorkGroup("G1", "B", "NEU");
  WorkGroup("G2", "C", "LOE");
  CostCentre("G1", "K", "2024-01-01");
  CostCentre("G2", "K", "2024-01-01");
  Workplace("P1", "G1", "B", "AEN");
  Workplace("P2", "G1", "C", "LOE");
  Ubg("U1", 1, "B", "AEN");
  Ubg("U2", 1, "C", "LOE");
  Person("1001", "B", "AEN", 0);
  Person("1002", "C", "LOE", 3);
  // Triggers make every update and delete of the four tables fail.
  for (const char* table : {"Kvn530Apg", "Kvn531Apl", "Kvn521Ubg", "Kvn510Prv"})
    RefuseChanges(table);
  EXPECT_EQ(0, Apg_Dnl("20240515", "120000", "ZuzErOro"));
  EXPECT_EQ(0, Apl_Dnl("20240515", "120000", "ZuzErOro"));
  EXPECT_EQ(0, Ubg_Dnl("20240515", "120000", "ZuzErOro"));
  EXPECT_EQ(0, Prv_Dnl("20240515", "120000", "ZuzErOro"));
  EXPECT_EQ(2u + 2u + 2u + 4u, Lines(1).size());

  Strings fun;
  for (const auto& e : ParseLog(ReadAll(dir() / "run/Msg/Ostrak.Txt"))) {
    EXPECT_NE("0", e.code);
    fun.push_back(e.function + "/" + e.message);
  }
  EXPECT_EQ((Strings{"ApgDnl/Fehler bei Apg_PKeyUpd", "Apg_Frei/Fehler bei Apg_PKeyDel",
                     "AplDnl/Fehler bei Apl_PKeyUpd", "Apl_Frei/Fehler bei Apl_PKeyDel",
                     "UbgDnl/Fehler bei Ubg_PKeyUpd", "Ubg_Frei/Fehler bei Ubg_PKeyDel",
                     "PrvDnl/Fehler bei Prv_PKeyUpd", "Prv_Frei/Fehler bei Prv_PKeyDel"}),
            fun);
  // Everything stays marked for the next download.
  EXPECT_EQ("2", Query("select count(*) from Kvn530Apg where ApgDwn='ZuzErOro'"));
  EXPECT_EQ("2", Query("select count(*) from Kvn510Prv where PrvDwn='ZuzErOro'"));
}

TEST_F(MasterDownloadTest, ReleaseOfAVanishedRow) {
  WorkGroupRecord apg;
  apg.ApgApg = "FEHLT";
  apg.ApgDna = "NEU";
  EXPECT_EQ(1403, Apg_Frei(apg));  // not logged, nothing written
  PrvRecord prv;
  prv.PrvPnr = "FEHLT";
  EXPECT_EQ(1403, Prv_Frei(prv));
  EXPECT_EQ((Strings{"PrvDnl/Fehler bei Prv_PKeyReadk/1403"}), Log());
}

TEST_F(MasterDownloadTest, ReleaseKeepsChangesMadeSinceTheFetch) {
  Ubg("U1", 1, "B", "AEN");
  UbgRecord fetched;
  fetched.UbgUbg = "U1";
  fetched.UbgDna = "AEN";
  Exec("update Kvn521Ubg set UbgBez='neu', UbgDna='LOE' where UbgUbg='U1'");
  // The row as read again decides: it is now to be deleted.
  EXPECT_EQ(0, Ubg_Frei(fetched));
  EXPECT_EQ("0", Query("select count(*) from Kvn521Ubg"));

  Ubg("U2", 1, "B", "NEU");
  fetched.UbgUbg = "U2";
  Exec("update Kvn521Ubg set UbgBez='geaendert' where UbgUbg='U2'");
  EXPECT_EQ(0, Ubg_Frei(fetched));
  EXPECT_EQ("geaendert|<null>|<null>", Query("select UbgBez,UbgDna,UbgDwn from Kvn521Ubg"));
}

}  // namespace
