#include "db/DbDnl/upd.h"

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

class UpdTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    FixClock("2024-05-15 12:00:00");
    DatabaseTest::SetUp();
  }
  void AddRow(const std::string& key) {
    // Every range at the full width of its column.
    Exec("insert into Kvn543Upd values ('" + key +
             "','AKV000000001','AKB000000001','AAV000000001','AAB000000001','APV01',"
             "'APB01','ALV0000001','ALB0000001','AGV0000001','AGB0000001','UGV01','UGB01',"
             "'AUV01','AUB01','PVV00001','PVB00001','KSV01','KSB01','2020-01-01 00:00:00',"
             "'Someone')");
  }
};

TEST_F(UpdTest, ReadkFillsEveryRangeAtFullWidth) {
  AddRow("UPD");
  DownloadRangeRecord r;
  ASSERT_EQ(0, Upd_PKeyReadk(r));
  EXPECT_STREQ("AKV000000001", r.UpdAkv.c_str());
  EXPECT_STREQ("AKB000000001", r.UpdAkb.c_str());
  EXPECT_STREQ("AAV000000001", r.UpdAav.c_str());
  EXPECT_STREQ("AAB000000001", r.UpdAab.c_str());
  EXPECT_STREQ("APV01", r.UpdApv.c_str());
  EXPECT_STREQ("APB01", r.UpdApb.c_str());
  // Workplace and work-group ends keep all ten characters.
  EXPECT_STREQ("ALV0000001", r.UpdAlv.c_str());
  EXPECT_STREQ("ALB0000001", r.UpdAlb.c_str());
  EXPECT_STREQ("AGV0000001", r.UpdAgv.c_str());
  EXPECT_STREQ("AGB0000001", r.UpdAgb.c_str());
  EXPECT_STREQ("UGV01", r.UpdUgv.c_str());
  EXPECT_STREQ("UGB01", r.UpdUgb.c_str());
  EXPECT_STREQ("AUV01", r.UpdAuv.c_str());
  EXPECT_STREQ("AUB01", r.UpdAub.c_str());
  EXPECT_STREQ("PVV00001", r.UpdPvv.c_str());
  EXPECT_STREQ("PVB00001", r.UpdPvb.c_str());
  EXPECT_STREQ("KSV01", r.UpdKsv.c_str());
  EXPECT_STREQ("KSB01", r.UpdKsb.c_str());
}

TEST_F(UpdTest, FailedReadkEmptiesEveryRange) {
  AddRow("XYZ");  // not the key
  DownloadRangeRecord r;
  r.UpdAkv = "old";
  r.UpdAlb = "old";
  r.UpdUgv = "old";
  r.UpdAub = "old";
  r.UpdKsb = "old";
  EXPECT_EQ(1403, Upd_PKeyReadk(r));
  EXPECT_TRUE(r.UpdAkv.empty());
  EXPECT_TRUE(r.UpdAlb.empty());
  EXPECT_TRUE(r.UpdUgv.empty());
  EXPECT_TRUE(r.UpdAub.empty());
  EXPECT_TRUE(r.UpdKsb.empty());
}

TEST_F(UpdTest, PKeyUpdBlanksEveryRangeAndMarksTheRowAsDownload) {
  AddRow("UPD");
  AddRow("XYZ");
  ASSERT_EQ(0, Upd_PKeyUpd());
  DownloadRangeRecord r;
  ASSERT_EQ(0, Upd_PKeyReadk(r));
  const std::string b5(5, ' '), b8(8, ' '), b10(10, ' '), b12(12, ' ');
  EXPECT_EQ(b12, r.UpdAkv.c_str());
  EXPECT_EQ(b12, r.UpdAkb.c_str());
  EXPECT_EQ(b12, r.UpdAav.c_str());
  EXPECT_EQ(b12, r.UpdAab.c_str());
  EXPECT_EQ(b5, r.UpdApv.c_str());
  EXPECT_EQ(b5, r.UpdApb.c_str());
  EXPECT_EQ(b10, r.UpdAlv.c_str());
  EXPECT_EQ(b10, r.UpdAlb.c_str());
  EXPECT_EQ(b10, r.UpdAgv.c_str());
  EXPECT_EQ(b10, r.UpdAgb.c_str());
  EXPECT_EQ(b5, r.UpdUgv.c_str());
  EXPECT_EQ(b5, r.UpdUgb.c_str());
  EXPECT_EQ(b5, r.UpdAuv.c_str());
  EXPECT_EQ(b5, r.UpdAub.c_str());
  EXPECT_EQ(b8, r.UpdPvv.c_str());
  EXPECT_EQ(b8, r.UpdPvb.c_str());
  EXPECT_EQ(b5, r.UpdKsv.c_str());
  EXPECT_EQ(b5, r.UpdKsb.c_str());
  EXPECT_EQ("Download|2024-05-15 12:00:00",
            Query("select UpdErf,UpdDat from Kvn543Upd where UpdKey='UPD'"));
  // Only the key row changes.
  EXPECT_EQ("AKV000000001|Someone",
            Query("select UpdAkv,UpdErf from Kvn543Upd where UpdKey='XYZ'"));
}

TEST_F(UpdTest, PKeyUpdWithoutTheRowChangesNothing) {
  AddRow("XYZ");
  EXPECT_EQ(1403, Upd_PKeyUpd());
  EXPECT_EQ("XYZ|AKV000000001|2020-01-01 00:00:00|Someone",
            Query("select UpdKey,UpdAkv,UpdDat,UpdErf from Kvn543Upd"));
  // The failed update left no transaction open: another connection can write.
  Exec("update Kvn543Upd set UpdErf='Other'");
  EXPECT_EQ("Other", Query("select UpdErf from Kvn543Upd"));
}

}  // namespace
