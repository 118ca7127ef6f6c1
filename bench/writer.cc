#include "bench/writer.h"

#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <string>
#include <vector>

#include "bench/floor.h"

namespace {

constexpr double kPeriod = 0.010;
constexpr int kBusyTimeoutMs = 5000;

struct Running {
  pid_t pid = -1;
  int stop = -1;     // write end: closing it stops the writer
  int results = -1;  // read end: the writer's waits
};

Running g_writers[4];

// The writer's loop: one insert into the queue table (which a full run does
// not read) per transaction, one transaction per period, each wait sent
// back at the end as two doubles: the wait (negative for a failed
// transaction) and when it began.
void WriterMain(const std::string& db, int stop, int results) {
  sqlite3* conn = nullptr;
  if (sqlite3_open_v2(db.c_str(), &conn, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) _exit(2);
  sqlite3_busy_timeout(conn, kBusyTimeoutMs);
  sqlite3_stmt* begin = nullptr;
  sqlite3_stmt* insert = nullptr;
  sqlite3_stmt* commit = nullptr;
  sqlite3_stmt* rollback = nullptr;
  if (sqlite3_prepare_v2(conn, "BEGIN IMMEDIATE", -1, &begin, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(conn,
                         "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlErf,DnlSkz) values "
                         "('2024-01-01 00:00:00',?1,'Writer','APK')",
                         -1, &insert, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(conn, "COMMIT", -1, &commit, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(conn, "ROLLBACK", -1, &rollback, nullptr) != SQLITE_OK)
    _exit(3);
  // The samples stay here until the end: a pipe would fill up and stop the
  // writer while the parent waits for the job.
  std::vector<double> samples;
  const double first = Bench_Now();
  double next = first;
  for (long n = 1;; ++n) {
    // Stop when the parent closed its end.
    char c;
    ssize_t got = read(stop, &c, 1);
    if (got == 0) break;
    const double start = Bench_Now();
    bool ok = sqlite3_step(begin) == SQLITE_DONE;
    sqlite3_reset(begin);
    if (ok) {
      sqlite3_bind_int64(insert, 1, n);
      ok = sqlite3_step(insert) == SQLITE_DONE;
      sqlite3_reset(insert);
      if (ok) ok = sqlite3_step(commit) == SQLITE_DONE;
      sqlite3_reset(commit);
      if (!ok) {
        sqlite3_step(rollback);
        sqlite3_reset(rollback);
      }
    }
    samples.push_back(Bench_Now() - start);
    if (!ok) samples.back() = -samples.back() - 1e-9;
    samples.push_back(start - first);
    next += kPeriod;
    double now = Bench_Now();
    if (next > now) usleep(static_cast<useconds_t>((next - now) * 1e6));
    else next = now;
  }
  sqlite3_close_v2(conn);
  const char* p = reinterpret_cast<const char*>(samples.data());
  size_t left = samples.size() * sizeof(double);
  while (left > 0) {
    ssize_t n = write(results, p, left);
    if (n <= 0) _exit(4);
    p += n;
    left -= static_cast<size_t>(n);
  }
  _exit(0);
}

}  // namespace

int Writer_Start(const std::string& db) {
  int slot = 0;
  while (slot < 4 && g_writers[slot].pid > 0) ++slot;
  if (slot == 4) return -1;
  int stop[2];
  int results[2];
  if (pipe(stop) != 0) return -1;
  if (pipe(results) != 0) {
    close(stop[0]);
    close(stop[1]);
    return -1;
  }
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    close(stop[1]);
    close(results[0]);
    // Non-blocking: the writer only looks whether the parent has gone.
    fcntl(stop[0], F_SETFL, O_NONBLOCK);
    WriterMain(db, stop[0], results[1]);
  }
  close(stop[0]);
  close(results[1]);
  g_writers[slot] = Running{pid, stop[1], results[0]};
  return slot + 1;
}

int Writer_Stop(int handle, WriterFigures* out) {
  if (handle < 1 || handle > 4 || g_writers[handle - 1].pid <= 0) return -1;
  Running& w = g_writers[handle - 1];
  close(w.stop);
  std::vector<double> waits;
  double sample[2];
  long failed = 0;
  ssize_t got;
  // A sample may arrive in two reads.
  std::string bytes;
  char buf[65536];
  while ((got = read(w.results, buf, sizeof buf)) > 0) bytes.append(buf, static_cast<size_t>(got));
  for (size_t at = 0; at + sizeof sample <= bytes.size(); at += sizeof sample) {
    std::memcpy(sample, bytes.data() + at, sizeof sample);
    double wait = sample[0];
    if (wait < 0) {
      ++failed;
      wait = -wait;
    }
    if (wait > out->longest) {
      out->longest = wait;
      out->longestAt = sample[1];
    }
    waits.push_back(wait);
  }
  close(w.results);
  int status = 0;
  while (waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
  }
  w = Running{};
  std::sort(waits.begin(), waits.end());
  out->transactions = static_cast<long>(waits.size());
  out->failed = failed;
  if (!waits.empty()) {
    out->p50 = waits[waits.size() / 2];
    out->p99 = waits[std::min(waits.size() - 1, waits.size() * 99 / 100)];
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}
