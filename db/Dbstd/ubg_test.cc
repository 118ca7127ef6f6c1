#include "db/Dbstd/ubg.h"

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

class UbgTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    FixClock("2030-06-15 10:20:30");
    DatabaseTest::SetUp();
  }
  void TearDown() override {
    (void)Ubg_Close();
    DatabaseTest::TearDown();
  }
  std::string Row(const std::string& key) {
    return Query("select * from Kvn521Ubg where UbgUbg='" + key + "'");
  }
};

const char kFullRow[] =
    "insert into Kvn521Ubg values ('U1',1,'Fbe','Bez','Txt','Zf1','Zf2','Zf3',1.5,2.5,3.5,"
    "'St1','St2','St3',4.5,5.5,6.5,'AEN','ZuzErOro',-3,'2020-01-01 00:00:00','Erf')";

// Every field a distinct value, none of them those of kFullRow.
UbgRecord Changed(const char* key) {
  UbgRecord r;
  r.UbgUbg = key;
  r.UbgKnz = 7;
  r.UbgFbe = "FBE2";
  r.UbgBez = "Bezeichnung";
  r.UbgTxt = "Text";
  r.UbgZf1 = "z1";
  r.UbgZf2 = "z2";
  r.UbgZf3 = "z3";
  r.UbgAst = 10.25;
  r.UbgRst = 11.25;
  r.UbgAsf = 12.25;
  r.UbgSt1 = "s1";
  r.UbgSt2 = "s2";
  r.UbgSt3 = "s3";
  r.UbgSf1 = 13.25;
  r.UbgSf2 = 14.25;
  r.UbgSf3 = 15.25;
  r.UbgDna = "NEU";
  r.UbgDwn = "ZalToGen";
  r.UbgSta = -12;
  r.UbgDat = "19991231235959";
  r.UbgErf = "Kolvane";
  return r;
}

// Compares every field the statements read (all but UbgDat).
void ExpectSameRow(const UbgRecord& want, const UbgRecord& got) {
  EXPECT_STREQ(want.UbgUbg.s, got.UbgUbg.s);
  EXPECT_EQ(want.UbgKnz, got.UbgKnz);
  EXPECT_STREQ(want.UbgFbe.s, got.UbgFbe.s);
  EXPECT_STREQ(want.UbgBez.s, got.UbgBez.s);
  EXPECT_STREQ(want.UbgTxt.s, got.UbgTxt.s);
  EXPECT_STREQ(want.UbgZf1.s, got.UbgZf1.s);
  EXPECT_STREQ(want.UbgZf2.s, got.UbgZf2.s);
  EXPECT_STREQ(want.UbgZf3.s, got.UbgZf3.s);
  EXPECT_DOUBLE_EQ(want.UbgAst, got.UbgAst);
  EXPECT_DOUBLE_EQ(want.UbgRst, got.UbgRst);
  EXPECT_DOUBLE_EQ(want.UbgAsf, got.UbgAsf);
  EXPECT_STREQ(want.UbgSt1.s, got.UbgSt1.s);
  EXPECT_STREQ(want.UbgSt2.s, got.UbgSt2.s);
  EXPECT_STREQ(want.UbgSt3.s, got.UbgSt3.s);
  EXPECT_DOUBLE_EQ(want.UbgSf1, got.UbgSf1);
  EXPECT_DOUBLE_EQ(want.UbgSf2, got.UbgSf2);
  EXPECT_DOUBLE_EQ(want.UbgSf3, got.UbgSf3);
  EXPECT_STREQ(want.UbgDna.s, got.UbgDna.s);
  EXPECT_STREQ(want.UbgDwn.s, got.UbgDwn.s);
  EXPECT_EQ(want.UbgSta, got.UbgSta);
  EXPECT_STREQ(want.UbgErf.s, got.UbgErf.s);
}

UbgRecord FullRow() {
  UbgRecord r;
  r.UbgUbg = "U1";
  r.UbgKnz = 1;
  r.UbgFbe = "Fbe";
  r.UbgBez = "Bez";
  r.UbgTxt = "Txt";
  r.UbgZf1 = "Zf1";
  r.UbgZf2 = "Zf2";
  r.UbgZf3 = "Zf3";
  r.UbgAst = 1.5;
  r.UbgRst = 2.5;
  r.UbgAsf = 3.5;
  r.UbgSt1 = "St1";
  r.UbgSt2 = "St2";
  r.UbgSt3 = "St3";
  r.UbgSf1 = 4.5;
  r.UbgSf2 = 5.5;
  r.UbgSf3 = 6.5;
  r.UbgDna = "AEN";
  r.UbgDwn = "ZuzErOro";
  r.UbgSta = -3;
  r.UbgErf = "Erf";
  return r;
}

