#include "db/DbDb/master_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A left-aligned field: the value cut to width, padded with blanks.
std::string L(const std::string& v, size_t width) {
  std::string s = v.substr(0, width);
  return s + std::string(width - s.size(), ' ');
}
// A right-aligned field: the value cut to width, blanks before it.
std::string R(const std::string& v, size_t width) {
  std::string s = v.substr(0, width);
  return std::string(width - s.size(), ' ') + s;
}
std::string Blanks(size_t n) { return std::string(n, ' '); }

WorkGroupRecord SampleWorkGroup() {
  WorkGroupRecord a;
  a.ApgApg = "DREH01";
  a.ApgBez = "Dreherei Halle 1";
  a.ApgTxt = "Drehen CNC";  // 10 characters, 8 are sent
  a.ApgKst = "4711";        // the cost centre the cursor joined in
  a.ApgFbe = "FB01";
  a.ApgZf1 = "eins";
  a.ApgZf2 = "zwei";
  a.ApgZf3 = "drei";
  a.ApgDna = "AEN";
  return a;
}

WorkplaceRecord SampleWorkplace() {
  WorkplaceRecord a;
  a.AplApl = "DM-01";
  a.AplBez = "Drehmaschine 1";
  a.AplTxt = "CNC-Drehen";
  a.AplApg = "DREH01";
  a.AplFbe = "FB01";
  a.AplApr = 42;
  a.AplSts = 3;
  a.AplZf1 = "z1";
  a.AplZf2 = "z2";
  a.AplZf3 = "abc";  // right-aligned into the positions that are cut off
  a.AplDna = "NEU";
  return a;
}

TEST(MasterFormat, WorkGroupEndsWithBlankAndMarkAt137) {
  QueueRecord rec;
  rec.DnlDtaDate = "20240315";
  EXPECT_EQ(0, Apg_DnlFormat(rec, SampleWorkGroup()));
  std::string text = L("DREH01", 10) + L("Dreherei Halle 1", 30) + "Drehen C" + L("FB01", 10) +
                     L("4711", 7) + Blanks(10) + R("eins", 10) + R("zwei", 20) + R("drei", 30);
  ASSERT_EQ(135u, text.size());
  EXPECT_EQ(text + " X", rec.DnlDnl.c_str());
  EXPECT_STREQ("MAG", rec.DnlSkz.c_str());
  EXPECT_STREQ("AEN", rec.DnlFun.c_str());
  EXPECT_STREQ("20240315", rec.DnlDtaDate.c_str());  // left to the caller
}

TEST(MasterFormat, WorkGroupFreeTextsAreCutToTheirFields) {
  WorkGroupRecord a = SampleWorkGroup();
  a.ApgBez = std::string(30, 'B').c_str();
  a.ApgKst = "1234567";
  a.ApgZf1 = "abcdefghijklmnopqrstuvwxyz0123";
  a.ApgZf3 = std::string(30, 'Z').c_str();
  QueueRecord rec;
  EXPECT_EQ(0, Apg_DnlFormat(rec, a));
  std::string p = rec.DnlDnl.c_str();
  ASSERT_EQ(137u, p.size());
  EXPECT_EQ("1234567", p.substr(58, 7));
  EXPECT_EQ("abcdefghij", p.substr(75, 10));
  EXPECT_EQ(std::string(30, 'Z'), p.substr(105, 30));
  EXPECT_EQ(" X", p.substr(135));
}

