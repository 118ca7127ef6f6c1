#include <gtest/gtest.h>

#include <cstdlib>
#include <time.h>

#include <ctime>
#include <string>
#include <vector>

#include "db/Dbstd/apg.h"
#include "db/Dbstd/apl.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;
using testing_support::QuerySql;

class ApgAplTest : public testing_support::DatabaseTest {
 protected:
  void TearDown() override {
    (void)Apg_Close();
    (void)Apl_Close();
    (void)Apl_CloseApg();
    DatabaseTest::TearDown();
  }
  void AddGroup(const std::string& key) {
    Exec("insert into Kvn530Apg (ApgApg) values ('" + key + "')");
  }
  void AddPlace(const std::string& key, const std::string& group) {
    Exec("insert into Kvn531Apl (AplApl,AplApg) values ('" + key + "','" + group + "')");
  }
  // Seconds between a stored database time "YYYY-MM-DD HH:MM:SS" (local)
  // and now; a large value when the text is no such time.
  double SecondsFromNow(const std::string& stored) {
    struct tm t = {};
    if (strptime(stored.c_str(), "%Y-%m-%d %H:%M:%S", &t) == nullptr) return 1e9;
    t.tm_isdst = -1;
    return std::abs(std::difftime(std::time(nullptr), std::mktime(&t)));
  }
};

const char kFullGroup[] =
    "insert into Kvn530Apg (ApgApg,ApgBez,ApgTxt,ApgKst,ApgFbe,ApgZf1,ApgZf2,ApgZf3,ApgApl,"
    "ApgTag,ApgKap,ApgPrd,ApgRst,ApgPau,ApgUnt,ApgIak,ApgSt1,ApgSt2,ApgSt3,ApgSf1,ApgSf2,ApgSf3,"
    "ApgDna,ApgDwn,ApgSta,ApgDat,ApgErf) values ('G1','Bez','Txt','Kst','Fbe','Zf1','Zf2','Zf3',"
    "100000,7,1.5,2.5,3.5,4.5,5.5,6.5,'St1','St2','St3',7.5,8.5,9.5,'AEN','ZuzErOro',-5,"
    "'2020-01-01 00:00:00','Erf')";

// AplUbg is longer than its 4 characters where the database keeps it (a
// SQLite file; a server's varchar(4) refuses it): either way 4 are read.
const std::string kFullPlace = std::string(
    "insert into Kvn531Apl (AplApl,AplBez,AplTxt,AplApg,AplFbe,AplSts,AplSis,AplApr,AplAaf,"
    "AplUbg,AplUdt,AplZf1,AplZf2,AplZf3,AplTag,AplVrf,AplRsp,AplRsi,AplAfp,AplAfi,AplPau,AplUnt,"
    "AplIak,AplAvt,AplKap,AplAvr,AplAvp,AplSt1,AplSt2,AplSt3,AplSf1,AplSf2,AplSf3,AplDna,AplDwn,"
    "AplSta,AplDat,AplErf) values ('P1','Bez','Txt','G1','Fbe',-1,2,300000,4,") +
    (testing_support::UsePostgres() ? "'ABCD'," : "'ABCDEF',") +
    "'2024-03-05 06:07:08','Zf1','Zf2','Zf3',5,1.25,2.25,3.25,4.25,5.25,6.25,7.25,8.25,9,10.5,"
    "11.5,12.5,'St1','St2','St3',13.5,14.5,15.5,'NEU','ZalToGen',-7,'2020-01-01 00:00:00',"
    "'Erf')";

