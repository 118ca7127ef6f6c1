#include "db/DbDnl/master_cursors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/os/test_env.h"
#include "sql/sql.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ExecSql;
using Strings = std::vector<std::string>;
using Ints = std::vector<int32_t>;
using Numbers = std::vector<double>;

class MasterCursorsTest : public testing_support::DatabaseTest {
 protected:
  void SetUp() override {
    FixClock("2024-05-15 12:00:00");
    DatabaseTest::SetUp();
  }
  void TearDown() override {
    (void)Apg_CloseDnl();
    (void)Apl_CloseDnl();
    (void)Ubg_CloseDnl();
    (void)Prv_CloseDnl();
    (void)Ksg_CloseDnl();
    DatabaseTest::TearDown();
  }
  void AddWorkGroup(const std::string& apg, const std::string& dwn, const std::string& fbe) {
    Exec("insert into Kvn530Apg (ApgApg,ApgDwn,ApgFbe,ApgKst) values ('" + apg + "','" +
             dwn + "','" + fbe + "','OWN')");
  }
  // A cost centre of apg from gvo to gbi (dates yyyy-mm-dd, "" for NULL).
  void AddKsg(const std::string& apg, const std::string& kst, const std::string& gvo,
              const std::string& gbi) {
    Exec("insert into Kvn537Ksg (KsgApg,KsgKst,KsgGvo,KsgGbi) values ('" + apg +
             "','" + kst + "','" + gvo + " 00:00:00'," +
             (gbi.empty() ? "null" : "'" + gbi + " 00:00:00'") + ")");
  }
};

TEST_F(MasterCursorsTest, WorkGroupsComeWithTheCostCentreValidToday) {
  AddWorkGroup("G1", "ZuzErOro", "F3");
  AddKsg("G1", "OLD", "2023-01-01", "2024-05-14");
  AddKsg("G1", "NOW", "2024-05-01", "");
  AddKsg("G1", "NEXT", "2024-05-16", "");
  AddWorkGroup("G2", "ZuzErOro", "F1");
  AddKsg("G2", "ENDS", "2024-01-01", "2024-05-15");  // last valid day today
  AddWorkGroup("G3", "ZuzErOro", "F2");
  AddKsg("G3", "STARTS", "2024-05-15", "2024-12-31");
  AddWorkGroup("G4", "ZuzErOro", "F0");  // no cost centre: not sent
  AddWorkGroup("G5", "ZalToGen", "F0");
  AddKsg("G5", "OTHER", "2024-01-01", "");

  std::vector<std::string> rows;
  WorkGroupRecord rec;
  ASSERT_EQ(0, Apg_OpenDnl("ZuzErOro"));
  while (Apg_FetchDnl(rec) == 0)
    rows.push_back(std::string(rec.ApgApg.c_str()) + "/" + rec.ApgKst.c_str());
  EXPECT_EQ((std::vector<std::string>{"G2/ENDS", "G3/STARTS", "G1/NOW"}), rows);
}

