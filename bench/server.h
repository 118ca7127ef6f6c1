// The benchmark's PostgreSQL server: a throwaway cluster in the bench
// folder with the server's durable defaults (fsync, synchronous_commit,
// full_page_writes on), so that its commits are real commits on this disk,
// and the figures the benchmark reads from it.
#ifndef PPS2BDE_BENCH_SERVER_H_
#define PPS2BDE_BENCH_SERVER_H_

#include <string>

#include "bench/layout.h"
#include "tools/layout/pg_server.h"

// The server of the bench folder dir (its cluster in dir/pg).
PgServer BenchServer_Of(const std::string& dir);

// Starts the server and points libpq's defaults at it (the job finds it
// through PGHOST and PGPORT).  0, or -1 with a message on stderr.
int BenchServer_Start(const PgServer& s);

// Creates the database name with the job's schema; *db gets the job's
// NET8 and login for it.  0, or -1 with a message on stderr.
int BenchServer_CreateDb(const PgServer& s, const char* name, BenchDb* db);

// After the fill of the database name: its pages written out (CHECKPOINT),
// so that the run does not pay for the fill's.  The tables are not
// vacuumed: a vacuumed empty table makes the server plan the job's key
// lookups on it as scans.  0, or -1 with a message on stderr.
int BenchServer_Settle(const PgServer& s, const char* name);

// What the server did between two readings.
struct ServerFigures {
  double cpuSeconds = 0;     // user and system time of the postmaster and every process
                             // it started (ended ones included)
  long long commits = 0;     // transactions committed in the job's database
  long long walSyncs = 0;    // WAL flushes to disk (the whole server)
  double walSyncSeconds = 0; // time they took
};

// Reads the server's counters (cumulative); dbname names the job's
// database.  0, or -1 with a message on stderr.
int BenchServer_Read(const PgServer& s, const char* dbname, ServerFigures* out);

// The CPU seconds the server has used so far (see ServerFigures).
double BenchServer_Cpu(const PgServer& s);

// The CPU seconds one server process (a session's backend) has used so
// far; 0 when it has gone.
double BenchServer_ProcessCpu(int pid);

#endif  // PPS2BDE_BENCH_SERVER_H_