TEST_F(UbgTest, ReadByKeyFillsEveryColumnAndKeepsUbgDat) {
  Exec(kFullRow);
  UbgRecord r;
  r.UbgUbg = "U1";
  r.UbgDat = "keep";
  ASSERT_EQ(0, Ubg_PKeyReadk(r));
  ExpectSameRow(FullRow(), r);
  EXPECT_TRUE(r.UbgDat == "keep");
}

TEST_F(UbgTest, FailedReadKeepsOnlyTheKey) {
  Exec(kFullRow);
  UbgRecord r = Changed("U9");
  EXPECT_EQ(1403, Ubg_PKeyReadk(r));
  UbgRecord cleared;
  cleared.UbgUbg = "U9";
  ExpectSameRow(cleared, r);
  EXPECT_TRUE(r.UbgDat.empty());
}

TEST_F(UbgTest, UpdateWritesEveryColumnAndTheDatabaseTime) {
  Exec(kFullRow);
  Exec("insert into Kvn521Ubg (UbgUbg,UbgBez) values ('U2','other')");
  UbgRecord w = Changed("U1");
  ASSERT_EQ(0, Ubg_PKeyUpd(w));
  EXPECT_EQ("U1|7|FBE2|Bezeichnung|Text|z1|z2|z3|10.25|11.25|12.25|s1|s2|s3|13.25|14.25|15.25|"
            "NEU|ZalToGen|-12|2030-06-15 10:20:30|Kolvane",
            Row("U1"));
  EXPECT_EQ("other", Query("select UbgBez from Kvn521Ubg where UbgUbg='U2'"));
  // Round trip: what was written reads back field for field.
  UbgRecord r;
  r.UbgUbg = "U1";
  ASSERT_EQ(0, Ubg_PKeyReadk(r));
  ExpectSameRow(w, r);
}

TEST_F(UbgTest, UpdateOfMissingKeyTouchesNothing) {
  Exec(kFullRow);
  const std::string before = Row("U1");
  EXPECT_EQ(1403, Ubg_PKeyUpd(Changed("U2")));
  EXPECT_EQ(before, Row("U1"));
  EXPECT_EQ("1", Query("select count(*) from Kvn521Ubg"));
}

TEST_F(UbgTest, DeleteByKey) {
  Exec("insert into Kvn521Ubg (UbgUbg) values ('ABCD'); "
       "insert into Kvn521Ubg (UbgUbg) values ('U2')");
  EXPECT_EQ(1403, Ubg_PKeyDel("U3"));
  // Cut to four characters this key would name ABCD.
  EXPECT_EQ(1403, Ubg_PKeyDel("ABCDE"));
  EXPECT_EQ("ABCD\nU2", Query("select UbgUbg from Kvn521Ubg order by UbgUbg"));
  EXPECT_EQ(0, Ubg_PKeyDel("ABCD"));
  EXPECT_EQ("U2", Query("select UbgUbg from Kvn521Ubg"));
}

TEST_F(UbgTest, CursorDeliversTheKeysStrictlyBetweenTheBoundsInOrder) {
  Exec(kFullRow);
  for (const char* k : {"U4", "U0", "U3", "U5"})
    Exec(std::string("insert into Kvn521Ubg (UbgUbg) values ('") + k + "')");
  ASSERT_EQ(0, Ubg_Open("U0", "U4"));
  UbgRecord r;
  r.UbgDat = "keep";
  ASSERT_EQ(0, Ubg_Fetch(r));
  ExpectSameRow(FullRow(), r);
  EXPECT_TRUE(r.UbgDat == "keep");
  ASSERT_EQ(0, Ubg_Fetch(r));
  EXPECT_TRUE(r.UbgUbg == "U3");
  EXPECT_TRUE(r.UbgBez.empty());
  EXPECT_EQ(1403, Ubg_Fetch(r));
  EXPECT_TRUE(r.UbgUbg == "U3");
  EXPECT_EQ(0, Ubg_Close());
  EXPECT_NE(0, Ubg_Fetch(r));
}

}  // namespace
