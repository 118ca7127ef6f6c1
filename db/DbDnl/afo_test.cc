#include "db/DbDnl/afo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/engine.h"
#include "sql/errors.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;
using testing_support::QuerySql;

class AfoTest : public testing_support::DatabaseTest {
 protected:
  void TearDown() override {
    sql::SetEngineForTest(nullptr);
    (void)Afo_Close(1);
    (void)Afo_Close(2);
    DatabaseTest::TearDown();
  }
  void AddOperation(const std::string& order, const std::string& op) {
    Exec("insert into Kvn503Afo (AfoApk,AfoApp) values ('" + order + "','" + op + "')");
  }
  // The keys "order/operation" that the cursor of this variant delivers.
  std::vector<std::string> FetchAll(int variant) {
    std::vector<std::string> keys;
    PpsOperationRecord rec;
    while (Afo_Fetch(rec, variant) == 0)
      keys.push_back(std::string(rec.AfoApk.c_str()) + "/" + rec.AfoApp.c_str());
    return keys;
  }
};

bool Same(const PpsOperationRecord& a, const PpsOperationRecord& b) {
  return a.AfoApk == b.AfoApk && a.AfoApp == b.AfoApp && a.AfoVaf == b.AfoVaf &&
         a.AfoNaf == b.AfoNaf && a.AfoBz1 == b.AfoBz1 && a.AfoBz2 == b.AfoBz2 &&
         a.AfoTxt == b.AfoTxt && a.AfoSts == b.AfoSts && a.AfoBgs == b.AfoBgs &&
         a.AfoBgz == b.AfoBgz && a.AfoEns == b.AfoEns && a.AfoEnz == b.AfoEnz &&
         a.AfoAgs == b.AfoAgs && a.AfoSme == b.AfoSme && a.AfoMee == b.AfoMee &&
         a.AfoSta == b.AfoSta && a.AfoStr == b.AfoStr && a.AfoSte == b.AfoSte &&
         a.AfoApg == b.AfoApg && a.AfoApl == b.AfoApl && a.AfoZf1 == b.AfoZf1 &&
         a.AfoZf2 == b.AfoZf2 && a.AfoZf3 == b.AfoZf3 && a.AfoKst == b.AfoKst &&
         a.AfoFbe == b.AfoFbe;
}

// Lets the session's fetch fill its outputs, then reports an I/O error.
class FailingFetchEngine : public sql::ForwardingEngine {
 public:
  int Fetch(sql::EngineCursor* cursor, const sql::Out* outs, int nouts) override {
    int rc = ForwardingEngine::Fetch(cursor, outs, nouts);
    return rc == 0 ? sql::kIoError : rc;
  }
};

// Records the statement texts the session executes and counts its commits.
class RecordingEngine : public sql::ForwardingEngine {
 public:
  int Exec(const sql::Stmt& s, const sql::Bind* binds, int nbinds) override {
    texts.push_back(s.text);
    return ForwardingEngine::Exec(s, binds, nbinds);
  }
  int Commit() override {
    ++commits;
    return ForwardingEngine::Commit();
  }
  std::vector<std::string> texts;
  int commits = 0;
};

TEST_F(AfoTest, CursorsExcludeBoundsAndSortByOrderKeyOnly) {
  AddOperation("000000000000", "00010");
  AddOperation("999999999999", "00010");
  AddOperation("000000000002", "00010");
  AddOperation("000000000001", "00010");
  AddOperation("000000000003", "00010");

  ASSERT_EQ(0, Afo_Open("000000000000", "999999999999", 1));
  EXPECT_EQ((std::vector<std::string>{"000000000001/00010", "000000000002/00010",
                                      "000000000003/00010"}),
            FetchAll(1));
  ASSERT_EQ(0, Afo_Open("000000000000", "999999999999", 2));
  EXPECT_EQ((std::vector<std::string>{"000000000003/00010", "000000000002/00010",
                                      "000000000001/00010"}),
            FetchAll(2));
}

