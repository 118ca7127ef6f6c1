#include "db/DbDnl/dnl_cursors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "sql/engine.h"
#include "sql/errors.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;
using Strings = std::vector<std::string>;
using Ints = std::vector<int32_t>;
using Numbers = std::vector<double>;

class DnlCursorsTest : public testing_support::DatabaseTest {
 protected:
  void TearDown() override {
    sql::SetEngineForTest(nullptr);
    (void)Apk_CloseDnl();
    (void)App_CloseDnl();
    DatabaseTest::TearDown();
  }
  void AddOrder(const std::string& key, const std::string& dwn, const std::string& fbe) {
    Exec("insert into Kvn501Apk (ApkApk,ApkDwn,ApkFbe) values ('" + key + "','" +
             dwn + "','" + fbe + "')");
  }
  void AddOperation(const std::string& key, const std::string& dwn, const std::string& fbe) {
    Exec("insert into Kvn504App (AppApk,AppApp,AppDwn,AppFbe) values ('" + key +
             "','00010','" + dwn + "','" + fbe + "')");
  }
};

// Lets the session's fetch fill its outputs, then reports an I/O error.
class FailingFetchEngine : public sql::ForwardingEngine {
 public:
  int Fetch(sql::EngineCursor* cursor, const sql::Out* outs, int nouts) override {
    int rc = ForwardingEngine::Fetch(cursor, outs, nouts);
    return rc == 0 ? sql::kIoError : rc;
  }
};

// Compares two records member by member (padding bytes do not count).
#define SAME_MEMBER(m) && std::memcmp(&a.m, &b.m, sizeof a.m) == 0
#define APK_MEMBERS(X)                                                                       \
  X(ApkApk) X(ApkBz1) X(ApkBz2) X(ApkTxt) X(ApkSts) X(ApkSis) X(ApkKun) X(ApkKb1) X(ApkKb2) \
  X(ApkBgs) X(ApkEns) X(ApkAfo) X(ApkEaf) X(ApkTnr) X(ApkTb1) X(ApkTb2) X(ApkSme) X(ApkIme) \
  X(ApkMee) X(ApkBdiDate) X(ApkBdiTime) X(ApkEdiDate) X(ApkEdiTime) X(ApkFbe) X(ApkKst)     \
  X(ApkZf1) X(ApkZf2) X(ApkZf3) X(ApkKnz) X(ApkSsn) X(ApkDna) X(ApkDwn) X(ApkSta) X(ApkDat) \
  X(ApkErf) X(ApkAba)
#define APP_MEMBERS(X)                                                                       \
  X(AppApk) X(AppApp) X(AppVaf) X(AppNaf) X(AppBz1) X(AppBz2) X(AppTxt) X(AppSts) X(AppSis) \
  X(AppBdiDate) X(AppBdiTime) X(AppBdsDate) X(AppBdsTime) X(AppSbdDate) X(AppSbdTime)       \
  X(AppEdiDate) X(AppEdiTime) X(AppEdsDate) X(AppEdsTime) X(AppSedDate) X(AppSedTime)       \
  X(AppRadDate) X(AppRadTime) X(AppRedDate) X(AppRedTime) X(AppAgs) X(AppAbs) X(AppAes)     \
  X(AppSme) X(AppIme) X(AppAme) X(AppMee) X(AppSza) X(AppStr) X(AppSte) X(AppIta) X(AppItr) \
  X(AppIte) X(AppApg) X(AppApl) X(AppKt1) X(AppKz1) X(AppKt2) X(AppKz2) X(AppKt3) X(AppKz3) \
  X(AppKt4) X(AppKz4) X(AppFbe) X(AppKst) X(AppZf1) X(AppZf2) X(AppZf3) X(AppKnz) X(AppDna) \
  X(AppDwn) X(AppSsn) X(AppSta) X(AppDat) X(AppErf)
bool Same(const OrderRecord& a, const OrderRecord& b) { return true APK_MEMBERS(SAME_MEMBER); }
bool Same(const OperationRecord& a, const OperationRecord& b) {
  return true APP_MEMBERS(SAME_MEMBER);
}

