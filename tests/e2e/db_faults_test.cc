// End-to-end: the database shared with other processes.  While another
// process holds the write lock, the job's writes fail with -54 after the
// busy timeout, are logged, and the planning rows stay for the next run;
// the planning system writing new rows while the job runs loses none.
#include <sqlite3.h>
#include <sys/select.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/jobs.h"
#include "tests/e2e/outcome.h"
#include "tests/e2e/planning_rows.h"
#include "tests/e2e/work_data.h"
#include "tests/support/install.h"
#include "tests/support/other_connection.h"

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

// A second process that writes the database beside the job, on a
// connection of its own: body(conn, side) runs in the child and returns a
// count for the parent (negative: it failed).  The child says when it has
// begun, so that the job runs while it writes, and looks between its
// transactions whether it is asked to stop.
class SideWriter {
 public:
  template <typename Body>
  SideWriter(const std::string& db, Body body) {
    if (pipe(report_) != 0 || pipe(stop_) != 0) return;
    pid_ = fork();
    if (pid_ != 0) {
      close(report_[1]);
      close(stop_[0]);
      return;
    }
    close(report_[0]);
    close(stop_[1]);
    testing_support::OtherConnection conn(db);
    const int n = body(conn, *this);
    if (!begun_) Begun();
    _exit(write(report_[1], &n, sizeof n) == static_cast<ssize_t>(sizeof n) ? 0 : 4);
  }
  // In the child: lets the parent go on (the first time).
  void Begun() {
    if (!begun_) (void)!write(report_[1], "x", 1);
    begun_ = true;
  }
  // In the child: whether the parent asked to stop, waiting up to waitUs.
  bool StopAsked(long waitUs) {
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(stop_[0], &fds);
    struct timeval tv = {0, waitUs};
    return select(stop_[0] + 1, &fds, nullptr, nullptr, &tv) > 0;
  }
  // In the parent: waits until the child has begun.
  bool WaitBegun() {
    char x;
    return pid_ > 0 && read(report_[0], &x, 1) == 1;
  }
  // In the parent: asks the child to stop; its count, or -1.
  int Stop() {
    close(stop_[1]);  // the child sees its end of the pipe closed
    int n = -1;
    if (read(report_[0], &n, sizeof n) != static_cast<ssize_t>(sizeof n)) n = -1;
    close(report_[0]);
    return testing_support::WaitProcessFor(pid_, e2e::kRunLimit) == 0 ? n : -1;
  }

 private:
  int pid_ = -1;
  int report_[2] = {-1, -1};
  int stop_[2] = {-1, -1};
  bool begun_ = false;
};

