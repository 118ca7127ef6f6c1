#include "db/DbDnl/auk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/engine.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;
using testing_support::QuerySql;

class AukTest : public testing_support::DatabaseTest {
 protected:
  void TearDown() override {
    (void)Auk_Close();
    DatabaseTest::TearDown();
  }
  void AddOrder(const std::string& key) {
    Exec("insert into Kvn500Auk (AukApk) values ('" + key + "')");
  }
  std::vector<std::string> FetchAll() {
    std::vector<std::string> keys;
    PpsOrderRecord rec;
    while (Auk_Fetch(rec) == 0) keys.push_back(rec.AukApk.c_str());
    return keys;
  }
};

// True when every field of a equals that of b.
bool Same(const PpsOrderRecord& a, const PpsOrderRecord& b) {
  return a.AukApk == b.AukApk && a.AukBz1 == b.AukBz1 && a.AukBz2 == b.AukBz2 &&
         a.AukTxt == b.AukTxt && a.AukSts == b.AukSts && a.AukAfo == b.AukAfo &&
         a.AukKun == b.AukKun && a.AukKb1 == b.AukKb1 && a.AukKb2 == b.AukKb2 &&
         a.AukBgs == b.AukBgs && a.AukEns == b.AukEns && a.AukTnr == b.AukTnr &&
         a.AukTb1 == b.AukTb1 && a.AukTb2 == b.AukTb2 && a.AukSme == b.AukSme &&
         a.AukMee == b.AukMee && a.AukZf1 == b.AukZf1 && a.AukZf2 == b.AukZf2 &&
         a.AukZf3 == b.AukZf3 && a.AukFbe == b.AukFbe && a.AukKst == b.AukKst;
}

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

TEST_F(AukTest, CursorExcludesBoundsAndDeliversAscending) {
  for (const char* key : {"999999999999", "000000000003", "000000000000", "000000000001",
                          "000000000002"})
    AddOrder(key);
  ASSERT_EQ(0, Auk_Open("000000000000", "999999999999"));
  EXPECT_EQ((std::vector<std::string>{"000000000001", "000000000002", "000000000003"}),
            FetchAll());
  PpsOrderRecord rec;
  EXPECT_EQ(1403, Auk_Fetch(rec));
  EXPECT_EQ(0, Auk_Close());

  // A narrower range leaves out the rows outside it.
  ASSERT_EQ(0, Auk_Open("000000000001", "000000000003"));
  EXPECT_EQ((std::vector<std::string>{"000000000002"}), FetchAll());
}

TEST_F(AukTest, FetchOverwritesEveryFieldAndEndLeavesRecord) {
  PPS2BDE_SQLITE_ONLY_VALUES();
  // The first row has NULL in every column but the key, the second a value
  // in every column, each distinct so that a swapped column shows.
  AddOrder("000000000001");
  Exec("insert into Kvn500Auk values ('000000000002','Bz1','Bz2','Txt',-2,-1,"
       "'KUNDE-NR-LONG','Kb1','Kb2','20240115','20240229','Tnr','Tb1','Tb2',12.5,'STK',"
       "'Zf1','Zf2','Zf3','FBE','KST')");

  PpsOrderRecord rec;
  rec.AukBz1 = "old";
  rec.AukKst = "old";
  rec.AukSts = 7;
  rec.AukAfo = 7;
  rec.AukSme = 3.5;
  ASSERT_EQ(0, Auk_Open("000000000000", "999999999999"));
  ASSERT_EQ(0, Auk_Fetch(rec));
  PpsOrderRecord nullRow;
  nullRow.AukApk = "000000000001";
  EXPECT_TRUE(Same(nullRow, rec));

  ASSERT_EQ(0, Auk_Fetch(rec));
  EXPECT_TRUE(rec.AukApk == "000000000002");
  EXPECT_TRUE(rec.AukBz1 == "Bz1");
  EXPECT_TRUE(rec.AukBz2 == "Bz2");
  EXPECT_TRUE(rec.AukTxt == "Txt");
  EXPECT_EQ(-2, rec.AukSts);
  EXPECT_EQ(-1, rec.AukAfo);
  EXPECT_TRUE(rec.AukKun == "KUNDE-N");  // cut to the field's 7 characters
  EXPECT_TRUE(rec.AukKb1 == "Kb1");
  EXPECT_TRUE(rec.AukKb2 == "Kb2");
  EXPECT_TRUE(rec.AukBgs == "20240115");
  EXPECT_TRUE(rec.AukEns == "20240229");
  EXPECT_TRUE(rec.AukTnr == "Tnr");
  EXPECT_TRUE(rec.AukTb1 == "Tb1");
  EXPECT_TRUE(rec.AukTb2 == "Tb2");
  EXPECT_DOUBLE_EQ(12.5, rec.AukSme);
  EXPECT_TRUE(rec.AukMee == "STK");
  EXPECT_TRUE(rec.AukZf1 == "Zf1");
  EXPECT_TRUE(rec.AukZf2 == "Zf2");
  EXPECT_TRUE(rec.AukZf3 == "Zf3");
  EXPECT_TRUE(rec.AukFbe == "FBE");
  EXPECT_TRUE(rec.AukKst == "KST");

  PpsOrderRecord before = rec;
  EXPECT_EQ(1403, Auk_Fetch(rec));
  EXPECT_TRUE(Same(before, rec));
  EXPECT_EQ(0, Auk_Close());
  // A fetch on the closed cursor fails and leaves the record too.
  EXPECT_GT(0, Auk_Fetch(rec));
  EXPECT_TRUE(Same(before, rec));
}

