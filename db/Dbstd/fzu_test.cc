#include "db/Dbstd/fzu.h"

#include <gtest/gtest.h>

#include <string>

#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;

class FzuTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    Exec("insert into Kvn553Fzu values ('F1','0','M1','Bez','Txt',3,'Obj',4,5,'Zf1','Zf2',"
         "'Zf3',-6,'Erf');"
         "insert into Kvn553Fzu values ('F1','1','M9','Bez1','Txt1',0,'',0,0,'','','',0,'');"
         "insert into Kvn553Fzu (FzuFcd,FzuAec,FzuMld) values ('F2','1','M2');"
         "insert into Kvn553Fzu (FzuFcd,FzuAec,FzuMld) values ('F3','0','M3');"
         "insert into Kvn553Fzu (FzuFcd,FzuAec,FzuMld) values ('F4','0','M3');");
  }
};

FzuRecord Full() {
  FzuRecord r;
  r.FzuFcd = "F1";
  r.FzuMld = "M1";
  r.FzuBez = "Bez";
  r.FzuTxt = "Txt";
  r.FzuArt = 3;
  r.FzuObj = "Obj";
  r.FzuUpl = 4;
  r.FzuGen = 5;
  r.FzuZf1 = "Zf1";
  r.FzuZf2 = "Zf2";
  r.FzuZf3 = "Zf3";
  r.FzuSta = -6;
  r.FzuErf = "Erf";
  return r;
}

// Some value in every field, none of them those of the stored rows.
FzuRecord Junk(const char* fcd, const char* mld) {
  FzuRecord r;
  r.FzuFcd = fcd;
  r.FzuMld = mld;
  r.FzuBez = "x";
  r.FzuTxt = "x";
  r.FzuArt = 9;
  r.FzuObj = "x";
  r.FzuUpl = 9;
  r.FzuGen = 9;
  r.FzuZf1 = "x";
  r.FzuZf2 = "x";
  r.FzuZf3 = "x";
  r.FzuSta = 9;
  r.FzuErf = "x";
  return r;
}

void ExpectSameRow(const FzuRecord& want, const FzuRecord& got) {
  EXPECT_STREQ(want.FzuFcd.s, got.FzuFcd.s);
  EXPECT_STREQ(want.FzuMld.s, got.FzuMld.s);
  EXPECT_STREQ(want.FzuBez.s, got.FzuBez.s);
  EXPECT_STREQ(want.FzuTxt.s, got.FzuTxt.s);
  EXPECT_EQ(want.FzuArt, got.FzuArt);
  EXPECT_STREQ(want.FzuObj.s, got.FzuObj.s);
  EXPECT_EQ(want.FzuUpl, got.FzuUpl);
  EXPECT_EQ(want.FzuGen, got.FzuGen);
  EXPECT_STREQ(want.FzuZf1.s, got.FzuZf1.s);
  EXPECT_STREQ(want.FzuZf2.s, got.FzuZf2.s);
  EXPECT_STREQ(want.FzuZf3.s, got.FzuZf3.s);
  EXPECT_EQ(want.FzuSta, got.FzuSta);
  EXPECT_STREQ(want.FzuErf.s, got.FzuErf.s);
}

TEST_F(FzuTest, ReadByKeyTakesTheRowOfVariant0) {
  FzuRecord r = Junk("F1", "");
  ASSERT_EQ(0, Fzu_PKeyReadk(r));
  ExpectSameRow(Full(), r);
}

TEST_F(FzuTest, FailedReadByKeyKeepsOnlyTheKey) {
  // F2 exists in variant 1 only.
  for (const char* key : {"F2", "F7"}) {
    FzuRecord r = Junk(key, "M1");
    EXPECT_EQ(1403, Fzu_PKeyReadk(r)) << key;
    FzuRecord cleared;
    cleared.FzuFcd = key;
    ExpectSameRow(cleared, r);
  }
}

TEST_F(FzuTest, ReadByMessage) {
  FzuRecord r = Junk("", "M1");
  ASSERT_EQ(0, Fzu_ReadMld(r));
  ExpectSameRow(Full(), r);
  // Missing, and several rows: the record stays as it was.
  for (const char* mld : {"M7", "M3"}) {
    r = Junk("F9", mld);
    EXPECT_EQ(std::string(mld) == "M3" ? -2112 : 1403, Fzu_ReadMld(r)) << mld;
    ExpectSameRow(Junk("F9", mld), r);
  }
}

}  // namespace
