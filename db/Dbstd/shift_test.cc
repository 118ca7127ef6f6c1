#include "db/Dbstd/shift.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sql/engine.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;

class ShiftTest : public testing_support::DatabaseTest {
 protected:
  void TearDown() override {
    Aem_Close();
    Pms_Close();
    Emo_Close();
    DatabaseTest::TearDown();
  }
  // A shift model assignment of group (dates yyyy-mm-dd, "" for NULL).
  void AddAem(const std::string& group, int kng, const std::string& emo, const std::string& gvo,
              const std::string& gbi, int kal) {
    Exec("insert into Kvn532Aem (AemApg,AemKng,AemEmo,AemGvo,AemGbi,AemKal) values ('" +
             group + "'," + std::to_string(kng) + ",'" + emo + "','" + gvo +
             " 00:00:00'," + (gbi.empty() ? "null" : "'" + gbi + " 00:00:00'") + "," +
             std::to_string(kal) + ")");
  }
  void AddShift(const std::string& emo, const std::string& ttp, int beg, int end, int pmo) {
    Exec("insert into Kvn533Emo (EmoEmo,EmoTtp,EmoTxt,EmoBeg,EmoEnd,EmoArt,EmoPmo) "
         "values ('" + emo + "','" + ttp + "','S" + std::to_string(beg) + "'," +
             std::to_string(beg) + "," + std::to_string(end) + ",3," +
             std::to_string(pmo) + ")");
  }
  // A break num from beg to end, assigned to break model pmo from gvo to gbi.
  void AddBreak(int pmo, int num, int beg, int end, const std::string& gvo,
                const std::string& gbi) {
    Exec("insert into Kvn535Pms values (" + std::to_string(num) + "," +
             std::to_string(beg) + "," + std::to_string(end) + ",1,2,3,0.5)");
    Exec("insert into Kvn536Pmz values (" + std::to_string(pmo) + "," +
             std::to_string(num) + ",'" + gvo + " 00:00:00'," +
             (gbi.empty() ? "null" : "'" + gbi + " 00:00:00'") + ")");
  }
  std::vector<std::string> AemRows(const char* group, int kng, const char* day) {
    std::vector<std::string> rows;
    EXPECT_EQ(0, Aem_Open(group, kng, day));
    AemRecord r;
    while (Aem_Fetch(r) == 0) rows.push_back(std::string(r.AemEmo.c_str()) + "/" + r.AemGvo.c_str());
    return rows;
  }
};

TEST_F(ShiftTest, AemCursorJoinsCalendarAndDayAndFillsEveryField) {
  Exec("insert into Kvn532Aem values ('G1',1,'M1','2024-05-01 00:00:00',null,'Bez','Txt',7,"
       "4,1.5,2.5,3.5,4.5,5.5,6.5,7.5,8.5,9.5)");
  Exec("insert into Kvn133Kal values (7,'AT','2024-05-15 00:00:00')");
  Exec("insert into Kvn133Kal values (7,'FT','2024-05-16 00:00:00')");
  Exec("insert into Kvn133Bak values ('2024-05-15 00:00:00',2024,5,15,20,3,136)");
  AddShift("M1", "AT", 840, 1320, 0);
  AddShift("M1", "AT", 360, 840, 0);
  AddShift("M1", "FT", 0, 1440, 0);  // other day type: not on the 15th

  ASSERT_EQ(0, Aem_Open("G1", 1, "20240515"));
  AemRecord r;
  ASSERT_EQ(0, Aem_Fetch(r));
  EXPECT_STREQ("G1", r.AemApg.c_str());
  EXPECT_STREQ("M1", r.AemEmo.c_str());
  EXPECT_STREQ("20240501", r.AemGvo.c_str());
  EXPECT_STREQ("Bez", r.AemBez.c_str());
  EXPECT_STREQ("Txt", r.AemTxt.c_str());
  EXPECT_EQ(7, r.AemKal);
  EXPECT_EQ(4, r.AemLkz);
  EXPECT_DOUBLE_EQ(1.5, r.AemVzt);
  EXPECT_DOUBLE_EQ(2.5, r.AemEzt);
  EXPECT_DOUBLE_EQ(3.5, r.AemPrz);
  EXPECT_DOUBLE_EQ(4.5, r.AemAfz);
  EXPECT_DOUBLE_EQ(5.5, r.AemApz);
  EXPECT_DOUBLE_EQ(6.5, r.AemPrp);
  EXPECT_DOUBLE_EQ(7.5, r.AemAfp);
  EXPECT_DOUBLE_EQ(8.5, r.AemApp);
  EXPECT_STREQ("AT", r.KalBtp.c_str());
  EXPECT_STREQ("20240515", r.KalDtm.c_str());
  EXPECT_EQ(2024, r.BakJhr);
  EXPECT_EQ(5, r.BakMon);
  EXPECT_EQ(20, r.BakWch);
  EXPECT_EQ(3, r.BakWtg);
  EXPECT_EQ(136, r.BakJtg);
  EXPECT_DOUBLE_EQ(9.5, r.AemMaz);
  // One row per shift of the day type, by start: the second starts at 840.
  AemRecord second;
  ASSERT_EQ(0, Aem_Fetch(second));
  EXPECT_STREQ("M1", second.AemEmo.c_str());
  EXPECT_EQ(1403, Aem_Fetch(second));
  EXPECT_STREQ("M1", second.AemEmo.c_str());  // untouched after the last row

  // A day without its row in Kvn133Bak selects nothing.
  ASSERT_EQ(0, Aem_Open("G1", 1, "20240516"));
  EXPECT_EQ(1403, Aem_Fetch(r));
}

