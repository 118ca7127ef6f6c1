#include "db/Dbstd/app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/os/test_env.h"
#include "sql/errors.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;
using testing_support::QuerySql;

// Every field as "name=value;", so that a mismatch names the field.
std::string Describe(const OperationRecord& r) {
  std::string o;
#define T(f) o += #f "=" + std::string(r.f.c_str()) + ";"
#define N(f) o += #f "=" + std::to_string(r.f) + ";"
  T(AppApk); T(AppApp); T(AppVaf); T(AppNaf); T(AppBz1); T(AppBz2); T(AppTxt);
  N(AppSts); N(AppSis); T(AppBdiDate); T(AppBdiTime); T(AppBdsDate); T(AppBdsTime);
  T(AppSbdDate); T(AppSbdTime); T(AppEdiDate); T(AppEdiTime); T(AppEdsDate);
  T(AppEdsTime); T(AppSedDate); T(AppSedTime); T(AppRadDate); T(AppRadTime);
  T(AppRedDate); T(AppRedTime); N(AppAgs); N(AppAbs); N(AppAes); N(AppSme);
  N(AppIme); N(AppAme); T(AppMee); N(AppSza); N(AppStr); N(AppSte); N(AppIta);
  N(AppItr); N(AppIte); T(AppApg); T(AppApl); T(AppKt1); T(AppKz1); T(AppKt2);
  T(AppKz2); T(AppKt3); T(AppKz3); T(AppKt4); T(AppKz4); T(AppFbe); T(AppKst);
  T(AppZf1); T(AppZf2); T(AppZf3); T(AppKnz); T(AppDna); T(AppDwn); N(AppSsn);
  N(AppSta); T(AppDat); T(AppErf);
#undef T
#undef N
  return o;
}

// An operation with a distinct value in every field; v varies the values.
OperationRecord Operation(const char* order, const char* op, int v = 0) {
  OperationRecord r;
  std::string s = std::to_string(v);
  auto text = [&](auto& field, const char* prefix) { field = (prefix + s).c_str(); };
  r.AppApk = order;
  r.AppApp = op;
  text(r.AppVaf, "V");
  text(r.AppNaf, "N");
  text(r.AppBz1, "Bezeichnung eins ");
  text(r.AppBz2, "Bezeichnung zwei ");
  text(r.AppTxt, "Txt");
  r.AppSts = 20 + v;
  r.AppSis = -1 - v;
  // Eight distinct date-time columns, each with its own date and time.
  Text<9>* dates[] = {&r.AppBdiDate, &r.AppBdsDate, &r.AppSbdDate, &r.AppEdiDate,
                      &r.AppEdsDate, &r.AppSedDate, &r.AppRadDate, &r.AppRedDate};
  Text<7>* times[] = {&r.AppBdiTime, &r.AppBdsTime, &r.AppSbdTime, &r.AppEdiTime,
                      &r.AppEdsTime, &r.AppSedTime, &r.AppRadTime, &r.AppRedTime};
  for (int i = 0; i < 8; ++i) {
    *dates[i] = ("202" + std::to_string(v) + "0" + std::to_string(i + 1) + "1" +
                 std::to_string(i)).c_str();
    *times[i] = ("1" + std::to_string(i) + "0" + std::to_string(v) + "5" +
                 std::to_string(i)).c_str();
  }
  r.AppAgs = 70000 + v;
  r.AppAbs = -5 - v;
  r.AppAes = 3 + v;
  r.AppSme = 10.5 + v;
  r.AppIme = 11.25 + v;
  r.AppAme = -12.75 - v;
  text(r.AppMee, "M");
  r.AppSza = 1.5 + v;
  r.AppStr = 2.5 + v;
  r.AppSte = 3.5 + v;
  r.AppIta = 4.5 + v;
  r.AppItr = 5.5 + v;
  r.AppIte = 6.5 + v;
  text(r.AppApg, "Gruppe");
  text(r.AppApl, "Platz");
  text(r.AppKt1, "Kostentext1-");
  text(r.AppKz1, "K1");
  text(r.AppKt2, "Kostentext2-");
  text(r.AppKz2, "K2");
  text(r.AppKt3, "Kostentext3-");
  text(r.AppKz3, "K3");
  text(r.AppKt4, "Kostentext4-");
  text(r.AppKz4, "K4");
  text(r.AppFbe, "Fbe");
  text(r.AppKst, "Kst");
  text(r.AppZf1, "Zf1 ");
  text(r.AppZf2, "Zf2 ");
  text(r.AppZf3, "Zf3 ");
  r.AppKnz = v ? "Y" : "X";
  r.AppDna = v ? "AEN" : "NEU";
  r.AppDwn = v ? "ZalToGen" : "ZuzErOro";
  r.AppSsn = 30 + v;
  r.AppSta = 40 + v;
  r.AppErf = "Kolvane";
  return r;
}

class AppTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    FixClock("2024-06-07 08:09:10");
    DatabaseTest::SetUp();
  }
  void TearDown() override {
    (void)App_Close(1);
    (void)App_Close(2);
    (void)App_CloseSts();
    (void)App_CloseZf2();
    DatabaseTest::TearDown();
  }
  std::string Table() { return Query("select * from Kvn504App order by AppApk, AppApp"); }
  void Insert(const char* order, const char* op, int v = 0) {
    ASSERT_EQ(0, App_PKeyIns(Operation(order, op, v))) << order << "/" << op;
  }
  // The keys a cursor delivers through fetch until it stops.
  template <class F>
  std::vector<std::string> FetchKeys(F fetch, OperationRecord* last = nullptr) {
    std::vector<std::string> keys;
    OperationRecord r;
    int rc;
    while ((rc = fetch(r)) == 0)
      keys.push_back(std::string(r.AppApk.c_str()) + "/" + r.AppApp.c_str());
    EXPECT_EQ(sql::kNoData, rc);
    if (last != nullptr) *last = r;
    return keys;
  }
};

using KeyList = std::vector<std::string>;

TEST_F(AppTest, InsertUpdateAndReadKeepEveryField) {
  OperationRecord in = Operation("A-100000001Z", "12345");  // longest key
  ASSERT_EQ(0, App_PKeyIns(in));
  OperationRecord out;
  out.AppApk = in.AppApk;
  out.AppApp = in.AppApp;
  ASSERT_EQ(0, App_PKeyReadk(out));
  in.AppDat = "20240607080910";  // the database clock of the insert
  EXPECT_EQ(Describe(in), Describe(out));
  EXPECT_EQ("2020-01-10 10:00:50|2020-08-17 17:00:57",
            Query("select AppBdi, AppRed from Kvn504App"));

  OperationRecord changed = Operation("A-100000001Z", "12345", 1);
  clock().now += 3600;
  ASSERT_EQ(0, App_PKeyUpd(changed));
  ASSERT_EQ(0, App_PKeyReadk(out));
  changed.AppDat = "20240607090910";
  EXPECT_EQ(Describe(changed), Describe(out));
}

TEST_F(AppTest, EmptyDateTimePartsAreNullAndStayNull) {
  OperationRecord in = Operation("A1", "10");
  in.AppSbdDate.Clear();
  in.AppSbdTime.Clear();
  in.AppRadTime.Clear();  // a date alone is midnight
  ASSERT_EQ(0, App_PKeyIns(in));
  EXPECT_EQ("<null>|2020-07-16 00:00:00", Query("select AppSbd, AppRad from Kvn504App"));
  Exec("update Kvn504App set AppEds=NULL");
  OperationRecord out;
  out.AppApk = "A1";
  out.AppApp = "10";
  ASSERT_EQ(0, App_PKeyReadk(out));
  EXPECT_EQ("||000000", std::string(out.AppSbdDate.c_str()) + out.AppSbdTime.c_str() + "|" +
                            out.AppEdsDate.c_str() + out.AppEdsTime.c_str() + "|" +
                            out.AppRadTime.c_str());
  ASSERT_EQ(0, App_PKeyUpd(out));
  EXPECT_EQ("<null>|<null>|2020-04-13 13:00:53",
            Query("select AppSbd, AppEds, AppEdi from Kvn504App"));
}

TEST_F(AppTest, FailedReadKeepsOnlyTheKey) {
  Insert("A1", "10");
  OperationRecord r = Operation("A1", "20", 1);
  r.AppDat = "20240101000000";
  EXPECT_EQ(sql::kNoData, App_PKeyReadk(r));
  OperationRecord expected;
  expected.AppApk = "A1";
  expected.AppApp = "20";
  EXPECT_EQ(Describe(expected), Describe(r));
}

TEST_F(AppTest, FailedWritesChangeNothing) {
  Insert("A1", "10");
  Insert("A2", "10");  // the same operation number under another order
  std::string before = Table();
  EXPECT_EQ(sql::kNoData, App_PKeyUpd(Operation("A1", "20", 1)));
  EXPECT_EQ(sql::kNoData, App_PKeyDel("A1", "20"));
  EXPECT_EQ(sql::kNoData, App_PKeyDel("A1", "10XXXX"));  // not cut to "10XXX"
  EXPECT_EQ(sql::kUniqueViolated, App_PKeyIns(Operation("A1", "10", 1)));
  OperationRecord bad = Operation("A3", "10");
  bad.AppSedDate = "20230230";
  EXPECT_EQ(sql::kDayOfMonth, App_PKeyIns(bad));
  bad = Operation("A1", "10", 1);
  bad.AppRedTime = "126000";
  EXPECT_EQ(sql::kMinute, App_PKeyUpd(bad));
  EXPECT_EQ(before, Table());
  Exec("update Kvn504App set AppTxt='frei'");  // no lock left behind
  EXPECT_EQ(0, App_PKeyDel("A1", "10"));
  EXPECT_EQ("A2|10", Query("select AppApk, AppApp from Kvn504App"));
}

