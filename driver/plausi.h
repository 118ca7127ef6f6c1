// The plausibility check of one planning operation against the BDE master
// data.  It only reports; it never stops the transfer.
#ifndef PPS2BDE_DRIVER_PLAUSI_H_
#define PPS2BDE_DRIVER_PLAUSI_H_

#include "db/DbDnl/afo.h"

// Checks, in this order, that the operation's workplace exists, that it
// belongs to the operation's work group, that its order exists and that its
// work group exists; logs one "App_Plausi" entry per finding.  Returns 0.
int App_Plausi(const PpsOperationRecord& afo);

#endif  // PPS2BDE_DRIVER_PLAUSI_H_