TEST_F(MasterCursorsTest, WorkGroupColumnsLandInTheirFields) {
  Exec("insert into Kvn530Apg (ApgApg,ApgBez,ApgTxt,ApgKst,ApgFbe,ApgZf1,ApgZf2,ApgZf3,ApgApl,"
       "ApgTag,ApgKap,ApgPrd,ApgRst,ApgPau,ApgUnt,ApgIak,ApgSt1,ApgSt2,ApgSt3,ApgSf1,ApgSf2,"
       "ApgSf3,ApgDna,ApgDwn,ApgSta,ApgDat,ApgErf) values ('G1','Bez','Txt','OWN','F1','Zf1',"
       "'Zf2','Zf3',70001,70002,1.5,2.5,3.5,4.5,5.5,6.5,'St1','St2','St3',7.5,8.5,9.5,'NEU',"
       "'ZuzErOro',-4,'2024-01-01 00:00:00','Erf')");
  AddKsg("G1", "KST", "2024-01-01", "");
  WorkGroupRecord r;
  r.ApgDat = "keep";
  ASSERT_EQ(0, Apg_OpenDnl("ZuzErOro"));
  ASSERT_EQ(0, Apg_FetchDnl(r));
  // ApgKst comes from the join, not from the row's own column.
  EXPECT_EQ((Strings{"G1", "Bez", "Txt", "F1", "KST", "St1", "St2", "St3", "Zf1", "Zf2", "Zf3",
                     "NEU", "ZuzErOro", "Erf"}),
            (Strings{r.ApgApg.c_str(), r.ApgBez.c_str(), r.ApgTxt.c_str(), r.ApgFbe.c_str(),
                     r.ApgKst.c_str(), r.ApgSt1.c_str(), r.ApgSt2.c_str(), r.ApgSt3.c_str(),
                     r.ApgZf1.c_str(), r.ApgZf2.c_str(), r.ApgZf3.c_str(), r.ApgDna.c_str(),
                     r.ApgDwn.c_str(), r.ApgErf.c_str()}));
  EXPECT_EQ((Ints{70001, 70002, -4}), (Ints{r.ApgApl, r.ApgTag, r.ApgSta}));
  EXPECT_EQ((Numbers{1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5}),
            (Numbers{r.ApgKap, r.ApgPrd, r.ApgRst, r.ApgPau, r.ApgUnt, r.ApgIak, r.ApgSf1,
                     r.ApgSf2, r.ApgSf3}));
  EXPECT_STREQ("keep", r.ApgDat.c_str());
  EXPECT_EQ(1403, Apg_FetchDnl(r));
  EXPECT_STREQ("G1", r.ApgApg.c_str());
}

TEST_F(MasterCursorsTest, WorkplacesOfTheSelectorByAreaKey) {
  PPS2BDE_SQLITE_ONLY_VALUES();
  Exec("insert into Kvn531Apl values ('P1','Bez','Txt','G1','F2',1,-2,70001,70002,'UBGXY',"
       "'2024-02-03 04:05:06','Zf1','Zf2','Zf3',70003,1.5,2.5,3.5,4.5,5.5,6.5,7.5,8.5,70004,"
       "9.5,10.5,11.5,'St1','St2','St3',12.5,13.5,14.5,'AEN','ZuzErOro',-5,"
       "'2024-01-01 00:00:00','Erf')");
  Exec("insert into Kvn531Apl (AplApl,AplDwn,AplFbe) values ('P2','ZuzErOro','F1'),"
       "('P3','ZalToGen','F0')");
  WorkplaceRecord r;
  r.AplDat = "keep";
  ASSERT_EQ(0, Apl_OpenDnl("ZuzErOro"));
  ASSERT_EQ(0, Apl_FetchDnl(r));
  EXPECT_STREQ("P2", r.AplApl.c_str());
  ASSERT_EQ(0, Apl_FetchDnl(r));
  // AplUbg travels with four characters.
  EXPECT_EQ((Strings{"P1", "Bez", "Txt", "G1", "F2", "UBGX", "20240203040506", "St1", "St2",
                     "St3", "Zf1", "Zf2", "Zf3", "AEN", "ZuzErOro", "Erf"}),
            (Strings{r.AplApl.c_str(), r.AplBez.c_str(), r.AplTxt.c_str(), r.AplApg.c_str(),
                     r.AplFbe.c_str(), r.AplUbg.c_str(), r.AplUdt.c_str(), r.AplSt1.c_str(),
                     r.AplSt2.c_str(), r.AplSt3.c_str(), r.AplZf1.c_str(), r.AplZf2.c_str(),
                     r.AplZf3.c_str(), r.AplDna.c_str(), r.AplDwn.c_str(), r.AplErf.c_str()}));
  EXPECT_EQ((Ints{1, -2, 70001, 70002, 70003, 70004, -5}),
            (Ints{r.AplSts, r.AplSis, r.AplApr, r.AplAaf, r.AplTag, r.AplAvt, r.AplSta}));
  EXPECT_EQ((Numbers{1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5, 10.5, 11.5, 12.5, 13.5, 14.5}),
            (Numbers{r.AplVrf, r.AplRsp, r.AplRsi, r.AplAfp, r.AplAfi, r.AplPau, r.AplUnt,
                     r.AplIak, r.AplKap, r.AplAvr, r.AplAvp, r.AplSf1, r.AplSf2, r.AplSf3}));
  EXPECT_STREQ("keep", r.AplDat.c_str());
  EXPECT_EQ(1403, Apl_FetchDnl(r));
}

