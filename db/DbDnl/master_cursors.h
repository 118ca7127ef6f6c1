// The cursors of the master-data downloads: work groups, workplaces, rows of
// Kvn521Ubg and Kvn510Prv due for download, and the cost centres.
//
// Every function returns the database status (0, 1403 after the last row,
// negative Oracle code) and logs nothing.  Each cursor exists once: open,
// fetch until the status is not 0, close.  An open closes its cursor first
// if it is open; a failed open leaves it closed.  A fetch writes the
// caller's record only on 0, -1455 and -1406, and a NULL column gives "" or
// 0.  -1455: a number of the row lies outside its field's range; -1406: a
// key, area key or badge number (ApgApg, ApgFbe; AplApl, AplApg, AplFbe;
// UbgUbg, UbgFbe; PrvPnr, PrvFbe, PrvAwn; FbeFbe) is longer than its field.
// The record then holds the row all the same (texts cut to their fields, a
// number that does not fit 0), for the caller to name it; such a row must
// not be sent or released, and the next fetch goes on with the next row.  The selector
// is the download marker of the rows to read (at most 8 characters); a
// longer one names no marker and the cursor opens empty.
#ifndef PPS2BDE_DB_DBDNL_MASTER_CURSORS_H_
#define PPS2BDE_DB_DBDNL_MASTER_CURSORS_H_

#include "db/Dbstd/apg.h"
#include "db/Dbstd/apl.h"
#include "db/Dbstd/prv.h"
#include "db/Dbstd/ubg.h"
#include "runtime/text.h"

// One row of the cost-centre download: a cost centre and an area of type 1.
struct KsgDnlRecord {
  Text<11> KstNum;
  Text<11> FbeFbe;
};

// Opens the cursor over the work groups with ApgDwn = selector that have a
// cost centre valid today in Kvn537Ksg (KsgGvo up to today, KsgGbi empty or
// from today on), ordered by ApgFbe.
int Apg_OpenDnl(const char* selector);
// Fetches the next work group into the 26 fields of the read by key, with
// the valid KsgKst in ApgKst; ApgDat keeps its content.
int Apg_FetchDnl(WorkGroupRecord& rec);
int Apg_CloseDnl();

// Opens the cursor over the workplaces with AplDwn = selector, by AplFbe.
int Apl_OpenDnl(const char* selector);
// Fetches the next workplace into the 37 fields of the read by key (AplUbg
// at most 4 characters, AplUdt as yyyymmddHHMMSS); AplDat keeps its content.
int Apl_FetchDnl(WorkplaceRecord& rec);
int Apl_CloseDnl();

// Opens the cursor over the Kvn521Ubg rows with UbgDwn = selector, by
// UbgFbe.
int Ubg_OpenDnl(const char* selector);
// Fetches the next row into the 21 fields UbgUbg to UbgErf; UbgDat keeps its
// content.
int Ubg_FetchDnl(UbgRecord& rec);
int Ubg_CloseDnl();

// Opens the cursor over the Kvn510Prv rows with PrvDwn = selector, by
// PrvFbe.
int Prv_OpenDnl(const char* selector);
// Fetches the next row into every field but PrvDat (which keeps its
// content): PrvGvo and PrvGbi as yyyymmdd, PrvAvn and PrvAbi as
// yyyymmddHHMMSS.
int Prv_FetchDnl(PrvRecord& rec);
int Prv_CloseDnl();

// Opens the cursor over every cost centre of o1003Kststelle joined with
// every Kvn559Fbe row of type 1, ordered by FbeFbe.  No selector.
int Ksg_OpenDnl();
// Fetches the next cost centre and area.
int Ksg_FetchDnl(KsgDnlRecord& rec);
int Ksg_CloseDnl();

#endif  // PPS2BDE_DB_DBDNL_MASTER_CURSORS_H_
