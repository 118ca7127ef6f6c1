// pps2bde-admin status: what waits and what the last runs did.
#include <fmt/core.h>

#include <cstring>
#include <ctime>
#include <map>
#include <nlohmann/json.hpp>

#include "sql/sql.h"
#include "tools/admin/admin.h"

namespace {

// The last runs shown.
constexpr int kRunsShown = 10;
// The queue batches shown (newest first).
constexpr int kBatchesShown = 20;

struct Waiting {
  const char* table;
  int rows = 0;
  std::string first;  // the lowest key waiting
};

struct Run {
  std::string start;  // "YYYY-MM-DD HH:MM:SS"
  int32_t counts[7] = {};
};
constexpr const char* kRunCounters[] = {"DwnApk", "DwnApp", "DwnAuk", "DwnAfo",
                                        "DwnNeu", "DwnAen", "DwnLoe"};

struct Batch {
  std::string stamp, recorder;
  int rows = 0;
};

// "yyyymmddHHMMSS" as "YYYY-MM-DD HH:MM:SS".
std::string Iso(const char* s) {
  std::string t(s);
  if (t.size() != 14) return t;
  return t.substr(0, 4) + "-" + t.substr(4, 2) + "-" + t.substr(6, 2) + " " + t.substr(8, 2) +
         ":" + t.substr(10, 2) + ":" + t.substr(12, 2);
}

int ReadWaiting(std::vector<Waiting>* out) {
  static sql::Stmt orders{"select count(*),min(AukApk) from Kvn500Auk"};
  static sql::Stmt operations{"select count(*),min(AfoApk||'/'||AfoApp) from Kvn503Afo"};
  for (auto [table, stmt] : {std::pair{"Kvn500Auk", &orders}, std::pair{"Kvn503Afo", &operations}}) {
    Waiting w{table, 0, ""};
    int32_t n = 0;
    char first[20] = {};
    const sql::Out outs[] = {sql::OI32(n), sql::OText(first, sizeof first)};
    if (int rc = sql::SelectOne(*stmt, nullptr, 0, outs, 2)) return rc;
    w.rows = n;
    w.first = first;
    out->push_back(w);
  }
  return 0;
}

int ReadRuns(std::vector<Run>* out) {
  static sql::Stmt s{
      "select TO_CHAR(DwnDta,'yyyymmddHH24MISS'),DwnApk,DwnApp,DwnAuk,DwnAfo,DwnNeu,DwnAen,"
      "DwnLoe from Kvn542Dwn order by DwnDta desc"};
  sql::Cursor c;
  int rc = sql::Open(c, s, nullptr, 0);
  if (rc != 0) return rc;
  Run r;
  char start[30];
  sql::Out outs[8] = {sql::OText(start, sizeof start)};
  for (int i = 0; i < 7; ++i) outs[i + 1] = sql::OI32(r.counts[i]);
  while (out->size() < kRunsShown && (rc = sql::Fetch(c, outs, 8)) == 0) {
    r.start = Iso(start);
    out->push_back(r);
  }
  (void)sql::Close(c);
  return rc == 1403 || out->size() == kRunsShown ? 0 : rc;
}

int ReadBatches(std::vector<Batch>* out, int* total) {
  static sql::Stmt s{
      "select TO_CHAR(DnlDta,'yyyymmddHH24MISS'),DnlErf,count(*) from Kvn540Dnl "
      "group by DnlDta,DnlErf order by DnlDta desc"};
  sql::Cursor c;
  int rc = sql::Open(c, s, nullptr, 0);
  if (rc != 0) return rc;
  char stamp[30], recorder[9];
  int32_t n = 0;
  const sql::Out outs[] = {sql::OText(stamp, sizeof stamp),
                           sql::OText(recorder, sizeof recorder), sql::OI32(n)};
  *total = 0;
  while ((rc = sql::Fetch(c, outs, 3)) == 0) {
    ++*total;
    if (out->size() < kBatchesShown)
      out->push_back({std::string(stamp), Admin_Utf8(recorder, strnlen(recorder, 9)), n});
  }
  (void)sql::Close(c);
  return rc == 1403 ? 0 : rc;
}

// Seconds since the epoch of a local "YYYY-MM-DD HH:MM:SS"; 0 when unreadable.
long long EpochOf(const std::string& iso) {
  struct tm tm = {};
  if (strptime(iso.c_str(), "%Y-%m-%d %H:%M:%S", &tm) == nullptr) return 0;
  tm.tm_isdst = -1;
  return static_cast<long long>(mktime(&tm));
}

std::string Label(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') { out += "\\n"; continue; }
    out += c;
  }
  return out;
}

}  // namespace

