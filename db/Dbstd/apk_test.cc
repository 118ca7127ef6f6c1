#include "db/Dbstd/apk.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "runtime/os/test_env.h"
#include "sql/engine.h"
#include "sql/errors.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;
using testing_support::QuerySql;

// Every field as "name=value;", so that a mismatch names the field.
std::string Describe(const OrderRecord& r) {
  std::string o;
#define T(f) o += #f "=" + std::string(r.f.c_str()) + ";"
#define N(f) o += #f "=" + std::to_string(r.f) + ";"
  T(ApkApk); T(ApkBz1); T(ApkBz2); T(ApkTxt); N(ApkSts); N(ApkSis); T(ApkKun);
  T(ApkKb1); T(ApkKb2); T(ApkBgs); T(ApkEns); N(ApkAfo); N(ApkEaf); T(ApkTnr);
  T(ApkTb1); T(ApkTb2); N(ApkSme); N(ApkIme); T(ApkMee); T(ApkBdiDate);
  T(ApkBdiTime); T(ApkEdiDate); T(ApkEdiTime); T(ApkFbe); T(ApkKst); T(ApkZf1);
  T(ApkZf2); T(ApkZf3); T(ApkKnz); N(ApkSsn); T(ApkDna); T(ApkDwn); N(ApkSta);
  T(ApkDat); T(ApkErf); N(ApkAba);
#undef T
#undef N
  return o;
}

// An order with a distinct value in every field; v varies the values.
OrderRecord Order(const char* key, int v = 0) {
  OrderRecord r;
  std::string s = std::to_string(v);
  r.ApkApk = key;
  r.ApkBz1 = ("Bezeichnung eins " + s).c_str();
  r.ApkBz2 = ("Bezeichnung zwei " + s).c_str();
  r.ApkTxt = ("Txt" + s).c_str();
  r.ApkSts = 10 + v;
  r.ApkSis = -3 - v;
  r.ApkKun = ("K" + s).c_str();
  r.ApkKb1 = ("Kunde eins " + s).c_str();
  r.ApkKb2 = ("Kunde zwei " + s).c_str();
  r.ApkBgs = v ? "20240229" : "20231231";
  r.ApkEns = v ? "20240301" : "20240102";
  r.ApkAfo = 32767 - v;
  r.ApkEaf = -32768 + v;
  r.ApkTnr = ("Teil-" + s).c_str();
  r.ApkTb1 = ("Teil eins " + s).c_str();
  r.ApkTb2 = ("Teil zwei " + s).c_str();
  r.ApkSme = 1234.5 + v;
  r.ApkIme = -0.25 * (v + 1);
  r.ApkMee = v ? "KG" : "STK";
  r.ApkBdiDate = "20240115";
  r.ApkBdiTime = "073000";
  r.ApkEdiDate = "20241231";
  r.ApkEdiTime = "235959";
  r.ApkFbe = ("Fbe" + s).c_str();
  r.ApkKst = ("Kst" + s).c_str();
  r.ApkZf1 = ("Zf1 " + s).c_str();
  r.ApkZf2 = ("Zf2 " + s).c_str();
  r.ApkZf3 = ("Zf3 " + s).c_str();
  r.ApkKnz = v ? "Y" : "X";
  r.ApkSsn = 7 + v;
  r.ApkDna = v ? "AEN" : "NEU";
  r.ApkDwn = v ? "ZalToGen" : "ZuzErOro";
  r.ApkSta = 2 + v;
  r.ApkErf = "Kolvane";
  r.ApkAba = 123456789 - v;
  return r;
}

class ApkTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    FixClock("2024-03-05 06:07:08");
    DatabaseTest::SetUp();
  }
  void TearDown() override {
    Apk_Close(1);
    Apk_Close(2);
    DatabaseTest::TearDown();
  }
  std::string Table() { return Query("select * from Kvn501Apk order by ApkApk"); }
  OrderRecord Read(const char* key, int* rc) {
    OrderRecord r;
    r.ApkApk = key;
    *rc = Apk_PKeyReadk(r);
    return r;
  }
};