TEST_F(AfoTest, FetchOverwritesEveryFieldAndFailureLeavesRecord) {
  // Every column distinct, above all AfoKst and AfoFbe, which the cursor
  // selects in the other order than the record holds them.
  Exec("insert into Kvn503Afo (AfoApk,AfoApp,AfoVaf,AfoNaf,AfoBz1,AfoBz2,AfoTxt,AfoSts,AfoBgs,"
       "AfoBgz,AfoEns,AfoEnz,AfoAgs,AfoSme,AfoMee,AfoSta,AfoStr,AfoSte,AfoApg,AfoApl,AfoZf1,"
       "AfoZf2,AfoZf3,AfoKst,AfoFbe) values ('000000000001','00010','00005','00020','Bz1',"
       "'Bz2','Txt',9,'20240301','061500','20240302','143000',-3,100.25,'STK',1.5,2.5,3.5,"
       "'APG1','APL1','Zf1','Zf2','Zf3','KST1','FBE1')");
  AddOperation("000000000002", "00010");  // NULL everywhere but the key

  PpsOperationRecord rec;
  ASSERT_EQ(0, Afo_Open("000000000000", "999999999999", 1));
  ASSERT_EQ(0, Afo_Fetch(rec, 1));
  EXPECT_TRUE(rec.AfoApk == "000000000001");
  EXPECT_TRUE(rec.AfoApp == "00010");
  EXPECT_TRUE(rec.AfoVaf == "00005");
  EXPECT_TRUE(rec.AfoNaf == "00020");
  EXPECT_TRUE(rec.AfoBz1 == "Bz1");
  EXPECT_TRUE(rec.AfoBz2 == "Bz2");
  EXPECT_TRUE(rec.AfoTxt == "Txt");
  EXPECT_EQ(9, rec.AfoSts);
  EXPECT_TRUE(rec.AfoBgs == "20240301");
  EXPECT_TRUE(rec.AfoBgz == "061500");
  EXPECT_TRUE(rec.AfoEns == "20240302");
  EXPECT_TRUE(rec.AfoEnz == "143000");
  EXPECT_EQ(-3, rec.AfoAgs);
  EXPECT_DOUBLE_EQ(100.25, rec.AfoSme);
  EXPECT_TRUE(rec.AfoMee == "STK");
  EXPECT_DOUBLE_EQ(1.5, rec.AfoSta);
  EXPECT_DOUBLE_EQ(2.5, rec.AfoStr);
  EXPECT_DOUBLE_EQ(3.5, rec.AfoSte);
  EXPECT_TRUE(rec.AfoApg == "APG1");
  EXPECT_TRUE(rec.AfoApl == "APL1");
  EXPECT_TRUE(rec.AfoZf1 == "Zf1");
  EXPECT_TRUE(rec.AfoZf2 == "Zf2");
  EXPECT_TRUE(rec.AfoZf3 == "Zf3");
  EXPECT_TRUE(rec.AfoKst == "KST1");
  EXPECT_TRUE(rec.AfoFbe == "FBE1");

  // A failing fetch leaves the record as it was, even when the layer had
  // already read the row.
  PpsOperationRecord before = rec;
  FailingFetchEngine failing;
  sql::SetEngineForTest(&failing);
  EXPECT_EQ(sql::kIoError, Afo_Fetch(rec, 1));
  sql::SetEngineForTest(nullptr);
  EXPECT_TRUE(Same(before, rec));

  // The row with NULL columns overwrites every field with "" or 0.
  ASSERT_EQ(0, Afo_Open("000000000001", "999999999999", 1));
  ASSERT_EQ(0, Afo_Fetch(rec, 1));
  PpsOperationRecord nullRow;
  nullRow.AfoApk = "000000000002";
  nullRow.AfoApp = "00010";
  EXPECT_TRUE(Same(nullRow, rec));

  // After the last row the record keeps that row.
  ASSERT_EQ(0, Afo_Open("000000000000", "999999999999", 1));
  ASSERT_EQ(0, Afo_Fetch(rec, 1));
  ASSERT_EQ(0, Afo_Fetch(rec, 1));
  before = rec;
  EXPECT_EQ(1403, Afo_Fetch(rec, 1));
  EXPECT_TRUE(Same(before, rec));
}

TEST_F(AfoTest, UnknownVariantHasNoCursor) {
  AddOperation("000000000001", "00010");
  EXPECT_EQ(0, Afo_Open("000000000000", "999999999999", 3));
  PpsOperationRecord rec;
  rec.AfoApk = "keep";
  // A fetch loop over an unknown variant ends at once instead of running on.
  EXPECT_EQ(sql::kInvalidCursor, Afo_Fetch(rec, 3));
  EXPECT_EQ(sql::kInvalidCursor, Afo_Fetch(rec, 0));
  EXPECT_TRUE(rec.AfoApk == "keep");
  EXPECT_EQ(0, Afo_Close(3));
}

TEST_F(AfoTest, DeleteRemovesOnlyThatOperation) {
  AddOperation("000000000001", "00010");
  AddOperation("000000000001", "00020");
  AddOperation("000000000002", "00010");
  PpsOperationRecord rec;
  rec.AfoApk = "000000000001";
  rec.AfoApp = "00020";
  EXPECT_EQ(0, Afo_PKeyDel(rec));
  EXPECT_EQ("000000000001|00010\n000000000002|00010",
            Query("select AfoApk,AfoApp from Kvn503Afo order by AfoApk,AfoApp"));
}

TEST_F(AfoTest, DeleteOfMissingKeyIs1403AndRollsBack) {
  AddOperation("000000000001", "00010");
  PpsOperationRecord rec;
  rec.AfoApk = "000000000001";
  rec.AfoApp = "00099";
  RecordingEngine engine;
  sql::SetEngineForTest(&engine);
  int rc = Afo_PKeyDel(rec);
  sql::SetEngineForTest(nullptr);
  EXPECT_EQ(1403, rc);
  EXPECT_EQ((std::vector<std::string>{
                "savepoint Afo_PKeyDel_Sp",
                "delete  from Kvn503Afo  where (AfoApk=:b0 and AfoApp=:b1)",
                "rollback  to Afo_PKeyDel_Sp"}),
            engine.texts);
  EXPECT_EQ(0, engine.commits);
  EXPECT_EQ("000000000001|00010", Query("select AfoApk,AfoApp from Kvn503Afo"));
}

TEST_F(AfoTest, CursorKeepsItsRowsWhileRowsAreDeleted) {
  AddOperation("000000000001", "00010");
  AddOperation("000000000002", "00010");
  AddOperation("000000000002", "00020");
  AddOperation("000000000003", "00010");
  ASSERT_EQ(0, Afo_Open("000000000000", "999999999999", 1));
  int delivered = 0;
  PpsOperationRecord rec;
  int rc;
  while ((rc = Afo_Fetch(rec, 1)) == 0) {
    ++delivered;
    EXPECT_EQ(0, Afo_PKeyDel(rec));
    if (delivered == 1)
      Exec("insert into Kvn503Afo (AfoApk,AfoApp) values ('000000000002','00030')");
  }
  EXPECT_EQ(1403, rc);
  EXPECT_EQ(4, delivered);
  EXPECT_EQ("000000000002|00030", Query("select AfoApk,AfoApp from Kvn503Afo"));
}

}  // namespace
