// End-to-end: the operator's tool (pps2bde-admin) on laid-out
// installations: check, status, preview, log, lines, install, --help, and
// what cmake --install puts under a prefix.
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "gtest/gtest.h"
#include "sql/sql.h"
#include "tests/e2e/jobs.h"
#include "tests/e2e/outcome.h"
#include "tests/e2e/terminal_lines.h"
#include "tests/e2e/work_data.h"
#include "tests/support/install.h"

namespace {

using testing_support::Installation;
using testing_support::ReadAll;
using nlohmann::json;

// Runs pps2bde-admin with args in cwd (the working folder by default); its
// exit code, its output in *out.
int Admin(Installation& inst, const std::vector<std::string>& args, std::string* out = nullptr,
          const std::string& cwd = "") {
  std::vector<std::string> argv = {testing_support::BuiltProgram("pps2bde-admin")};
  argv.insert(argv.end(), args.begin(), args.end());
  int rc = testing_support::RunProcessFor(e2e::kRunLimit, argv, cwd.empty() ? inst.run() : cwd,
                                          {}, inst.output());
  if (out != nullptr) *out = ReadAll(inst.output());
  return rc;
}

json AdminJson(Installation& inst, const std::vector<std::string>& args) {
  std::string out;
  EXPECT_EQ(0, Admin(inst, args, &out)) << out;
  return json::parse(out, nullptr, /*allow_exceptions=*/false);
}

int Count(Installation& inst, const std::string& sql) { return std::stoi(inst.Query(sql)); }

// A day's work with one order and operation that no terminal serves.
std::string Work() {
  e2e::WorkShape shape;
  shape.withFailures = false;
  return e2e::WorkData(7, shape) + e2e::AukRow("199999999999", 1, "ZZ01") +
         e2e::AfoRow("199999999999", "00010", 1, "AG01", "AP01", "ZZ01");
}

TEST(Admin, HelpAndVersionTouchNothingWrongUsageIsTwo) {
  Installation inst(/*withDatabase=*/false);
  std::string out;
  EXPECT_EQ(0, Admin(inst, {"--version"}, &out));
  EXPECT_EQ("pps2bde-admin " PPS2BDE_TEST_VERSION "\n", out);
  for (const char* sub : {"encipher", "init-db", "demo", "download", "log", "lines", "status",
                          "check", "preview", "install"}) {
    EXPECT_EQ(0, Admin(inst, {sub, "--help"}, &out)) << sub;
    EXPECT_NE(std::string::npos, out.find(sub)) << out;
  }
  EXPECT_FALSE(testing_support::FileExists(inst.db()));
  EXPECT_FALSE(testing_support::FileExists(inst.log()));
  EXPECT_EQ(2, Admin(inst, {}));
  EXPECT_EQ(2, Admin(inst, {"status", "--json", "--prometheus"}));
  EXPECT_EQ(2, Admin(inst, {"log", "--last", "none"}));
  EXPECT_EQ(2, Admin(inst, {"install"}));
}

// One broken installation per kind of problem check names.
struct Breakage {
  const char* name;
  // Breaks inst; what it returns is kept until the check has run.
  std::function<std::shared_ptr<void>(Installation&)> breakIt;
  const char* finding;  // in the output
};

class CheckFinds : public ::testing::TestWithParam<Breakage> {};

TEST_P(CheckFinds, TheProblemAndExitsOne) {
  Installation inst;
  inst.Sql(e2e::Terminals());
  std::string out;
  ASSERT_EQ(0, Admin(inst, {"check"}, &out)) << out;
  std::shared_ptr<void> keep = GetParam().breakIt(inst);
  EXPECT_EQ(1, Admin(inst, {"check"}, &out));
  EXPECT_NE(std::string::npos, out.find(GetParam().finding)) << out;
  EXPECT_EQ(std::string::npos, out.find("secret")) << "a credential was printed";
}

// Holds the run lock of inst's database in this process while it lives.
struct HeldLock {
  explicit HeldLock(Installation& inst) {
    EXPECT_EQ(0, sql::Connect(inst.DefaultLogin().c_str(), inst.DefaultPass().c_str(),
                              inst.db().c_str()));
    EXPECT_EQ(0, sql::AcquireRunLock(0, "pps2bde full run pid 4711"));
  }
  ~HeldLock() { sql::Disconnect(); }
};

INSTANTIATE_TEST_SUITE_P(
    Admin, CheckFinds,
    ::testing::Values(
        Breakage{"NoConfig", [](Installation& i) { std::remove(i.config().c_str()); return nullptr; },
                 "cannot be read"},
        Breakage{"Net8Garbled",
                 [](Installation& i) {
                   // A cipher text that deciphers to control bytes.
                   i.WriteConfig("bde", "secret", "");
                   std::string c = ReadAll(i.config());
                   c.replace(c.find("3;NET8;") + 7, 0, "000010000200003000040000500006");
                   testing_support::WriteAll(i.config(), c);
                   return nullptr;
                 },
                 "NET8 does not decipher"},
        Breakage{"NoDatabase", [](Installation& i) { std::remove(i.db().c_str()); return nullptr; },
                 "database cannot be reached"},
        Breakage{"ColumnMissing",
                 [](Installation& i) { i.Sql("alter table Kvn557Cfg drop column CfgBi2"); return nullptr; },
                 "Kvn557Cfg.CfgBi2 missing"},
        Breakage{"TableMissing", [](Installation& i) { i.Sql("drop table Kvn542Dwn"); return nullptr; },
                 "table Kvn542Dwn"},
        Breakage{"NoMsg", [](Installation& i) { rmdir((i.run() + "/Msg").c_str()); return nullptr; },
                 "log folder Msg does not exist"},
        Breakage{"NoBuff", [](Installation& i) { rmdir(i.buff().c_str()); return nullptr; },
                 "buffer folder ../Comm/Buff does not exist"},
        Breakage{"AreaWithoutTerminal",
                 [](Installation& i) {
                   i.Sql(e2e::ExistingOrder("100000000001", 10, "ZZ01", 2) +
                         "update Kvn501Apk set ApkDwn='ZuzErOro',ApkDna='NEU';"
                         "update Kvn504App set AppDwn='ZalToGen',AppDna='NEU';");
                   return nullptr;
                 },
                 "3 rows waiting for download have no terminal"},
        Breakage{"RunLockHeld",
                 [](Installation& i) { return std::shared_ptr<void>(std::make_shared<HeldLock>(i)); },
                 "run lock held by: pps2bde full run pid 4711"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Admin, StatusAndJsonAgreeWithTheTables) {
  Installation inst;
  inst.Sql(Work());
  ASSERT_EQ(0, e2e::Job(inst));
  inst.Sql(e2e::AukRow("188888888888", 1) + e2e::AfoRow("188888888888", "00010", 1) +
           "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlFun,DnlSkz,DnlApk,DnlErf) values "
           "('2024-03-01 12:00:00',1,'AEN','APK','100000000001','ZuzErOro'),"
           "('2024-03-01 12:00:00',2,'AEN','APK','100000000002','ZuzErOro');");
  json j = AdminJson(inst, {"status", "--json"});
  EXPECT_EQ(1, j["planning"]["Kvn500Auk"]["rows"]);
  EXPECT_EQ(1, j["planning"]["Kvn503Afo"]["rows"]);
  int marked = 0, homeless = 0;
  for (const json& m : j["marked"]) {
    marked += m["rows"].get<int>();
    if (m["terminal"] == 0) homeless += m["rows"].get<int>();
  }
  EXPECT_EQ(Count(inst, "select count(*) from Kvn501Apk where ApkDwn is not null") +
                Count(inst, "select count(*) from Kvn504App where AppDwn is not null"),
            marked);
  EXPECT_EQ(2, homeless) << "the order and the operation of ZZ01";
  EXPECT_EQ(1, j["queue"]["batches"]);
  EXPECT_EQ(2, j["queue"]["newest"][0]["rows"]);
  ASSERT_EQ(1u, j["runs"].size());
  EXPECT_EQ(inst.Query("select DwnNeu from Kvn542Dwn"), std::to_string(j["runs"][0]["DwnNeu"].get<int>()));
  EXPECT_EQ(inst.Query("select DwnDta from Kvn542Dwn"), j["runs"][0]["start"]);
  int logged = 0;
  for (const json& g : j["log_since_last_run"]) logged += g["entries"].get<int>();
  EXPECT_EQ(testing_support::ParseLog(ReadAll(inst.log())).size(), static_cast<size_t>(logged));

  std::string text;
  ASSERT_EQ(0, Admin(inst, {"status", "--prometheus"}, &text));
  EXPECT_NE(std::string::npos, text.find("pps2bde_planning_rows_waiting{table=\"Kvn500Auk\"} 1\n"));
  EXPECT_NE(std::string::npos, text.find("pps2bde_download_rows_without_terminal 2\n"));
  EXPECT_NE(std::string::npos, text.find("pps2bde_log_errors_since_last_run " +
                                         std::to_string(logged) + "\n"));
  ASSERT_EQ(0, Admin(inst, {"status"}, &text));
  EXPECT_NE(std::string::npos, text.find("NO TERMINAL")) << text;
  EXPECT_EQ("", j["running"]);
  HeldLock held(inst);
  EXPECT_EQ("pps2bde full run pid 4711", AdminJson(inst, {"status", "--json"})["running"]);
}

TEST(Admin, PreviewChangesNothingAndAgreesWithTheNextRun) {
  Installation inst;
  // Beside the day's work an order whose status does not fit 16 bits: it
  // and its operation stay waiting.
  inst.Sql(Work() + e2e::AukRow("177777777777", 65545) + e2e::AfoRow("177777777777", "00010", 1));
  const e2e::Outcome before = e2e::TakeOutcome(inst);
  json p = AdminJson(inst, {"preview", "--json"});
  std::string out;
  EXPECT_EQ(1, Admin(inst, {"preview"}, &out, inst.root())) << "not in a working folder";
  ASSERT_EQ(0, Admin(inst, {"preview", "--root", inst.root()}, &out, inst.root()));
  e2e::ExpectSameEnd(before, inst, "after preview");
  EXPECT_FALSE(testing_support::FileExists(inst.log()));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn542Dwn"));

  std::map<std::string, int> actions;
  std::set<std::string> staying;
  for (const char* kind : {"orders", "operations"}) {
    for (const json& d : p[kind]) {
      const std::string action = d["action"];
      ++actions[action.substr(0, action.find(':'))];
      if (action.find(':') != std::string::npos) staying.insert(d["key"].get<std::string>());
    }
  }
  EXPECT_EQ((std::set<std::string>{"177777777777", "177777777777/00010"}), staying);
  ASSERT_EQ(0, e2e::Job(inst));
  EXPECT_EQ(inst.Query("select DwnNeu||'/'||DwnAen||'/'||DwnLoe||'/'||(DwnApk+DwnApp) from Kvn542Dwn"),
            std::to_string(actions["insert"]) + "/" + std::to_string(actions["update"]) + "/" +
                std::to_string(actions["logical deletion"]) + "/" +
                std::to_string(actions["insert"] + actions["update"] +
                               actions["logical deletion"] + actions["drop"]));
  EXPECT_EQ(p["orders"].size() + p["operations"].size(),
            static_cast<size_t>(actions["insert"] + actions["update"] +
                                actions["logical deletion"] + actions["drop"] +
                                actions["skipped"] + actions["waits"]));
  EXPECT_EQ("Afo 177777777777/00010\nAuk 177777777777", e2e::TakeOutcome(inst).planning);
  std::map<std::string, std::string> files = e2e::BufferFiles(inst);
  ASSERT_EQ(files.size(), p["download"].size());
  for (const json& t : p["download"]) {
    const std::string name = "SndDnl" + std::to_string(t["terminal"].get<int>()) + ".buf";
    EXPECT_EQ(files[name].size() / e2e::kLine,
              static_cast<size_t>(t["orders"].get<int>() + t["operations"].get<int>()))
        << name;
  }
  std::set<std::string> unsent, stillMarked;
  for (const json& u : p["unsent"]) unsent.insert(u["key"].get<std::string>());
  std::string rows = inst.Query(
      "select ApkApk from Kvn501Apk where ApkDwn is not null union all "
      "select AppApk||'/'||AppApp from Kvn504App where AppDwn is not null");
  for (size_t a = 0, b; a < rows.size(); a = b + 1) {
    b = rows.find('\n', a);
    if (b == std::string::npos) b = rows.size();
    stillMarked.insert(rows.substr(a, b - a));
  }
  EXPECT_EQ(stillMarked, unsent);
  EXPECT_EQ(2u, unsent.size());
}

TEST(Admin, LogAndLinesDecodeWhatTheJobWrote) {
  Installation inst;
  inst.Sql(Work());
  ASSERT_EQ(0, e2e::Job(inst));
  const auto entries = testing_support::ParseLog(ReadAll(inst.log()));
  json log = AdminJson(inst, {"log", "--json"});
  ASSERT_EQ(entries.size(), log.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto& e = entries[i];
    EXPECT_EQ("20" + e.date.substr(6, 2) + "-" + e.date.substr(3, 2) + "-" + e.date.substr(0, 2) +
                  " " + e.time,
              log[i]["time"]);
    EXPECT_EQ(e.function, log[i]["function"]);
    EXPECT_EQ(e.code, log[i]["code"]);
  }
  json sending = AdminJson(inst, {"log", "--json", "--function", "Apk_Dnl", "--last", "1"});
  ASSERT_EQ(1u, sending.size());
  EXPECT_EQ("Fehler beim Senden von ApkS\xC3\xA4tze", sending[0]["message"]) << "UTF-8";
  std::string text;
  ASSERT_EQ(0, Admin(inst, {"log", "--grep", "Senden"}, &text));
  EXPECT_NE(std::string::npos, text.find("Apk_Dnl         Fehler beim Senden von ApkS\xC3\xA4tze  [1403]"))
      << text;

  const std::string buf = inst.buff() + "/SndDnl1.buf";
  json lines = AdminJson(inst, {"lines", "--json", buf});
  ASSERT_EQ(ReadAll(buf).size() / e2e::kLine, lines.size());
  int orders = 0;
  for (const json& l : lines) {
    EXPECT_TRUE(l["ok"].get<bool>()) << l.dump();
    EXPECT_EQ("10.0.0.1", l["head"]["CfgIP"]);
    if (l["type"] != "APK" || l["function"] != "NEU") continue;
    ++orders;
    // The planning row's texts are made from the order number's last digits.
    const std::string apk = l["fields"]["ApkApk"], t = apk.substr(8);
    EXPECT_EQ("Bez1 " + t, l["fields"]["ApkBz1"]);
    EXPECT_EQ("Z3 " + t, l["fields"]["ApkZf3"]);
    EXPECT_EQ("STK", l["fields"]["ApkMee"]);
  }
  EXPECT_GT(orders, 0);
  json only = AdminJson(inst, {"lines", "--json", "--record", "APP", buf});
  for (const json& l : only) EXPECT_EQ("APP", l["type"]);
  // The terminal's character set: an order name in ISO-8859-1 (payload
  // position 13, 30 wide) comes out as UTF-8.
  const std::string all = ReadAll(buf);
  size_t at = 0;
  while (at < all.size() && all.compare(at + 90, 3, "APK") != 0) at += e2e::kLine;
  ASSERT_LT(at, all.size());
  std::string order = all.substr(at, e2e::kLine);
  order.replace(111 + 12, 30, e2e::Left("Gr\xF6\xDF""e 5", 30));
  testing_support::WriteAll(inst.root() + "/german.buf", order);
  EXPECT_EQ("Gr\xC3\xB6\xC3\x9F""e 5",
            AdminJson(inst, {"lines", "--json", inst.root() + "/german.buf"})[0]["fields"]["ApkBz1"]);

  // A torn line and a line whose end mark was overwritten are flagged with
  // their offsets.
  std::string bytes = ReadAll(buf);
  std::string bad = bytes.substr(0, e2e::kLine);
  bad[111 + 252] = ' ';
  if (bad.substr(90, 3) == "APP") bad[111 + 246] = ' ';
  testing_support::WriteAll(buf, bytes + bad + bytes.substr(0, 100));
  ASSERT_EQ(1, Admin(inst, {"lines", buf}, &text));
  EXPECT_NE(std::string::npos, text.find("@" + std::to_string(bytes.size()) + " ")) << text;
  EXPECT_NE(std::string::npos, text.find("no end mark")) << text;
  EXPECT_NE(std::string::npos, text.find("length 100 instead of 552")) << text;
}

TEST(Admin, InstallCheckAndRunFromAnEmptyFolder) {
  testing_support::TempDir dir;
  const std::string admin = testing_support::BuiltProgram("pps2bde-admin");
  const std::string root = dir.path() + "/plant";
  const std::string cmd = "printf 'geheim\\n' | '" + admin + "' install '" + root + "' --db '" +
                          root + "/files/bde.db' --login bde --password-stdin";
  ASSERT_EQ(0, testing_support::RunProcess({"/bin/sh", "-c", cmd}, dir.path(), {},
                                           dir.path() + "/out.txt"))
      << ReadAll(dir.path() + "/out.txt");
  const std::string out = ReadAll(dir.path() + "/out.txt");
  EXPECT_NE(std::string::npos, out.find("OK    run lock free")) << out;
  EXPECT_EQ(std::string::npos, out.find("geheim"));
  EXPECT_EQ(std::string::npos, ReadAll(root + "/files/velmaris.ini").find("geheim"));
  // Installed twice: refused, nothing changed.
  const std::string config = ReadAll(root + "/files/velmaris.ini");
  EXPECT_EQ(1, testing_support::RunProcess({admin, "install", root, "--db", "other.db"}, dir.path()));
  EXPECT_EQ(config, ReadAll(root + "/files/velmaris.ini"));

  testing_support::ExecSql(root + "/files/bde.db", e2e::Terminals() + e2e::AukRow("100000000001", 1));
  ASSERT_EQ(0, testing_support::RunProcess({testing_support::BuiltProgram("pps2bde")},
                                           root + "/a/b/c/run"));
  EXPECT_EQ(e2e::kLine, ReadAll(root + "/a/b/c/Comm/Buff/SndDnl1.buf").size());
  EXPECT_EQ("", ReadAll(root + "/a/b/c/run/Msg/Ostrak.Txt"));
}

TEST(Admin, CmakeInstallGivesAWorkingSet) {
  testing_support::TempDir prefix;
  const std::string out = prefix.path() + "/out.txt";
  ASSERT_EQ(0, testing_support::RunProcess(
                   {PPS2BDE_TEST_CMAKE, "--install", PPS2BDE_BUILD_DIR, "--prefix", prefix.path()},
                   prefix.path(), {}, out))
      << ReadAll(out);
  for (const char* f : {"share/pps2bde/schema/sqlite.sql", "share/pps2bde/examples/pps2bde.service",
                        "share/pps2bde/examples/pps2bde.timer", "share/pps2bde/examples/pps2bde.cron"})
    EXPECT_TRUE(testing_support::FileExists(prefix.path() + "/" + f)) << f;
  const std::string bin = prefix.path() + "/bin/";
  EXPECT_EQ(0, testing_support::RunProcess({bin + "pps2bde", "--version"}, prefix.path(), {}, out));
  EXPECT_EQ("pps2bde " PPS2BDE_TEST_VERSION "\n", ReadAll(out));
  // The installed tool lays out an installation the installed job runs in.
  ASSERT_EQ(0, testing_support::RunProcess(
                   {bin + "pps2bde-admin", "install", "plant", "--db", "plant/files/bde.db"},
                   prefix.path(), {}, out))
      << ReadAll(out);
  EXPECT_EQ(0, testing_support::RunProcess({bin + "pps2bde"}, prefix.path() + "/plant/a/b/c/run"));
  EXPECT_EQ("1", testing_support::QuerySql(prefix.path() + "/plant/files/bde.db",
                                           "select count(*) from Kvn542Dwn"));
}

}  // namespace
