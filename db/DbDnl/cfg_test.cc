#include "db/DbDnl/cfg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/errors.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;

class CfgTest : public testing_support::DatabaseTest {
 protected:
  void TearDown() override {
    (void)Cfg_Close();
    DatabaseTest::TearDown();
  }
  // A terminal with its first three ranges; the others stay NULL.
  void AddTerminal(int dta, const std::string& vn1, const std::string& bi1,
                   const std::string& vn2 = "", const std::string& bi2 = "",
                   const std::string& vn3 = "", const std::string& bi3 = "") {
    auto text = [](const std::string& v) { return v.empty() ? "null" : "'" + v + "'"; };
    Exec("insert into Kvn557Cfg (CfgDta,CfgVn1,CfgBi1,CfgVn2,CfgBi2,CfgVn3,CfgBi3) "
         "values (" + std::to_string(dta) + "," + text(vn1) + "," + text(bi1) + "," +
             text(vn2) + "," + text(bi2) + "," + text(vn3) + "," + text(bi3) + ")");
  }
  // The terminal numbers the cursor delivers for key.
  std::vector<int> Terminals(const char* key) {
    std::vector<int> found;
    if (Cfg_Open(key) != 0) return {-1};
    CfgRecord rec;
    while (Cfg_Fetch(rec) == 0) found.push_back(rec.CfgDta);
    (void)Cfg_Close();
    return found;
  }
};

TEST_F(CfgTest, RangeEndsAreInsideAndOnlyTwoRangesCount) {
  AddTerminal(1, "100", "199", "500", "599", "700", "799");
  EXPECT_EQ(std::vector<int>{1}, Terminals("100"));
  EXPECT_EQ(std::vector<int>{1}, Terminals("199"));
  EXPECT_EQ(std::vector<int>{1}, Terminals("150"));
  EXPECT_EQ(std::vector<int>{1}, Terminals("500"));
  EXPECT_EQ(std::vector<int>{1}, Terminals("599"));
  EXPECT_EQ(std::vector<int>{}, Terminals("099"));
  EXPECT_EQ(std::vector<int>{}, Terminals("1990"));  // text comparison: after "199"
  EXPECT_EQ(std::vector<int>{}, Terminals("750"));   // third range only
  EXPECT_EQ(std::vector<int>{}, Terminals(""));
}

TEST_F(CfgTest, SeveralTerminalsComeByNumber) {
  AddTerminal(7, "A", "M");
  AddTerminal(3, "X", "Z", "K", "L");
  AddTerminal(5, "N", "Q");
  EXPECT_EQ((std::vector<int>{3, 7}), Terminals("K5"));
  EXPECT_EQ(std::vector<int>{5}, Terminals("P"));
}

TEST_F(CfgTest, OverlongKeyIsNotCutIntoARange) {
  AddTerminal(1, "0000000000", "1234567890");
  EXPECT_EQ(std::vector<int>{1}, Terminals("1234567890"));
  // Cut to ten characters this key would equal the end of the range.
  EXPECT_EQ(std::vector<int>{}, Terminals("12345678901"));
}

TEST_F(CfgTest, EveryColumnLandsInItsFieldAndNullsGiveEmpty) {
  Exec("insert into Kvn557Cfg values (70001,'192.168.100.200','50001','Bez','Txt',70002,"
       "'A','B','Bz1','C','D','Bz2','E','F','Bz3','G','H','Bz4','I','J','Bz5',70003,"
       "'2024-05-06 07:08:09','Erf')");
  AddTerminal(70004, "A", "A");

  CfgRecord r;
  ASSERT_EQ(0, Cfg_Open("A"));
  ASSERT_EQ(0, Cfg_Fetch(r));
  EXPECT_EQ(70001, r.CfgDta);
  EXPECT_STREQ("192.168.100.200", r.CfgIP.c_str());
  EXPECT_STREQ("50001", r.CfgPrt.c_str());
  EXPECT_STREQ("Bez", r.CfgBez.c_str());
  EXPECT_STREQ("Txt", r.CfgTxt.c_str());
  EXPECT_EQ(70002, r.CfgKr1);
  const char* ranges[][3] = {{r.CfgVn1.c_str(), r.CfgBi1.c_str(), r.CfgBz1.c_str()},
                             {r.CfgVn2.c_str(), r.CfgBi2.c_str(), r.CfgBz2.c_str()},
                             {r.CfgVn3.c_str(), r.CfgBi3.c_str(), r.CfgBz3.c_str()},
                             {r.CfgVn4.c_str(), r.CfgBi4.c_str(), r.CfgBz4.c_str()},
                             {r.CfgVn5.c_str(), r.CfgBi5.c_str(), r.CfgBz5.c_str()}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(std::string(1, static_cast<char>('A' + 2 * i)), ranges[i][0]) << i;
    EXPECT_EQ(std::string(1, static_cast<char>('B' + 2 * i)), ranges[i][1]) << i;
    EXPECT_EQ("Bz" + std::to_string(i + 1), ranges[i][2]) << i;
  }
  EXPECT_EQ(70003, r.CfgSta);
  EXPECT_STREQ("20240506070809", r.CfgDat.c_str());
  EXPECT_STREQ("Erf", r.CfgErf.c_str());

  ASSERT_EQ(0, Cfg_Fetch(r));
  EXPECT_EQ(70004, r.CfgDta);
  EXPECT_TRUE(r.CfgIP.empty() && r.CfgPrt.empty() && r.CfgBez.empty() && r.CfgTxt.empty());
  EXPECT_EQ(0, r.CfgKr1);
  EXPECT_TRUE(r.CfgBz1.empty() && r.CfgVn2.empty() && r.CfgBi5.empty() && r.CfgBz5.empty());
  EXPECT_EQ(0, r.CfgSta);
  EXPECT_TRUE(r.CfgDat.empty() && r.CfgErf.empty());

  // After the last row the record keeps that row.
  EXPECT_EQ(1403, Cfg_Fetch(r));
  EXPECT_EQ(70004, r.CfgDta);
  EXPECT_STREQ("A", r.CfgVn1.c_str());
  EXPECT_EQ(0, Cfg_Close());
  EXPECT_EQ(sql::kInvalidCursor, Cfg_Fetch(r));
}

}  // namespace