TEST(MasterFormat, WorkplaceCutsTheTailOfAplZf3) {
  QueueRecord rec;
  EXPECT_EQ(0, Apl_DnlFormat(rec, SampleWorkplace(), "K-100"));
  std::string text = L("DM-01", 10) + L("Drehmaschine 1", 30) + "CNC-Dreh" + L("FB01", 10) +
                     L("K-100", 7) + L("DREH01", 10) + Blanks(10) + Blanks(10) + R("42", 5) +
                     "3" + R("z1", 10) + R("z2", 20) + R("abc", 30);
  ASSERT_EQ(161u, text.size());
  EXPECT_EQ(text.substr(0, 154) + "X", rec.DnlDnl.c_str());
  EXPECT_EQ(std::string::npos, std::string(rec.DnlDnl.c_str()).find("abc"));
  EXPECT_STREQ("MAS", rec.DnlSkz.c_str());
  EXPECT_STREQ("NEU", rec.DnlFun.c_str());

  WorkplaceRecord full = SampleWorkplace();
  full.AplZf3 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
  Apl_DnlFormat(rec, full, nullptr);  // no cost centre: blank
  std::string p = rec.DnlDnl.c_str();
  ASSERT_EQ(155u, p.size());
  EXPECT_EQ(Blanks(7), p.substr(58, 7));
  EXPECT_EQ("ABCDEFGHIJKLMNOPQRSTUVW", p.substr(131, 23));
  EXPECT_EQ('X', p[154]);
}

// A cost centre, key, badge number or number wider than its field would
// reach the terminal as another value: the payload is refused (-1406 a
// text, -1455 a number); values that just fit are sent.
TEST(MasterFormat, ValuesThatMustNotBeCutRefuseThePayload) {
  struct Case {
    const char* what;
    int want;
    int (*format)(QueueRecord&);
  } cases[] = {
      {"work group cost centre of 7", 0,
       [](QueueRecord& r) { WorkGroupRecord a = SampleWorkGroup(); a.ApgKst = "1234567";
                            return Apg_DnlFormat(r, a); }},
      {"work group cost centre of 8", -1406,
       [](QueueRecord& r) { WorkGroupRecord a = SampleWorkGroup(); a.ApgKst = "12345678";
                            return Apg_DnlFormat(r, a); }},
      {"workplace cost centre of 8", -1406,
       [](QueueRecord& r) { return Apl_DnlFormat(r, SampleWorkplace(), "12345678"); }},
      {"AplApr 99999, AplSts 9", 0,
       [](QueueRecord& r) { WorkplaceRecord a = SampleWorkplace(); a.AplApr = 99999;
                            a.AplSts = 9; return Apl_DnlFormat(r, a, "1234567"); }},
      {"AplApr 100000", -1455,
       [](QueueRecord& r) { WorkplaceRecord a = SampleWorkplace(); a.AplApr = 100000;
                            return Apl_DnlFormat(r, a, ""); }},
      {"AplSts 10", -1455,
       [](QueueRecord& r) { WorkplaceRecord a = SampleWorkplace(); a.AplSts = 10;
                            return Apl_DnlFormat(r, a, ""); }},
      {"AplSts -1", -1455,
       [](QueueRecord& r) { WorkplaceRecord a = SampleWorkplace(); a.AplSts = -1;
                            return Apl_DnlFormat(r, a, ""); }},
      {"person cost centre of 8", -1406,
       [](QueueRecord& r) { PrvRecord p; p.PrvPnr = "00004711"; p.PrvKst = "K-100-20";
                            return Prv_DnlFormat(r, p); }},
      {"cost centre of 8", -1406,
       [](QueueRecord& r) { KsgDnlRecord k; k.KstNum = "12345678"; return Ksg_DnlFormat(r, k); }},
  };
  for (const Case& c : cases) {
    QueueRecord rec;
    EXPECT_EQ(c.want, c.format(rec)) << c.what;
  }
}