void ExpectFullGroup(const WorkGroupRecord& r) {
  EXPECT_TRUE(r.ApgApg == "G1");
  EXPECT_TRUE(r.ApgBez == "Bez");
  EXPECT_TRUE(r.ApgTxt == "Txt");
  EXPECT_TRUE(r.ApgKst == "Kst");
  EXPECT_TRUE(r.ApgFbe == "Fbe");
  EXPECT_TRUE(r.ApgZf1 == "Zf1");
  EXPECT_TRUE(r.ApgZf2 == "Zf2");
  EXPECT_TRUE(r.ApgZf3 == "Zf3");
  EXPECT_EQ(100000, r.ApgApl);
  EXPECT_EQ(7, r.ApgTag);
  EXPECT_DOUBLE_EQ(1.5, r.ApgKap);
  EXPECT_DOUBLE_EQ(2.5, r.ApgPrd);
  EXPECT_DOUBLE_EQ(3.5, r.ApgRst);
  EXPECT_DOUBLE_EQ(4.5, r.ApgPau);
  EXPECT_DOUBLE_EQ(5.5, r.ApgUnt);
  EXPECT_DOUBLE_EQ(6.5, r.ApgIak);
  EXPECT_TRUE(r.ApgSt1 == "St1");
  EXPECT_TRUE(r.ApgSt2 == "St2");
  EXPECT_TRUE(r.ApgSt3 == "St3");
  EXPECT_DOUBLE_EQ(7.5, r.ApgSf1);
  EXPECT_DOUBLE_EQ(8.5, r.ApgSf2);
  EXPECT_DOUBLE_EQ(9.5, r.ApgSf3);
  EXPECT_TRUE(r.ApgDna == "AEN");
  EXPECT_TRUE(r.ApgDwn == "ZuzErOro");
  EXPECT_EQ(-5, r.ApgSta);
  EXPECT_TRUE(r.ApgErf == "Erf");
}

void ExpectFullPlace(const WorkplaceRecord& r) {
  EXPECT_TRUE(r.AplApl == "P1");
  EXPECT_TRUE(r.AplBez == "Bez");
  EXPECT_TRUE(r.AplTxt == "Txt");
  EXPECT_TRUE(r.AplApg == "G1");
  EXPECT_TRUE(r.AplFbe == "Fbe");
  EXPECT_EQ(-1, r.AplSts);
  EXPECT_EQ(2, r.AplSis);
  EXPECT_EQ(300000, r.AplApr);
  EXPECT_EQ(4, r.AplAaf);
  EXPECT_TRUE(r.AplUbg == "ABCD");  // carried as at most 4 characters
  EXPECT_TRUE(r.AplUdt == "20240305060708");
  EXPECT_TRUE(r.AplZf1 == "Zf1");
  EXPECT_TRUE(r.AplZf2 == "Zf2");
  EXPECT_TRUE(r.AplZf3 == "Zf3");
  EXPECT_EQ(5, r.AplTag);
  EXPECT_DOUBLE_EQ(1.25, r.AplVrf);
  EXPECT_DOUBLE_EQ(2.25, r.AplRsp);
  EXPECT_DOUBLE_EQ(3.25, r.AplRsi);
  EXPECT_DOUBLE_EQ(4.25, r.AplAfp);
  EXPECT_DOUBLE_EQ(5.25, r.AplAfi);
  EXPECT_DOUBLE_EQ(6.25, r.AplPau);
  EXPECT_DOUBLE_EQ(7.25, r.AplUnt);
  EXPECT_DOUBLE_EQ(8.25, r.AplIak);
  EXPECT_EQ(9, r.AplAvt);
  EXPECT_DOUBLE_EQ(10.5, r.AplKap);
  EXPECT_DOUBLE_EQ(11.5, r.AplAvr);
  EXPECT_DOUBLE_EQ(12.5, r.AplAvp);
  EXPECT_TRUE(r.AplSt1 == "St1");
  EXPECT_TRUE(r.AplSt2 == "St2");
  EXPECT_TRUE(r.AplSt3 == "St3");
  EXPECT_DOUBLE_EQ(13.5, r.AplSf1);
  EXPECT_DOUBLE_EQ(14.5, r.AplSf2);
  EXPECT_DOUBLE_EQ(15.5, r.AplSf3);
  EXPECT_TRUE(r.AplDna == "NEU");
  EXPECT_TRUE(r.AplDwn == "ZalToGen");
  EXPECT_EQ(-7, r.AplSta);
  EXPECT_TRUE(r.AplErf == "Erf");
}

