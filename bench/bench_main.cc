// pps2bde-bench: the throughput of one full run of the job.
//
//   pps2bde-bench [--engine sqlite|postgres] [--orders N] [--ops K] [--terminals T]
//                 [--dir DIR] [--keep] [--job PATH] [--no-floor] [--writer]
//                 [--round-trips] [--replay]
//
// Lays out an installation with N planning orders of K operations each,
// runs the job (by default the pps2bde next to this program) once as a
// process, and prints rows, commits and lines per second, the job's peak
// resident memory, where the time went, and the ratio of the run's time to
// its floor: the time that the same number of commits and write-through
// line appends take in minimal loops on the same disk and database engine
// (bench/floor.h).  With --engine postgres the database is on a throwaway
// server in the bench folder (bench/server.h), reached over its Unix
// socket, and the server's CPU time and WAL flushes are printed too.  The floor is measured
// right before and right after the run and the mean is taken, so a disk
// whose sync latency drifts (a shared machine) skews the ratio less;
// --no-floor leaves it out (it takes about as long as the run).  --writer
// runs a planning writer beside the job (bench/writer.h, SQLite only) and
// prints how long its transactions waited for the job.  --round-trips runs
// the job once more, on a second installation with the same data, under
// strace and prints its system calls per transferred and per released row
// (bench/trace.h).  --replay (PostgreSQL) runs it once more through a
// recording proxy and sends what it sent again from a client that does
// nothing else, on a third installation with the same data
// (bench/replay.h): the time of the job's requests alone.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/floor.h"
#include "bench/layout.h"
#include "bench/replay.h"
#include "bench/server.h"
#include "bench/trace.h"
#include "bench/writer.h"

namespace {

struct Options {
  BenchData data;
  std::string dir;  // empty: a new folder under $TMPDIR or /tmp
  std::string job;
  bool keep = false;
  bool floor = true;
  bool writer = false;
  bool postgres = false;
  bool roundTrips = false;
  bool replay = false;
};

void Usage() {
  std::fprintf(stderr,
               "usage: pps2bde-bench [--engine sqlite|postgres] [--orders N] [--ops K] "
               "[--terminals T] [--dir DIR] [--keep] [--job PATH] [--no-floor] [--writer] "
               "[--round-trips] [--replay]\n");
}

bool ParseCount(const char* text, int low, int high, int* out) {
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return false;
  *out = static_cast<int>(v);
  return true;
}

bool ParseOptions(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--orders" && hasValue) {
      // Order numbers are twelve digits from 100000000000 on.
      if (!ParseCount(argv[++i], 0, 10000000, &o->data.orders)) return false;
    } else if (a == "--ops" && hasValue) {
      if (!ParseCount(argv[++i], 0, 9999, &o->data.operations)) return false;
    } else if (a == "--terminals" && hasValue) {
      if (!ParseCount(argv[++i], 1, 100, &o->data.terminals)) return false;
    } else if (a == "--dir" && hasValue) {
      o->dir = argv[++i];
    } else if (a == "--job" && hasValue) {
      o->job = argv[++i];
    } else if (a == "--keep") {
      o->keep = true;
    } else if (a == "--no-floor") {
      o->floor = false;
    } else if (a == "--writer") {
      o->writer = true;
    } else if (a == "--round-trips") {
      o->roundTrips = true;
    } else if (a == "--replay") {
      o->replay = true;
    } else if (a == "--engine" && hasValue) {
      const std::string e = argv[++i];
      if (e != "sqlite" && e != "postgres") return false;
      o->postgres = e == "postgres";
    } else {
      return false;
    }
  }
  // The writer is a SQLite writer; the replay speaks PostgreSQL's protocol.
  return !(o->writer && o->postgres) && !(o->replay && !o->postgres);
}

// The pps2bde next to this program.
std::string DefaultJob() {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "pps2bde";
  return (self.parent_path() / "pps2bde").string();
}

// Runs the job in the working folder; *seconds gets its wall time and *ru
// its resource use.  Returns its exit code, or -1.
int RunJob(const std::string& job, const std::string& cwd, double* seconds, rusage* ru) {
  const double start = Bench_Now();
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (chdir(cwd.c_str()) != 0) _exit(126);
    execl(job.c_str(), job.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  pid_t got;
  do {
    got = wait4(pid, &status, 0, ru);
  } while (got < 0 && errno == EINTR);
  *seconds = Bench_Now() - start;
  if (got != pid) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

long long BufferBytes(const std::string& dir) {
  long long total = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec))
    if (e.is_regular_file()) total += static_cast<long long>(e.file_size());
  return total;
}

