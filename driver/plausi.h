// The plausibility check of one planning operation against the BDE master
// data.  It only reports; it never stops the transfer.
#ifndef PPS2BDE_DRIVER_PLAUSI_H_
#define PPS2BDE_DRIVER_PLAUSI_H_

#include <cstdint>

#include "db/DbDnl/afo.h"

// One finding: the log message and its code.
struct PlausiFinding {
  const char* message;
  int32_t code;
};
constexpr int kPlausiMaxFindings = 4;

// Checks, in this order, that the operation's workplace exists, that it
// belongs to the operation's work group, that its order exists and that its
// work group exists; writes one finding per failed check into out and
// returns their number.  Reads only; logs nothing.
int App_PlausiFindings(const PpsOperationRecord& afo, PlausiFinding out[kPlausiMaxFindings]);

// App_PlausiFindings, each finding logged as one "App_Plausi" entry in
// that order.  Returns 0.
int App_Plausi(const PpsOperationRecord& afo);

#endif  // PPS2BDE_DRIVER_PLAUSI_H_
