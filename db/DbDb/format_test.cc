#include "db/DbDb/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// A text field: left-aligned, blank-padded, cut to width.
std::string F(const std::string& v, size_t width) {
  std::string s = v.substr(0, width);
  return s + std::string(width - s.size(), ' ');
}
std::string Blanks(size_t n) { return std::string(n, ' '); }

OrderRecord SampleOrder() {
  OrderRecord a;
  a.ApkApk = "A-4711";
  a.ApkBz1 = "Welle gedreht";
  a.ApkBz2 = "Charge 7";
  a.ApkTxt = "0123456789";  // 10 characters, 8 are sent
  a.ApkTnr = "T-100-200";
  a.ApkTb1 = "Teil eins";
  a.ApkTb2 = "Teil zwei";
  a.ApkSme = 1234.5;
  a.ApkMee = "STK";
  a.ApkBgs = "20240315";
  a.ApkEns = "";
  a.ApkAfo = 7;
  a.ApkSts = 10;
  a.ApkZf1 = "Zf1";
  a.ApkZf2 = "Zusatz zwei";
  a.ApkZf3 = "Zusatz drei";
  a.ApkDna = "NEU";
  a.ApkFbe = "FBE1";      // not part of the payload
  a.ApkKun = "KUNDE";     // not part of the payload
  return a;
}

OperationRecord SampleOperation() {
  OperationRecord o;
  o.AppApk = "A-4711";
  o.AppApp = "0010";
  o.AppBz1 = "Drehen";
  o.AppBz2 = "Schlichten";
  o.AppTxt = "Kurztext12";
  o.AppApg = "DREH01";
  o.AppSme = 250;
  o.AppMee = "KG";
  o.AppStr = 0.75;
  o.AppSte = 3.25;
  o.AppSza = 12.5;
  o.AppBdsDate = "20241231";
  o.AppEdsDate = "20250101";
  o.AppVaf = "0005";
  o.AppNaf = "0020";
  o.AppSts = 3;
  o.AppZf1 = "eins";
  o.AppZf2 = "zwei";
  o.AppZf3 = "drei";
  o.AppIme = 17.125;
  o.AppAme = 0.5;
  o.AppDna = "AEN";
  return o;
}

TEST(FormatPayload, OrderFieldsByTheirRules) {
  QueueRecord rec;
  rec.DnlDtaDate = "20240315";
  EXPECT_EQ(0, Apk_DnlFormat(rec, SampleOrder()));
  std::string want = F("A-4711", 12) + F("Welle gedreht", 30) + F("Charge 7", 30) +
                     "01234567" + F("T-100-200", 20) + F("Teil eins", 30) +
                     F("Teil zwei", 30) + "00001234500" + "STK" + "240315" + Blanks(6) +
                     "7    " + "0" + F("Zf1", 10) + F("Zusatz zwei", 20) +
                     F("Zusatz drei", 30) + "X" + Blanks(2);
  ASSERT_EQ(255u, want.size());
  EXPECT_EQ(want, rec.DnlDnl.c_str());
  EXPECT_STREQ("APK", rec.DnlSkz.c_str());
  EXPECT_STREQ("NEU", rec.DnlFun.c_str());
  EXPECT_STREQ("20240315", rec.DnlDtaDate.c_str());  // left to the caller
}

TEST(FormatPayload, OperationFieldsByTheirRules) {
  QueueRecord rec;
  EXPECT_EQ(0, App_DnlFormat(rec, SampleOperation()));
  std::string want = F("A-4711", 12) + F("0010", 5) + F("Drehen", 30) + F("Schlichten", 30) +
                     "Kurztext" + F("DREH01", 10) + "00000250000" + "KG " + "0000075" +
                     "0000325" + "0001250" + "241231" + "250101" + F("0005", 5) +
                     F("0020", 5) + "3" + F("eins", 10) + F("zwei", 20) + F("drei", 30) +
                     "00000017125" + "00000000500" + Blanks(11) + "X" + Blanks(10);
  ASSERT_EQ(257u, want.size());
  EXPECT_EQ(want, rec.DnlDnl.c_str());
  EXPECT_STREQ("APP", rec.DnlSkz.c_str());
  EXPECT_STREQ("AEN", rec.DnlFun.c_str());
}

