// The installation the benchmark runs the job in: the folders the job
// expects, an enciphered configuration and a database filled with planning
// orders and operations, terminals, work groups and workplaces.
//
//   ROOT/files/velmaris.ini   ROOT/files/bde.db (SQLite)
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

// The database of an installation and how it is reached: net8 as the job's
// configuration names it, service as the benchmark connects to it (the
// same PostgreSQL text, or the SQLite file's absolute path).
struct BenchDb {
  std::string login = "bench";
  std::string pass = "bench";
  std::string net8;
  std::string service;
  bool sqlite = true;
};

// The SQLite database of an installation (ROOT/files/bde.db).
BenchDb Bench_SqliteDb(const BenchPaths& paths);

// Lays out the folders under paths.root (which must exist), writes the
// configuration naming db and fills db with data through the job's sql
// layer in one transaction (a SQLite database is created first; a
// PostgreSQL one must hold the schema).  Every operation names a workplace
// of its work group, so the plausibility check finds nothing.  Returns 0,
// or -1 with a message on stderr.
int Bench_Layout(const BenchPaths& paths, const BenchDb& db, const BenchData& data);

// Connects to db through the job's sql layer: 0 or its code.
int Bench_Connect(const BenchDb& db);

// The count that a select of one number gives on db (a new session), or
// -1 with a message on stderr.  Used for the checks after the run.
long long Bench_Count(const BenchDb& db, const char* select);

#endif  // PPS2BDE_BENCH_LAYOUT_H_