TEST_F(ApkTest, InsertAndReadKeepEveryFieldButTheActualDates) {
  OrderRecord in = Order("A-100000001Z");  // 12 characters, the longest key
  ASSERT_EQ(0, Apk_PKeyIns(in));

  int rc = 0;
  OrderRecord out;
  out.ApkApk = "A-100000001Z";
  out.ApkDat = "untouched";
  rc = Apk_PKeyReadk(out);
  ASSERT_EQ(0, rc);
  // The insert writes ApkBdi and ApkEdi as NULL; the read leaves ApkDat.
  OrderRecord expected = in;
  expected.ApkBdiDate.Clear();
  expected.ApkBdiTime.Clear();
  expected.ApkEdiDate.Clear();
  expected.ApkEdiTime.Clear();
  expected.ApkDat = "untouched";
  EXPECT_EQ(Describe(expected), Describe(out));
  EXPECT_EQ("<null>|<null>|2024-03-05 06:07:08|2023-12-31 00:00:00",
            Query("select ApkBdi, ApkEdi, ApkDat, ApkBgs from Kvn501Apk"));
}

TEST_F(ApkTest, UpdateWritesEveryFieldAndEmptyDatesStayNull) {
  ASSERT_EQ(0, Apk_PKeyIns(Order("A1")));
  OrderRecord changed = Order("A1", 1);
  FixClock("2024-12-31 23:59:58");
  ASSERT_EQ(0, Apk_PKeyUpd(changed));
  int rc = 0;
  OrderRecord out = Read("A1", &rc);
  ASSERT_EQ(0, rc);
  changed.ApkDat.Clear();  // not read by key
  EXPECT_EQ(Describe(changed), Describe(out));
  EXPECT_EQ("2024-01-15 07:30:00|2024-12-31 23:59:59|2024-12-31 23:59:58",
            Query("select ApkBdi, ApkEdi, ApkDat from Kvn501Apk"));

  // A row read with NULL dates and written back keeps them NULL.
  Exec("update Kvn501Apk set ApkBdi=NULL, ApkBgs=NULL");
  out = Read("A1", &rc);
  ASSERT_EQ(0, rc);
  EXPECT_EQ("", std::string(out.ApkBdiDate.c_str()) + out.ApkBdiTime.c_str() +
                    out.ApkBgs.c_str());
  ASSERT_EQ(0, Apk_PKeyUpd(out));
  EXPECT_EQ("<null>|<null>|2024-12-31 23:59:59",
            Query("select ApkBdi, ApkBgs, ApkEdi from Kvn501Apk"));
}

TEST_F(ApkTest, FailedReadKeepsOnlyTheKey) {
  ASSERT_EQ(0, Apk_PKeyIns(Order("A1")));
  OrderRecord r = Order("A2", 1);
  r.ApkDat = "20240101000000";
  EXPECT_EQ(sql::kNoData, Apk_PKeyReadk(r));
  OrderRecord expected;
  expected.ApkApk = "A2";
  EXPECT_EQ(Describe(expected), Describe(r));
}

TEST_F(ApkTest, MissingKeyChangesNothing) {
  ASSERT_EQ(0, Apk_PKeyIns(Order("A1")));
  std::string before = Table();
  EXPECT_EQ(sql::kNoData, Apk_PKeyUpd(Order("A2", 1)));
  EXPECT_EQ(sql::kNoData, Apk_PKeyDel("A2"));
  // A number too long for the column must not be cut to another order's.
  EXPECT_EQ(sql::kNoData, Apk_PKeyDel("A1X"));
  EXPECT_EQ(sql::kNoData, Apk_PKeyDel("A-100000001ZZ"));
  EXPECT_EQ(before, Table());
  ASSERT_EQ(0, Apk_PKeyIns(Order("A-100000001Z")));
  EXPECT_EQ(sql::kNoData, Apk_PKeyDel("A-100000001ZZ"));
  EXPECT_EQ(0, Apk_PKeyDel("A-100000001Z"));
  EXPECT_EQ(0, Apk_PKeyDel("A1"));
  EXPECT_EQ("0", Query("select count(*) from Kvn501Apk"));
}

TEST_F(ApkTest, FailedWritesRollBackAndReleaseTheDatabase) {
  ASSERT_EQ(0, Apk_PKeyIns(Order("A1")));
  std::string before = Table();
  EXPECT_EQ(sql::kUniqueViolated, Apk_PKeyIns(Order("A1", 1)));
  OrderRecord bad = Order("A2");
  bad.ApkBgs = "20241301";
  EXPECT_EQ(sql::kNotValidMonth, Apk_PKeyIns(bad));
  bad = Order("A1", 1);
  bad.ApkBdiTime = "250000";
  EXPECT_EQ(sql::kHour, Apk_PKeyUpd(bad));
  // Another program's text that is no date is refused by the schema.
  sql::Stmt raw{"update Kvn501Apk set ApkEns='2024-02-30 00:00:00' where ApkApk='A1'"};
  EXPECT_EQ(sql::kNonNumeric, sql::Exec(raw, nullptr, 0));
  EXPECT_EQ(before, Table());
  // Nothing stays locked: another connection can write at once.
  Exec("delete from Kvn501Apk");
  EXPECT_EQ(sql::kNoData, Apk_PKeyDel("A1"));
}