TEST_F(ShiftTest, AemCursorTakesTheModelsValidOnTheDayBothEndsIncluded) {
  Exec("insert into Kvn133Kal values (1,'AT','2024-05-15 00:00:00')");
  Exec("insert into Kvn133Bak (BakDtm) values ('2024-05-15 00:00:00')");
  for (const char* emo : {"STARTS", "ENDS", "OPEN", "ENDED", "LATER", "KIND2", "OTHERCAL"})
    AddShift(emo, "AT", 0, 480, 0);
  AddAem("G1", 1, "STARTS", "2024-05-15", "2024-06-01", 1);
  AddAem("G1", 1, "ENDS", "2024-01-01", "2024-05-15", 1);
  AddAem("G1", 1, "OPEN", "2024-01-01", "", 1);
  AddAem("G1", 1, "ENDED", "2024-01-01", "2024-05-14", 1);
  AddAem("G1", 1, "LATER", "2024-05-16", "", 1);
  AddAem("G1", 2, "KIND2", "2024-01-01", "", 1);
  AddAem("G1", 1, "OTHERCAL", "2024-01-01", "", 2);  // calendar 2 has no day

  std::vector<std::string> rows = AemRows("G1", 1, "20240515");
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ((std::vector<std::string>{"ENDS/20240101", "OPEN/20240101", "STARTS/20240515"}), rows);
  EXPECT_EQ((std::vector<std::string>{"KIND2/20240101"}), AemRows("G1", 2, "20240515"));
  // A group or day that does not fit its column names nothing.
  EXPECT_TRUE(AemRows("G1XXXXXXXXXX", 1, "20240515").empty());
  EXPECT_TRUE(AemRows("G1", 1, "202405150").empty());
}

TEST_F(ShiftTest, AemCountCountsTheKindTwoModelsOfTheGroup) {
  AddAem("G1", 2, "A", "2024-01-01", "", 1);
  AddAem("G1", 2, "B", "2023-01-01", "2023-12-31", 1);
  AddAem("G1", 1, "C", "2024-01-01", "", 1);
  AddAem("G2", 2, "D", "2024-01-01", "", 1);
  int32_t n = -1;
  ASSERT_EQ(0, Aem_Count("G1", &n));
  EXPECT_EQ(2, n);
  ASSERT_EQ(0, Aem_Count("G3", &n));
  EXPECT_EQ(0, n);
}

TEST_F(ShiftTest, PmsCursorDeliversTheBreaksAssignedOnTheDay) {
  AddShift("M1", "AT", 360, 840, 5);
  AddShift("M1", "AT", 840, 1320, 6);
  AddShift("M1", "FT", 0, 480, 5);
  AddBreak(5, 1, 540, 555, "2024-05-15", "2024-05-31");  // starts on the day
  AddBreak(6, 2, 1080, 1110, "2024-01-01", "2024-05-15");  // ends on the day
  AddBreak(6, 3, 1200, 1210, "2024-01-01", "2024-05-14");  // ended
  AddBreak(6, 4, 1000, 1010, "2024-01-01", "");  // no end: never valid

  ASSERT_EQ(0, Pms_Open("M1", "AT", "20240515"));
  PmsRecord r;
  ASSERT_EQ(0, Pms_Fetch(r));
  EXPECT_STREQ("M1", r.EmoEmo.c_str());
  EXPECT_STREQ("AT", r.EmoTtp.c_str());
  EXPECT_STREQ("S360", r.EmoTxt.c_str());
  EXPECT_EQ(360, r.EmoBeg);
  EXPECT_EQ(840, r.EmoEnd);
  EXPECT_EQ(1, r.PmsNum);
  EXPECT_EQ(540, r.PmsBeg);
  EXPECT_EQ(555, r.PmsEnd);
  EXPECT_EQ(1, r.PmsInt);
  EXPECT_EQ(2, r.PmsPse);
  EXPECT_EQ(3, r.PmsBzt);
  EXPECT_DOUBLE_EQ(0.5, r.PmsPrz);
  ASSERT_EQ(0, Pms_Fetch(r));
  EXPECT_EQ(2, r.PmsNum);
  EXPECT_EQ(840, r.EmoBeg);
  EXPECT_EQ(1403, Pms_Fetch(r));
  EXPECT_EQ(2, r.PmsNum);
}

