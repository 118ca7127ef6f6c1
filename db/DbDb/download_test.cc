#include "db/DbDb/download.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "db/DbDb/buffer.h"
#include "db/DbDb/release.h"
#include "runtime/msg.h"
#include "runtime/os/test_env.h"
#include "sql/sql.h"
#include "db/DbDb/download_test_fixture.h"
#include "tests/support/install.h"
#include "tests/support/database_test.h"
#include "tests/support/support.h"

namespace {

using testing_support::ParseLog;
using testing_support::ReadAll;

// The download fixture (terminals 1: A..K, 2: N..Z) with rows to send.
class DownloadTest : public DownloadDatabaseTest {
 protected:
  void Order(const std::string& key, const std::string& fbe, const std::string& dna,
             int afo = 0, const std::string& dwn = "ZuzErOro") {
    Exec("insert into Kvn501Apk (ApkApk,ApkBz1,ApkAfo,ApkSts,ApkFbe,ApkDna,ApkDwn,ApkErf) "
         "values ('" + key + "','Bez " + key + "'," + std::to_string(afo) + ",10,'" + fbe +
         "','" + dna + "','" + dwn + "','Kolvane')");
  }
  void Operation(const std::string& order, const std::string& op, const std::string& fbe,
                 const std::string& dna, const std::string& dwn = "ZuzErOro") {
    Exec("insert into Kvn504App (AppApk,AppApp,AppBz1,AppSts,AppSza,AppFbe,AppDna,AppDwn) "
         "values ('" + order + "','" + op + "','Arbeitsgang " + op + "',3,12.5,'" + fbe +
         "','" + dna + "','" + dwn + "')");
  }

  // The lines of a terminal's buffer file; each must have the fixed length.
  std::vector<std::string> Lines(int terminal) {
    std::string all =
        ReadAll(dir() / ("Comm/Buff/SndDnl" + std::to_string(terminal) + ".buf"));
    EXPECT_EQ(0u, all.size() % kDnlLineLength);
    std::vector<std::string> out;
    for (size_t i = 0; i + kDnlLineLength <= all.size(); i += kDnlLineLength)
      out.push_back(all.substr(i, kDnlLineLength));
    return out;
  }
  // "function/message/code" of every log entry.
  std::vector<std::string> Log() {
    std::vector<std::string> out;
    for (const auto& e : ParseLog(ReadAll(dir() / "run/Msg/Ostrak.Txt")))
      out.push_back(e.function + "/" + e.message + "/" + e.code);
    return out;
  }
};

// Fields of a line: record type 91 (3), run date 94 (6), run time 100 (6),
// function 109 (3), payload from 112.
std::string Kind(const std::string& l) { return l.substr(90, 3); }
std::string Date(const std::string& l) { return l.substr(93, 6); }
std::string Time(const std::string& l) { return l.substr(99, 6); }
std::string Fun(const std::string& l) { return l.substr(108, 3); }
std::string Payload(const std::string& l, size_t from, size_t n) {
  return l.substr(111 + from - 1, n);
}

TEST_F(DownloadTest, NothingSelectedWritesNothing) {
  Order("O1", "B", "NEU", 0, "ZalToGen");
  Operation("O1", "10", "B", "NEU", "ZalToGen");
  EXPECT_EQ(0, Apk_Dnl("20240315", "101112", "ZuzErOro"));
  EXPECT_EQ(0, App_Dnl("20240315", "101112", "ZuzErOro"));
  EXPECT_TRUE(Lines(1).empty());
  EXPECT_EQ("ZalToGen|NEU", Query("select ApkDwn,ApkDna from Kvn501Apk"));
  EXPECT_TRUE(Log().empty());
}

TEST_F(DownloadTest, OrdersAreSentThenReleasedOrDeleted) {
  Order("O1", "B", "NEU");
  Order("O2", "C", "AEN");
  Order("O3", "D", "LOE");
  Order("O4", "E", "NEU", 0, "ZalToGen");  // another selector: left alone
  EXPECT_EQ(0, Apk_Dnl("20240315", "101112", "ZuzErOro"));

  auto lines = Lines(1);
  ASSERT_EQ(3u, lines.size());
  const char* fun[] = {"NEU", "AEN", "LOE"};
  const char* key[] = {"O1          ", "O2          ", "O3          "};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ("APK", Kind(lines[i]));
    EXPECT_EQ("240315", Date(lines[i]));
    EXPECT_EQ("101112", Time(lines[i]));
    EXPECT_EQ(fun[i], Fun(lines[i]));
    EXPECT_EQ(key[i], Payload(lines[i], 1, 12));
    EXPECT_EQ("0", Payload(lines[i], 192, 1));  // status 10 sent as 0
    EXPECT_EQ("X", Payload(lines[i], 253, 1));
  }
  EXPECT_EQ("O1|<null>|<null>|Bez O1\nO2|<null>|<null>|Bez O2\nO4|ZalToGen|NEU|Bez O4",
            Query("select ApkApk,ApkDwn,ApkDna,ApkBz1 from Kvn501Apk order by ApkApk"));
  EXPECT_TRUE(Log().empty());
}

