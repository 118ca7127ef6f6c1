// Releasing a row after its download line was written: the download marker
// and function are cleared, or the row is deleted when it was sent as
// deleted ("LOE").
#ifndef PPS2BDE_DB_DBDB_RELEASE_H_
#define PPS2BDE_DB_DBDB_RELEASE_H_

#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"

// Each release is one unit of work: read, write and count commit together
// or not at all (a negative status means nothing was changed; the row stays
// marked and is sent again).  A failed commit is logged like the write it
// was for.
//
// Releases the order as the download cursor fetched it.  The order is read
// again by its number into a fresh record (a failure is logged and
// returned).  Sent with "LOE" it is deleted; otherwise ApkDwn and ApkDna of
// the fresh record are cleared and the record is written back, so changes
// made since the fetch survive.  A failed delete or update is logged under
// "ApkDnl".  Returns the status of the last statement.
int Apk_Frei(const OrderRecord& fetched);

// Releases the operation as the download cursor fetched it.  Sent with
// "LOE" it is deleted (a failure is logged under "App_Frei" and returned)
// and its order's ApkAfo is lowered by 1.  Otherwise the operation is read
// again, AppDwn and AppDna are cleared and the row written back (a failure
// is logged under "APP_Frei" and returned); sent with "NEU" its order's
// ApkAfo is raised by 1.  A failed update of the order is logged under
// "App_Frei" as "Fehler bei Apk_PKeyUpd"; an order that is gone (1403) has
// no count to change.  Returns 0 when everything succeeded.
int App_Frei(const OperationRecord& fetched);

#endif  // PPS2BDE_DB_DBDB_RELEASE_H_
