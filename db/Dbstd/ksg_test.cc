#include "db/Dbstd/ksg.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "runtime/os/test_env.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;
using testing_support::QuerySql;

// Today is 2030-06-15 for the database.
class KsgTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    FixClock("2030-06-15 10:20:30");
    DatabaseTest::SetUp();
  }
  void TearDown() override {
    (void)Ksg_Close();
    DatabaseTest::TearDown();
  }
  // A row of work group apg valid from gvo to gbi ('yyyy-mm-dd' or "null").
  void AddRow(const std::string& apg, const std::string& kst, const std::string& gvo,
              const std::string& gbi) {
    std::string to = gbi == "null" ? gbi : "'" + gbi + " 00:00:00'";
    Exec("insert into Kvn537Ksg (KsgApg,KsgKst,KsgGvo,KsgGbi) values ('" + apg +
             "','" + kst + "','" + gvo + " 00:00:00'," + to + ")");
  }
  std::string All() {
    return Query("select * from Kvn537Ksg order by KsgApg,KsgGvo");
  }
};

KsgRecord Full(const char* apg, const char* gvo) {
  KsgRecord r;
  r.KsgApg = apg;
  r.KsgKst = "Kst";
  r.KsgGvo = gvo;
  r.KsgGbi = "20301231";
  r.KsgFbe = "Fbe";
  r.KsgZf1 = "Zf1";
  r.KsgZf2 = "Zf2";
  r.KsgZf3 = "Zf3";
  r.KsgSta = -6;
  r.KsgDat = "19991231235959";
  r.KsgErf = "Kolvane";
  return r;
}

// Compares every field the statements read (all but KsgDat).
void ExpectSameRow(const KsgRecord& want, const KsgRecord& got) {
  EXPECT_STREQ(want.KsgApg.s, got.KsgApg.s);
  EXPECT_STREQ(want.KsgKst.s, got.KsgKst.s);
  EXPECT_STREQ(want.KsgGvo.s, got.KsgGvo.s);
  EXPECT_STREQ(want.KsgGbi.s, got.KsgGbi.s);
  EXPECT_STREQ(want.KsgFbe.s, got.KsgFbe.s);
  EXPECT_STREQ(want.KsgZf1.s, got.KsgZf1.s);
  EXPECT_STREQ(want.KsgZf2.s, got.KsgZf2.s);
  EXPECT_STREQ(want.KsgZf3.s, got.KsgZf3.s);
  EXPECT_EQ(want.KsgSta, got.KsgSta);
  EXPECT_STREQ(want.KsgErf.s, got.KsgErf.s);
}

TEST_F(KsgTest, UpdateAndReadByKeyRoundTripEveryField) {
  AddRow("G1", "K0", "2030-01-01", "null");
  AddRow("G1", "K1", "2030-06-15", "null");  // same group, other start
  const std::string other =
      Query("select * from Kvn537Ksg where KsgGvo>='2030-06-15' and KsgGvo<'2030-06-16'");
  KsgRecord w = Full("G1", "20300101");
  ASSERT_EQ(0, Ksg_PKeyUpd(w));
  EXPECT_EQ("G1|Kst|2030-01-01 00:00:00|2030-12-31 00:00:00|Fbe|Zf1|Zf2|Zf3|-6|"
            "2030-06-15 10:20:30|Kolvane",
            Query("select * from Kvn537Ksg where KsgGvo>='2030-01-01' and KsgGvo<'2030-01-02'"));
  EXPECT_EQ(other, Query("select * from Kvn537Ksg where KsgGvo>='2030-06-15' and KsgGvo<'2030-06-16'"));

  KsgRecord r;
  r.KsgApg = "G1";
  r.KsgGvo = "20300101";
  r.KsgDat = "keep";
  ASSERT_EQ(0, Ksg_PKeyReadk(r));
  ExpectSameRow(w, r);
  EXPECT_TRUE(r.KsgDat == "keep");
}

