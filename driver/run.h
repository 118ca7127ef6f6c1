// The run modes of the job.
#ifndef PPS2BDE_DRIVER_RUN_H_
#define PPS2BDE_DRIVER_RUN_H_

#include <cstdint>

#include "db/DbDnl/dwn.h"

// The whole process: log, session, one run mode, commit.  Returns 0 always.
[[nodiscard]] int Pps2bde_Main(int argc, char** argv);

// Full run: statistics start, order transfer, operation transfer, statistics
// row, download.  Returns the status of the operation transfer.
[[nodiscard]] int Full_Run();
// Queue mode: marks the orders and operations named by the queue rows of
// one time stamp (date yyyymmdd, time HHMMSS) and recorder for download
// with "ZalToGen", then runs W_Download.  Returns the open status when the
// queue cursor cannot be opened, else the close status.
[[nodiscard]] int32_t W_PpsDaten(const char* date, const char* time, const char* recorder);
// Sends every order and operation marked with the stat's recorder, stamped
// with the stat's date and time; failures are logged under "Get_Download".
void Get_Download(const StatRecord& stat);
// Sends every order and operation marked "ZalToGen", stamped with the
// current local time.
void W_Download();

#endif  // PPS2BDE_DRIVER_RUN_H_
