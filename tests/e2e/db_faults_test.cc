// End-to-end: the database shared with other processes.  While another
// process holds the write lock, the job's writes fail with -54 after the
// busy timeout, are logged, and the planning rows stay for the next run;
// the planning system writing new rows while the job runs loses none.
#include <sqlite3.h>
#include <sys/select.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/jobs.h"
#include "tests/e2e/outcome.h"
#include "tests/e2e/planning_rows.h"
#include "tests/e2e/work_data.h"
#include "tests/support/install.h"

namespace {

using testing_support::BuiltProgram;
using testing_support::Installation;
using testing_support::LogEntry;
using testing_support::ParseLog;
using testing_support::ReadAll;
using Clock = std::chrono::steady_clock;

// A connection of another process's kind that takes the write lock
// (BEGIN IMMEDIATE) and holds it until Release.
class WriteLock {
 public:
  explicit WriteLock(const std::string& db) {
    EXPECT_EQ(SQLITE_OK, sqlite3_open_v2(db.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr));
    // The shared database runs in WAL mode (the job sets it on connect);
    // set it before the lock so the job's connect does not need it.
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr));
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
  }
  ~WriteLock() {
    Release();
    sqlite3_close(db_);
  }
  void Release() {
    if (held_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    held_ = false;
  }

 private:
  sqlite3* db_ = nullptr;
  bool held_ = true;
};

std::vector<std::string> Entries(Installation& inst) {
  std::vector<std::string> out;
  for (const LogEntry& e : ParseLog(ReadAll(inst.log())))
    out.push_back(e.function + "/" + e.message + "/" + e.code);
  return out;
}