TEST_F(ShiftTest, PmsSumMinutesAddsBreaksWithinTheDayAndPastMidnight) {
  AddShift("N1", "AT", 1320, 360, 5);
  AddBreak(5, 1, 1380, 60, "2024-05-01", "2024-05-31");  // 23:00 to 01:00
  AddBreak(5, 2, 180, 195, "2024-05-01", "2024-05-31");
  AddBreak(5, 3, 200, 300, "2024-06-01", "2024-06-30");  // not yet valid

  PmsSumRecord r;
  r.EmoEmo = "N1";
  r.EmoTtp = "AT";
  r.PmsSum = -1;
  EXPECT_EQ(0, Pms_SumMinutes(r, "20240515"));
  EXPECT_EQ(135, r.PmsSum);

  // Only the break past midnight.
  Exec("delete from Kvn535Pms where PmsNum=2");
  EXPECT_EQ(0, Pms_SumMinutes(r, "20240515"));
  EXPECT_EQ(120, r.PmsSum);

  // No break at all: the sums are NULL and count 0.
  r.EmoTtp = "FT";
  r.PmsSum = 77;
  EXPECT_EQ(0, Pms_SumMinutes(r, "20240515"));
  EXPECT_EQ(0, r.PmsSum);
}

TEST_F(ShiftTest, PmsSumMinutesKeepsTheTotalWhenASumFails) {
  AddShift("N1", "AT", 0, 480, 5);
  AddBreak(5, 1, 100, 130, "2024-05-01", "2024-05-31");
  Exec("drop table Kvn536Pmz");
  PmsSumRecord r;
  r.EmoEmo = "N1";
  r.EmoTtp = "AT";
  r.PmsSum = 55;
  EXPECT_EQ(-942, Pms_SumMinutes(r, "20240515"));
  EXPECT_EQ(55, r.PmsSum) << "the first sum failed: the total is untouched";
}

// Fails every single-row select after the first.
class SecondSelectFails : public sql::ForwardingEngine {
 public:
  int SelectOne(const sql::Stmt& s, const sql::Bind* b, int nb, const sql::Out* o,
                int no) override {
    if (++selects > 1) return -3113;
    return ForwardingEngine::SelectOne(s, b, nb, o, no);
  }
  int selects = 0;
};

TEST_F(ShiftTest, PmsSumMinutesKeepsTheFirstSumWhenTheSecondFails) {
  AddShift("N1", "AT", 0, 480, 5);
  AddBreak(5, 1, 100, 130, "2024-05-01", "2024-05-31");
  PmsSumRecord r;
  r.EmoEmo = "N1";
  r.EmoTtp = "AT";
  r.PmsSum = 55;
  SecondSelectFails engine;
  sql::SetEngineForTest(&engine);
  const int rc = Pms_SumMinutes(r, "20240515");
  sql::SetEngineForTest(nullptr);
  EXPECT_EQ(-3113, rc);
  EXPECT_EQ(30, r.PmsSum);
}

TEST_F(ShiftTest, EmoCursorDeliversTheShiftsOfOneModelAndDayTypeByStart) {
  AddShift("M1", "AT", 840, 1320, 0);
  AddShift("M1", "AT", 360, 840, 0);
  AddShift("M1", "FT", 0, 480, 0);
  AddShift("M2", "AT", 0, 480, 0);
  ASSERT_EQ(0, Emo_Open("M1", "AT"));
  EmoRecord r;
  ASSERT_EQ(0, Emo_Fetch(r));
  EXPECT_STREQ("M1", r.EmoEmo.c_str());
  EXPECT_STREQ("AT", r.EmoTtp.c_str());
  EXPECT_STREQ("S360", r.EmoTxt.c_str());
  EXPECT_EQ(360, r.EmoBeg);
  EXPECT_EQ(840, r.EmoEnd);
  EXPECT_EQ(3, r.EmoArt);
  ASSERT_EQ(0, Emo_Fetch(r));
  EXPECT_EQ(840, r.EmoBeg);
  EXPECT_EQ(1403, Emo_Fetch(r));
  EXPECT_EQ(840, r.EmoBeg);
  EXPECT_EQ(0, Emo_Close());
  EXPECT_GT(0, Emo_Fetch(r));  // closed
}

}  // namespace