TEST_F(DnlCursorsTest, SelectorWithoutRowsEndsAtOnceAndLeavesRecord) {
  AddOrder("A1", "ZalToGen", "F1");
  AddOperation("A1", "ZalToGen", "F1");
  OrderRecord order;
  order.ApkApk = "keep";
  OperationRecord op;
  op.AppApk = "keep";
  ASSERT_EQ(0, Apk_OpenDnl("ZuzErOro"));
  EXPECT_EQ(1403, Apk_FetchDnl(order));
  ASSERT_EQ(0, App_OpenDnl("ZuzErOro"));
  EXPECT_EQ(1403, App_FetchDnl(op));
  EXPECT_TRUE(order.ApkApk == "keep");
  EXPECT_TRUE(op.AppApk == "keep");
  // A selector longer than the marker is not cut into "ZalToGen".
  ASSERT_EQ(0, Apk_OpenDnl("ZalToGenX"));
  EXPECT_EQ(1403, Apk_FetchDnl(order));
  ASSERT_EQ(0, App_OpenDnl("ZalToGenX"));
  EXPECT_EQ(1403, App_FetchDnl(op));
  EXPECT_EQ(0, Apk_CloseDnl());
  EXPECT_EQ(sql::kInvalidCursor, Apk_FetchDnl(order));  // closed
}

TEST_F(DnlCursorsTest, RowsOfTheSelectorComeByAreaKey) {
  AddOrder("A1", "ZuzErOro", "F2");
  AddOrder("A2", "ZuzErOro", "F1");
  AddOrder("A3", "ZalToGen", "F0");
  AddOrder("A4", "ZuzErOro", "F3");
  AddOrder("A5", "ZuzErOro", "F2");
  AddOperation("B1", "ZuzErOro", "F9");
  AddOperation("B2", "ZuzErOro", "F4");
  AddOperation("B3", "ZalToGen", "F0");

  std::vector<std::string> fbe, keys;
  OrderRecord order;
  ASSERT_EQ(0, Apk_OpenDnl("ZuzErOro"));
  while (Apk_FetchDnl(order) == 0) {
    fbe.push_back(order.ApkFbe.c_str());
    keys.push_back(order.ApkApk.c_str());
  }
  EXPECT_EQ((std::vector<std::string>{"F1", "F2", "F2", "F3"}), fbe);
  ASSERT_EQ(4u, keys.size());
  EXPECT_EQ("A2", keys[0]);
  EXPECT_EQ("A4", keys[3]);

  fbe.clear();
  OperationRecord op;
  ASSERT_EQ(0, App_OpenDnl("ZuzErOro"));
  while (App_FetchDnl(op) == 0) fbe.push_back(op.AppFbe.c_str());
  EXPECT_EQ((std::vector<std::string>{"F4", "F9"}), fbe);
}

