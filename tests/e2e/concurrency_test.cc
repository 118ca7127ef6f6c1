// The job beside a live planning system and beside a second run: real
// second processes write the same database or start the job at the same
// time, and the result must be what quiet runs one after the other give.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/jobs.h"
#include "tests/e2e/outcome.h"
#include "tests/e2e/planning_rows.h"
#include "tests/e2e/work_data.h"
#include "tests/support/install.h"

namespace {

using testing_support::Installation;
using testing_support::ParseLog;
using testing_support::ReadAll;

std::vector<std::string> Entries(Installation& inst) {
  std::vector<std::string> out;
  for (const testing_support::LogEntry& e : ParseLog(ReadAll(inst.log())))
    out.push_back(e.function + "/" + e.message + "/" + e.code);
  return out;
}

std::multiset<std::string> EntrySet(Installation& inst) {
  std::vector<std::string> v = Entries(inst);
  return std::multiset<std::string>(v.begin(), v.end());
}

// The planning system in a process of its own: transactions of one change
// each (a new order with two operations, a changed order or operation, a
// deleted planning row) against rows it inserted or that wait from the
// start, until told to stop.  Every statement that touched a row is
// appended to the journal, so that the same changes can be made on a quiet
// copy.  A transaction that fails (its busy timeout of 5 s ran out) ends
// the writer with exit code 3.
class PlanningWriter {
 public:
  PlanningWriter(const std::string& db, const std::string& journal, uint64_t seed,
                 std::vector<std::string> waitingOrders) {
    if (pipe(stop_) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(stop_[1]);
      _exit(Write(db, journal, seed, std::move(waitingOrders)));
    }
    close(stop_[0]);
  }
  // Stops the writer and returns its exit code.
  int Stop() {
    close(stop_[1]);  // the writer sees its end of the pipe closed
    return testing_support::WaitProcessFor(pid_, e2e::kRunLimit);
  }
  bool started() const { return pid_ > 0; }

