// The statistics step of the full run.
#ifndef PPS2BDE_DRIVER_STATISTICS_H_
#define PPS2BDE_DRIVER_STATISTICS_H_

#include "db/DbDnl/dwn.h"

// Starts the statistics of a full run: the run's time stamp (current local
// date yyyymmdd and time HHMMSS), seven counters 0, recorder "ZuzErOro",
// empty free texts.
void Init_StatTab(StatRecord& stat);
// Stamps DwnDat with the local time (ddmm20yyHHMMSS) and stores the record
// as one row of Kvn542Dwn; a failure is logged under "Put_StatTab".
void Put_StatTab(StatRecord& stat);

#endif  // PPS2BDE_DRIVER_STATISTICS_H_
