// End-to-end: file faults during the terminal download (open, seek, write,
// short write, failed cut-back) and files held by other processes.  Each
// fault is logged with the entries the download names, leaves no torn line,
// and the next normal run sends what was left.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/jobs.h"
#include "tests/e2e/outcome.h"
#include "tests/e2e/planning_rows.h"
#include "tests/support/install.h"

namespace {

using testing_support::BuiltProgram;
using testing_support::Installation;
using testing_support::LogEntry;
using testing_support::ParseLog;
using testing_support::ReadAll;

// Three new orders of two operations each, all for terminal 1.
std::string SixLinesAndThree() {
  std::string s = "begin;\n" + e2e::TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB09") +
                  e2e::MasterRows("AG01", "AP01");
  for (int o = 1; o <= 3; ++o) {
    std::string apk = "10000000000" + std::to_string(o);
    s += e2e::AukRow(apk, 1) + e2e::AfoRow(apk, "00010", 1) + e2e::AfoRow(apk, "00020", 1);
  }
  return s + "commit;\n";
}

// "function/message/code" of every log entry.
std::vector<std::string> Entries(Installation& inst) {
  std::vector<std::string> out;
  for (const LogEntry& e : ParseLog(ReadAll(inst.log())))
    out.push_back(e.function + "/" + e.message + "/" + e.code);
  return out;
}

// What the lines of terminal 1 carry: record type, function and key
// (positions 91-93, 109-111 and the first 17 payload characters).
std::multiset<std::string> Keys(const std::string& bytes) {
  e2e::Lines(bytes, "SndDnl1.buf");  // whole lines only
  std::multiset<std::string> keys;
  for (size_t pos = 0; pos + e2e::kLine <= bytes.size(); pos += e2e::kLine) {
    std::string line = bytes.substr(pos, e2e::kLine);
    std::string key = line.substr(90, 3) + " " + line.substr(108, 3) + " " + line.substr(111, 12);
    if (key.compare(0, 3, "APP") == 0) key += "/" + line.substr(123, 5);
    keys.insert(key);
  }
  return keys;
}

std::multiset<std::string> Sent(Installation& inst) {
  return Keys(ReadAll(inst.buff() + "/SndDnl1.buf"));
}

std::string Marked(Installation& inst) {
  return inst.Query(
      "select (select count(*) from Kvn501Apk where ApkDwn is not null),"
      "(select count(*) from Kvn504App where AppDwn is not null)");
}

const std::set<std::string>& AllNine() {
  static const std::set<std::string> all = [] {
    std::set<std::string> s;
    for (int o = 1; o <= 3; ++o) {
      std::string apk = "10000000000" + std::to_string(o);
      s.insert("APK NEU " + apk);
      s.insert("APP NEU " + apk + "/00010");
      s.insert("APP NEU " + apk + "/00020");
    }
    return s;
  }();
  return all;
}

struct FaultCase {
  std::vector<std::string> switches;  // of pps2bde-crashpoint
  std::vector<std::string> log;       // entries of the faulty run
  size_t lines;                       // whole lines it leaves
  std::string marked;                 // orders|operations still marked
  size_t torn = 0;                    // bytes of a line cut off at the end
};

const std::string kApkSend = "Apk_Dnl/Fehler beim Senden von ApkS\xE4tze/-1";
const std::string kAppSend = "App_Dnl/Fehler beim Senden von AppS\xE4tze/-1";

// Lines 1-3 are the orders, 4-9 the operations.  The order download stops
// at its first failure; the operation download goes on after each.
const FaultCase kCases[] = {
    {{"PPS2BDE_FAIL_OPEN=1"},
     {"CreateFile/Datei oeffnen/" + std::to_string(EACCES), kApkSend}, 6, "3|0"},
    {{"PPS2BDE_FAIL_SEEK=1"},
     {"SetFilePointer/Ende der Datei/" + std::to_string(EIO), kApkSend}, 6, "3|0"},
    {{"PPS2BDE_FAIL_WRITE=2"}, {"WrittenFile//" + std::to_string(ENOSPC), kApkSend}, 7, "2|0"},
    {{"PPS2BDE_FAIL_WRITE=5"}, {"WrittenFile//" + std::to_string(ENOSPC), kAppSend}, 8, "0|1"},
    {{"PPS2BDE_SHORT_WRITE=2"}, {"WrittenFile//" + std::to_string(ENOSPC), kApkSend}, 7, "2|0"},
    {{"PPS2BDE_SHORT_WRITE=7"}, {"WrittenFile//" + std::to_string(ENOSPC), kAppSend}, 8, "0|1"},
    // The half line cannot be taken back: the file is closed, and the next
    // open cuts the half line away before the next line.
    {{"PPS2BDE_SHORT_WRITE=2", "PPS2BDE_FAIL_TRUNCATE=1"},
     {"WrittenFile//" + std::to_string(ENOSPC), kApkSend}, 7, "2|0"},
    {{"PPS2BDE_SHORT_WRITE=5", "PPS2BDE_FAIL_TRUNCATE=1"},
     {"WrittenFile//" + std::to_string(ENOSPC), kAppSend}, 8, "0|1"},
    // The last line of the run: its half stays until the next run's open
    // cuts it away.
    {{"PPS2BDE_SHORT_WRITE=9", "PPS2BDE_FAIL_TRUNCATE=1"},
     {"WrittenFile//" + std::to_string(ENOSPC), kAppSend}, 8, "0|1", e2e::kLine / 2},
};

TEST(Fault, BufferFileFaultsAreLoggedAndTheNextRunSendsTheRest) {
  for (const FaultCase& c : kCases) {
    std::string name;
    for (const std::string& s : c.switches) name += s + " ";
    SCOPED_TRACE(name);
    Installation inst(true, testing_support::MemoryTempBase());
    inst.Sql(SixLinesAndThree());
    ASSERT_EQ(0, e2e::Crashpoint(inst, c.switches));
    EXPECT_EQ(c.log, Entries(inst));
    std::string bytes = ReadAll(inst.buff() + "/SndDnl1.buf");
    EXPECT_EQ(c.lines * e2e::kLine + c.torn, bytes.size());
    bytes.resize(c.lines * e2e::kLine);
    e2e::Lines(bytes, "SndDnl1.buf");
    EXPECT_EQ(c.marked, Marked(inst)) << "rows whose line was not written stay marked";
    EXPECT_EQ("0|0", inst.Query("select (select count(*) from Kvn500Auk),"
                                "(select count(*) from Kvn503Afo)"));

    ASSERT_EQ(0, e2e::Job(inst));
    EXPECT_EQ(c.log, Entries(inst)) << "the next run logs nothing";
    std::multiset<std::string> sent = Sent(inst);
    EXPECT_EQ(AllNine(), std::set<std::string>(sent.begin(), sent.end()));
    EXPECT_EQ(9u, sent.size()) << "nothing is sent twice";
    EXPECT_EQ("0|0", Marked(inst));
    EXPECT_EQ("2\n2\n2", inst.Query("select ApkAfo from Kvn501Apk order by ApkApk"))
        << "every operation counted once";
  }
}

// The entries of a run whose nine lines all find their buffer file refused
// with code: the order download stops at its first, the operation download
// tries each.
std::vector<std::string> NoFileEntries(int code) {
  const std::string refused = "CreateFile/Datei oeffnen/" + std::to_string(code);
  std::vector<std::string> entries = {refused, kApkSend};
  for (int i = 0; i < 6; ++i) {
    entries.push_back(refused);
    entries.push_back(kAppSend);
  }
  return entries;
}

// Holds an exclusive lock on a file as another process would (the terminal
// communication on a buffer file, another job on the log) until released.
class HeldFile {
 public:
  explicit HeldFile(const std::string& path)
      : fd_(open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644)) {
    EXPECT_GE(fd_, 0) << path;
    EXPECT_EQ(0, flock(fd_, LOCK_EX | LOCK_NB)) << path;
  }
  ~HeldFile() { Release(); }
  void Release() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// The terminal communication holds the buffer file for the whole run: no
// line can be written, every attempt is logged, every row stays marked, and
// the run after the file is free sends everything.
TEST(Fault, BufferFileHeldByTheTerminalCommunication) {
  Installation inst(true, testing_support::MemoryTempBase());
  inst.Sql(SixLinesAndThree());
  {
    HeldFile held(inst.buff() + "/SndDnl1.buf");
    ASSERT_EQ(0, e2e::Job(inst));
  }
  std::vector<std::string> expected = NoFileEntries(EWOULDBLOCK);
  EXPECT_EQ(expected, Entries(inst));
  EXPECT_EQ("", ReadAll(inst.buff() + "/SndDnl1.buf"));
  EXPECT_EQ("3|6", Marked(inst));

  ASSERT_EQ(0, e2e::Job(inst));
  EXPECT_EQ(expected.size(), Entries(inst).size()) << "the next run logs nothing";
  std::multiset<std::string> sent = Sent(inst);
  EXPECT_EQ(AllNine(), std::set<std::string>(sent.begin(), sent.end()));
  EXPECT_EQ(9u, sent.size());
  EXPECT_EQ("0|0", Marked(inst));
}

// Another process holds the message log while the job has to write an
// entry: the job waits and writes the entry once the log is free.
TEST(Fault, LogHeldByAnotherProcessIsWaitedFor) {
  Installation inst(true, testing_support::MemoryTempBase());
  // The first order's date is refused by the database: one entry.
  inst.Sql(e2e::TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB09") +
           e2e::AukRow("100000000001", 1, "FB01", "20241301") + e2e::AukRow("100000000002", 1));
  auto held = std::make_unique<HeldFile>(inst.log());
  int pid = testing_support::StartProcess({BuiltProgram("pps2bde")}, inst.run(), {},
                                          inst.output());
  ASSERT_GT(pid, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  int code = -1;
  bool ended = testing_support::ProcessEnded(pid, &code);
  EXPECT_FALSE(ended) << "the job waits for the log";
  EXPECT_EQ("", ReadAll(inst.log()));
  EXPECT_EQ("0", inst.Query("select count(*) from Kvn501Apk")) << "stopped at the entry";
  held->Release();
  if (!ended) code = testing_support::WaitProcessFor(pid, e2e::kRunLimit);
  EXPECT_EQ(0, code);

  std::vector<LogEntry> entries = ParseLog(ReadAll(inst.log()));
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ("Auk_To_Apk", entries[0].function);
  EXPECT_EQ("Fehelr bei Apk_PKeyIns", entries[0].message);
  EXPECT_EQ("-1843", entries[0].code);
  EXPECT_EQ("100000000002", inst.Query("select ApkApk from Kvn501Apk"))
      << "the run goes on after the entry";
  EXPECT_EQ(e2e::kLine, ReadAll(inst.buff() + "/SndDnl1.buf").size());
}

// Odd files in place of the job's files.  A FIFO never hangs the job; a
// symbolic link is never written through (its target keeps every byte, also
// a start of a line the torn-line repair would cut); a buffer file that
// cannot be had is logged and its rows stay marked; without a readable
// configuration the connect fails with its entry.
TEST(Fault, FifoAndLinkInPlaceOfTheJobsFiles) {
  enum Place { kBuffer, kLog, kConfig };
  struct Case {
    Place place;
    bool fifo;  // else a symbolic link
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {kBuffer, true, NoFileEntries(EINVAL)},
      {kBuffer, false, NoFileEntries(ELOOP)},
      {kLog, true, {}},
      {kLog, false, {}},
      {kConfig, true, {"dbConnect/Fehlerhafter Connect mit der DB /-12154"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.place) + (c.fifo ? " fifo" : " link"));
    Installation inst(true, testing_support::MemoryTempBase());
    inst.Sql(SixLinesAndThree());
    const std::string path = c.place == kBuffer ? inst.buff() + "/SndDnl1.buf"
                             : c.place == kLog  ? inst.log()
                                                : inst.config();
    const std::string target = inst.root() + "/target";
    const std::string kept = "$" + std::string(20, 'x');
    testing_support::WriteAll(target, kept);
    if (c.place == kConfig) { ASSERT_EQ(0, unlink(path.c_str())); }
    ASSERT_EQ(0, c.fifo ? mkfifo(path.c_str(), 0644) : symlink(target.c_str(), path.c_str()));

    ASSERT_EQ(0, e2e::Job(inst)) << "the job ends";
    EXPECT_EQ(kept, ReadAll(target));
    if (c.place != kLog) { EXPECT_EQ(c.log, Entries(inst)); }
    if (c.place == kBuffer) { EXPECT_EQ("3|6", Marked(inst)); }
    if (c.place == kLog) { EXPECT_EQ(AllNine().size(), Sent(inst).size()) << "the run goes on"; }
    if (c.place == kConfig) { EXPECT_EQ("3", inst.Query("select count(*) from Kvn500Auk")); }
  }
}

// A consumer that moves the buffer file away or empties it between two
// lines of a run, or between two runs: no line goes into the moved file, an
// emptied file gets the next lines from its start (no gap of zero bytes),
// and every line is sent once.
TEST(Fault, BufferFileMovedOrEmptiedBetweenLinesAndRuns) {
  for (bool move : {true, false}) {
    SCOPED_TRACE(move ? "moved" : "emptied");
    Installation inst(true, testing_support::MemoryTempBase());
    inst.Sql(SixLinesAndThree());
    const std::string file = inst.buff() + "/SndDnl1.buf";
    const std::string taken = inst.buff() + "/taken";
    auto consume = [&] {
      if (move) return rename(file.c_str(), taken.c_str());
      testing_support::WriteAll(taken, ReadAll(file));
      return truncate(file.c_str(), 0);
    };
    int pid = testing_support::StartProcess({BuiltProgram("pps2bde-crashpoint")}, inst.run(),
                                            {"PPS2BDE_PAUSE_AFTER_WRITES=5"}, inst.output());
    ASSERT_TRUE(testing_support::WaitStopped(pid, e2e::kRunLimit));
    const std::string first = ReadAll(file);
    EXPECT_EQ(5 * e2e::kLine, first.size());
    EXPECT_EQ(0, consume());
    kill(pid, SIGCONT);
    ASSERT_EQ(0, testing_support::WaitProcessFor(pid, e2e::kRunLimit));

    EXPECT_EQ(first, ReadAll(taken)) << "no line into the moved file";
    const std::string rest = ReadAll(file);
    EXPECT_EQ(4 * e2e::kLine, rest.size()) << "no gap before the next line";
    std::multiset<std::string> sent = Keys(first + rest);
    EXPECT_EQ(AllNine(), std::set<std::string>(sent.begin(), sent.end()));
    EXPECT_EQ(9u, sent.size());
    EXPECT_EQ("0|0", Marked(inst));

    EXPECT_EQ(0, consume());
    inst.Sql(e2e::AukRow("100000000004", 1));
    ASSERT_EQ(0, e2e::Job(inst));
    EXPECT_EQ(rest, ReadAll(taken));
    EXPECT_EQ((std::multiset<std::string>{"APK NEU 100000000004"}), Sent(inst));
    EXPECT_TRUE(Entries(inst).empty());
  }
}

}  // namespace