// What a run must have done: every planning row taken over, every row sent
// and released, every line written, nothing logged.
struct Outcome {
  long long left = -1;    // planning rows left
  long long marked = -1;  // BDE rows still marked for sending
  long long lines = 0;
  long long logBytes = 0;
  bool complete(int exitCode, long long rows) const {
    return exitCode == 0 && left == 0 && marked == 0 && lines == rows && logBytes == 0;
  }
};

Outcome Check(const BenchPaths& paths, const BenchDb& db) {
  Outcome out;
  out.lines = BufferBytes(paths.buff()) / 552;
  out.left = Bench_Count(db, "select (select count(*) from Kvn500Auk) + "
                             "(select count(*) from Kvn503Afo)");
  out.marked = Bench_Count(db, "select (select count(*) from Kvn501Apk where "
                               "ApkDwn is not null) + (select count(*) from "
                               "Kvn504App where AppDwn is not null)");
  struct stat logStat{};
  out.logBytes = stat(paths.log().c_str(), &logStat) == 0 ? logStat.st_size : 0;
  return out;
}

// At the end however main ends: the server stopped, a folder made here
// removed unless kept.
struct Cleanup {
  const Options& o;
  const PgServer* server = nullptr;
  bool made = false;
  ~Cleanup() {
    if (server != nullptr) (void)PgServer_Stop(*server);
    if (made && !o.keep) {
      std::error_code ec;
      std::filesystem::remove_all(o.dir, ec);
    } else {
      std::printf("kept:      %s\n", o.dir.c_str());
    }
  }
};

// Lays out the installation at root with the database name on the server
// (SQLite: the installation's own file).  0 or -1.
int LayOut(const BenchPaths& paths, const PgServer* server, const char* name,
           const BenchData& data, BenchDb* db) {
  if (mkdir(paths.root.c_str(), 0755) != 0) {
    std::fprintf(stderr, "pps2bde-bench: %s exists or cannot be created\n", paths.root.c_str());
    return -1;
  }
  *db = Bench_SqliteDb(paths);
  if (server != nullptr && BenchServer_CreateDb(*server, name, db) != 0) return -1;
  if (Bench_Layout(paths, *db, data) != 0) return -1;
  return server != nullptr ? BenchServer_Settle(*server, name) : 0;
}

// The calls of the traced run per transferred and per released row.
int PrintRoundTrips(const Options& o, const BenchPaths& paths, const BenchDb& db,
                    long long rows) {
  TraceCounts counts;
  const int exitCode = Trace_Run(o.job, paths.run(), o.dir + "/strace.log", &counts);
  if (exitCode < 0) return -1;
  if (!Check(paths, db).complete(exitCode, rows)) {
    std::printf("INCOMPLETE: the traced run (exit %d)\n", exitCode);
    return -1;
  }
  std::printf("calls per row (strace of a second run; %s):\n",
              o.postgres ? "sendto = round trips" : "fcntl = lock calls");
  for (int i = 0; i < kTraceCallCount; ++i) {
    if (counts.transfer[i] + counts.release[i] == 0) continue;
    std::printf("  %-10s %6.2f per transferred row, %6.2f per released row (%lld, %lld)\n",
                kTraceCalls[i], static_cast<double>(counts.transfer[i]) / rows,
                static_cast<double>(counts.release[i]) / rows, counts.transfer[i],
                counts.release[i]);
  }
  return 0;
}