TEST_F(DownloadTest, OperationsKeepTheOrderCountUpToDate) {
  Order("O1", "B", "", 2, "");
  Order("O2", "B", "", 4, "");
  Operation("O1", "10", "B", "NEU");
  Operation("O1", "20", "B", "NEU");
  Operation("O1", "30", "B", "NEU");
  Operation("O2", "10", "B", "LOE");
  Operation("O2", "20", "B", "AEN");
  EXPECT_EQ(0, App_Dnl("20241231", "235959", "ZuzErOro"));

  auto lines = Lines(1);
  ASSERT_EQ(5u, lines.size());
  for (const auto& l : lines) {
    EXPECT_EQ("APP", Kind(l));
    EXPECT_EQ("241231", Date(l));
    EXPECT_EQ("0001250", Payload(l, 124, 7));  // AppSza 12.5
    EXPECT_EQ("3", Payload(l, 153, 1));
    EXPECT_EQ("X", Payload(l, 247, 1));
  }
  EXPECT_EQ("O1|5\nO2|3", Query("select ApkApk,ApkAfo from Kvn501Apk order by ApkApk"));
  EXPECT_EQ("O1|10|<null>|<null>\nO1|20|<null>|<null>\nO1|30|<null>|<null>\nO2|20|<null>|<null>",
            Query("select AppApk,AppApp,AppDwn,AppDna from Kvn504App order by AppApk,AppApp"));
  EXPECT_TRUE(Log().empty());
}

TEST_F(DownloadTest, OrderWithoutTerminalStopsTheOrderPass) {
  Order("O1", "B", "NEU");
  Order("O2", "L", "NEU");  // no terminal serves L
  Order("O3", "P", "NEU");
  EXPECT_EQ(0, Apk_Dnl("20240315", "101112", "ZuzErOro"));
  ASSERT_EQ(1u, Lines(1).size());
  EXPECT_TRUE(Lines(2).empty()) << "the third order must not be sent";
  EXPECT_EQ("O1|<null>\nO2|ZuzErOro\nO3|ZuzErOro",
            Query("select ApkApk,ApkDwn from Kvn501Apk order by ApkApk"));
  EXPECT_EQ((std::vector<std::string>{"ReadFile/IP-Ermitteln/1403",
                                      "Apk_Dnl/Fehler beim Senden von ApkS\xE4tze/1403"}),
            Log());
}

TEST_F(DownloadTest, OperationWithoutTerminalIsSkipped) {
  Order("O1", "B", "", 0, "");
  Operation("O1", "10", "B", "NEU");
  Operation("O1", "20", "L", "NEU");
  Operation("O1", "30", "P", "NEU");
  EXPECT_EQ(0, App_Dnl("20240315", "101112", "ZuzErOro"));
  auto first = Lines(1);
  auto third = Lines(2);
  ASSERT_EQ(1u, first.size());
  ASSERT_EQ(1u, third.size());
  EXPECT_EQ("O1          10   ", Payload(first[0], 1, 17));
  EXPECT_EQ("O1          30   ", Payload(third[0], 1, 17));
  EXPECT_EQ("10|<null>\n20|ZuzErOro\n30|<null>",
            Query("select AppApp,AppDwn from Kvn504App order by AppApp"));
  EXPECT_EQ("2", Query("select ApkAfo from Kvn501Apk"));
  EXPECT_EQ((std::vector<std::string>{"ReadFile/IP-Ermitteln/1403",
                                      "App_Dnl/Fehler beim Senden von AppS\xE4tze/1403"}),
            Log());
}

TEST_F(DownloadTest, ReleaseKeepsChangesMadeSinceTheFetch) {
  Order("O1", "B", "AEN");
  OrderRecord fetched;
  fetched.ApkApk = "O1";
  ASSERT_EQ(0, Apk_PKeyReadk(fetched));
  Exec("update Kvn501Apk set ApkBz1='geaendert', ApkAfo=9 where ApkApk='O1'");
  EXPECT_EQ(0, Apk_Frei(fetched));
  EXPECT_EQ("geaendert|9|<null>|<null>",
            Query("select ApkBz1,ApkAfo,ApkDwn,ApkDna from Kvn501Apk"));
}

TEST_F(DownloadTest, ReleaseOfVanishedRowsIsReported) {
  OrderRecord order;
  order.ApkApk = "FEHLT";
  order.ApkDna = "NEU";
  EXPECT_EQ(1403, Apk_Frei(order));

  OperationRecord op;
  op.AppApk = "FEHLT";
  op.AppApp = "10";
  op.AppDna = "AEN";
  EXPECT_EQ(1403, App_Frei(op));  // not read again: nothing written, not logged
  op.AppDna = "LOE";
  EXPECT_EQ(1403, App_Frei(op));
  // A deleted operation that is gone leaves its order's count as it is.
  Order("O1", "B", "AEN", 4);
  op.AppApk = "O1";
  EXPECT_EQ(1403, App_Frei(op));
  EXPECT_EQ("4", Query("select ApkAfo from Kvn501Apk"));
  EXPECT_EQ((std::vector<std::string>{"ApkDnl/Fehler bei Apk_PKeyRead/1403",
                                      "App_Frei/Fehler bei App_PKeyDel/1403",
                                      "App_Frei/Fehler bei App_PKeyDel/1403"}),
            Log());
}

}  // namespace