// ---------------------------------------------------------------------------
// Work groups

TEST_F(ApgAplTest, ApgReadFillsSelectedFieldsAndKeepsApgDat) {
  Exec(kFullGroup);
  WorkGroupRecord rec;
  rec.ApgApg = "G1";
  rec.ApgDat = "19991231235959";
  ASSERT_EQ(0, Apg_PKeyReadk(rec));
  ExpectFullGroup(rec);
  EXPECT_TRUE(rec.ApgDat == "19991231235959");
}

TEST_F(ApgAplTest, ApgReadOfMissingKeyKeepsOnlyTheKey) {
  Exec(kFullGroup);
  WorkGroupRecord rec;
  rec.ApgApg = "G1";
  ASSERT_EQ(0, Apg_PKeyReadk(rec));
  rec.ApgApg = "G9";
  rec.ApgDat = "19991231235959";
  EXPECT_EQ(1403, Apg_PKeyReadk(rec));
  EXPECT_TRUE(rec.ApgApg == "G9");
  EXPECT_TRUE(rec.ApgBez.empty());
  EXPECT_TRUE(rec.ApgFbe.empty());
  EXPECT_TRUE(rec.ApgErf.empty());
  EXPECT_TRUE(rec.ApgDat.empty());
  EXPECT_EQ(0, rec.ApgApl);
  EXPECT_EQ(0, rec.ApgSta);
  EXPECT_EQ(0.0, rec.ApgIak);
  EXPECT_EQ(0.0, rec.ApgSf3);
}

TEST_F(ApgAplTest, ApgUpdateRoundTripsEveryFieldAndWritesTheDatabaseTime) {
  Exec(kFullGroup);
  AddGroup("G2");
  WorkGroupRecord rec;
  rec.ApgApg = "G1";
  ASSERT_EQ(0, Apg_PKeyReadk(rec));
  // Write the full row onto G2, then read it back.
  rec.ApgApg = "G2";
  rec.ApgDat = "19991231235959";  // ignored: the database time is written
  ASSERT_EQ(0, Apg_PKeyUpd(rec));
  WorkGroupRecord back;
  back.ApgApg = "G2";
  ASSERT_EQ(0, Apg_PKeyReadk(back));
  back.ApgApg = "G1";
  ExpectFullGroup(back);
  EXPECT_LE(SecondsFromNow(Query("select ApgDat from Kvn530Apg where ApgApg='G2'")),
            5.0);
  EXPECT_EQ("2020-01-01 00:00:00",
            Query("select ApgDat from Kvn530Apg where ApgApg='G1'"));
}

TEST_F(ApgAplTest, ApgUpdateAndDeleteOfMissingKeyChangeNothing) {
  Exec(kFullGroup);
  std::string before = Query("select * from Kvn530Apg");
  WorkGroupRecord rec;
  rec.ApgApg = "G9";
  rec.ApgBez = "x";
  EXPECT_EQ(1403, Apg_PKeyUpd(rec));
  EXPECT_EQ(1403, Apg_PKeyDel("G9"));
  EXPECT_EQ(before, Query("select * from Kvn530Apg"));
  EXPECT_EQ(0, Apg_PKeyDel("G1"));
  EXPECT_EQ("0", Query("select count(*) from Kvn530Apg"));
}