 private:
  int Write(const std::string& db, const std::string& journalPath, uint64_t seed,
            std::vector<std::string> orders) {
    sqlite3* conn = nullptr;
    if (sqlite3_open_v2(db.c_str(), &conn, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return 2;
    sqlite3_busy_timeout(conn, 5000);
    e2e::Random rnd(seed);
    std::string journal;
    for (int n = 1; n < 100000; ++n) {
      std::string change;
      int kind = rnd.Between(0, 9);
      if (kind < 4 || orders.empty()) {
        std::string apk = "5" + e2e::OrderKey(n).substr(1);
        const char* fbe = (n % 2) ? "FB12" : "FB23";
        change = e2e::AukRow(apk, 1, fbe) + e2e::AfoRow(apk, "00010", 1, "AG01", "AP01", fbe) +
                 e2e::AfoRow(apk, "00020", 1, "AG01", "AP01", fbe);
        orders.push_back(apk);
      } else {
        const std::string& apk = orders[rnd.Next() % orders.size()];
        const std::string v = "'Stand " + std::to_string(n) + "'";
        if (kind < 7) {
          change = "update Kvn500Auk set AukBz2=" + v + " where AukApk='" + apk + "';";
        } else if (kind < 9) {
          change = "update Kvn503Afo set AfoBz2=" + v + " where AfoApk='" + apk +
                   "' and AfoApp='00010';";
        } else {
          change = "delete from Kvn503Afo where AfoApk='" + apk + "' and AfoApp='00020';";
        }
      }
      const std::string txn = "BEGIN IMMEDIATE;" + change + "COMMIT;";
      if (sqlite3_exec(conn, txn.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return 3;
      if (sqlite3_total_changes(conn) > 0 && sqlite3_changes(conn) > 0) journal += change + "\n";
      fd_set fds;
      FD_ZERO(&fds);
      FD_SET(stop_[0], &fds);
      struct timeval tv = {0, 1000};
      if (select(stop_[0] + 1, &fds, nullptr, nullptr, &tv) > 0) break;
    }
    sqlite3_close(conn);
    testing_support::WriteAll(journalPath, journal);
    return 0;
  }

  int pid_ = -1;
  int stop_[2] = {-1, -1};
};

// The orders of the shape that wait in Kvn500Auk at the start.
std::vector<std::string> WaitingOrders(Installation& inst) {
  std::vector<std::string> keys;
  std::string rows = inst.Query("select AukApk from Kvn500Auk order by 1");
  for (size_t pos = 0; pos < rows.size();) {
    size_t end = rows.find('\n', pos);
    if (end == std::string::npos) end = rows.size();
    keys.push_back(rows.substr(pos, end - pos));
    pos = end + 1;
  }
  return keys;
}

// Every order's count is the number of its operations that were sent and
// released, and every operation line comes after its order's line in its
// buffer file.
void ExpectCountsAndOrder(Installation& inst) {
  EXPECT_EQ("", inst.Query(
                    "select ApkApk||' '||ApkAfo||' '||(select count(*) from Kvn504App where "
                    "AppApk=ApkApk and AppDwn is null) from Kvn501Apk where ApkDwn is null and "
                    "ApkAfo <> (select count(*) from Kvn504App where AppApk=ApkApk and AppDwn "
                    "is null) and ApkApk like '5%'"))
      << "orders whose count differs from their released operations";
  for (const auto& [name, bytes] : e2e::BufferFiles(inst)) {
    std::map<std::string, size_t> firstOrderLine;
    for (size_t pos = 0; pos + e2e::kLine <= bytes.size(); pos += e2e::kLine) {
      const std::string apk = bytes.substr(pos + 111, 12);
      if (bytes.compare(pos + 90, 3, "APK") == 0) firstOrderLine.emplace(apk, pos);
      if (bytes.compare(pos + 90, 3, "APP") == 0 && apk[0] == '5') {
        EXPECT_TRUE(firstOrderLine.count(apk)) << name << ": operation of " << apk
                                               << " before its order";
      }
    }
  }
}

// The planning system inserts, changes and deletes planning rows while two
// full runs go; then runs go on until the interface tables are empty.  The
// end must be what one quiet run of the final planning data gives: every
// version that was waiting when it was last changed arrives, no deleted
// row does, no change is lost.
TEST(Concurrency, PlanningWriterChangesRowsWhileRunsGo) {
  e2e::WorkShape shape;
  shape.withFailures = false;
  shape.newOrders = 150;
  const std::string data = e2e::WorkData(23, shape);
  Installation inst(true, testing_support::MemoryTempBase());
  inst.Sql(data);
  const std::string journal = inst.root() + "/journal.sql";
  PlanningWriter writer(inst.db(), journal, 5, WaitingOrders(inst));
  ASSERT_TRUE(writer.started());
  ASSERT_EQ(0, e2e::Job(inst));
  ASSERT_EQ(0, e2e::Job(inst));
  ASSERT_EQ(0, writer.Stop()) << "a planning transaction failed";
  for (int run = 0; run < 3; ++run) {
    if (inst.Query("select (select count(*) from Kvn500Auk)+(select count(*) from Kvn503Afo)") ==
        "0")
      break;
    ASSERT_EQ(0, e2e::Job(inst));
  }
  EXPECT_EQ("0|0", inst.Query("select (select count(*) from Kvn500Auk),"
                              "(select count(*) from Kvn503Afo)"));
  const std::string changes = ReadAll(journal);
  ASSERT_NE(std::string::npos, changes.find("update")) << "the writer changed waiting rows";
  std::printf("planning changes that found their row waiting: %zu\n",
              static_cast<size_t>(std::count(changes.begin(), changes.end(), '\n')));

  Installation quiet(true, testing_support::MemoryTempBase());
  quiet.Sql(data);
  quiet.Sql("begin;\n" + changes + "commit;\n");
  ASSERT_EQ(0, e2e::Job(quiet));
  e2e::ExpectSameEnd(e2e::TakeOutcome(quiet), inst, "writer during the runs");
  ExpectCountsAndOrder(inst);
  EXPECT_EQ(EntrySet(quiet), EntrySet(inst)) << "the same findings, no failure";
}

// Two runs started at the same moment: the second waits for the first's run
// lock, so the end is that of the two runs one after the other: the same
// tables, no line twice, no count off, nothing written back stale.
struct TwoRuns {
  const char* name;
  std::vector<std::string> second;  // arguments of the second run
};

void PrintTo(const TwoRuns& r, std::ostream* os) { *os << r.name; }

class Concurrency2 : public testing::TestWithParam<TwoRuns> {};

TEST_P(Concurrency2, TwoRunsStartedTogetherEndAsOneAfterTheOther) {
  e2e::WorkShape shape;
  shape.withFailures = false;
  // The queue batch names orders and operations the full run changes too.
  const std::string data =
      e2e::WorkData(31, shape) +
      "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlErf,DnlSkz,DnlApk,DnlApp,DnlFun) select "
      "'2024-03-01 12:00:00',row_number() over (),'ZuzErOro','APK',ApkApk,null,'AEN' from Kvn501Apk "
      "where ApkApk not in (select AukApk from Kvn500Auk where AukSts=9);\n"
      "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlErf,DnlSkz,DnlApk,DnlApp,DnlFun) select "
      "'2024-03-01 12:00:00',1000+row_number() over (),'ZuzErOro','APP',AppApk,AppApp,'AEN' "
      "from Kvn504App where AppApk not in (select AukApk from Kvn500Auk where AukSts=9) and "
      "AppApk||AppApp not in (select AfoApk||AfoApp from Kvn503Afo where AfoSts=9);\n";
  const std::vector<std::string> second = GetParam().second;
  const std::string program = testing_support::BuiltProgram("pps2bde");

  Installation reference(true, testing_support::MemoryTempBase());
  reference.Sql(data);
  ASSERT_EQ(0, e2e::Job(reference));
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), second.begin(), second.end());
  ASSERT_EQ(0, testing_support::RunProcessFor(e2e::kRunLimit, argv, reference.run()));
  const e2e::Outcome expected = e2e::TakeOutcome(reference);

  Installation inst(true, testing_support::MemoryTempBase());
  inst.Sql(data);
  int a = testing_support::StartProcess({program}, inst.run(), {}, inst.output());
  int b = testing_support::StartProcess(argv, inst.run(), {}, inst.root() + "/output2.txt");
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  EXPECT_EQ(0, testing_support::WaitProcessFor(a, e2e::kRunLimit));
  EXPECT_EQ(0, testing_support::WaitProcessFor(b, e2e::kRunLimit));

  const e2e::Outcome o = e2e::TakeOutcome(inst);
  EXPECT_EQ(expected.orders, o.orders) << "Kvn501Apk";
  EXPECT_EQ(expected.operations, o.operations) << "Kvn504App";
  EXPECT_EQ(expected.planning, o.planning);
  EXPECT_EQ(expected.lineCount, o.lineCount) << "no line sent twice";
  ExpectCountsAndOrder(inst);
  // Exactly one full run counted the planning rows.
  EXPECT_EQ(reference.Query("select sum(DwnApk),sum(DwnAfo),sum(DwnNeu),sum(DwnAen),sum(DwnLoe) "
                            "from Kvn542Dwn"),
            inst.Query("select sum(DwnApk),sum(DwnAfo),sum(DwnNeu),sum(DwnAen),sum(DwnLoe) "
                       "from Kvn542Dwn"));
  EXPECT_EQ(EntrySet(reference), EntrySet(inst)) << "the same findings, no failure";
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Concurrency2,
    testing::Values(TwoRuns{"TwoFullRuns", {}},
                    TwoRuns{"FullRunAndQueueRun", {"20240301", "120000"}}),
    [](const testing::TestParamInfo<TwoRuns>& p) { return std::string(p.param.name); });

// A run that finds the run lock held waits the configured time, writes one
// entry and ends without touching anything; the lock of a process that died
// is free at once.
TEST(Concurrency, RunLockWaitRunsOutWithOneEntry) {
  Installation inst;
  inst.Sql(e2e::TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB09") +
           e2e::AukRow("100000000001", 1));
  const std::string planning = inst.Query("select count(*) from Kvn500Auk");
  int fd = open((inst.db() + "-run").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(0, flock(fd, LOCK_EX));
  ASSERT_EQ(0, e2e::Job(inst, {"PPS2BDE_RUN_LOCK_WAIT=1"}));
  EXPECT_EQ(std::vector<std::string>{"dbRunLock/Laufsperre nicht erhalten/-54"}, Entries(inst));
  EXPECT_EQ(planning, inst.Query("select count(*) from Kvn500Auk"));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn542Dwn"));
  close(fd);  // as a process that dies

  ASSERT_EQ(0, e2e::Job(inst, {"PPS2BDE_RUN_LOCK_WAIT=0"}));
  EXPECT_EQ(1u, Entries(inst).size());
  EXPECT_EQ("0|1", inst.Query("select (select count(*) from Kvn500Auk),"
                              "(select count(*) from Kvn542Dwn)"));
}

}  // namespace