TEST_F(AppTest, SixteenBitColumnsKeepTheLowBits) {
  OperationRecord r = Operation("A1", "10");
  r.AppSts = 70000;   // 0x11170
  r.AppSta = -40000;
  r.AppAgs = 70000;   // 32-bit
  ASSERT_EQ(0, App_PKeyIns(r));
  ASSERT_EQ(0, App_PKeyReadk(r));
  EXPECT_EQ(70000 - 65536, r.AppSts);
  EXPECT_EQ(-40000 + 65536, r.AppSta);
  EXPECT_EQ(70000, r.AppAgs);
}

TEST_F(AppTest, RangeCursorsAndTheirBounds) {
  for (const char* k : {"A/10", "A/20", "B/05", "B/10", "B/20", "C/10", "D/10"})
    Insert(std::string(k, 1).c_str(), k + 2);
  Exec("update Kvn504App set AppSts=99 where AppApk='B' and AppApp='10'");

  ASSERT_EQ(0, App_Open("A", "10", "C", "10", 1));
  OperationRecord last;
  EXPECT_EQ((KeyList{"A/20", "B/05", "B/10", "B/20"}),
            FetchKeys([](OperationRecord& r) { return App_Fetch(r, 1); }, &last));
  // The end hands the record to App_TakeRow: the key of the last row stays.
  OperationRecord expected;
  expected.AppApk = "B";
  expected.AppApp = "20";
  EXPECT_EQ(Describe(expected), Describe(last));

  ASSERT_EQ(0, App_Open("A", "10", "D", "10", 2));
  EXPECT_EQ((KeyList{"B/20", "B/10", "B/05", "C/10"}),
            FetchKeys([](OperationRecord& r) { return App_Fetch(r, 2); }));

  ASSERT_EQ(0, App_OpenSts("A", "20", "C", "10", 99));
  EXPECT_EQ((KeyList{"A/20", "B/05", "B/20", "C/10"}),
            FetchKeys([](OperationRecord& r) { return App_FetchSts(r); }));

  EXPECT_EQ(0, App_Open("A", "10", "D", "10", 0));
  OperationRecord r = Operation("X", "1");
  EXPECT_EQ(sql::kInvalidCursor, App_Fetch(r, 0));
  EXPECT_EQ("X/1/", std::string(r.AppApk.c_str()) + "/" + r.AppApp.c_str() + "/" +
                        r.AppBz1.c_str());
}

TEST_F(AppTest, Zf2CountAndCursor) {
  Insert("A", "10");
  Insert("B", "10");
  Insert("B", "20", 1);
  int32_t n = -1;
  EXPECT_EQ(0, App_CountZf2("Zf2 0", &n));
  EXPECT_EQ(2, n);
  EXPECT_EQ(0, App_CountZf2("nicht da", &n));
  EXPECT_EQ(0, n);

  ASSERT_EQ(0, App_OpenZf2("Zf2 0"));
  OperationRecord last;
  KeyList keys = FetchKeys([](OperationRecord& r) { return App_FetchZf2(r); }, &last);
  ASSERT_EQ(2u, keys.size());
  // Both rows share the sort value, so their order is open.
  EXPECT_EQ((KeyList{"A/10", "B/10"}), (KeyList{std::min(keys[0], keys[1]), std::max(keys[0], keys[1])}));
  // Unlike App_Fetch, the end leaves the last row in the record.
  OperationRecord expected = Operation(keys[1].substr(0, 1).c_str(), "10");
  expected.AppDat = "20240607080910";
  EXPECT_EQ(Describe(expected), Describe(last));
}

TEST_F(AppTest, CursorKeepsItsRowsWhileTheTableChanges) {
  Insert("A", "10");
  Insert("A", "20");
  Insert("A", "30");
  ASSERT_EQ(0, App_Open("0", "0", "B", "0", 1));
  OperationRecord r;
  ASSERT_EQ(0, App_Fetch(r, 1));
  EXPECT_EQ(std::string("10"), r.AppApp.c_str());
  // Rewrite the next row through the session, remove the last, add one.
  OperationRecord next = Operation("A", "20", 1);
  ASSERT_EQ(0, App_PKeyUpd(next));
  ASSERT_EQ(0, App_PKeyDel("A", "30"));
  Insert("A", "25");
  ASSERT_EQ(0, App_Fetch(r, 1));
  EXPECT_EQ("20/Bezeichnung eins 0", std::string(r.AppApp.c_str()) + "/" + r.AppBz1.c_str());
  ASSERT_EQ(0, App_Fetch(r, 1));
  EXPECT_EQ(std::string("30"), r.AppApp.c_str());
  EXPECT_EQ(sql::kNoData, App_Fetch(r, 1));
}

}  // namespace
