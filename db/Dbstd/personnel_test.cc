#include "db/Dbstd/personnel.h"

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
using Strings = std::vector<std::string>;

class PersonnelTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    FixClock("2024-05-15 12:00:00");
    DatabaseTest::SetUp();
  }
  void TearDown() override {
    (void)Asw_CloseNum();
    (void)Asw_ClosePnr();
    (void)Asw_CloseAll();
    DatabaseTest::TearDown();
  }
  static std::string Date(const std::string& d) {
    return d.empty() ? "null" : "'" + d + " 00:00:00'";
  }
  // A badge row (dates yyyy-mm-dd, "" for NULL; pnr "" for NULL).
  void AddBadge(const std::string& num, const std::string& pnr, const std::string& gvo,
                const std::string& gbi) {
    Exec("insert into Kvn301Asw values ('" + num + "'," +
             (pnr.empty() ? "null" : "'" + pnr + "'") + "," + Date(gvo) + "," +
             Date(gbi) + ",'Erf','2024-04-01 08:09:10')");
  }
  void AddPerson(const std::string& pnr) {
    Exec("insert into Kvn300Pnr values ('" + pnr + "','Name " + pnr + "','Street " +
             pnr + "','Town " + pnr + "')");
  }
  // "number/person/from/to" of every row of a badge cursor.
  template <typename Fetch>
  Strings Rows(Fetch fetch) {
    Strings rows;
    AswRecord r;
    while (fetch(r) == 0)
      rows.push_back(std::string(r.AswNum.c_str()) + "/" + r.AswPnr.c_str() + "/" +
                     r.AswGvo.c_str() + "/" + r.AswGbi.c_str());
    return rows;
  }
};

TEST_F(PersonnelTest, ReadDayFillsTheBadgeAndItsPerson) {
  AddPerson("P1");
  AddBadge("B1", "P1", "2024-05-01", "2024-06-30");
  AswRecord r;
  r.AswNum = "B1";
  r.AswGvo = "20240501";
  ASSERT_EQ(0, Asw_ReadDay(r));
  EXPECT_STREQ("B1", r.AswNum.c_str());
  EXPECT_STREQ("20240501", r.AswGvo.c_str());
  EXPECT_STREQ("P1", r.AswPnr.c_str());
  EXPECT_STREQ("20240630", r.AswGbi.c_str());
  EXPECT_STREQ("Erf", r.AswErf.c_str());
  EXPECT_STREQ("20240401080910", r.AswDat.c_str());
  EXPECT_STREQ("Name P1", r.PnrNam.c_str());
  EXPECT_STREQ("Street P1", r.PnrStr.c_str());
  EXPECT_STREQ("Town P1", r.PnrOrt.c_str());
}

TEST_F(PersonnelTest, FailedReadDayKeepsOnlyTheKey) {
  AddBadge("B1", "P9", "2024-05-01", "");  // P9 is no person
  AswRecord r;
  r.AswNum = "B1";
  r.AswGvo = "20240501";
  r.AswPnr = "OLD";
  r.PnrNam = "OLD";
  r.AswDat = "20000101000000";
  EXPECT_EQ(1403, Asw_ReadDay(r));
  EXPECT_STREQ("B1", r.AswNum.c_str());
  EXPECT_STREQ("20240501", r.AswGvo.c_str());
  EXPECT_TRUE(r.AswPnr.empty());
  EXPECT_TRUE(r.PnrNam.empty());
  EXPECT_TRUE(r.AswDat.empty());
}

TEST_F(PersonnelTest, ReadPnrFindsThePersonOfTheBadgeOnTheDayBothEndsIncluded) {
  AddBadge("B1", "OLD", "2024-01-01", "2024-04-30");
  AddBadge("B1", "NEW", "2024-05-01", "2024-05-31");
  AddBadge("B1", "NEXT", "2024-06-01", "");
  Text<9> pnr;
  ASSERT_EQ(0, Asw_ReadPnr("B1", "20240430", &pnr));
  EXPECT_STREQ("OLD", pnr.c_str());
  ASSERT_EQ(0, Asw_ReadPnr("B1", "20240501", &pnr));
  EXPECT_STREQ("NEW", pnr.c_str());
  ASSERT_EQ(0, Asw_ReadPnr("B1", "20240531", &pnr));
  EXPECT_STREQ("NEW", pnr.c_str());
  ASSERT_EQ(0, Asw_ReadPnr("B1", "20300101", &pnr));  // open-ended
  EXPECT_STREQ("NEXT", pnr.c_str());
  EXPECT_EQ(1403, Asw_ReadPnr("B1", "20231231", &pnr));
  EXPECT_EQ(1403, Asw_ReadPnr("B2", "20240501", &pnr));
  EXPECT_STREQ("NEXT", pnr.c_str());  // untouched by the failed reads
}

TEST_F(PersonnelTest, BadgeCursorsDeliverRowsBegunByTodayLatestFirst) {
  AddBadge("B1", "P1", "2024-01-01", "2024-03-31");
  AddBadge("B1", "P2", "2024-05-15", "");  // begins today
  AddBadge("B1", "P3", "2024-05-16", "");  // tomorrow: not yet
  AddBadge("B2", "P1", "2024-04-01", "");
  AddBadge("B3", "P2", "2024-02-01", "");

  ASSERT_EQ(0, Asw_OpenNum("B1"));
  EXPECT_EQ((Strings{"/P2/20240515/", "/P1/20240101/20240331"}), Rows(Asw_FetchNum));

  ASSERT_EQ(0, Asw_OpenPnr("P1"));
  EXPECT_EQ((Strings{"B2//20240401/", "B1//20240101/20240331"}), Rows(Asw_FetchPnr));

  // The other fields of the caller's record stay.
  AswRecord r;
  r.PnrNam = "KEEP";
  ASSERT_EQ(0, Asw_OpenNum("B1"));
  ASSERT_EQ(0, Asw_FetchNum(r));
  EXPECT_STREQ("KEEP", r.PnrNam.c_str());
  EXPECT_STREQ("Erf", r.AswErf.c_str());
  EXPECT_STREQ("20240401080910", r.AswDat.c_str());

  // A badge number too long for its column names no badge.
  ASSERT_EQ(0, Asw_OpenNum("B1XXXXXXXXXX"));
  EXPECT_TRUE(Rows(Asw_FetchNum).empty());
}