TEST_F(KsgTest, ReadAndUpdateOfMissingKey) {
  AddRow("G1", "K0", "2030-01-01", "null");
  const std::string before = All();
  KsgRecord r = Full("G1", "20300102");
  EXPECT_EQ(1403, Ksg_PKeyReadk(r));
  KsgRecord cleared;
  cleared.KsgApg = "G1";
  cleared.KsgGvo = "20300102";
  ExpectSameRow(cleared, r);
  EXPECT_TRUE(r.KsgDat.empty());

  EXPECT_EQ(1403, Ksg_PKeyUpd(Full("G1", "20300102")));
  EXPECT_EQ(1403, Ksg_PKeyUpd(Full("G2", "20300101")));
  EXPECT_EQ(before, All());
}

TEST_F(KsgTest, DeleteByKey) {
  AddRow("G1", "K0", "2030-01-01", "null");
  AddRow("G1", "K1", "2030-06-15", "null");
  AddRow("0123456789", "K2", "2030-01-01", "null");
  EXPECT_EQ(1403, Ksg_PKeyDel("G1", "20300102"));
  // Cut to fit these would name existing rows.
  EXPECT_EQ(1403, Ksg_PKeyDel("0123456789A", "20300101"));
  EXPECT_EQ(1403, Ksg_PKeyDel("G1", "203001019"));
  EXPECT_EQ("3", Query("select count(*) from Kvn537Ksg"));
  EXPECT_EQ(0, Ksg_PKeyDel("G1", "20300615"));
  EXPECT_EQ("0123456789|K2\nG1|K0", Query("select KsgApg,KsgKst from Kvn537Ksg "
                                          "order by KsgApg"));
}

TEST_F(KsgTest, ReadValidIncludesTheStartAndExcludesTheEnd) {
  AddRow("G1", "K-OLD", "2030-01-01", "2030-06-15");  // ends today: no longer valid
  AddRow("G1", "K-NEW", "2030-06-15", "null");        // begins today
  AddRow("G2", "K-G2", "2030-01-01", "2030-06-16");   // ends tomorrow
  AddRow("G3", "K-G3", "2030-06-16", "null");         // begins tomorrow
  KsgRecord r = Full("G1", "19990101");
  ASSERT_EQ(0, Ksg_ReadValid(r));
  EXPECT_TRUE(r.KsgKst == "K-NEW");
  // Only the work group and the cost centre are read.
  KsgRecord want = Full("G1", "19990101");
  want.KsgKst = "K-NEW";
  ExpectSameRow(want, r);

  r.KsgApg = "G2";
  ASSERT_EQ(0, Ksg_ReadValid(r));
  EXPECT_TRUE(r.KsgKst == "K-G2");

  r.KsgApg = "G3";
  EXPECT_EQ(1403, Ksg_ReadValid(r));
  EXPECT_TRUE(r.KsgApg == "G3");
  EXPECT_TRUE(r.KsgKst == "K-G2");
}

TEST_F(KsgTest, CursorIncludesTheEndAndBothBoundsByStart) {
  AddRow("G1", "K-NEW", "2030-06-15", "null");
  AddRow("G1", "K-OLD", "2030-01-01", "2030-06-15");  // ends today: still delivered
  AddRow("G0", "K-G0", "2030-01-01", "null");         // below the range
  AddRow("G2", "K-G2", "2030-02-01", "2030-06-14");   // ended yesterday
  AddRow("G3", "K-G3", "2030-03-01", "null");         // upper bound
  AddRow("G3", "K-G3B", "2030-06-16", "null");        // begins tomorrow
  AddRow("G4", "K-G4", "2030-01-01", "null");         // above the range
  ASSERT_EQ(0, Ksg_Open("G1", "G3"));
  std::string got;
  KsgRecord r;
  r.KsgDat = "keep";
  int rc;
  while ((rc = Ksg_Fetch(r)) == 0) got += std::string(r.KsgKst.s) + "@" + r.KsgGvo.s + " ";
  EXPECT_EQ(1403, rc);
  EXPECT_EQ("K-OLD@20300101 K-G3@20300301 K-NEW@20300615 ", got);
  EXPECT_TRUE(r.KsgKst == "K-NEW");  // the end of the rows left the last one
  EXPECT_TRUE(r.KsgDat == "keep");
}

}  // namespace
