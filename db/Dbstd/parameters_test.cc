#include "db/Dbstd/parameters.h"

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

class ParametersTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    FixClock("2024-05-15 12:00:00");
    DatabaseTest::SetUp();
  }
  // A parameter row of code from gvn to gbi (yyyy-mm-dd) with NzpAak and
  // NzpMrk.
  void AddRow(int code, const std::string& gvn, const std::string& gbi, int aak, int mrk) {
    Exec("insert into Kvn591Nzp (NzpAkz,NzpGvn,NzpGbi,NzpAak,NzpMrk) values (" +
             std::to_string(code) + ",'" + gvn + " 00:00:00','" + gbi + " 00:00:00'," +
             std::to_string(aak) + "," + std::to_string(mrk) + ")");
  }
};

TEST_F(ParametersTest, ReadFillsTheRowValidTodayWithBothEndsExcluded) {
  Exec("insert into Kvn591Nzp values (3,'2024-01-01 00:00:00','2024-12-31 00:00:00',1,2,3,4,"
       "5,6,7,8,9,10,11,'2024-01-01 00:00:00')");
  NzpRecord r;
  r.NzpAkz = 3;
  ASSERT_EQ(0, Nzp_Read(r));
  EXPECT_EQ(3, r.NzpAkz);
  EXPECT_STREQ("20240101", r.NzpGvn.c_str());
  EXPECT_STREQ("20241231", r.NzpGbi.c_str());
  EXPECT_EQ(1, r.NzpAak);
  EXPECT_EQ(2, r.NzpAwt);
  EXPECT_EQ(3, r.NzpKjh);
  EXPECT_EQ(4, r.NzpKmn);
  EXPECT_EQ(5, r.NzpKwo);
  EXPECT_EQ(6, r.NzpKtg);
  EXPECT_EQ(7, r.NzpAan);
  EXPECT_EQ(8, r.NzpVfh);
  EXPECT_EQ(9, r.NzpNfh);
  EXPECT_EQ(10, r.NzpAus);
  EXPECT_EQ(11, r.NzpMrk);

  // A row that begins today or ends today is not valid today.
  AddRow(4, "2024-05-15", "2024-12-31", 1, 1);
  AddRow(5, "2024-01-01", "2024-05-15", 1, 1);
  AddRow(6, "2024-05-14", "2024-05-16", 1, 1);
  r.NzpAkz = 4;
  EXPECT_EQ(1403, Nzp_Read(r));
  r.NzpAkz = 5;
  EXPECT_EQ(1403, Nzp_Read(r));
  r.NzpAkz = 6;
  EXPECT_EQ(0, Nzp_Read(r));
}

TEST_F(ParametersTest, FailedReadKeepsOnlyTheCode) {
  NzpRecord r;
  r.NzpAkz = 8;
  r.NzpGvn = "20240101";
  r.NzpAak = 1;
  r.NzpMrk = 1;
  EXPECT_EQ(1403, Nzp_Read(r));
  EXPECT_EQ(8, r.NzpAkz);
  EXPECT_TRUE(r.NzpGvn.empty());
  EXPECT_EQ(0, r.NzpAak);
  EXPECT_EQ(0, r.NzpMrk);
  // Two rows of one code valid today are an error, not a choice.
  AddRow(8, "2024-01-01", "2024-12-31", 1, 1);
  AddRow(8, "2024-02-01", "2024-12-31", 1, 1);
  r.NzpAak = 5;
  EXPECT_EQ(-2112, Nzp_Read(r));
  EXPECT_EQ(0, r.NzpAak);
}

TEST_F(ParametersTest, PKeyUpdWritesTheCountersAndTheTimeOfTheKeyRow) {
  AddRow(2, "2024-01-01", "2024-12-31", 1, 0);
  AddRow(2, "2025-01-01", "2025-12-31", 1, 0);
  NzpRecord r;
  r.NzpAkz = 2;
  r.NzpGvn = "20240101";
  r.NzpGbi = "20241231";
  r.NzpAan = 11;
  r.NzpVfh = 12;
  r.NzpNfh = 13;
  r.NzpAus = 14;
  r.NzpAak = 99;  // not written
  ASSERT_EQ(0, Nzp_PKeyUpd(r));
  EXPECT_EQ("1|11|12|13|14|2024-05-15 12:00:00\n1|<null>|<null>|<null>|<null>|<null>",
            Query("select NzpAak,NzpAan,NzpVfh,NzpNfh,NzpAus,NzpAdt from Kvn591Nzp "
                  "order by NzpGvn"));

  r.NzpGbi = "20241230";  // no such row
  EXPECT_EQ(1403, Nzp_PKeyUpd(r));
  EXPECT_EQ("11|12", Query("select NzpAan,NzpVfh from Kvn591Nzp where NzpAan=11"));
}

TEST_F(ParametersTest, LoadSwitchesSetsTheSwitchesOfTheCodesFound) {
  AddRow(1, "2024-01-01", "2024-12-31", 1, 0);
  AddRow(2, "2024-01-01", "2024-12-31", 0, 1);
  AddRow(3, "2024-01-01", "2024-12-31", 1, 1);
  AddRow(4, "2024-01-01", "2024-12-31", 2, 2);  // only 1 switches on
  AddRow(7, "2024-01-01", "2024-05-15", 1, 1);  // ended: not found
  // No row of code 5.
  EXPECT_EQ(1403, Nzp_LoadSwitches());
  const NzpSwitches& s = Nzp_Switches();
  EXPECT_EQ(1, s.aak[1]);
  EXPECT_EQ(0, s.mrk[1]);
  EXPECT_EQ(0, s.aak[2]);
  EXPECT_EQ(1, s.mrk[2]);
  EXPECT_EQ(1, s.aak[3]);
  EXPECT_EQ(1, s.mrk[3]);
  EXPECT_EQ(0, s.aak[4]);
  EXPECT_EQ(0, s.mrk[4]);
  EXPECT_EQ(0, s.aak[5]);
  EXPECT_EQ(0, s.mrk[5]);
  EXPECT_EQ(0, s.aak[7]);
  EXPECT_EQ(0, s.mrk[7]);
  EXPECT_EQ(0, s.aak[9]);
  EXPECT_EQ(0, s.flag);

  // Code 9 with NzpAak 1 sets its switch and the flag; a second load starts
  // from cleared switches.
  AddRow(9, "2024-01-01", "2024-12-31", 1, 0);
  Exec("delete from Kvn591Nzp where NzpAkz=1");
  EXPECT_EQ(0, Nzp_LoadSwitches());
  EXPECT_EQ(1, s.aak[9]);
  EXPECT_EQ(1, s.flag);
  EXPECT_EQ(0, s.aak[1]);
  EXPECT_EQ(1, s.aak[3]);

  // Found with another NzpAak, code 9 leaves both off.
  Exec("update Kvn591Nzp set NzpAak=0 where NzpAkz=9");
  EXPECT_EQ(0, Nzp_LoadSwitches());
  EXPECT_EQ(0, s.aak[9]);
  EXPECT_EQ(0, s.flag);
}

}  // namespace
