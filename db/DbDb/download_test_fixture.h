// The fixture of the download tests: a database with terminal 1 serving the
// area keys A..K and terminal 2 serving N..Z (L and M have no terminal), and
// a working folder whose ../Comm/Buff holds the buffer files and ./Msg the
// log.
#ifndef PPS2BDE_DB_DBDB_DOWNLOAD_TEST_FIXTURE_H_
#define PPS2BDE_DB_DBDB_DOWNLOAD_TEST_FIXTURE_H_

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>

#include "db/DbDb/buffer.h"
#include "runtime/msg.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

class DownloadDatabaseTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    testing_support::MakeDirs(dir() / "Comm/Buff");
    testing_support::MakeDirs(dir() / "run/Msg");
    DatabaseTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_NE(nullptr, getcwd(cwd_, sizeof cwd_));
    ASSERT_EQ(0, chdir((dir() / "run").c_str()));
    Msg_ResetForTest();
    Msg_Init(7, ".\\Msg\\Ostrak.Txt");
    Put_DnlBufferClose();
  }
  void BeforeConnect() override {
    Exec("insert into Kvn557Cfg (CfgDta,CfgIP,CfgPrt,CfgVn1,CfgBi1) values "
         "(1,'10.1.1.1','5001','A','K');"
         "insert into Kvn557Cfg (CfgDta,CfgIP,CfgPrt,CfgVn1,CfgBi1) values "
         "(2,'10.1.1.2','5002','N','Z');");
  }
  void TearDown() override {
    Put_DnlBufferClose();
    DatabaseTest::TearDown();
    Msg_ResetForTest();
    if (cwd_[0] != '\0') {
      EXPECT_EQ(0, chdir(cwd_));
    }
  }

 private:
  char cwd_[PATH_MAX] = {};
};

#endif  // PPS2BDE_DB_DBDB_DOWNLOAD_TEST_FIXTURE_H_
