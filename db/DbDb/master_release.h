// Releasing a master-data row after its download line was written: the row
// is read again, then deleted when it was sent as deleted, or written back
// with its download marker and function cleared.
//
// Each function takes the row as the download cursor fetched it and works
// on a fresh copy read by the row's key, so changes made since the fetch
// survive and the caller's record stays as fetched.  A failed delete or
// update is logged (kind FMSG, the status as error code); the result is the
// status of the last statement.
#ifndef PPS2BDE_DB_DBDB_MASTER_RELEASE_H_
#define PPS2BDE_DB_DBDB_MASTER_RELEASE_H_

#include "db/Dbstd/apg.h"
#include "db/Dbstd/apl.h"
#include "db/Dbstd/prv.h"
#include "db/Dbstd/ubg.h"

// Releases the work group ApgApg.  A failed read again is returned (not
// logged) and nothing is written.  When the row now holds ApgDna "LOE" it
// is deleted (failure logged "Apg_Frei" / "Fehler bei Apg_PKeyDel");
// otherwise ApgDwn and ApgDna are cleared (failure logged "ApgDnl" /
// "Fehler bei Apg_PKeyUpd").  The cost centre written back is the row's
// own ApgKst, not the one the download cursor joined in.
[[nodiscard]] int Apg_Frei(const WorkGroupRecord& fetched);
// The same for the workplace AplApl ("Apl_Frei" / "Fehler bei
// Apl_PKeyDel", "AplDnl" / "Fehler bei Apl_PKeyUpd").
[[nodiscard]] int Apl_Frei(const WorkplaceRecord& fetched);
// The same for the Kvn521Ubg row UbgUbg ("Ubg_Frei" / "Fehler bei
// Ubg_PKeyDel", "UbgDnl" / "Fehler bei Ubg_PKeyUpd").
[[nodiscard]] int Ubg_Frei(const UbgRecord& fetched);
// Releases the Kvn510Prv row PrvPnr.  A failed read again is logged
// ("PrvDnl" / "Fehler bei Prv_PKeyReadk") and returned.  A row that now
// holds PrvDna "LOE" and PrvAwa 3 is deleted (failure logged "Prv_Frei" /
// "Fehler bei Prv_PKeyDel").  Otherwise PrvDwn and PrvDna are cleared, and
// for "LOE" also the badge: PrvAwn, PrvGvo, PrvGbi, PrvAvn, PrvAbi emptied
// and PrvAnw, PrvApl, PrvApp set to 0; the row is written back (failure
// logged "PrvDnl" / "Fehler bei Prv_PKeyUpd").
[[nodiscard]] int Prv_Frei(const PrvRecord& fetched);

#endif  // PPS2BDE_DB_DBDB_MASTER_RELEASE_H_