// The planning system inserts new orders, each with its two operations in
// one transaction, while the job runs.  Rows that come too late for the
// job's cursors are taken by the next run; none is lost, none is left.
TEST(DbFault, PlanningWriterDuringTheRunLosesNoRow) {
  Installation inst(true, testing_support::MemoryTempBase());
  inst.Sql(e2e::WorkData(11));
  // One order and its operations per transaction, at most 400.
  SideWriter writer(inst.db(), [](testing_support::OtherConnection& conn, SideWriter& side) {
    int n = 0;
    while (n < 400) {
      std::string apk = "5" + e2e::OrderKey(n + 1).substr(1);
      if (conn.Transaction(e2e::AukRow(apk, 1, "FB12") +
                           e2e::AfoRow(apk, "00010", 1, "AG01", "AP01", "FB23") +
                           e2e::AfoRow(apk, "00020", 1, "AG01", "AP01", "FB05")) != 0)
        return -1;
      ++n;
      side.Begun();
      if (side.StopAsked(2000)) break;
    }
    return n;
  });
  ASSERT_TRUE(writer.WaitBegun());
  const int rc = e2e::Job(inst);
  const int written = writer.Stop();
  ASSERT_EQ(0, rc);
  ASSERT_GT(written, 0) << "the writer wrote";
  const std::string during = inst.Query("select count(*) from Kvn501Apk where ApkApk like '5%'");
  // An operation whose order was not yet committed when the order cursor
  // opened waits with its order for the next run: none is sent before it.
  EXPECT_EQ("", inst.Query("select AppApk||'/'||AppApp from Kvn504App where AppApk like '5%' "
                           "and AppApk not in (select ApkApk from Kvn501Apk)"));

  ASSERT_EQ(0, e2e::Job(inst));
  const std::string n = std::to_string(written);
  std::printf("planning orders written during the run: %d, %s taken by that run\n", written,
              during.c_str());
  EXPECT_EQ(n, inst.Query("select count(*) from Kvn501Apk where ApkApk like '5%' and "
                          "ApkDwn is null"))
      << "every order arrived and was sent";
  std::string counts = inst.Query(
      "select ApkApk||' '||ApkAfo from Kvn501Apk where ApkApk like '5%' order by 1");
  for (size_t pos = 0; pos < counts.size();) {
    size_t end = counts.find('\n', pos);
    if (end == std::string::npos) end = counts.size();
    std::string row = counts.substr(pos, end - pos);
    EXPECT_EQ(2, std::stoi(row.substr(13))) << row;
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

// The operations' quantities, by "order/operation".
std::map<std::string, double> Quantities(Installation& inst) {
  std::map<std::string, double> q;
  std::istringstream rows(
      inst.Query("select AppApk||'/'||AppApp, coalesce(AppIme, 0) from Kvn504App"));
  for (std::string row; std::getline(rows, row);)
    q[row.substr(0, row.find('|'))] = std::stod(row.substr(row.find('|') + 1));
  return q;
}

// The shop-floor system books quantities on the operations, one booking per
// transaction, while the job takes changed operations over and releases
// them, each a write of the whole row it read: no booking is written over.
TEST(DbFault, ShopFloorBookingsDuringTheRunAreKept) {
  Installation inst(true, testing_support::MemoryTempBase());
  inst.Sql(e2e::WorkData(11));
  const std::map<std::string, double> before = Quantities(inst);
  ASSERT_FALSE(before.empty());
  const std::string booked = inst.root() + "/booked.txt";
  SideWriter writer(inst.db(), [&](testing_support::OtherConnection& conn, SideWriter& side) {
    std::string out;
    for (int round = 1;; ++round) {
      for (const auto& [key, quantity] : before) {
        const size_t slash = key.find('/');
        if (conn.Exec("update Kvn504App set AppIme=coalesce(AppIme, 0)+1 where AppApk='" +
                      key.substr(0, slash) + "' and AppApp='" + key.substr(slash + 1) + "'") !=
            0)
          return -1;
        side.Begun();
      }
      if (side.StopAsked(0)) {
        for (const auto& [key, quantity] : before) out += key + " " + std::to_string(round) + "\n";
        testing_support::WriteAll(booked, out);
        return round;
      }
    }
  });
  ASSERT_TRUE(writer.WaitBegun()) << "the shop floor booked";
  const int rc = e2e::Job(inst);
  ASSERT_GT(writer.Stop(), 0);
  ASSERT_EQ(0, rc);
  const std::map<std::string, double> after = Quantities(inst);
  std::istringstream lines(ReadAll(booked));
  int rows = 0;
  for (std::string key; lines >> key;) {
    int n = 0;
    lines >> n;
    // An operation sent as deleted is gone with its bookings.
    if (after.count(key) == 0) continue;
    EXPECT_EQ(before.at(key) + n, after.at(key)) << key;
    ++rows;
  }
  EXPECT_GT(rows, 0);
}

// The counters of the statistics rows, summed over all runs.
std::string Counted(Installation& inst) {
  // The rows a run reads are counted by every run that reads them again;
  // what was done, once, by the run whose commit succeeded.
  return inst.Query("select sum(DwnNeu),sum(DwnAen),sum(DwnLoe) from Kvn542Dwn");
}

// Commits that fail are the failures of what they were to commit: logged
// with their code, not counted, the planning row or marker left as it was.
// Runs after the faults finish the work; summed over all runs the counters
// are those of one run without faults, and the end is the same.
void ExpectFailedCommitsLoseNothing(Installation& reference, Installation& inst,
                                    const std::string& code) {
  std::vector<std::string> entries = Entries(inst);
  size_t failed = 0;
  for (const std::string& e : entries)
    if (e.size() > code.size() && e.compare(e.size() - code.size(), code.size(), code) == 0)
      ++failed;
  EXPECT_GT(failed, 0u) << "the failed commits are logged";
  for (int run = 0; run < 4; ++run) {
    if (inst.Query("select (select count(*) from Kvn500Auk)+(select count(*) from Kvn503Afo)+"
                   "(select count(*) from Kvn501Apk where ApkDwn is not null)+"
                   "(select count(*) from Kvn504App where AppDwn is not null)") ==
        reference.Query("select (select count(*) from Kvn500Auk)+(select count(*) from "
                        "Kvn503Afo)+(select count(*) from Kvn501Apk where ApkDwn is not null)+"
                        "(select count(*) from Kvn504App where AppDwn is not null)"))
      break;
    ASSERT_EQ(0, e2e::Job(inst));
  }
  // A row whose release failed is sent again by a later run, then with what
  // it holds then (its order's count may have grown meanwhile): the tables
  // must be the same, and every line the same up to its payload's counts.
  const e2e::Outcome expected = e2e::TakeOutcome(reference);
  const e2e::Outcome o = e2e::TakeOutcome(inst);
  EXPECT_EQ(expected.orders, o.orders);
  EXPECT_EQ(expected.operations, o.operations);
  EXPECT_EQ(expected.planning, o.planning);
  auto heads = [](const e2e::Outcome& out) {
    std::set<std::string> h;
    for (const auto& [name, lines] : out.lines)
      for (const std::string& line : lines) h.insert(name + " " + line.substr(0, 145));
    return h;
  };
  EXPECT_EQ(heads(expected), heads(o)) << "every row sent, the same rows";
  // The planning rows of the faulty run were all counted once, by it or by
  // a later run; a statistics row that itself failed to commit counts none.
  if (inst.Query("select count(*) from Kvn542Dwn") != "0" &&
      entries.end() == std::find_if(entries.begin(), entries.end(), [](const std::string& e) {
        return e.rfind("Put_StatTab", 0) == 0;
      })) {
    EXPECT_EQ(Counted(reference), Counted(inst));
  }
}

// Every n-th commit of a run fails through the database seam (-1114, as a
// full disk answers), in the transfers, the releases and the statistics.
TEST(FailedCommit, EveryNthCommitFailsAndNothingIsLostOrCountedTwice) {
  e2e::WorkShape shape;
  shape.withFailures = false;
  const std::string data = e2e::WorkData(17, shape);
  Installation reference(true, testing_support::MemoryTempBase());
  reference.Sql(data);
  ASSERT_EQ(0, e2e::Job(reference));
  for (const char* every : {"2", "3", "7"}) {
    SCOPED_TRACE(std::string("every ") + every + ". commit fails");
    Installation inst(true, testing_support::MemoryTempBase());
    inst.Sql(data);
    ASSERT_EQ(0, e2e::Crashpoint(inst, {std::string("PPS2BDE_FAIL_COMMITS=") + every}));
    ExpectFailedCommitsLoseNothing(reference, inst, "/-1114");
  }
}

// A real full disk: the database lies on a small file system of its own
// (tmpfs, mounted by the test; skipped where the machine does not allow
// it), filled up while the job runs; then space is made and the next runs
// finish the work.
TEST(FailedCommit, FullDiskLogsItsWritesAndTheNextRunFinishes) {
  e2e::WorkShape shape;
  shape.withFailures = false;
  shape.newOrders = 120;
  const std::string data = e2e::WorkData(19, shape);
  Installation reference(true, testing_support::MemoryTempBase());
  reference.Sql(data);
  ASSERT_EQ(0, e2e::Job(reference));

  testing_support::TempDir mnt;
  // Room for the database and a write-ahead log of a run (it is moved back
  // into the database every 1000 pages, 4 MB).
  const std::string size = "size=" + std::to_string(8 * 1024 * 1024);
  if (testing_support::RunProcess({"/bin/mount", "-t", "tmpfs", "-o", size, "tmpfs", mnt.path()},
                                  "/") != 0)
    GTEST_SKIP() << "cannot mount a small file system here (needs root)";
  struct Unmount {
    std::string path;
    ~Unmount() { testing_support::RunProcess({"/bin/umount", "-l", path}, "/"); }
  } unmount{mnt.path()};

  Installation inst(true, testing_support::MemoryTempBase());
  inst.Sql(data);
  inst.Sql("PRAGMA journal_mode=WAL;");
  // The database moves to the small file system; the installation's name
  // for it becomes a link, which SQLite follows for its -wal and -shm too.
  const std::string db = mnt.path() + "/bde.db";
  testing_support::WriteAll(db, ReadAll(inst.db()));
  ASSERT_EQ(0, unlink(inst.db().c_str()));
  ASSERT_EQ(0, symlink(db.c_str(), inst.db().c_str()));
  // Fill all but a little of the space.
  const std::string filler = mnt.path() + "/filler";
  {
    std::string block(4096, 'x');
    FILE* f = std::fopen(filler.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    while (std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
    }
    std::fclose(f);
    // Leave room for the first few commits only.
    ASSERT_EQ(0, truncate(filler.c_str(), static_cast<off_t>(ReadAll(filler).size()) - 40 * 4096));
  }
  ASSERT_EQ(0, e2e::Job(inst));
  ASSERT_EQ(0, unlink(filler.c_str()));
  ExpectFailedCommitsLoseNothing(reference, inst, "/-1114");
}

}  // namespace