// Quantity, count and status at the limits of their fields.  Positions as
// in the order payload: ApkSme at 161 (11), ApkAfo at 187 (5), ApkSts at
// 192 (1).  A quantity or count that would lose digits refuses the payload.
TEST(FormatPayload, OrderNumbersAtTheirLimits) {
  struct Case {
    double sme;
    int32_t afo;
    int32_t sts;
    const char* wantSme;  // null: the payload is refused (-1455)
    const char* wantAfo;
    const char* wantSts;
  } cases[] = {
      {0, 0, 0, "00000000000", "0    ", "0"},
      {-5.5, 12345, 3, "-0000005500", "12345", "3"},  // sign takes a digit
      {99999999.999, 99999, 25, "99999999999", "99999", "2"},
      {-9999999.999, -9999, -1, "-9999999999", "-9999", "-"},
      {100000000.0, 0, 0, nullptr, "", ""},  // nine integer digits: 10 times too small
      {123456789012.5, 0, 0, nullptr, "", ""},
      {-10000000.0, 0, 0, nullptr, "", ""},
      {1e300, 0, 0, nullptr, "", ""},
      {INFINITY, 0, 0, nullptr, "", ""},
      {NAN, 0, 0, nullptr, "", ""},
      {0, 100000, 0, nullptr, "", ""},
      {0, -10000, 0, nullptr, "", ""},
  };
  for (const Case& c : cases) {
    OrderRecord a = SampleOrder();
    a.ApkSme = c.sme;
    a.ApkAfo = c.afo;
    a.ApkSts = c.sts;
    QueueRecord rec;
    ASSERT_EQ(c.wantSme != nullptr ? 0 : -1455, Apk_DnlFormat(rec, a)) << c.sme << " " << c.afo;
    if (c.wantSme == nullptr) continue;
    std::string p = rec.DnlDnl.c_str();
    ASSERT_EQ(255u, p.size()) << c.sme;
    EXPECT_EQ(c.wantSme, p.substr(160, 11)) << c.sme;
    EXPECT_EQ(c.wantAfo, p.substr(186, 5)) << c.afo;
    EXPECT_EQ(c.wantSts, p.substr(191, 1)) << c.sts;
    EXPECT_EQ("STK", p.substr(171, 3)) << "neighbour overwritten";
    EXPECT_EQ("X  ", p.substr(252, 3));
  }
}

// Times are positions 4 to 10 of the quantity text; AppStr at 110,
// AppSte at 117, AppSza at 124.  A time that would lose its leading digits
// or its sign, or a quantity too large, refuses the payload.
TEST(FormatPayload, OperationTimesAndDates) {
  OperationRecord o = SampleOperation();
  o.AppStr = 99999.994;  // "00099999994": "9999999"
  o.AppSte = 0.125;      // the third decimal is dropped
  o.AppSza = 0;
  o.AppBdsDate = "";
  o.AppEdsDate = "2";    // nothing from the third character on
  QueueRecord rec;
  ASSERT_EQ(0, App_DnlFormat(rec, o));
  std::string p = rec.DnlDnl.c_str();
  ASSERT_EQ(257u, p.size());
  EXPECT_EQ("9999999", p.substr(109, 7));
  EXPECT_EQ("0000012", p.substr(116, 7));
  EXPECT_EQ("0000000", p.substr(123, 7));
  EXPECT_EQ(Blanks(12), p.substr(130, 12));
  EXPECT_EQ(F("0005", 5), p.substr(142, 5));

  for (double OperationRecord::*field :
       {&OperationRecord::AppStr, &OperationRecord::AppSte, &OperationRecord::AppSza}) {
    for (double v : {100000.0, -1.5, 123456.78, static_cast<double>(NAN)}) {
      OperationRecord bad = SampleOperation();
      bad.*field = v;
      EXPECT_EQ(-1455, App_DnlFormat(rec, bad)) << v;
    }
  }
  for (double v : {1e9, -1e300}) {
    OperationRecord bad = SampleOperation();
    bad.AppAme = v;
    EXPECT_EQ(-1455, App_DnlFormat(rec, bad)) << v;
  }
}

TEST(FormatDelPoint, RemovesOnlyTheFirstPoint) {
  char out[16];
  Del_Point("1234.500", out, sizeof out);
  EXPECT_STREQ("1234500", out);
  Del_Point("1.2.3", out, sizeof out);
  EXPECT_STREQ("12.3", out);
  Del_Point("ohne", out, sizeof out);
  EXPECT_STREQ("ohne", out);
  Del_Point(".", out, sizeof out);
  EXPECT_STREQ("", out);
  Del_Point(nullptr, out, sizeof out);
  EXPECT_STREQ("", out);
  // Cut to the output, never past it.
  char small[5] = {'#', '#', '#', '#', '#'};
  Del_Point("12.345678", small, 4);
  EXPECT_STREQ("123", small);
  EXPECT_EQ('#', small[4]);
}