// Waits (at most 30 s) until the log holds an entry with the code.
bool WaitForLogged(Installation& inst, const std::string& code) {
  const std::string line = "ErrorCode__: " + code + "\r\n";
  for (Clock::time_point end = Clock::now() + std::chrono::seconds(30); Clock::now() < end;) {
    if (ReadAll(inst.log()).find(line) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// The real job with its real busy timeout (5 s): the unit of work of the
// first planning row, one that is simply dropped, waits out the timeout for
// the write lock and fails with -54 before it has read anything.  The lock
// is then given up, and the rest of the run succeeds.
TEST(DbFault, WriteLockedByAnotherProcessFailsWithBusyAndTheNextRunFinishes) {
  Installation inst;
  inst.Sql(e2e::TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB09") +
           e2e::MasterRows("AG01", "AP01") + e2e::AukRow("100000000001", 9) +
           e2e::AukRow("100000000002", 1) + e2e::AfoRow("100000000002", "00010", 1));
  auto lock = std::make_unique<WriteLock>(inst.db());
  Clock::time_point start = Clock::now();
  int pid = testing_support::StartProcess({BuiltProgram("pps2bde")}, inst.run(), {},
                                          inst.output());
  ASSERT_GT(pid, 0);
  bool logged = WaitForLogged(inst, "-54");
  double waited = std::chrono::duration<double>(Clock::now() - start).count();
  lock->Release();
  ASSERT_EQ(0, testing_support::WaitProcessFor(pid, e2e::kRunLimit));
  ASSERT_TRUE(logged);
  EXPECT_GE(waited, 5.0) << "the write waited for the lock";

  EXPECT_EQ(std::vector<std::string>{"Auk_To_Apk/Fehler bei Auk_PKeyReadk/-54"}, Entries(inst));
  EXPECT_EQ("100000000001", inst.Query("select AukApk from Kvn500Auk"))
      << "the planning row whose unit could not start stays";
  EXPECT_EQ("100000000002|1|<null>", inst.Query("select ApkApk,ApkAfo,ApkDwn from Kvn501Apk"))
      << "the writes after the lock went through";
  EXPECT_EQ(2 * e2e::kLine, ReadAll(inst.buff() + "/SndDnl1.buf").size());

  ASSERT_EQ(0, e2e::Job(inst));
  EXPECT_EQ(1u, Entries(inst).size()) << "the next run logs nothing";
  EXPECT_EQ("0|0", inst.Query("select (select count(*) from Kvn500Auk),"
                              "(select count(*) from Kvn503Afo)"));
  EXPECT_EQ("2", inst.Query("select count(*) from Kvn542Dwn"));
}

// The lock is held for a whole run of the crash-point build with a short
// busy timeout: every write fails with -54 and is logged, nothing changes,
// every planning row stays; the run after the lock ends like one run on a
// free database.
TEST(DbFault, RunOnALockedDatabaseChangesNothingAndTheNextRunDoesItAll) {
  e2e::WorkShape shape;
  shape.newOrders = 5;
  shape.updatedOrders = 1;
  shape.deletedOrders = 1;
  shape.droppedOrders = 2;
  shape.droppedOperations = 1;
  const std::string data = e2e::WorkData(7, shape);

  Installation reference(true, testing_support::MemoryTempBase());
  reference.Sql(data);
  ASSERT_EQ(0, e2e::Job(reference));
  const e2e::Outcome expected = e2e::TakeOutcome(reference);

  Installation inst(true, testing_support::MemoryTempBase());
  inst.Sql(data);
  const std::string orders = e2e::Dump(inst, "Kvn501Apk", "ApkApk");
  const std::string operations = e2e::Dump(inst, "Kvn504App", "AppApk,AppApp");
  const std::string planning = inst.Query(
      "select (select count(*) from Kvn500Auk), (select count(*) from Kvn503Afo)");
  {
    WriteLock lock(inst.db());
    ASSERT_EQ(0, e2e::Crashpoint(inst, {"PPS2BDE_BUSY_TIMEOUT_MS=40"}));
  }
  EXPECT_EQ(orders, e2e::Dump(inst, "Kvn501Apk", "ApkApk"));
  EXPECT_EQ(operations, e2e::Dump(inst, "Kvn504App", "AppApk,AppApp"));
  EXPECT_EQ(planning, inst.Query("select (select count(*) from Kvn500Auk),"
                                 "(select count(*) from Kvn503Afo)"));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn542Dwn"));
  EXPECT_TRUE(e2e::BufferFiles(inst).empty()) << "nothing was marked, nothing sent";

  // Every row's unit of work and the statistics row are logged with -54:
  // no unit could take the write lock to read its planning row.
  int busy = 0;
  std::set<std::string> kinds;
  for (const std::string& e : Entries(inst)) {
    if (e.size() > 4 && e.compare(e.size() - 4, 4, "/-54") == 0) {
      ++busy;
      kinds.insert(e.substr(0, e.size() - 4));
    }
  }
  EXPECT_EQ((std::set<std::string>{"Afo_To_App/Fehler bei Afo_PKeyReadk",
                                    "Auk_To_Apk/Fehler bei Auk_PKeyReadk",
                                    "Put_StatTab/Insert -> Kvn542Dwn"}),
            kinds);
  EXPECT_EQ(std::stoi(planning.substr(0, planning.find('|'))) +
                std::stoi(planning.substr(planning.find('|') + 1)) + 1,
            busy)
      << "one entry per planning row and one for the statistics row";

  ASSERT_EQ(0, e2e::Job(inst));
  e2e::ExpectSameEnd(expected, inst, "after the locked run");
}

// The planning system inserts new orders, each with its two operations in
// one transaction, while the job runs.  Rows that come too late for the
// job's cursors are taken by the next run; none is lost, none is left.
TEST(DbFault, PlanningWriterDuringTheRunLosesNoRow) {
  Installation inst(true, testing_support::MemoryTempBase());
  inst.Sql(e2e::WorkData(11));
  int toParent[2];
  int stop[2];
  ASSERT_EQ(0, pipe(toParent));
  ASSERT_EQ(0, pipe(stop));
  const std::string db = inst.db();
  pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    // The planning system: one order and its operations per transaction,
    // until told to stop; reports how many it wrote.
    close(toParent[0]);
    close(stop[1]);
    sqlite3* conn = nullptr;
    if (sqlite3_open_v2(db.c_str(), &conn, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) _exit(2);
    sqlite3_busy_timeout(conn, 10000);
    int n = 0;
    for (; n < 400; ++n) {
      std::string apk = "5" + e2e::OrderKey(n + 1).substr(1);
      std::string sql = "BEGIN IMMEDIATE;" + e2e::AukRow(apk, 1, "FB12") +
                        e2e::AfoRow(apk, "00010", 1, "AG01", "AP01", "FB23") +
                        e2e::AfoRow(apk, "00020", 1, "AG01", "AP01", "FB05") + "COMMIT;";
      if (sqlite3_exec(conn, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) _exit(3);
      // Told to stop (the job has ended) or not yet?
      fd_set fds;
      FD_ZERO(&fds);
      FD_SET(stop[0], &fds);
      struct timeval tv = {0, 2000};
      if (select(stop[0] + 1, &fds, nullptr, nullptr, &tv) > 0) {
        ++n;
        break;
      }
    }
    sqlite3_close(conn);
    if (write(toParent[1], &n, sizeof n) != static_cast<ssize_t>(sizeof n)) _exit(4);
    _exit(0);
  }
  close(toParent[1]);
  close(stop[0]);
  // Let the writer get going, then run the job while it writes.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  int rc = e2e::Job(inst);
  char one = 1;
  EXPECT_EQ(1, write(stop[1], &one, 1));
  int written = 0;
  EXPECT_EQ(static_cast<ssize_t>(sizeof written), read(toParent[0], &written, sizeof written));
  EXPECT_EQ(0, testing_support::WaitProcessFor(writer, e2e::kRunLimit));
  close(toParent[0]);
  close(stop[1]);
  ASSERT_EQ(0, rc);
  ASSERT_GT(written, 5) << "the writer wrote while the job ran";
  const std::string during = inst.Query("select count(*) from Kvn501Apk where ApkApk like '5%'");
  // An operation can come in the run before its order: the order was not
  // yet committed when the order cursor opened, the operations were when
  // the operation cursor opened.  Such an operation is taken over, sent and
  // released while its order is missing, so its count has no order to go
  // into, and the order, new in the next run, starts at 0.  Only these
  // operations may be missing from the counts.
  std::map<std::string, int> early;
  std::string rows = inst.Query(
      "select AppApk||' '||count(*) from Kvn504App where AppApk like '5%' and AppDwn is null "
      "and AppApk not in (select ApkApk from Kvn501Apk) group by AppApk");
  for (size_t pos = 0; pos < rows.size();) {
    size_t end = rows.find('\n', pos);
    if (end == std::string::npos) end = rows.size();
    std::string row = rows.substr(pos, end - pos);
    early[row.substr(0, 12)] = std::stoi(row.substr(13));
    pos = end + 1;
  }

  ASSERT_EQ(0, e2e::Job(inst));
  const std::string n = std::to_string(written);
  std::printf("planning orders written during the run: %d, %s taken by that run, %zu of them "
              "after their operations\n",
              written, during.c_str(), early.size());
  EXPECT_EQ(n, inst.Query("select count(*) from Kvn501Apk where ApkApk like '5%' and "
                          "ApkDwn is null"))
      << "every order arrived and was sent";
  std::string counts = inst.Query(
      "select ApkApk||' '||ApkAfo from Kvn501Apk where ApkApk like '5%' order by 1");
  for (size_t pos = 0; pos < counts.size();) {
    size_t end = counts.find('\n', pos);
    if (end == std::string::npos) end = counts.size();
    std::string row = counts.substr(pos, end - pos);
    auto it = early.find(row.substr(0, 12));
    EXPECT_EQ(2 - (it != early.end() ? it->second : 0), std::stoi(row.substr(13))) << row;
    pos = end + 1;
  }
  EXPECT_EQ(std::to_string(2 * written),
            inst.Query("select count(*) from Kvn504App where AppApk like '5%' and AppDwn is null"));
  EXPECT_EQ("0|0", inst.Query("select (select count(*) from Kvn500Auk where AukApk like '5%'),"
                              "(select count(*) from Kvn503Afo where AfoApk like '5%')"));
  // Every writer row went out to its terminal once.
  std::map<std::string, std::string> files = e2e::BufferFiles(inst);
  size_t orderLines = 0, operationLines = 0;
  for (const auto& [name, bytes] : files) {
    e2e::Lines(bytes, name);
    for (size_t pos = 0; pos + e2e::kLine <= bytes.size(); pos += e2e::kLine) {
      if (bytes.compare(pos + 111, 1, "5") != 0) continue;
      if (bytes.compare(pos + 90, 3, "APK") == 0) ++orderLines;
      if (bytes.compare(pos + 90, 3, "APP") == 0) ++operationLines;
    }
  }
  EXPECT_EQ(static_cast<size_t>(written), orderLines);
  EXPECT_EQ(static_cast<size_t>(2 * written), operationLines);
  ParseLog(ReadAll(inst.log()));
}

}  // namespace