TEST_F(DnlCursorsTest, OrderColumnsLandInTheirFields) {
  PPS2BDE_SQLITE_ONLY_VALUES();
  Exec("insert into Kvn501Apk values ('A1','Bz1','Bz2','Txt',1,-2,'KUNDE12X','Kb1','Kb2',"
       "'2024-03-01 00:00:00','2024-03-09 00:00:00',1,8,'Tnr','Tb1','Tb2',1.5,2.25,'STK',"
       "'2024-03-02 06:07:08','2024-03-03 21:22:23','F1','KST','Zf1','Zf2','Zf3','K',70000,"
       "'NEU','ZuzErOro',100000,'2024-03-04 10:11:12','Kolvane',123456)");
  AddOrder("A2", "ZuzErOro", "F2");  // NULL everywhere but key, marker, area

  OrderRecord r;
  ASSERT_EQ(0, Apk_OpenDnl("ZuzErOro"));
  ASSERT_EQ(0, Apk_FetchDnl(r));
  // Texts, integers and numbers, each group in column order.  ApkSsn and
  // ApkSta travel as 32-bit values; ApkKun is cut to its field.
  EXPECT_EQ((Strings{"A1", "Bz1", "Bz2", "Txt", "KUNDE12", "Kb1", "Kb2", "20240301",
                     "20240309", "Tnr", "Tb1", "Tb2", "STK", "20240302", "060708", "20240303",
                     "212223", "F1", "KST", "Zf1", "Zf2", "Zf3", "K", "NEU", "ZuzErOro",
                     "20240304101112", "Kolvane"}),
            (Strings{r.ApkApk.c_str(), r.ApkBz1.c_str(), r.ApkBz2.c_str(), r.ApkTxt.c_str(),
                     r.ApkKun.c_str(), r.ApkKb1.c_str(), r.ApkKb2.c_str(), r.ApkBgs.c_str(),
                     r.ApkEns.c_str(), r.ApkTnr.c_str(), r.ApkTb1.c_str(), r.ApkTb2.c_str(),
                     r.ApkMee.c_str(), r.ApkBdiDate.c_str(), r.ApkBdiTime.c_str(),
                     r.ApkEdiDate.c_str(), r.ApkEdiTime.c_str(), r.ApkFbe.c_str(),
                     r.ApkKst.c_str(), r.ApkZf1.c_str(), r.ApkZf2.c_str(), r.ApkZf3.c_str(),
                     r.ApkKnz.c_str(), r.ApkDna.c_str(), r.ApkDwn.c_str(), r.ApkDat.c_str(),
                     r.ApkErf.c_str()}));
  EXPECT_EQ((Ints{1, -2, 1, 8, 70000, 100000, 123456}),
            (Ints{r.ApkSts, r.ApkSis, r.ApkAfo, r.ApkEaf, r.ApkSsn, r.ApkSta, r.ApkAba}));
  EXPECT_EQ((Numbers{1.5, 2.25}), (Numbers{r.ApkSme, r.ApkIme}));

  // NULL columns overwrite every field with "" or 0.
  ASSERT_EQ(0, Apk_FetchDnl(r));
  OrderRecord nulls;
  nulls.ApkApk = "A2";
  nulls.ApkDwn = "ZuzErOro";
  nulls.ApkFbe = "F2";
  EXPECT_TRUE(Same(nulls, r));
  EXPECT_EQ(1403, Apk_FetchDnl(r));
  EXPECT_TRUE(Same(nulls, r));

  // A failing fetch leaves the record as it was, even when the layer had
  // already read the row.
  ASSERT_EQ(0, Apk_OpenDnl("ZuzErOro"));
  FailingFetchEngine failing;
  sql::SetEngineForTest(&failing);
  EXPECT_EQ(sql::kIoError, Apk_FetchDnl(r));
  sql::SetEngineForTest(nullptr);
  EXPECT_TRUE(Same(nulls, r));
}