std::string Line(const std::string& ip, const std::string& port, const std::string& stamp,
                 const std::string& skz, const std::string& date6, const std::string& time,
                 const std::string& fun, const std::string& payload) {
  auto right = [](const std::string& v, size_t w) { return std::string(w - v.size(), ' ') + v; };
  return "$" + F(ip, 15) + F(port, 5) + stamp + "999" + right(ip, 15) + right(port, 5) +
         Blanks(28) + "0460" + right(skz, 3) + right(date6, 6) + right(time, 6) + "BDE" +
         right(fun, 3) + F(payload, 438) + "*\r\n";
}

TEST(FormatLine, WholeLineOfAnOrder) {
  QueueRecord rec;
  rec.DnlDtaDate = "20240315";
  rec.DnlDtaTime = "101112";
  std::string payload = std::string(252, 'p') + "X  ";
  rec.DnlDnl = payload.c_str();
  rec.DnlSkz = "APK";
  rec.DnlFun = "LOE";
  CfgRecord cfg;
  cfg.CfgIP = "10.0.0.1";  // 8 positions
  cfg.CfgPrt = "4711";     // 4 positions
  char out[kDnlLineLength + 1];
  ASSERT_EQ(kDnlLineLength, Dnl_FormatLine(rec, cfg, "20240102030405", out, sizeof out));
  std::string want = Line("10.0.0.1", "4711", "20240102030405", "APK", "240315", "101112",
                          "LOE", payload);
  ASSERT_EQ(552u, want.size());
  EXPECT_EQ(want, std::string(out));
  // Positions 2..21 and 39..58 spelled out.
  EXPECT_EQ("10.0.0.1       4711 ", std::string(out + 1, 20));
  EXPECT_EQ("       10.0.0.1 4711", std::string(out + 38, 20));
  // The payload of 255 is followed by 183 blanks, then "*" CR LF.
  EXPECT_EQ(payload + Blanks(183) + "*\r\n", std::string(out + 111));
  EXPECT_EQ("240315", std::string(out + 93, 6));  // year 2024 as 24
}

TEST(FormatLine, EmptyAndOverlongValuesKeepTheLength) {
  QueueRecord rec;
  rec.DnlDtaDate = "2";  // no yymmdd part
  std::string payload(257, 'q');
  rec.DnlDnl = payload.c_str();  // an operation payload fills 257
  CfgRecord cfg;
  cfg.CfgIP = "192.168.100.200";  // 15 positions fill the field
  char out[kDnlLineLength + 1];
  ASSERT_EQ(kDnlLineLength, Dnl_FormatLine(rec, cfg, "2024010203040599", out, sizeof out));
  std::string want =
      Line("192.168.100.200", "", "20240102030405", "", "", "", "", payload);
  EXPECT_EQ(want, std::string(out));
  EXPECT_EQ(Blanks(5), std::string(out + 16, 5));
  EXPECT_EQ(Blanks(5), std::string(out + 53, 5));

  char small[kDnlLineLength] = {'#'};
  EXPECT_EQ(0, Dnl_FormatLine(rec, cfg, "x", small, sizeof small));
  EXPECT_EQ('\0', small[0]);
}

// A value with control bytes (a forged line start after CR LF, a tab, DEL)
// reaches the line with blanks in their places; ISO-8859-1 letters stay.
TEST(FormatLine, ControlBytesOfTheValuesBecomeBlanks) {
  QueueRecord rec;
  rec.DnlDtaDate = "20240315";
  rec.DnlDtaTime = "10\t112";
  rec.DnlDnl = "Geh\xE4use\r\n$10.1.20.11     4001\x7f\x01X";
  rec.DnlSkz = "APK";
  rec.DnlFun = "N\nU";
  CfgRecord cfg;
  cfg.CfgIP = "10.0.0.1\r";
  cfg.CfgPrt = "47\x1b" "1";
  char out[kDnlLineLength + 1];
  ASSERT_EQ(kDnlLineLength, Dnl_FormatLine(rec, cfg, "2024010203\n405", out, sizeof out));
  EXPECT_EQ(Line("10.0.0.1 ", "47 1", "2024010203 405", "APK", "240315", "10 112", "N U",
                 "Geh\xE4use  $10.1.20.11     4001  X"),
            std::string(out));
}

}  // namespace