TEST_F(MasterCursorsTest, UbgRowsLandInTheirFields) {
  PPS2BDE_SQLITE_ONLY_VALUES();
  Exec("insert into Kvn521Ubg values ('U1',1,'F2','Bez','Txt','Zf1','Zf2','Zf3',1.5,2.5,3.5,"
       "'St1','St2','St3',4.5,5.5,6.5,'LOE','ZuzErOro',70001,'2024-01-01 00:00:00','Erf')");
  Exec("insert into Kvn521Ubg (UbgUbg,UbgDwn,UbgFbe) values ('U2','ZuzErOro','F1'),"
       "('U3','ZalToGen','F0')");
  UbgRecord r;
  r.UbgDat = "keep";
  ASSERT_EQ(0, Ubg_OpenDnl("ZuzErOro"));
  ASSERT_EQ(0, Ubg_FetchDnl(r));
  EXPECT_STREQ("U2", r.UbgUbg.c_str());
  EXPECT_TRUE(r.UbgBez.empty() && r.UbgKnz == 0 && r.UbgAst == 0);
  ASSERT_EQ(0, Ubg_FetchDnl(r));
  EXPECT_EQ((Strings{"U1", "F2", "Bez", "Txt", "Zf1", "Zf2", "Zf3", "St1", "St2", "St3", "LOE",
                     "ZuzErOro", "Erf"}),
            (Strings{r.UbgUbg.c_str(), r.UbgFbe.c_str(), r.UbgBez.c_str(), r.UbgTxt.c_str(),
                     r.UbgZf1.c_str(), r.UbgZf2.c_str(), r.UbgZf3.c_str(), r.UbgSt1.c_str(),
                     r.UbgSt2.c_str(), r.UbgSt3.c_str(), r.UbgDna.c_str(), r.UbgDwn.c_str(),
                     r.UbgErf.c_str()}));
  EXPECT_EQ((Ints{1, 70001}), (Ints{r.UbgKnz, r.UbgSta}));
  EXPECT_EQ((Numbers{1.5, 2.5, 3.5, 4.5, 5.5, 6.5}),
            (Numbers{r.UbgAst, r.UbgRst, r.UbgAsf, r.UbgSf1, r.UbgSf2, r.UbgSf3}));
  EXPECT_STREQ("keep", r.UbgDat.c_str());
  EXPECT_EQ(1403, Ubg_FetchDnl(r));
}