TEST(MasterFormat, UbgLetterAndLayout) {
  UbgRecord u;
  u.UbgUbg = "U1";
  u.UbgKnz = 1;
  u.UbgBez = "Unterbrechung Ruesten";
  u.UbgTxt = "Ruesten";
  u.UbgDna = "NEU";
  QueueRecord rec;
  EXPECT_EQ(0, Ubg_DnlFormat(rec, u));
  std::string text = "U" + L("U1", 4) + L("Unterbrechung Ruesten", 30) +
                     L("Unterbrechung Ruesten", 30) + R("Ruesten", 8);
  ASSERT_EQ(73u, text.size());
  EXPECT_EQ(text + "X", rec.DnlDnl.c_str());
  EXPECT_STREQ("UBG", rec.DnlSkz.c_str());
  EXPECT_STREQ("NEU", rec.DnlFun.c_str());

  for (int knz : {2, 0, -1, 11}) {
    u.UbgKnz = knz;
    Ubg_DnlFormat(rec, u);
    EXPECT_EQ('S', rec.DnlDnl.c_str()[0]) << knz;
  }
  u.UbgTxt = "0123456789";  // 10 characters: the first 8, filling the field
  Ubg_DnlFormat(rec, u);
  EXPECT_EQ("01234567X", std::string(rec.DnlDnl.c_str()).substr(65));
}

TEST(MasterFormat, PrvTwoLines) {
  PrvRecord p;
  p.PrvPnr = "00004711";
  p.PrvKst = "K200";
  p.PrvBer = 1;
  p.PrvAwn = "A99";
  p.PrvDna = "NEU";
  p.PrvAwa = 3;
  QueueRecord rec;
  EXPECT_EQ(0, Prv_DnlFormat(rec, p));
  EXPECT_EQ("00004711" + L("K200", 7) + "A" + "X", rec.DnlDnl.c_str());
  EXPECT_STREQ("PNR", rec.DnlSkz.c_str());
  EXPECT_STREQ("AEN", rec.DnlFun.c_str());

  QueueRecord awn;
  EXPECT_EQ(0, Prv_DnlFormatAwn(awn, p));
  EXPECT_EQ(L("A99", 8) + "00004711" + "X", awn.DnlDnl.c_str());
  EXPECT_STREQ("AWN", awn.DnlSkz.c_str());
  EXPECT_STREQ("NEU", awn.DnlFun.c_str());

  p.PrvBer = 2;
  Prv_DnlFormat(rec, p);
  EXPECT_EQ('M', rec.DnlDnl.c_str()[15]);
  p.PrvBer = 7;
  Prv_DnlFormat(rec, p);
  EXPECT_EQ(' ', rec.DnlDnl.c_str()[15]);
  EXPECT_EQ(17u, rec.DnlDnl.size());
}

TEST(MasterFormat, PrvFunctionOfThePersonLine) {
  PrvRecord p;
  p.PrvPnr = "1";
  QueueRecord rec;
  struct Case {
    const char* dna;
    int awa;
    const char* fun;
  } cases[] = {{"LOE", 3, "LOE"}, {"LOE", 2, "AEN"}, {"NEU", 3, "AEN"}, {"", 0, "AEN"}};
  for (const Case& c : cases) {
    p.PrvDna = c.dna;
    p.PrvAwa = c.awa;
    Prv_DnlFormat(rec, p);
    EXPECT_STREQ(c.fun, rec.DnlFun.c_str()) << c.dna << " " << c.awa;
    Prv_DnlFormatAwn(rec, p);
    EXPECT_STREQ(c.dna, rec.DnlFun.c_str());
  }
}

TEST(MasterFormat, CostCentre) {
  KsgDnlRecord k;
  k.KstNum = "1234567";
  k.FbeFbe = "FB01";
  QueueRecord rec;
  EXPECT_EQ(0, Ksg_DnlFormat(rec, k));
  std::string text = "1234567" + L("Kostenstelle", 25) + Blanks(5);
  ASSERT_EQ(37u, text.size());
  EXPECT_EQ(text + "X", rec.DnlDnl.c_str());
  EXPECT_STREQ("KST", rec.DnlSkz.c_str());
  EXPECT_STREQ("NEU", rec.DnlFun.c_str());
}

}  // namespace
