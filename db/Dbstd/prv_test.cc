#include "db/Dbstd/prv.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "runtime/os/test_env.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;
using testing_support::QuerySql;

// Today is 2030-06-15 for the database.
class PrvTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    FixClock("2030-06-15 10:20:30");
    DatabaseTest::SetUp();
  }
  void TearDown() override {
    (void)Prv_Close();
    (void)Prv_CloseAwn();
    DatabaseTest::TearDown();
  }
  // A row with key, badge and validity dates ("null" or a day 'yyyy-mm-dd').
  void AddRow(const std::string& pnr, const std::string& awn, const std::string& gvo,
              const std::string& gbi) {
    auto date = [](const std::string& d) {
      return d == "null" ? d : "'" + d + " 00:00:00'";
    };
    Exec("insert into Kvn510Prv (PrvPnr,PrvAwn,PrvGvo,PrvGbi) values ('" + pnr +
             "','" + awn + "'," + date(gvo) + "," + date(gbi) + ")");
  }
  std::string Keys() {
    return Query("select PrvPnr from Kvn510Prv order by PrvPnr");
  }
  // The keys the range cursor delivers, joined by ' ' (the last status
  // appended when it is not 1403).
  std::string FetchAll(int (*fetch)(PrvRecord&)) {
    std::string keys;
    PrvRecord r;
    int rc;
    while ((rc = fetch(r)) == 0) keys += (keys.empty() ? "" : " ") + std::string(r.PrvPnr.s);
    if (rc != 1403) keys += " rc=" + std::to_string(rc);
    return keys;
  }
};

PrvRecord Full(const char* key) {
  PrvRecord r;
  r.PrvPnr = key;
  r.PrvGvo = "20300601";
  r.PrvGbi = "20301231";
  r.PrvBer = 2;
  r.PrvKst = "Kst";
  r.PrvFbe = "Fbe";
  r.PrvMmb = "Mmb";
  r.PrvZf1 = "Zf1";
  r.PrvZf2 = "Zf2";
  r.PrvZf3 = "Zf3";
  r.PrvSta = -4;
  r.PrvDat = "19991231235959";
  r.PrvErf = "Kolvane";
  r.PrvDna = "NEU";
  r.PrvDwn = "ZuzErOro";
  r.PrvAwn = "B1";
  r.PrvAwa = 5;
  r.PrvAnw = 6;
  r.PrvApl = 700000;
  r.PrvApp = 800000;
  r.PrvPzm = 900000;
  r.PrvAvn = "20300615070809";
  r.PrvAbi = "20300616171819";
  r.PrvNam = "Name";
  r.PrvStr = "Strasse";
  r.PrvOrt = "Ort";
  return r;
}

// The stored form of Full(key) with PrvDat the database time.
std::string FullStored(const std::string& key) {
  return key + "|2030-06-01 00:00:00|2030-12-31 00:00:00|2|Kst|Fbe|Mmb|Zf1|Zf2|Zf3|-4|"
               "2030-06-15 10:20:30|Kolvane|NEU|ZuzErOro|B1|5|6|700000|800000|900000|"
               "2030-06-15 07:08:09|2030-06-16 17:18:19|Name|Strasse|Ort";
}

// Compares every field the statements read (all but PrvDat).
void ExpectSameRow(const PrvRecord& want, const PrvRecord& got) {
  EXPECT_STREQ(want.PrvPnr.s, got.PrvPnr.s);
  EXPECT_STREQ(want.PrvGvo.s, got.PrvGvo.s);
  EXPECT_STREQ(want.PrvGbi.s, got.PrvGbi.s);
  EXPECT_EQ(want.PrvBer, got.PrvBer);
  EXPECT_STREQ(want.PrvKst.s, got.PrvKst.s);
  EXPECT_STREQ(want.PrvFbe.s, got.PrvFbe.s);
  EXPECT_STREQ(want.PrvMmb.s, got.PrvMmb.s);
  EXPECT_STREQ(want.PrvZf1.s, got.PrvZf1.s);
  EXPECT_STREQ(want.PrvZf2.s, got.PrvZf2.s);
  EXPECT_STREQ(want.PrvZf3.s, got.PrvZf3.s);
  EXPECT_EQ(want.PrvSta, got.PrvSta);
  EXPECT_STREQ(want.PrvErf.s, got.PrvErf.s);
  EXPECT_STREQ(want.PrvDna.s, got.PrvDna.s);
  EXPECT_STREQ(want.PrvDwn.s, got.PrvDwn.s);
  EXPECT_STREQ(want.PrvAwn.s, got.PrvAwn.s);
  EXPECT_EQ(want.PrvAwa, got.PrvAwa);
  EXPECT_EQ(want.PrvAnw, got.PrvAnw);
  EXPECT_EQ(want.PrvApl, got.PrvApl);
  EXPECT_EQ(want.PrvApp, got.PrvApp);
  EXPECT_EQ(want.PrvPzm, got.PrvPzm);
  EXPECT_STREQ(want.PrvAvn.s, got.PrvAvn.s);
  EXPECT_STREQ(want.PrvAbi.s, got.PrvAbi.s);
  EXPECT_STREQ(want.PrvNam.s, got.PrvNam.s);
  EXPECT_STREQ(want.PrvStr.s, got.PrvStr.s);
  EXPECT_STREQ(want.PrvOrt.s, got.PrvOrt.s);
}

