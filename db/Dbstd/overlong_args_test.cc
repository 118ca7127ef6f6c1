// Arguments longer than their fields in every range open and in the key
// deletes: cut to fit, they would name other rows, so they name none.
#include <functional>
#include <string>

#include "db/DbDnl/afo.h"
#include "db/DbDnl/auk.h"
#include "db/Dbstd/apg.h"
#include "db/Dbstd/apk.h"
#include "db/Dbstd/apl.h"
#include "db/Dbstd/app.h"
#include "db/Dbstd/ksg.h"
#include "db/Dbstd/prv.h"
#include "db/Dbstd/ubg.h"
#include "gtest/gtest.h"
#include "tests/support/database_test.h"

namespace {

using Count = std::function<int(const char* lower, const char* upper)>;

// Opens with fetch-all-and-close: the number of rows, -1 when the open failed.
template <typename Rec>
int CountRows(int opened, const std::function<int(Rec&)>& fetch, const std::function<int()>& close) {
  if (opened != 0) return -1;
  Rec rec;
  int n = 0;
  while (fetch(rec) == 0) ++n;
  close();
  return n;
}

struct RangeCase {
  const char* name;
  size_t width;      // of the key field, from the table layouts
  std::string row;   // inserts one row; "K" stands for its key
  Count count;
};

const RangeCase kRanges[] = {
    {"Auk", 12, "insert into Kvn500Auk (AukApk) values ('K')",
     [](const char* l, const char* u) {
       return CountRows<PpsOrderRecord>(Auk_Open(l, u), Auk_Fetch, Auk_Close);
     }},
    {"Afo", 12, "insert into Kvn503Afo (AfoApk,AfoApp) values ('K','00010')",
     [](const char* l, const char* u) {
       return CountRows<PpsOperationRecord>(
           Afo_Open(l, u, 1), [](PpsOperationRecord& r) { return Afo_Fetch(r, 1); },
           [] { return Afo_Close(1); });
     }},
    {"Apk", 12, "insert into Kvn501Apk (ApkApk) values ('K')",
     [](const char* l, const char* u) {
       return CountRows<OrderRecord>(
           Apk_Open(l, u, 2), [](OrderRecord& r) { return Apk_Fetch(r, 2); },
           [] { return Apk_Close(2); });
     }},
    {"App", 12, "insert into Kvn504App (AppApk,AppApp) values ('K','00010')",
     [](const char* l, const char* u) {
       return CountRows<OperationRecord>(
           App_Open(l, "00000", u, "99999", 1),
           [](OperationRecord& r) { return App_Fetch(r, 1); }, [] { return App_Close(1); });
     }},
    {"AppSts", 12, "update Kvn504App set AppSts=1 where AppApk='K'",
     [](const char* l, const char* u) {
       return CountRows<OperationRecord>(App_OpenSts(l, "00000", u, "99999", 9), App_FetchSts,
                                         App_CloseSts);
     }},
    {"Apg", 10, "insert into Kvn530Apg (ApgApg) values ('K')",
     [](const char* l, const char* u) {
       return CountRows<WorkGroupRecord>(Apg_Open(l, u), Apg_Fetch, Apg_Close);
     }},
    {"Apl", 10, "insert into Kvn531Apl (AplApl) values ('K')",
     [](const char* l, const char* u) {
       return CountRows<WorkplaceRecord>(Apl_Open(l, u), Apl_Fetch, Apl_Close);
     }},
    {"Ksg", 10,
     "insert into Kvn537Ksg (KsgApg,KsgKst,KsgGvo) values ('K','C1','2000-01-01 00:00:00')",
     [](const char* l, const char* u) {
       return CountRows<KsgRecord>(Ksg_Open(l, u), Ksg_Fetch, Ksg_Close);
     }},
    {"Prv", 8, "insert into Kvn510Prv (PrvPnr) values ('K')",
     [](const char* l, const char* u) {
       return CountRows<PrvRecord>(Prv_Open(l, u), Prv_Fetch, Prv_Close);
     }},
    {"Ubg", 4, "insert into Kvn521Ubg (UbgUbg) values ('K')",
     [](const char* l, const char* u) {
       return CountRows<UbgRecord>(Ubg_Open(l, u), Ubg_Fetch, Ubg_Close);
     }},
};

using OverlongArgsTest = testing_support::DatabaseTest;

// A row whose key fills its field lies between bounds that fit; a lower
// or upper bound one character too long would still enclose it when cut,
// and selects nothing.
TEST_F(OverlongArgsTest, RangeOpensWithABoundThatDoesNotFitSelectNothing) {
  for (const RangeCase& c : kRanges) {
    SCOPED_TRACE(c.name);
    std::string sql = c.row;
    const std::string key(c.width, 'M');
    sql.replace(sql.find("'K'"), 3, "'" + key + "'");
    Exec(sql);
    const std::string low(c.width, 'A'), high(c.width, 'Z');
    EXPECT_EQ(1, c.count(low.c_str(), high.c_str()));
    EXPECT_EQ(0, c.count((low + "A").c_str(), high.c_str()));
    EXPECT_EQ(0, c.count(low.c_str(), (high + "Z").c_str()));
  }
}

// The deletes by key name no row with a key one character too long, though
// its first characters name one.
TEST_F(OverlongArgsTest, DeletesByAnOverlongKeyDeleteNothing) {
  Exec("insert into Kvn530Apg (ApgApg) values ('GGGGGGGGGG');"
       "insert into Kvn531Apl (AplApl) values ('PPPPPPPPPP');"
       "insert into Kvn500Auk (AukApk) values ('100000000001');");
  EXPECT_EQ(1403, Apg_PKeyDel("GGGGGGGGGGX"));
  EXPECT_EQ(1403, Apl_PKeyDel("PPPPPPPPPPX"));
  EXPECT_EQ(1403, Auk_PKeyDel("1000000000011"));
  EXPECT_EQ("1|1|1", Query("select (select count(*) from Kvn530Apg),(select count(*) from "
                           "Kvn531Apl),(select count(*) from Kvn500Auk)"));
}

}  // namespace