// The job once more through the recording proxy (on the installation
// paths), then its requests sent again on the database replayDb.
int PrintReplay(const Options& o, const PgServer& server, const BenchPaths& paths,
                const BenchDb& db, const BenchPaths& replayPaths, const BenchDb& replayDb,
                long long rows, const FloorTimes* floor) {
  const std::string file = o.dir + "/requests";
  const std::string proxyDir = o.dir + "/proxy";
  if (mkdir(proxyDir.c_str(), 0700) != 0 && errno != EEXIST) return -1;
  ReplayProxy proxy;
  if (Replay_StartProxy(server, proxyDir, file, &proxy) != 0) return -1;
  double seconds = 0;
  rusage ru{};
  const int exitCode = RunJob(o.job, paths.run(), &seconds, &ru);
  if (Replay_StopProxy(&proxy) != 0) return -1;
  if (!Check(paths, db).complete(exitCode, rows)) {
    std::printf("INCOMPLETE: the recorded run (exit %d)\n", exitCode);
    return -1;
  }
  ReplayFigures r;
  if (Replay_Run(server, "pps2bde_replay", replayDb, file, &r) != 0) return -1;
  // The replay's database must end as the job left its own.
  const Outcome replayed = Check(replayPaths, replayDb);
  if (replayed.left != 0 || replayed.marked != 0) {
    std::printf("INCOMPLETE: the replay left %lld planning rows and %lld marked rows\n",
                replayed.left, replayed.marked);
    return -1;
  }
  std::printf("replay:    %.2f s, the job's %lld requests (%lld messages) sent again by a client "
              "that does nothing else; client CPU %.2f s, server CPU %.2f s (its session "
              "%.2f s), %lld WAL flushes taking %.2f s%s\n",
              r.seconds, r.requests, r.messages, r.clientCpu, r.serverCpu, r.backendCpu,
              r.walSyncs, r.walSyncSeconds,
              r.errors > 0 ? " (ERRORS: the replay went its own way)" : "");
  if (floor != nullptr) {
    // The job's requests against the floor's commit cycles; with the same
    // appends as the floor, the least a run of these requests can take.
    std::printf("replay ratio: %.3f (replay / the floor's commit cycles), %.3f with the "
                "floor's appends (replay + appends / floor)\n",
                r.seconds / floor->commitSeconds,
                (r.seconds + floor->appendSeconds) / floor->total());
  }
  return r.errors > 0 ? -1 : 0;
}

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; }

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    Usage();
    return 2;
  }
  if (o.job.empty()) o.job = DefaultJob();
  // The job runs in the installation's working folder.
  std::error_code ec;
  o.job = std::filesystem::absolute(o.job, ec).string();
  if (access(o.job.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "pps2bde-bench: %s is not an executable (--job)\n", o.job.c_str());
    return 2;
  }
  bool made = false;
  if (o.dir.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") +
                          "/pps2bde-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      std::fprintf(stderr, "pps2bde-bench: cannot create a folder: %s\n", std::strerror(errno));
      return 1;
    }
    o.dir = pattern;
    made = true;
  } else if (mkdir(o.dir.c_str(), 0755) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "pps2bde-bench: cannot create %s\n", o.dir.c_str());
    return 1;
  }
  // The server's socket and the job's PGHOST need an absolute path.
  o.dir = std::filesystem::absolute(o.dir, ec).string();
  // Made before the clean-up, which stops it, so that it is still there then.
  const PgServer pgServer = BenchServer_Of(o.dir);
  Cleanup cleanup{o, nullptr, made};
  const PgServer* server = o.postgres ? &pgServer : nullptr;

  const BenchData& d = o.data;
  std::printf("pps2bde-bench: %d orders x %d operations, %d terminals, %s, in %s\n", d.orders,
              d.operations, d.terminals, o.postgres ? "PostgreSQL" : "SQLite", o.dir.c_str());
  if (server != nullptr) {
    if (BenchServer_Start(*server) != 0) return 1;
    cleanup.server = server;
  }
  const BenchPaths paths{o.dir + "/install"};
  const BenchPaths tracePaths{o.dir + "/install-trace"};
  const BenchPaths recordPaths{o.dir + "/install-record"};
  const BenchPaths replayPaths{o.dir + "/install-replay"};
  BenchDb db, traceDb, recordDb, replayDb;
  if (LayOut(paths, server, "pps2bde", d, &db) != 0) return 1;
  // The traced run's installation is laid out now, so that both runs start
  // from the same state of the machine.
  if (o.roundTrips && LayOut(tracePaths, server, "pps2bde_trace", d, &traceDb) != 0) return 1;
  if (o.replay && (LayOut(recordPaths, server, "pps2bde_record", d, &recordDb) != 0 ||
                   LayOut(replayPaths, server, "pps2bde_replay", d, &replayDb) != 0))
    return 1;

  // The counts of the floor: known before the run (checked after it).
  const long long rows = static_cast<long long>(d.orders) * (d.operations + 1);
  const long long commits = 2 * rows + 1;
  FloorTimes before, after;
  if (o.floor && Bench_Floor(o.dir + "/floor-before", server, commits, rows, &before) != 0)
    return 1;

  ServerFigures s0, s1;
  if (server != nullptr && BenchServer_Read(*server, "pps2bde", &s0) != 0) return 1;
  double runSeconds = 0;
  rusage ru{};
  const int writer = o.writer ? Writer_Start(paths.db()) : 0;
  const int exitCode = RunJob(o.job, paths.run(), &runSeconds, &ru);
  WriterFigures figures;
  const int writerRc = writer > 0 ? Writer_Stop(writer, &figures) : 0;
  if (server != nullptr && BenchServer_Read(*server, "pps2bde", &s1) != 0) return 1;

  // One commit per transferred row (the write and the removal of its
  // planning row are one unit), one per released row (an operation's
  // release and its order's count are one unit), and one for the
  // statistics row.
  const Outcome outcome = Check(paths, db);
  const bool complete = outcome.complete(exitCode, rows);

  if (o.floor && Bench_Floor(o.dir + "/floor-after", server, commits, rows, &after) != 0)
    return 1;
  FloorTimes floor;
  floor.commitSeconds = (before.commitSeconds + after.commitSeconds) / 2;
  floor.appendSeconds = (before.appendSeconds + after.appendSeconds) / 2;
  floor.cpuSeconds = (before.cpuSeconds + after.cpuSeconds) / 2;
  floor.serverCpuSeconds = (before.serverCpuSeconds + after.serverCpuSeconds) / 2;

  const double mb = static_cast<double>(ru.ru_maxrss) / 1024.0;
  const double user = Seconds(ru.ru_utime);
  const double sys = Seconds(ru.ru_stime);
  std::printf("run:       %.2f s, exit code %d, user %.2f s, system %.2f s\n", runSeconds,
              exitCode, user, sys);
  std::printf("rows:      %lld, %.0f rows/s\n", rows, rows / runSeconds);
  std::printf("commits:   %lld, %.0f commits/s\n", commits, commits / runSeconds);
  std::printf("lines:     %lld, %.0f lines/s\n", outcome.lines, outcome.lines / runSeconds);
  std::printf("peak RSS:  %.1f MB\n", mb);
  // Where the run's time went: the job's CPU, the server's CPU, and the
  // rest (waiting for the disk, for the other core, for the scheduler).
  const double serverCpu = s1.cpuSeconds - s0.cpuSeconds;
  const double rest = runSeconds - user - sys - serverCpu;
  if (server != nullptr) {
    std::printf("time:      job CPU %.2f s, server CPU %.2f s, the rest %.2f s; server: %lld "
                "transactions, %lld WAL flushes taking %.2f s\n",
                user + sys, serverCpu, rest, s1.commits - s0.commits, s1.walSyncs - s0.walSyncs,
                s1.walSyncSeconds - s0.walSyncSeconds);
  } else {
    std::printf("time:      job CPU %.2f s, the rest %.2f s\n", user + sys, rest);
  }
  if (o.floor) {
    std::printf("floor:     %.2f s (%lld commit cycles %.2f s, %lld O_DSYNC appends %.2f s; "
                "before the run %.2f s, after it %.2f s)\n",
                floor.total(), commits, floor.commitSeconds, rows, floor.appendSeconds,
                before.total(), after.total());
    std::printf("ratio:     %.3f (run / floor)\n", runSeconds / floor.total());
    // The run is one thread that waits for each answer of the server: it
    // cannot take less than its own and the server's CPU time plus the time
    // the same syncs and appends keep the floor's loops waiting.
    const double runCpu = user + sys + serverCpu;
    const double least = (runCpu + floor.waitSeconds()) / floor.total();
    if (server != nullptr) {
      std::printf("floor CPU: %.2f s of %.2f s (server %.2f s); run CPU %.2f s (server %.2f s); "
                  "least possible ratio at this CPU %.3f\n",
                  floor.cpuSeconds + floor.serverCpuSeconds, floor.total(),
                  floor.serverCpuSeconds, runCpu, serverCpu, least);
    } else {
      std::printf("floor CPU: %.2f s of %.2f s; run CPU %.2f s; least possible ratio at this "
                  "CPU %.3f\n",
                  floor.cpuSeconds, floor.total(), runCpu, least);
    }
  }
  if (o.writer) {
    std::printf("writer:    %ld transactions, %ld failed, waits p50 %.1f ms, p99 %.1f ms, "
                "longest %.1f ms (%.1f s into the run)%s\n",
                figures.transactions, figures.failed, figures.p50 * 1e3, figures.p99 * 1e3,
                figures.longest * 1e3, figures.longestAt, writer > 0 && writerRc == 0 ? "" : " (writer failed)");
  }
  if (!complete)
    std::printf("INCOMPLETE: exit %d, %lld planning rows left, %lld rows still marked, "
                "%lld of %lld lines, %lld log bytes\n",
                exitCode, outcome.left, outcome.marked, outcome.lines, rows, outcome.logBytes);
  if (o.roundTrips && PrintRoundTrips(o, tracePaths, traceDb, rows) != 0) return 1;
  if (o.replay && PrintReplay(o, *server, recordPaths, recordDb, replayPaths, replayDb, rows,
                              o.floor ? &floor : nullptr) != 0)
    return 1;
  return complete ? 0 : 1;
}
