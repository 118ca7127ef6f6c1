// The planning and queue cursors on rows that do not fit their records: each
// such row is delivered with its own status (-1455 a number, -1406 a key)
// and its key as far as it fits, and the next fetch goes on with the next
// row; nothing is cut into another row's key or into another number.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "db/DbDnl/afo.h"
#include "db/DbDnl/auk.h"
#include "db/DbDnl/dnl.h"
#include "sql/errors.h"
#include "tests/support/database_test.h"

namespace {

using Rows = std::vector<std::string>;

class NoFitTest : public testing_support::DatabaseTest {
 protected:
  void TearDown() override {
    (void)Auk_Close();
    (void)Afo_Close(1);
    (void)Dnl_Close();
    DatabaseTest::TearDown();
  }
};

// "status key number" per row until the cursor ends.
template <typename Fetch>
Rows Drain(Fetch fetch) {
  Rows rows;
  std::string row;
  while (fetch(&row) != 1403 && rows.size() < 20) rows.push_back(row);
  return rows;
}

TEST_F(NoFitTest, PlanningAndQueueRowsAreDeliveredWithTheirStatus) {
  PPS2BDE_SQLITE_ONLY_VALUES();
  Exec("insert into Kvn500Auk (AukApk,AukSts,AukAfo,AukSme) values "
       "('100000000001',65545,1,1),('100000000002',9,1,1),('1000000000033',1,1,1),"
       "('100000000004',1,-32769,1),('100000000005',1,1,1e999),('100000000006',-32768,32767,2);"
       "insert into Kvn503Afo (AfoApk,AfoApp,AfoSts,AfoAgs,AfoSte) values "
       "('100000000001','00010',1,70000,0),('100000000001','000200',1,1,0),"
       "('100000000002','00010',1,1,-1e999),('100000000003','00010',32767,1,0);"
       "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlSkz,DnlApk,DnlApp,DnlErf) values "
       "('2024-03-01 12:00:00',1,'APK','1000000000011',null,'Q'),"
       "('2024-03-01 12:00:00',4294967296,'APL','100000000002',null,'Q'),"
       "('2024-03-01 12:00:00',3,'APP','100000000003','000100','Q'),"
       "('2024-03-01 12:00:00',4,'APP','100000000004','00010','Q');");

  ASSERT_EQ(0, Auk_Open("000000000000", "999999999999"));
  PpsOrderRecord auk;
  EXPECT_EQ((Rows{"-1455 100000000001 0", "0 100000000002 9", "-1406 100000000003 1",
                  "-1455 100000000004 1", "-1455 100000000005 1", "0 100000000006 -32768"}),
            Drain([&](std::string* row) {
              int rc = Auk_Fetch(auk);
              *row = std::to_string(rc) + " " + auk.AukApk.c_str() + " " +
                     std::to_string(auk.AukSts);
              return rc;
            }));

  ASSERT_EQ(0, Afo_Open("000000000000", "999999999999", 1));
  PpsOperationRecord afo;
  Rows got = Drain([&](std::string* row) {
    int rc = Afo_Fetch(afo, 1);
    *row = std::to_string(rc) + " " + afo.AfoApk.c_str() + "/" + afo.AfoApp.c_str() + " " +
           std::to_string(afo.AfoAgs);
    return rc;
  });
  std::sort(got.begin(), got.end());  // the cursor does not sort by AfoApp
  EXPECT_EQ((Rows{"-1406 100000000001/00020 1", "-1455 100000000001/00010 0",
                  "-1455 100000000002/00010 1", "0 100000000003/00010 1"}),
            got);

  ASSERT_EQ(0, Dnl_Open("20240301", "120000", "Q"));
  QueueRecord q;
  got = Drain([&](std::string* row) {
    int rc = Dnl_Fetch(q);
    *row = std::to_string(rc) + " " + q.DnlApk.c_str() + "/" + q.DnlApp.c_str() + " " +
           std::to_string(q.DnlLfn);
    return rc;
  });
  std::sort(got.begin(), got.end());
  EXPECT_EQ((Rows{"-1406 100000000001/ 1", "-1406 100000000003/00010 3", "-1455 100000000002/ 0",
                  "0 100000000004/00010 4"}),
            got);
  // Every row stays where it is.
  EXPECT_EQ("6|4|4", Query("select (select count(*) from Kvn500Auk),(select count(*) from "
                           "Kvn503Afo),(select count(*) from Kvn540Dnl)"));
}

}  // namespace
