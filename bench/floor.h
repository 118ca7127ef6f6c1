// The floor of a run: what its commits and its buffer-file lines cost at
// the least on this machine and disk, measured by minimal loops.
#ifndef PPS2BDE_BENCH_FLOOR_H_
#define PPS2BDE_BENCH_FLOOR_H_

#include <string>

#include "tools/layout/pg_server.h"

struct FloorTimes {
  double commitSeconds = 0;  // the savepoint/write/commit cycles
  double appendSeconds = 0;  // the write-through appends
  double cpuSeconds = 0;     // user and system time of both loops
  double serverCpuSeconds = 0;  // the server's CPU time during the loops
  double total() const { return commitSeconds + appendSeconds; }
  // The part of the floor spent waiting for the disk, not computing.
  double waitSeconds() const {
    const double cpu = cpuSeconds + serverCpuSeconds;
    return total() > cpu ? total() - cpu : 0;
  }
};

// In folder dir (created if missing, on the disk of the run): commits
// cycles of "savepoint; one-row insert; commit" through the job's sql layer
// on a new database, and lines appends of 552 bytes to a file opened
// write-through (O_DSYNC).  The database is a SQLite file in dir (WAL,
// synchronous=FULL, as the job connects) or, with server, a new database
// on that server named after dir's last part.  Returns 0, or -1 with a
// message on stderr.
int Bench_Floor(const std::string& dir, const PgServer* server, long long commits,
                long long lines, FloorTimes* out);

// Seconds of the monotonic clock.
double Bench_Now();

// User plus system seconds this process has used so far.
double Bench_Cpu();

#endif  // PPS2BDE_BENCH_FLOOR_H_