// Records the statements the session executes and its commits.
class RecordingEngine : public sql::ForwardingEngine {
 public:
  int Exec(const sql::Stmt& s, const sql::Bind* b, int n) override {
    texts.push_back(s.text);
    return ForwardingEngine::Exec(s, b, n);
  }
  int Commit() override {
    texts.push_back("COMMIT");
    return ForwardingEngine::Commit();
  }
  std::vector<std::string> texts;
};

TEST_F(ApkTest, WritesCommitOrRollBackToTheirSavepoint) {
  RecordingEngine rec;
  sql::SetEngineForTest(&rec);
  int ins = Apk_PKeyIns(Order("A1"));
  int del = Apk_PKeyDel("A2");
  sql::SetEngineForTest(nullptr);
  ASSERT_EQ(0, ins);
  ASSERT_EQ(sql::kNoData, del);
  ASSERT_EQ(6u, rec.texts.size());
  EXPECT_EQ("savepoint Apk_PKeyIns_Sp", rec.texts[0]);
  EXPECT_EQ("COMMIT", rec.texts[2]);
  EXPECT_EQ("savepoint Apk_PKeyDel_Sp", rec.texts[3]);
  EXPECT_EQ("delete  from Kvn501Apk  where ApkApk=:b0", rec.texts[4]);
  EXPECT_EQ("rollback  to Apk_PKeyDel_Sp", rec.texts[5]);
}

TEST_F(ApkTest, SixteenBitColumnsKeepTheLowBits) {
  OrderRecord r = Order("A1");
  r.ApkSts = 40000;      // 0x9C40
  r.ApkSsn = -32769;     // 0xFFFF7FFF
  r.ApkAba = 2000000000;  // 32-bit
  ASSERT_EQ(0, Apk_PKeyIns(r));
  int rc = 0;
  OrderRecord out = Read("A1", &rc);
  ASSERT_EQ(0, rc);
  EXPECT_EQ(40000 - 65536, out.ApkSts);
  EXPECT_EQ(32767, out.ApkSsn);
  EXPECT_EQ(2000000000, out.ApkAba);
  EXPECT_EQ(32767, out.ApkAfo);
  EXPECT_EQ(-32768, out.ApkEaf);
}

TEST_F(ApkTest, RangeCursorExcludesItsBoundsInBothDirections) {
  for (const char* k : {"A", "AA", "AB", "B", "BA"})
    ASSERT_EQ(0, Apk_PKeyIns(Order(k)));
  Exec("update Kvn501Apk set ApkDna='LOE', ApkDwn='ZalToGen' where ApkApk='AB'");
  for (int dir : {1, 2}) {
    ASSERT_EQ(0, Apk_Open("A", "B", dir));
    std::vector<std::string> keys;
    OrderRecord r;
    while (Apk_Fetch(r, dir) == 0) {
      keys.push_back(r.ApkApk.c_str());
      EXPECT_EQ(std::string(keys.back() == "AB" ? "LOE/ZalToGen" : "NEU/ZuzErOro"),
                std::string(r.ApkDna.c_str()) + "/" + r.ApkDwn.c_str());
    }
    const std::vector<std::string> ascending = {"AA", "AB"};
    const std::vector<std::string> descending = {"AB", "AA"};
    EXPECT_EQ(dir == 1 ? ascending : descending, keys);
    // The end leaves the record as it was.
    EXPECT_EQ(dir == 1 ? "AB" : "AA", std::string(r.ApkApk.c_str()));
    EXPECT_EQ(0, Apk_Close(dir));
  }
  OrderRecord r = Order("X");
  EXPECT_EQ(0, Apk_Open("A", "B", 3));
  EXPECT_EQ(sql::kInvalidCursor, Apk_Fetch(r, 3));
  EXPECT_EQ(sql::kInvalidCursor, Apk_Fetch(r, 1));  // closed above
  EXPECT_EQ(Describe(Order("X")), Describe(r));
}

}  // namespace