TEST_F(ApgAplTest, ApgRangeCursorExcludesBounds) {
  for (const char* key : {"D", "A", "C", "B"}) AddGroup(key);
  Exec("update Kvn530Apg set ApgBez='row ' || ApgApg");
  ASSERT_EQ(0, Apg_Open("A", "D"));
  WorkGroupRecord rec;
  rec.ApgDat = "19991231235959";
  std::vector<std::string> seen;
  int rc;
  while ((rc = Apg_Fetch(rec)) == 0) {
    seen.push_back(rec.ApgApg.c_str());
    EXPECT_EQ(std::string("row ") + rec.ApgApg.c_str(), rec.ApgBez.c_str());
  }
  EXPECT_EQ(1403, rc);
  EXPECT_EQ((std::vector<std::string>{"B", "C"}), seen);
  // The last row stays, ApgDat as it was.
  EXPECT_TRUE(rec.ApgApg == "C");
  EXPECT_TRUE(rec.ApgDat == "19991231235959");
}

// ---------------------------------------------------------------------------
// Workplaces

TEST_F(ApgAplTest, AplReadFillsSelectedFieldsAndKeepsAplDat) {
  Exec(kFullPlace);
  WorkplaceRecord rec;
  rec.AplApl = "P1";
  rec.AplDat = "19991231235959";
  ASSERT_EQ(0, Apl_PKeyReadk(rec));
  ExpectFullPlace(rec);
  EXPECT_TRUE(rec.AplDat == "19991231235959");
}

TEST_F(ApgAplTest, AplReadOfMissingKeyKeepsOnlyTheKey) {
  Exec(kFullPlace);
  WorkplaceRecord rec;
  rec.AplApl = "P1";
  ASSERT_EQ(0, Apl_PKeyReadk(rec));
  rec.AplApl = "P9";
  rec.AplDat = "19991231235959";
  EXPECT_EQ(1403, Apl_PKeyReadk(rec));
  EXPECT_TRUE(rec.AplApl == "P9");
  EXPECT_TRUE(rec.AplApg.empty());  // what the plausibility check compares
  EXPECT_TRUE(rec.AplUbg.empty());
  EXPECT_TRUE(rec.AplUdt.empty());
  EXPECT_TRUE(rec.AplErf.empty());
  EXPECT_TRUE(rec.AplDat.empty());
  EXPECT_EQ(0, rec.AplSts);
  EXPECT_EQ(0, rec.AplAvt);
  EXPECT_EQ(0.0, rec.AplAvp);
  EXPECT_EQ(0.0, rec.AplSf3);
}

TEST_F(ApgAplTest, AplReadOfNullColumnsGivesEmptyAndZero) {
  Exec(kFullPlace);
  AddPlace("P2", "G1");
  WorkplaceRecord rec;
  rec.AplApl = "P1";
  ASSERT_EQ(0, Apl_PKeyReadk(rec));
  rec.AplApl = "P2";
  ASSERT_EQ(0, Apl_PKeyReadk(rec));
  EXPECT_TRUE(rec.AplApg == "G1");
  EXPECT_TRUE(rec.AplUbg.empty());
  EXPECT_TRUE(rec.AplUdt.empty());
  EXPECT_TRUE(rec.AplErf.empty());
  EXPECT_EQ(0, rec.AplSts);
  EXPECT_EQ(0, rec.AplApr);
  EXPECT_EQ(0.0, rec.AplKap);
}

TEST_F(ApgAplTest, AplUpdateRoundTripsEveryFieldAndWritesTheDatabaseTime) {
  Exec(kFullPlace);
  AddPlace("P2", "");
  WorkplaceRecord rec;
  rec.AplApl = "P1";
  ASSERT_EQ(0, Apl_PKeyReadk(rec));
  // Write the full row onto P2, then read it back.
  rec.AplApl = "P2";
  rec.AplDat = "19991231235959";
  ASSERT_EQ(0, Apl_PKeyUpd(rec));
  WorkplaceRecord back;
  back.AplApl = "P2";
  ASSERT_EQ(0, Apl_PKeyReadk(back));
  back.AplApl = "P1";
  ExpectFullPlace(back);
  EXPECT_EQ("ABCD|2024-03-05 06:07:08",
            Query("select AplUbg,AplUdt from Kvn531Apl where AplApl='P2'"));
  EXPECT_LE(SecondsFromNow(Query("select AplDat from Kvn531Apl where AplApl='P2'")),
            5.0);
  // P1 itself is untouched.
  EXPECT_EQ("2020-01-01 00:00:00",
            Query("select AplDat from Kvn531Apl where AplApl='P1'"));

  // An empty AplUdt writes NULL.
  rec.AplUdt = "";
  ASSERT_EQ(0, Apl_PKeyUpd(rec));
  EXPECT_EQ("<null>", Query("select AplUdt from Kvn531Apl where AplApl='P2'"));
}

