// The two transfer steps of the full run: planning orders and operations
// into the BDE tables.
#ifndef PPS2BDE_DRIVER_TRANSFER_H_
#define PPS2BDE_DRIVER_TRANSFER_H_

#include "db/DbDnl/dwn.h"

// Takes every row of Kvn500Auk over into Kvn501Apk (insert, update, logical
// deletion or drop) and removes it; counts into stat.  Returns the status of
// the cursor open when it fails, else of the cursor close.
[[nodiscard]] int Auk_To_Apk(StatRecord& stat);
// The same for Kvn503Afo into Kvn504App, after the plausibility check.
[[nodiscard]] int Afo_To_App(StatRecord& stat);

#endif  // PPS2BDE_DRIVER_TRANSFER_H_