int Admin_Status(const std::string& format) {
  if (int rc = Admin_Connect()) return rc;
  std::vector<Waiting> waiting;
  std::vector<AdminMarked> marked;
  std::vector<Run> runs;
  std::vector<Batch> batches;
  int batchCount = 0;
  // Who runs now, if anyone.
  char holder[200] = {};
  const int lock = sql::ProbeRunLock(holder, sizeof holder);
  const std::string running = lock == 1 ? Admin_Utf8(holder, strnlen(holder, sizeof holder)) : "";
  int rc = sql::BeginRead();
  if (rc == 0) rc = ReadWaiting(&waiting);
  if (rc == 0) rc = Admin_ReadMarked(&marked);
  if (rc == 0) rc = ReadBatches(&batches, &batchCount);
  if (rc == 0) rc = ReadRuns(&runs);
  (void)sql::EndRead();
  sql::Disconnect();
  if (rc != 0) return Admin_ReadFailed(rc);
  // The log since the start of the last run, grouped by function and message.
  std::vector<AdminLogEntry> log;
  size_t skipped = 0;
  (void)Admin_ReadLog(&log, &skipped);
  const std::string since = runs.empty() ? "" : runs.front().start;
  std::map<std::pair<std::string, std::string>, std::pair<int, std::string>> groups;
  int errors = 0;
  for (const AdminLogEntry& e : log) {
    if (e.time < since) continue;
    ++errors;
    auto& g = groups[{e.function, e.message}];
    ++g.first;
    g.second = e.code;
  }

  if (format == "json") {
    nlohmann::json j;
    j["running"] = running;
    for (const Waiting& w : waiting)
      j["planning"][w.table] = {{"rows", w.rows}, {"first", w.first}};
    j["marked"] = nlohmann::json::array();
    for (const AdminMarked& m : marked)
      j["marked"].push_back({{"table", m.table}, {"marker", m.marker}, {"area", m.area},
                             {"rows", m.rows}, {"terminal", m.terminal},
                             {"address", m.address}});
    j["queue"] = {{"batches", batchCount}, {"newest", nlohmann::json::array()}};
    for (const Batch& b : batches)
      j["queue"]["newest"].push_back(
          {{"stamp", Iso(b.stamp.c_str())}, {"recorder", b.recorder}, {"rows", b.rows}});
    j["runs"] = nlohmann::json::array();
    for (const Run& r : runs) {
      nlohmann::json jr = {{"start", r.start}};
      for (int i = 0; i < 7; ++i) jr[kRunCounters[i]] = r.counts[i];
      j["runs"].push_back(jr);
    }
    j["log_since_last_run"] = nlohmann::json::array();
    for (const auto& [key, g] : groups)
      j["log_since_last_run"].push_back({{"function", key.first}, {"message", key.second},
                                         {"entries", g.first}, {"last_code", g.second}});
    fmt::print("{}\n", j.dump(2));
    return 0;
  }
  if (format == "prometheus") {
    fmt::print("# HELP pps2bde_running 1 while a run holds the run lock.\n"
               "# TYPE pps2bde_running gauge\npps2bde_running {}\n",
               running.empty() ? 0 : 1);
    fmt::print("# HELP pps2bde_planning_rows_waiting Planning rows waiting for the next full run.\n"
               "# TYPE pps2bde_planning_rows_waiting gauge\n");
    for (const Waiting& w : waiting)
      fmt::print("pps2bde_planning_rows_waiting{{table=\"{}\"}} {}\n", w.table, w.rows);
    std::map<std::string, int> perTable;
    int homeless = 0;
    for (const AdminMarked& m : marked) {
      perTable[m.table] += m.rows;
      if (m.terminal == 0) homeless += m.rows;
    }
    fmt::print("# HELP pps2bde_download_rows_marked Rows marked for download.\n"
               "# TYPE pps2bde_download_rows_marked gauge\n");
    for (const auto& [table, n] : perTable)
      fmt::print("pps2bde_download_rows_marked{{table=\"{}\"}} {}\n", table, n);
    fmt::print("# HELP pps2bde_download_rows_without_terminal Marked rows no terminal serves.\n"
               "# TYPE pps2bde_download_rows_without_terminal gauge\n"
               "pps2bde_download_rows_without_terminal {}\n",
               homeless);
    fmt::print("# HELP pps2bde_queue_batches Batches in Kvn540Dnl.\n"
               "# TYPE pps2bde_queue_batches gauge\npps2bde_queue_batches {}\n",
               batchCount);
    if (!runs.empty()) {
      fmt::print("# HELP pps2bde_last_run_timestamp_seconds Start of the last full run.\n"
                 "# TYPE pps2bde_last_run_timestamp_seconds gauge\n"
                 "pps2bde_last_run_timestamp_seconds {}\n",
                 EpochOf(runs.front().start));
      fmt::print("# HELP pps2bde_last_run_rows Counters of the last full run.\n"
                 "# TYPE pps2bde_last_run_rows gauge\n");
      for (int i = 0; i < 7; ++i)
        fmt::print("pps2bde_last_run_rows{{counter=\"{}\"}} {}\n", kRunCounters[i],
                   runs.front().counts[i]);
    }
    fmt::print("# HELP pps2bde_log_errors_since_last_run Log entries since the last run began.\n"
               "# TYPE pps2bde_log_errors_since_last_run gauge\n"
               "pps2bde_log_errors_since_last_run {}\n",
               errors);
    for (const auto& [key, g] : groups)
      fmt::print("pps2bde_log_entries_since_last_run{{function=\"{}\",message=\"{}\"}} {}\n",
                 Label(key.first), Label(key.second), g.first);
    return 0;
  }

  fmt::print("Run lock: {}\n\n", running.empty() ? "free" : "held by " + running);
  fmt::print("Planning rows waiting for the next full run (the planning tables keep no change time)\n");
  for (const Waiting& w : waiting)
    fmt::print("  {:<10} {:>8} rows{}\n", w.table, w.rows,
               w.rows ? "  first key " + w.first : "");
  fmt::print("\nRows marked for download\n");
  if (marked.empty()) fmt::print("  none\n");
  for (const AdminMarked& m : marked)
    fmt::print("  {:<10} {:<9} {:<11} {:>8} rows  {}\n", m.table, m.marker, m.area, m.rows,
               m.terminal ? fmt::format("terminal {} ({})", m.terminal, m.address)
                          : std::string("NO TERMINAL in Kvn557Cfg"));
  fmt::print("\nQueue batches in Kvn540Dnl: {}{}\n", batchCount,
             batchCount > kBatchesShown ? fmt::format(" (newest {} shown)", kBatchesShown) : "");
  for (const Batch& b : batches)
    fmt::print("  {}  {:<9} {:>6} rows   pps2bde {} {}\n", Iso(b.stamp.c_str()), b.recorder,
               b.rows, b.stamp.substr(0, 8), b.stamp.substr(8));
  fmt::print("\nLast full runs (Kvn542Dwn)\n");
  if (runs.empty()) fmt::print("  none yet\n");
  else
    fmt::print("  {:<19} {:>7} {:>7} {:>7} {:>7} {:>7} {:>7} {:>7}\n", "start", "orders",
               "ops", "Auk", "Afo", "new", "changed", "deleted");
  for (const Run& r : runs)
    fmt::print("  {:<19} {:>7} {:>7} {:>7} {:>7} {:>7} {:>7} {:>7}\n", r.start, r.counts[0],
               r.counts[1], r.counts[2], r.counts[3], r.counts[4], r.counts[5], r.counts[6]);
  fmt::print("\nLog entries since the last run{}\n", since.empty() ? "" : " (" + since + ")");
  if (groups.empty()) fmt::print("  none\n");
  for (const auto& [key, g] : groups)
    fmt::print("  {:>5} x  {:<14} {}  [last code {}]\n", g.first, key.first, key.second,
               g.second);
  return 0;
}
