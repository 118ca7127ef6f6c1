// pps2bde-bench: the throughput of one full run of the job.
//
//   pps2bde-bench [--orders N] [--ops K] [--terminals T] [--dir DIR] [--keep]
//                 [--job PATH] [--no-floor] [--writer]
//
// Lays out an installation with N planning orders of K operations each,
// runs the job (by default the pps2bde next to this program) once as a
// process, and prints rows, commits and lines per second, the job's peak
// resident memory, and the ratio of the run's time to its floor: the time
// that the same number of commits and write-through line appends take in
// minimal loops on the same disk (bench/floor.h).  The floor is measured
// right before and right after the run and the mean is taken, so a disk
// whose sync latency drifts (a shared machine) skews the ratio less;
// --no-floor leaves it out (it takes about as long as the run).  --writer
// runs a planning writer beside the job (bench/writer.h) and prints how long
// its transactions waited for the job.
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
#include "bench/writer.h"

namespace {

struct Options {
  BenchData data;
  std::string dir;  // empty: a new folder under $TMPDIR or /tmp
  std::string job;
  bool keep = false;
  bool floor = true;
  bool writer = false;
};

void Usage() {
  std::fprintf(stderr,
               "usage: pps2bde-bench [--orders N] [--ops K] [--terminals T] [--dir DIR] "
               "[--keep] [--job PATH] [--no-floor] [--writer]\n");
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
    } else {
      return false;
    }
  }
  return true;
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

long long Count(const std::string& db, const std::string& sql) {
  long long v = -1;
  return Bench_Sql(db, sql, &v) == 0 ? v : -1;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, &o)) {
    Usage();
    return 2;
  }
  if (o.job.empty()) o.job = DefaultJob();
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
  BenchPaths paths{o.dir + "/install"};
  if (mkdir(paths.root.c_str(), 0755) != 0) {
    std::fprintf(stderr, "pps2bde-bench: %s exists or cannot be created\n", paths.root.c_str());
    return 1;
  }

  const BenchData& d = o.data;
  std::printf("pps2bde-bench: %d orders x %d operations, %d terminals, in %s\n", d.orders,
              d.operations, d.terminals, o.dir.c_str());
  if (Bench_Layout(paths, d) != 0) return 1;

  // The counts of the floor: known before the run (checked after it).
  const long long rows = static_cast<long long>(d.orders) * (d.operations + 1);
  const long long commits = 2 * rows + 1;
  FloorTimes before, after;
  if (o.floor && Bench_Floor(o.dir + "/floor-before", commits, rows, &before) != 0) return 1;

  double runSeconds = 0;
  rusage ru{};
  const int writer = o.writer ? Writer_Start(paths.db()) : 0;
  const int exitCode = RunJob(o.job, paths.run(), &runSeconds, &ru);
  WriterFigures figures;
  const int writerRc = writer > 0 ? Writer_Stop(writer, &figures) : 0;

  // What the run must have done: every planning row taken over, every row
  // sent and released.  One commit per transferred row (the write and the
  // removal of its planning row are one unit), one per released row (an
  // operation's release and its order's count are one unit), and one for
  // the statistics row.
  const long long lines = BufferBytes(paths.buff()) / 552;
  const long long left = Count(paths.db(), "select (select count(*) from Kvn500Auk) + "
                                           "(select count(*) from Kvn503Afo)");
  const long long marked = Count(paths.db(), "select (select count(*) from Kvn501Apk where "
                                             "ApkDwn is not null) + (select count(*) from "
                                             "Kvn504App where AppDwn is not null)");
  struct stat logStat{};
  const long long logBytes = stat(paths.log().c_str(), &logStat) == 0 ? logStat.st_size : 0;
  bool complete = exitCode == 0 && left == 0 && marked == 0 && lines == rows && logBytes == 0;

  if (o.floor && Bench_Floor(o.dir + "/floor-after", commits, rows, &after) != 0) return 1;
  FloorTimes floor;
  floor.commitSeconds = (before.commitSeconds + after.commitSeconds) / 2;
  floor.appendSeconds = (before.appendSeconds + after.appendSeconds) / 2;
  floor.cpuSeconds = (before.cpuSeconds + after.cpuSeconds) / 2;

  const double mb = static_cast<double>(ru.ru_maxrss) / 1024.0;
  const double user = static_cast<double>(ru.ru_utime.tv_sec) + ru.ru_utime.tv_usec * 1e-6;
  const double sys = static_cast<double>(ru.ru_stime.tv_sec) + ru.ru_stime.tv_usec * 1e-6;
  std::printf("run:       %.2f s, exit code %d, user %.2f s, system %.2f s\n", runSeconds,
              exitCode, user, sys);
  std::printf("rows:      %lld, %.0f rows/s\n", rows, rows / runSeconds);
  std::printf("commits:   %lld, %.0f commits/s\n", commits, commits / runSeconds);
  std::printf("lines:     %lld, %.0f lines/s\n", lines, lines / runSeconds);
  std::printf("peak RSS:  %.1f MB\n", mb);
  if (o.floor) {
    std::printf("floor:     %.2f s (%lld commit cycles %.2f s, %lld O_DSYNC appends %.2f s; "
                "before the run %.2f s, after it %.2f s)\n",
                floor.total(), commits, floor.commitSeconds, rows, floor.appendSeconds,
                before.total(), after.total());
    std::printf("ratio:     %.3f (run / floor)\n", runSeconds / floor.total());
    // The run is one thread: it cannot take less than its own CPU time plus
    // the time the same syncs and appends keep the floor's loops waiting.
    std::printf("floor CPU: %.2f s of %.2f s; run CPU %.2f s; least possible ratio at this "
                "CPU %.3f\n",
                floor.cpuSeconds, floor.total(), user + sys,
                (user + sys + floor.waitSeconds()) / floor.total());
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
                exitCode, left, marked, lines, rows, logBytes);

  if (made && !o.keep) {
    std::error_code ec;
    std::filesystem::remove_all(o.dir, ec);
  } else {
    std::printf("kept:      %s\n", o.dir.c_str());
  }
  return complete ? 0 : 1;
}