TEST_F(PrvTest, InsertAndReadByKeyRoundTripEveryField) {
  PrvRecord w = Full("P1");
  ASSERT_EQ(0, Prv_PKeyIns(w));
  EXPECT_EQ(FullStored("P1"), Query("select * from Kvn510Prv"));
  PrvRecord r;
  r.PrvPnr = "P1";
  r.PrvDat = "keep";
  ASSERT_EQ(0, Prv_PKeyReadk(r));
  ExpectSameRow(w, r);
  EXPECT_TRUE(r.PrvDat == "keep");
}

TEST_F(PrvTest, FailedReadByKeyKeepsOnlyTheKey) {
  PrvRecord w = Full("P1");
  ASSERT_EQ(0, Prv_PKeyIns(w));
  PrvRecord r = Full("P2");
  EXPECT_EQ(1403, Prv_PKeyReadk(r));
  PrvRecord cleared;
  cleared.PrvPnr = "P2";
  ExpectSameRow(cleared, r);
  EXPECT_TRUE(r.PrvDat.empty());
}

TEST_F(PrvTest, InsertWithoutAreaTakesTheAreaOfType1) {
  Exec("insert into Kvn559Fbe values ('F2',2); insert into Kvn559Fbe values ('F1',1);"
       "insert into Kvn559Fbe values ('F3',3)");
  PrvRecord w = Full("P1");
  w.PrvFbe.Clear();
  ASSERT_EQ(0, Prv_PKeyIns(w));
  EXPECT_TRUE(w.PrvFbe == "F1");
  EXPECT_EQ("F1", Query("select PrvFbe from Kvn510Prv where PrvPnr='P1'"));
}

TEST_F(PrvTest, InsertWithAreaKeepsIt) {
  Exec("insert into Kvn559Fbe values ('F1',1)");
  PrvRecord w = Full("P1");
  w.PrvFbe = "OWN";
  ASSERT_EQ(0, Prv_PKeyIns(w));
  EXPECT_TRUE(w.PrvFbe == "OWN");
  EXPECT_EQ("OWN", Query("select PrvFbe from Kvn510Prv where PrvPnr='P1'"));
}

TEST_F(PrvTest, InsertWithoutAreaAndNoSingleDefaultInsertsWithoutArea) {
  PrvRecord w = Full("P1");
  w.PrvFbe.Clear();
  ASSERT_EQ(0, Prv_PKeyIns(w));  // no row of type 1
  EXPECT_TRUE(w.PrvFbe.empty());
  Exec("insert into Kvn559Fbe values ('F1',1); insert into Kvn559Fbe values ('F9',1)");
  PrvRecord w2 = Full("P2");
  w2.PrvFbe.Clear();
  ASSERT_EQ(0, Prv_PKeyIns(w2));  // two rows of type 1: no single default
  EXPECT_TRUE(w2.PrvFbe.empty());
  EXPECT_EQ("P1|<null>\nP2|<null>",
            Query("select PrvPnr,PrvFbe from Kvn510Prv order by PrvPnr"));
}

TEST_F(PrvTest, InsertOfAnExistingKeyFailsAndKeepsTheRow) {
  PrvRecord w = Full("P1");
  ASSERT_EQ(0, Prv_PKeyIns(w));
  PrvRecord again = Full("P1");
  again.PrvNam = "Other";
  EXPECT_EQ(-1, Prv_PKeyIns(again));
  EXPECT_EQ(FullStored("P1"), Query("select * from Kvn510Prv"));
}

TEST_F(PrvTest, DeleteEmptiesTheTable) {
  for (const char* k : {"P1", "P2", "P3"}) AddRow(k, "B", "2030-01-01", "null");
  EXPECT_EQ(0, Prv_Delete());
  EXPECT_EQ("0", Query("select count(*) from Kvn510Prv"));
  EXPECT_EQ(1403, Prv_Delete());
}

TEST_F(PrvTest, UpdateWritesEveryColumnButTheKey) {
  AddRow("P1", "B0", "2020-01-01", "2020-12-31");
  AddRow("P2", "B0", "2020-01-01", "2020-12-31");
  const std::string other = Query("select * from Kvn510Prv where PrvPnr='P2'");
  PrvRecord w = Full("P1");
  ASSERT_EQ(0, Prv_PKeyUpd(w));
  EXPECT_EQ(FullStored("P1"), Query("select * from Kvn510Prv where PrvPnr='P1'"));
  EXPECT_EQ(other, Query("select * from Kvn510Prv where PrvPnr='P2'"));
  PrvRecord r;
  r.PrvPnr = "P1";
  ASSERT_EQ(0, Prv_PKeyReadk(r));
  ExpectSameRow(w, r);
  EXPECT_EQ(1403, Prv_PKeyUpd(Full("P3")));
  EXPECT_EQ("P1\nP2", Keys());
}

