// A planning writer beside the job, for the fairness figures of the
// benchmark: another process that commits one small transaction every
// 10 ms on the same database, with a busy timeout of 5 s, and measures how
// long each transaction waited (from BEGIN IMMEDIATE to a finished COMMIT).
#ifndef PPS2BDE_BENCH_WRITER_H_
#define PPS2BDE_BENCH_WRITER_H_

#include <string>

struct WriterFigures {
  long transactions = 0;
  long failed = 0;       // transactions whose busy timeout ran out
  double p50 = 0;        // seconds
  double p99 = 0;
  double longest = 0;
  double longestAt = 0;  // when it began, seconds after the writer's start
};

// Starts the writer on the database; returns its handle (> 0) or -1.
int Writer_Start(const std::string& db);
// Stops it and collects its figures; 0 or -1.
int Writer_Stop(int handle, WriterFigures* out);

#endif  // PPS2BDE_BENCH_WRITER_H_