TEST_F(AukTest, CursorKeepsItsRowsWhileRowsAreDeletedAndAdded) {
  for (const char* key : {"000000000001", "000000000002", "000000000003"}) AddOrder(key);
  ASSERT_EQ(0, Auk_Open("000000000000", "999999999999"));
  std::vector<std::string> seen;
  PpsOrderRecord rec;
  int rc;
  while ((rc = Auk_Fetch(rec)) == 0) {
    seen.push_back(rec.AukApk.c_str());
    // The third row is delivered although it was removed meanwhile.
    EXPECT_EQ(seen.size() == 3 ? 1403 : 0, Auk_PKeyDel(rec.AukApk.c_str()));
    if (seen.size() == 1) {
      // The planning system adds a row and this job removes a row not yet
      // delivered: the cursor still delivers the rows it saw at open.
      AddOrder("000000000004");
      EXPECT_EQ(0, Auk_PKeyDel("000000000003"));
    }
  }
  EXPECT_EQ(1403, rc);
  EXPECT_EQ((std::vector<std::string>{"000000000001", "000000000002", "000000000003"}), seen);
  EXPECT_EQ("000000000004", Query("select AukApk from Kvn500Auk"));
}

TEST_F(AukTest, DeleteOfMissingOrderIs1403AndRollsBack) {
  AddOrder("000000000001");
  RecordingEngine engine;
  sql::SetEngineForTest(&engine);
  int rc = Auk_PKeyDel("000000000009");
  sql::SetEngineForTest(nullptr);
  EXPECT_EQ(1403, rc);
  EXPECT_EQ((std::vector<std::string>{"savepoint Auk_PKeyDel_Sp",
                                      "delete  from Kvn500Auk  where AukApk=:b0",
                                      "rollback  to Auk_PKeyDel_Sp"}),
            engine.texts);
  EXPECT_EQ(0, engine.commits);
  EXPECT_EQ("000000000001", Query("select AukApk from Kvn500Auk"));

  // An existing order is removed and committed at once.
  EXPECT_EQ(0, Auk_PKeyDel("000000000001"));
  EXPECT_EQ("0", Query("select count(*) from Kvn500Auk"));
}

TEST_F(AukTest, AppDelMarksEveryOperationOfTheOrderInOneStatement) {
  Exec("insert into Kvn504App (AppApk,AppApp,AppDwn,AppDna,AppDat,AppTxt) values "
       "('000000000001','00010','','','2024-01-02 03:04:05','a'),"
       "('000000000001','00020','ZalToGen','AEN','2024-01-02 03:04:06','b'),"
       "('000000000001','00030',NULL,NULL,NULL,'c'),"
       "('000000000002','00010','old','NEU','2024-01-02 03:04:07','d')");
  OperationRecord op;
  op.AppApk = "000000000001";
  op.AppApp = "99999";  // not part of the statement
  op.AppDwn = "ZuzErOro";
  op.AppDna = "LOE";
  op.AppTxt = "ignored";

  RecordingEngine engine;
  sql::SetEngineForTest(&engine);
  int rc = Apk_AppDel(op);
  sql::SetEngineForTest(nullptr);
  EXPECT_EQ(0, rc);
  EXPECT_EQ((std::vector<std::string>{
                "savepoint Apk_AppDel_Sp",
                "update KVN504App  set AppDwn=:b0,AppDna=:b1 where AppApk=:b2"}),
            engine.texts);
  EXPECT_EQ(1, engine.commits);
  EXPECT_EQ(
      "000000000001|00010|ZuzErOro|LOE|2024-01-02 03:04:05|a\n"
      "000000000001|00020|ZuzErOro|LOE|2024-01-02 03:04:06|b\n"
      "000000000001|00030|ZuzErOro|LOE|<null>|c\n"
      "000000000002|00010|old|NEU|2024-01-02 03:04:07|d",
      Query("select AppApk,AppApp,AppDwn,AppDna,AppDat,AppTxt from Kvn504App "
            "order by AppApk,AppApp"));

  // An order without operations touches nothing.
  std::string before = Query("select * from Kvn504App order by AppApk,AppApp");
  op.AppApk = "000000000003";
  EXPECT_EQ(1403, Apk_AppDel(op));
  EXPECT_EQ(before, Query("select * from Kvn504App order by AppApk,AppApp"));
}

}  // namespace