TEST_F(PrvTest, DeleteByKey) {
  AddRow("12345678", "B", "2030-01-01", "null");
  AddRow("P2", "B", "2030-01-01", "null");
  EXPECT_EQ(1403, Prv_PKeyDel("P3"));
  // Cut to eight characters this number would name 12345678.
  EXPECT_EQ(1403, Prv_PKeyDel("123456789"));
  EXPECT_EQ("12345678\nP2", Keys());
  EXPECT_EQ(0, Prv_PKeyDel("12345678"));
  EXPECT_EQ("P2", Keys());
}

TEST_F(PrvTest, RangeCursorIncludesBothBoundsAndRowsWhoseValidityHasBegun) {
  AddRow("A0", "B", "2030-01-01", "null");        // below the range
  AddRow("A1", "B", "2030-06-15", "null");        // lower bound, begins today
  AddRow("A2", "B", "2030-06-16", "null");        // begins tomorrow
  AddRow("A3", "B", "null", "null");              // no start
  AddRow("A4", "B", "2030-06-14", "2030-06-14");  // upper bound; its end does not matter
  AddRow("A5", "B", "2030-01-01", "null");        // above the range
  ASSERT_EQ(0, Prv_Open("A1", "A4"));
  EXPECT_EQ("A1 A3 A4", FetchAll(Prv_Fetch));
}

TEST_F(PrvTest, RangeCursorFillsEveryField) {
  PrvRecord w = Full("P1");
  ASSERT_EQ(0, Prv_PKeyIns(w));
  ASSERT_EQ(0, Prv_Open("P1", "P1"));
  PrvRecord r;
  r.PrvDat = "keep";
  ASSERT_EQ(0, Prv_Fetch(r));
  ExpectSameRow(w, r);
  EXPECT_TRUE(r.PrvDat == "keep");
  EXPECT_EQ(1403, Prv_Fetch(r));
  EXPECT_TRUE(r.PrvPnr == "P1");
}

TEST_F(PrvTest, ReadByBadgeTakesTheRowValidTodayWithBothEndsIncluded) {
  AddRow("X1", "B1", "2030-01-01", "2030-06-14");  // ended yesterday
  AddRow("X2", "B1", "2030-06-15", "2030-06-15");  // begins and ends today
  PrvRecord r;
  r.PrvAwn = "B1";
  r.PrvDat = "keep";
  ASSERT_EQ(0, Prv_ReadAwn(r));
  EXPECT_TRUE(r.PrvPnr == "X2");
  EXPECT_TRUE(r.PrvGvo == "20300615");
  EXPECT_TRUE(r.PrvGbi == "20300615");
  EXPECT_TRUE(r.PrvDat == "keep");

  AddRow("X3", "B3", "2030-06-14", "null");  // open-ended
  r.PrvAwn = "B3";
  ASSERT_EQ(0, Prv_ReadAwn(r));
  EXPECT_TRUE(r.PrvPnr == "X3");
  EXPECT_TRUE(r.PrvGbi.empty());
}

TEST_F(PrvTest, ReadByBadgeWithoutSingleValidRowLeavesTheRecord) {
  AddRow("X1", "B2", "2030-06-16", "null");  // begins tomorrow
  AddRow("X2", "B5", "null", "null");        // no start: never valid
  AddRow("X3", "B4", "2030-01-01", "null");
  AddRow("X4", "B4", "2030-02-01", "null");
  for (const char* badge : {"B2", "B5", "B9", "B4"}) {
    PrvRecord r = Full("P7");
    r.PrvAwn = badge;
    EXPECT_EQ(std::string(badge) == "B4" ? -2112 : 1403, Prv_ReadAwn(r)) << badge;
    PrvRecord want = Full("P7");
    want.PrvAwn = badge;
    ExpectSameRow(want, r);
  }
}

TEST_F(PrvTest, BadgeCursorDeliversTheValidRowsByKey) {
  AddRow("X3", "B1", "2030-06-15", "null");
  AddRow("X1", "B1", "2030-01-01", "2030-06-15");
  AddRow("X2", "B1", "2030-01-01", "2030-06-14");  // ended
  AddRow("X4", "B1", "2030-06-16", "null");        // not yet
  AddRow("X0", "B2", "2030-01-01", "null");        // other badge
  ASSERT_EQ(0, Prv_OpenAwn("B1"));
  EXPECT_EQ("X1 X3", FetchAll(Prv_FetchAwn));
  // An over-long badge is not cut into B1.
  AddRow("X5", "12345678", "2030-01-01", "null");
  ASSERT_EQ(0, Prv_OpenAwn("123456789"));
  EXPECT_EQ("", FetchAll(Prv_FetchAwn));
}

}  // namespace