TEST_F(MasterCursorsTest, PrvRowsLandInTheirFields) {
  PPS2BDE_SQLITE_ONLY_VALUES();
  Exec("insert into Kvn510Prv values ('12345678','2024-01-02 00:00:00','2024-12-31 00:00:00',"
       "2,'KST','F1','Mmb','Zf1','Zf2','Zf3',70001,'2024-01-01 00:00:00','Erf','AEN',"
       "'ZuzErOro','AWN1',3,70002,70003,70004,70005,'2024-02-03 04:05:06',"
       "'2024-03-04 05:06:07','Nam','Str','Ort')");
  Exec("insert into Kvn510Prv (PrvPnr,PrvDwn,PrvFbe) values ('P0','ZalToGen','F0')");
  PrvRecord r;
  r.PrvDat = "keep";
  ASSERT_EQ(0, Prv_OpenDnl("ZuzErOro"));
  ASSERT_EQ(0, Prv_FetchDnl(r));
  EXPECT_EQ((Strings{"12345678", "20240102", "20241231", "KST", "F1", "Mmb", "Zf1", "Zf2", "Zf3",
                     "Erf", "AEN", "ZuzErOro", "AWN1", "20240203040506", "20240304050607", "Nam",
                     "Str", "Ort"}),
            (Strings{r.PrvPnr.c_str(), r.PrvGvo.c_str(), r.PrvGbi.c_str(), r.PrvKst.c_str(),
                     r.PrvFbe.c_str(), r.PrvMmb.c_str(), r.PrvZf1.c_str(), r.PrvZf2.c_str(),
                     r.PrvZf3.c_str(), r.PrvErf.c_str(), r.PrvDna.c_str(), r.PrvDwn.c_str(),
                     r.PrvAwn.c_str(), r.PrvAvn.c_str(), r.PrvAbi.c_str(), r.PrvNam.c_str(),
                     r.PrvStr.c_str(), r.PrvOrt.c_str()}));
  EXPECT_EQ((Ints{2, 70001, 3, 70002, 70003, 70004, 70005}),
            (Ints{r.PrvBer, r.PrvSta, r.PrvAwa, r.PrvAnw, r.PrvApl, r.PrvApp, r.PrvPzm}));
  EXPECT_STREQ("keep", r.PrvDat.c_str());
  EXPECT_EQ(1403, Prv_FetchDnl(r));
  EXPECT_STREQ("12345678", r.PrvPnr.c_str());
}

TEST_F(MasterCursorsTest, CostCentresJoinEveryAreaOfTypeOne) {
  Exec("insert into o1003Kststelle values ('K1'),('K2');"
       "insert into Kvn559Fbe values ('F2',1),('F1',1),('F0',2)");
  std::vector<std::string> rows;
  KsgDnlRecord rec;
  ASSERT_EQ(0, Ksg_OpenDnl());
  while (Ksg_FetchDnl(rec) == 0)
    rows.push_back(std::string(rec.FbeFbe.c_str()) + rec.KstNum.c_str());
  ASSERT_EQ(4u, rows.size());
  std::sort(rows.begin(), rows.begin() + 2);
  std::sort(rows.begin() + 2, rows.end());
  EXPECT_EQ((std::vector<std::string>{"F1K1", "F1K2", "F2K1", "F2K2"}), rows);
}

TEST_F(MasterCursorsTest, SelectorWithoutRowsEndsAtOnce) {
  AddWorkGroup("G1", "ZalToGen", "F1");
  AddKsg("G1", "KST", "2024-01-01", "");
  Exec("insert into Kvn531Apl (AplApl,AplDwn) values ('P1','ZalToGen');"
       "insert into Kvn521Ubg (UbgUbg,UbgDwn) values ('U1','ZalToGen');"
       "insert into Kvn510Prv (PrvPnr,PrvDwn) values ('P1','ZalToGen')");
  for (const char* sel : {"ZuzErOro", "ZalToGenX"}) {
    WorkGroupRecord apg;
    WorkplaceRecord apl;
    UbgRecord ubg;
    PrvRecord prv;
    ASSERT_EQ(0, Apg_OpenDnl(sel));
    EXPECT_EQ(1403, Apg_FetchDnl(apg)) << sel;
    ASSERT_EQ(0, Apl_OpenDnl(sel));
    EXPECT_EQ(1403, Apl_FetchDnl(apl)) << sel;
    ASSERT_EQ(0, Ubg_OpenDnl(sel));
    EXPECT_EQ(1403, Ubg_FetchDnl(ubg)) << sel;
    ASSERT_EQ(0, Prv_OpenDnl(sel));
    EXPECT_EQ(1403, Prv_FetchDnl(prv)) << sel;
  }
  ASSERT_EQ(0, Apg_OpenDnl("ZalToGen"));  // the rows are there
  WorkGroupRecord apg;
  EXPECT_EQ(0, Apg_FetchDnl(apg));
}

}  // namespace
