// The job's own requests sent again by a client that does nothing else:
// what the server and the round trips alone cost of a run.
//
// A second run of the job (on an installation of its own, with the same
// data) connects through a recording proxy, which passes every byte on and
// keeps what the job sends once it has logged in, and the startup
// parameters of its login (never its password).  The replay then logs in
// to a third database with the same data and those parameters and sends the
// recorded messages exactly as the job did, one request (everything up to a
// Sync or a simple query) at a time, each after the answer of the one
// before: the same statements, values and round trips, without the job's
// own work, its log or its lines.
#ifndef PPS2BDE_BENCH_REPLAY_H_
#define PPS2BDE_BENCH_REPLAY_H_

#include <string>

#include "bench/layout.h"
#include "tools/layout/pg_server.h"

// A proxy listening where libpq's defaults (PGHOST) point while it runs.
struct ReplayProxy {
  int pid = -1;             // the proxy process
  int listener = -1;        // its listening socket, shut down to end a wait for the job
  std::string savedHost;    // PGHOST before Replay_StartProxy
};

// Starts a proxy for one connection in dir (which must exist) to the
// server s, writes what it records to file, and points PGHOST at it.
// 0, or -1 with a message on stderr.
int Replay_StartProxy(const PgServer& s, const std::string& dir, const std::string& file,
                      ReplayProxy* proxy);

// Points PGHOST back at the server and waits for the proxy, which ends
// when the job's connection has closed.  0 when the recording is complete,
// -1 with a message on stderr.
int Replay_StopProxy(ReplayProxy* proxy);

struct ReplayFigures {
  double seconds = 0;       // from the first request sent to the last answer
  double clientCpu = 0;     // this process's CPU time meanwhile
  double serverCpu = 0;     // the server's (BenchServer_Cpu)
  double backendCpu = 0;    // the replay session's backend alone: the server's work
                            // that the requests wait for, one after the other
  double walSyncSeconds = 0;  // the server's WAL flushes meanwhile (ServerFigures)
  long long walSyncs = 0;
  long long messages = 0;   // protocol messages sent
  long long requests = 0;   // round trips
  long long errors = 0;     // error answers (a replay that went its own way)
};

// Logs in to the database dbname of the server (as db's login) with the
// recorded startup parameters and sends the recorded requests.  0, or -1
// with a message on stderr (no recording, no login, a lost connection).
int Replay_Run(const PgServer& s, const char* dbname, const BenchDb& db, const std::string& file,
               ReplayFigures* out);

#endif  // PPS2BDE_BENCH_REPLAY_H_