TEST_F(DnlCursorsTest, OperationColumnsLandInTheirFields) {
  PPS2BDE_SQLITE_ONLY_VALUES();
  std::string dates;
  for (int i = 0; i < 8; ++i)
    dates += ",'2024-04-0" + std::to_string(i + 1) + " 0" + std::to_string(i) + ":1" +
             std::to_string(i) + ":2" + std::to_string(i) + "'";
  Exec("insert into Kvn504App (AppApk,AppApp,AppVaf,AppNaf,AppBz1,AppBz2,AppTxt,AppSts,AppSis,"
       "AppBdi,AppBds,AppSbd,AppEdi,AppEds,AppSed,AppRad,AppRed,AppAgs,AppAbs,AppAes,AppSme,"
       "AppIme,AppAme,AppMee,AppSza,AppStr,AppSte,AppIta,AppItr,AppIte,AppApg,AppApl,AppKt1,"
       "AppKz1,AppKt2,AppKz2,AppKt3,AppKz3,AppKt4,AppKz4,AppFbe,AppKst,AppZf1,AppZf2,AppZf3,"
       "AppKnz,AppDna,AppDwn,AppSsn,AppSta,AppDat,AppErf) values ('A1','00010','00005',"
       "'00020','Bz1','Bz2','Txt',2,-3" + dates +
       ",70001,70002,70003,1.5,2.5,3.5,'STK',4.5,5.5,6.5,7.5,8.5,9.5,'APG','APL','Kt1','Kz1',"
       "'Kt2','Kz2','Kt3','Kz3','Kt4','Kz4','F1','KST','Zf1','Zf2','Zf3','K','AEN','ZalToGen',"
       "70004,70005,'2024-04-30 23:58:59','Kolvane')");
  AddOperation("A2", "ZalToGen", "F2");

  OperationRecord r;
  ASSERT_EQ(0, App_OpenDnl("ZalToGen"));
  ASSERT_EQ(0, App_FetchDnl(r));
  EXPECT_EQ((Strings{"A1", "00010", "00005", "00020", "Bz1", "Bz2", "Txt", "STK", "APG", "APL",
                     "Kt1", "Kz1", "Kt2", "Kz2", "Kt3", "Kz3", "Kt4", "Kz4", "F1", "KST", "Zf1",
                     "Zf2", "Zf3", "K", "AEN", "ZalToGen", "20240430235859", "Kolvane"}),
            (Strings{r.AppApk.c_str(), r.AppApp.c_str(), r.AppVaf.c_str(), r.AppNaf.c_str(),
                     r.AppBz1.c_str(), r.AppBz2.c_str(), r.AppTxt.c_str(), r.AppMee.c_str(),
                     r.AppApg.c_str(), r.AppApl.c_str(), r.AppKt1.c_str(), r.AppKz1.c_str(),
                     r.AppKt2.c_str(), r.AppKz2.c_str(), r.AppKt3.c_str(), r.AppKz3.c_str(),
                     r.AppKt4.c_str(), r.AppKz4.c_str(), r.AppFbe.c_str(), r.AppKst.c_str(),
                     r.AppZf1.c_str(), r.AppZf2.c_str(), r.AppZf3.c_str(), r.AppKnz.c_str(),
                     r.AppDna.c_str(), r.AppDwn.c_str(), r.AppDat.c_str(), r.AppErf.c_str()}));
  // The eight date-time columns, each as its date and time part.
  EXPECT_EQ((Strings{"20240401", "001020", "20240402", "011121", "20240403", "021222",
                     "20240404", "031323", "20240405", "041424", "20240406", "051525",
                     "20240407", "061626", "20240408", "071727"}),
            (Strings{r.AppBdiDate.c_str(), r.AppBdiTime.c_str(), r.AppBdsDate.c_str(),
                     r.AppBdsTime.c_str(), r.AppSbdDate.c_str(), r.AppSbdTime.c_str(),
                     r.AppEdiDate.c_str(), r.AppEdiTime.c_str(), r.AppEdsDate.c_str(),
                     r.AppEdsTime.c_str(), r.AppSedDate.c_str(), r.AppSedTime.c_str(),
                     r.AppRadDate.c_str(), r.AppRadTime.c_str(), r.AppRedDate.c_str(),
                     r.AppRedTime.c_str()}));
  EXPECT_EQ((Ints{2, -3, 70001, 70002, 70003, 70004, 70005}),
            (Ints{r.AppSts, r.AppSis, r.AppAgs, r.AppAbs, r.AppAes, r.AppSsn, r.AppSta}));
  EXPECT_EQ((Numbers{1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5}),
            (Numbers{r.AppSme, r.AppIme, r.AppAme, r.AppSza, r.AppStr, r.AppSte, r.AppIta,
                     r.AppItr, r.AppIte}));

  ASSERT_EQ(0, App_FetchDnl(r));
  OperationRecord nulls;
  nulls.AppApk = "A2";
  nulls.AppApp = "00010";
  nulls.AppDwn = "ZalToGen";
  nulls.AppFbe = "F2";
  EXPECT_TRUE(Same(nulls, r));
}

}  // namespace