TEST_F(PersonnelTest, AllBadgesCursorDeliversBadgesValidTodayWithTheirPersons) {
  AddPerson("P1");
  AddPerson("P2");
  AddBadge("B1", "P2", "2024-05-01", "2024-05-15");  // ends today
  AddBadge("B2", "P1", "2024-05-15", "");           // begins today
  AddBadge("B3", "P1", "2024-01-01", "2024-05-14");  // ended yesterday
  AddBadge("B4", "P1", "2024-05-16", "");           // not yet
  AddBadge("B5", "", "2024-01-01", "");             // no person
  AddBadge("B6", "P9", "2024-01-01", "");           // unknown person
  AddBadge("B7", "P1", "2024-02-01", "");

  ASSERT_EQ(0, Asw_OpenAll());
  AswRecord r;
  ASSERT_EQ(0, Asw_FetchAll(r));
  EXPECT_STREQ("B2", r.AswNum.c_str());
  EXPECT_STREQ("P1", r.AswPnr.c_str());
  EXPECT_STREQ("20240515", r.AswGvo.c_str());
  EXPECT_TRUE(r.AswGbi.empty());
  EXPECT_STREQ("Erf", r.AswErf.c_str());
  EXPECT_STREQ("20240401080910", r.AswDat.c_str());
  EXPECT_STREQ("Name P1", r.PnrNam.c_str());
  EXPECT_STREQ("Street P1", r.PnrStr.c_str());
  EXPECT_STREQ("Town P1", r.PnrOrt.c_str());
  EXPECT_EQ((Strings{"B7/P1/20240201/", "B1/P2/20240501/20240515"}), Rows(Asw_FetchAll));
}

TEST_F(PersonnelTest, PnrReadGivesNameStreetAndTown) {
  AddPerson("P1");
  Text<31> nam;
  Text<31> str;
  Text<31> ort;
  ASSERT_EQ(0, Pnr_Read("P1", &nam, &str, &ort));
  EXPECT_STREQ("Name P1", nam.c_str());
  EXPECT_STREQ("Street P1", str.c_str());
  EXPECT_STREQ("Town P1", ort.c_str());
  EXPECT_EQ(1403, Pnr_Read("P2", &nam, &str, &ort));
  EXPECT_STREQ("Name P1", nam.c_str());
}

TEST_F(PersonnelTest, BsvCheckFindsAnAuthorisationValidToday) {
  Exec("insert into Kvn310Bsv values ('ENDS','2024-01-01 00:00:00','2024-05-15 00:00:00')");
  Exec("insert into Kvn310Bsv values ('OPEN','2024-05-15 00:00:00',null)");
  Exec("insert into Kvn310Bsv values ('ENDED','2024-01-01 00:00:00','2024-05-14 00:00:00')");
  Exec("insert into Kvn310Bsv values ('LATER','2024-05-16 00:00:00',null)");
  EXPECT_EQ(0, Bsv_Check("ENDS"));
  EXPECT_EQ(0, Bsv_Check("OPEN"));
  EXPECT_EQ(1403, Bsv_Check("ENDED"));
  EXPECT_EQ(1403, Bsv_Check("LATER"));
  EXPECT_EQ(1403, Bsv_Check("NONE"));
  // A person number longer than the column is not cut to fit: "ENDSENDSX"
  // does not find "ENDSENDS".
  Exec("insert into Kvn310Bsv values ('ENDSENDS','2024-01-01 00:00:00',null)");
  EXPECT_EQ(1403, Bsv_Check("ENDSENDSX"));
}

TEST_F(PersonnelTest, ZtgReadKstTakesTheRowStartingToday) {
  Exec("insert into Kvn329Ztg values ('P1','2024-05-14 00:00:00','YESTERDAY')");
  Exec("insert into Kvn329Ztg values ('P1','2024-05-15 00:00:00','TODAY')");
  Text<11> kst;
  ASSERT_EQ(0, Ztg_ReadKst("P1", &kst));
  EXPECT_STREQ("TODAY", kst.c_str());
  clock().now += 86400;
  EXPECT_EQ(1403, Ztg_ReadKst("P1", &kst));
  EXPECT_STREQ("TODAY", kst.c_str());
}

TEST_F(PersonnelTest, VrgReadGivesTheValueOfAreaAndField) {
  std::string longValue(80, 'v');
  Exec("insert into Kvn555Vrg values ('AREA','FIELD','" + longValue + "')");
  Exec("insert into Kvn555Vrg values ('AREA','OTHER','x')");
  Text<81> value;
  ASSERT_EQ(0, Vrg_Read("AREA", "FIELD", &value));
  EXPECT_EQ(longValue, value.c_str());
  EXPECT_EQ(1403, Vrg_Read("AREA", "NONE", &value));
  EXPECT_EQ(longValue, value.c_str());
}

}  // namespace
