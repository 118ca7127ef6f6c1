// The installation the benchmark runs the job in: the folders the job
// expects, an enciphered configuration and a new database filled with
// planning orders and operations, terminals, work groups and workplaces.
//
//   ROOT/files/velmaris.ini   ROOT/files/bde.db
//   ROOT/a/b/c/Comm/Buff/     ROOT/a/b/c/run/Msg/
#ifndef PPS2BDE_BENCH_LAYOUT_H_
#define PPS2BDE_BENCH_LAYOUT_H_

#include <string>

struct BenchData {
  int orders = 2000;     // planning orders (Kvn500Auk)
  int operations = 5;    // planning operations per order (Kvn503Afo)
  int terminals = 4;     // terminals sharing the area keys FB00..FB99
};

struct BenchPaths {
  std::string root;
  std::string db() const { return root + "/files/bde.db"; }
  std::string config() const { return root + "/files/velmaris.ini"; }
  std::string run() const { return root + "/a/b/c/run"; }
  std::string buff() const { return root + "/a/b/c/Comm/Buff"; }
  std::string log() const { return run() + "/Msg/Ostrak.Txt"; }
};

// Lays out the folders under paths.root (which must exist), writes the
// configuration and creates the database with data.  Every operation names
// a workplace of its work group, so the plausibility check finds nothing.
// Returns 0, or -1 with a message on stderr.
int Bench_Layout(const BenchPaths& paths, const BenchData& data);

// Runs one SQL text on the database file (a new connection); 0 or -1 with
// a message on stderr.  Used for the checks after the run.
int Bench_Sql(const std::string& db, const std::string& sql, long long* firstValue);

#endif  // PPS2BDE_BENCH_LAYOUT_H_