TEST_F(ApgAplTest, AplUpdateWithInvalidTimeFailsAndChangesNothing) {
  Exec(kFullPlace);
  std::string before = Query("select * from Kvn531Apl");
  WorkplaceRecord rec;
  rec.AplApl = "P1";
  ASSERT_EQ(0, Apl_PKeyReadk(rec));
  rec.AplBez = "changed";
  rec.AplUdt = "20241399000000";
  EXPECT_GT(0, Apl_PKeyUpd(rec));
  EXPECT_EQ(before, Query("select * from Kvn531Apl"));

  // The rollback left the session usable: the next update commits.
  rec.AplUdt = "20241231000000";
  EXPECT_EQ(0, Apl_PKeyUpd(rec));
  EXPECT_EQ("changed", Query("select AplBez from Kvn531Apl"));
}

TEST_F(ApgAplTest, AplUpdateAndDeleteOfMissingKey) {
  Exec(kFullPlace);
  std::string before = Query("select * from Kvn531Apl");
  WorkplaceRecord rec;
  rec.AplApl = "P9";
  EXPECT_EQ(1403, Apl_PKeyUpd(rec));
  EXPECT_EQ(1403, Apl_PKeyDel("P9"));
  EXPECT_EQ(before, Query("select * from Kvn531Apl"));
  EXPECT_EQ(0, Apl_PKeyDel("P1"));
  EXPECT_EQ("0", Query("select count(*) from Kvn531Apl"));
}

TEST_F(ApgAplTest, AplRangeCursorExcludesBounds) {
  for (const char* key : {"P4", "P1", "P3", "P2"}) AddPlace(key, "G1");
  ASSERT_EQ(0, Apl_Open("P1", "P4"));
  WorkplaceRecord rec;
  std::vector<std::string> seen;
  while (Apl_Fetch(rec) == 0) seen.push_back(rec.AplApl.c_str());
  EXPECT_EQ((std::vector<std::string>{"P2", "P3"}), seen);
}

TEST_F(ApgAplTest, AplGroupCursorDeliversTheGroupsWorkplacesAscending) {
  Exec(kFullPlace);  // P1 in G1
  AddPlace("P3", "G1");
  AddPlace("P0", "G2");
  AddPlace("P2", "G1");
  ASSERT_EQ(0, Apl_OpenApg("G1"));
  WorkplaceRecord rec;
  rec.AplDat = "19991231235959";
  ASSERT_EQ(0, Apl_FetchApg(rec));
  ExpectFullPlace(rec);
  std::vector<std::string> seen{rec.AplApl.c_str()};
  int rc;
  while ((rc = Apl_FetchApg(rec)) == 0) {
    seen.push_back(rec.AplApl.c_str());
    EXPECT_TRUE(rec.AplApg == "G1");
    EXPECT_TRUE(rec.AplBez.empty());  // the full row's values are gone
  }
  EXPECT_EQ(1403, rc);
  EXPECT_EQ((std::vector<std::string>{"P1", "P2", "P3"}), seen);
  EXPECT_TRUE(rec.AplApl == "P3");
  EXPECT_TRUE(rec.AplDat == "19991231235959");

  // A work group without workplaces.
  ASSERT_EQ(0, Apl_OpenApg("G9"));
  rec.AplApl = "keep";
  EXPECT_EQ(1403, Apl_FetchApg(rec));
  EXPECT_TRUE(rec.AplApl == "keep");
}

}  // namespace
