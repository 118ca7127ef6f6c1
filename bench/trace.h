// The job's system calls, counted: one more run of the job under strace,
// split at the first open of a buffer file into the transfer (every
// planning row taken over, the statistics row) and the release (every row
// sent and released).  On a server each request of the client library is
// one send, so the sends are the round trips.
#ifndef PPS2BDE_BENCH_TRACE_H_
#define PPS2BDE_BENCH_TRACE_H_

#include <string>

// The calls counted, in the order of the counts below.
constexpr const char* kTraceCalls[] = {"sendto", "fdatasync", "fcntl", "pwrite64", "pread64"};
constexpr int kTraceCallCount = sizeof kTraceCalls / sizeof kTraceCalls[0];

struct TraceCounts {
  long long transfer[kTraceCallCount] = {};
  long long release[kTraceCallCount] = {};
};

// Runs job in cwd under strace (its log at logPath) and counts its calls.
// Returns the job's exit code, or -1 with a message on stderr (no strace,
// no log).
int Trace_Run(const std::string& job, const std::string& cwd, const std::string& logPath,
              TraceCounts* out);

#endif  // PPS2BDE_BENCH_TRACE_H_
