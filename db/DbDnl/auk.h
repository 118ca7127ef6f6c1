// The planning system's order interface table Kvn500Auk.
//
// Every function returns the database status (0, 1403, negative) and logs
// nothing.  There is one order cursor; its open, fetch and close are called
// in that order, and its rows stay as they were at open across the commits
// made between fetches.
#ifndef PPS2BDE_DB_DBDNL_AUK_H_
#define PPS2BDE_DB_DBDNL_AUK_H_

#include <cstdint>

#include "db/Dbstd/app.h"
#include "runtime/text.h"

// One row of Kvn500Auk.
struct PpsOrderRecord {
  Text<13> AukApk;       // order number, the key
  Text<31> AukBz1;
  Text<31> AukBz2;
  Text<11> AukTxt;
  int32_t AukSts = 0;    // 16-bit: PPS status; 9 asks for deletion
  int32_t AukAfo = 0;    // 16-bit; not taken over
  Text<8> AukKun;
  Text<31> AukKb1;
  Text<31> AukKb2;
  Text<9> AukBgs;        // text yyyymmdd in the interface table
  Text<9> AukEns;        // text yyyymmdd
  Text<21> AukTnr;
  Text<31> AukTb1;
  Text<31> AukTb2;
  double AukSme = 0;
  Text<4> AukMee;
  Text<31> AukZf1;
  Text<31> AukZf2;
  Text<31> AukZf3;
  Text<11> AukFbe;       // production area (area key)
  Text<11> AukKst;       // cost centre
};

// Opens the cursor over the rows with lower < AukApk < upper, ascending.
// Each bound is taken up to 12 characters; null is empty (no row matches).
// An open cursor is closed first.  Returns the status of the open.
// A bound longer than its field selects nothing.
int Auk_Open(const char* lower, const char* upper);
// Fetches the next row into rec: 0 with every field overwritten (a NULL
// column gives an empty text or 0), 1403 after the last row, or an error.
// A row that does not fit the record is delivered with its own status:
// -1455 when AukSts or AukAfo lies outside -32768..32767 or AukSme is not
// a finite number, -1406 when AukApk is longer than 12 characters.  rec
// then holds that row all the same, every text cut to its field (AukApk to
// its first 12 characters, which name the row in a message but may be
// another order's key) and each number that does not fit as 0; the caller
// names the row and does not act on it (it stays in the table), and the
// next fetch goes on with the next row.  On any other status rec is left
// as it was.
int Auk_Fetch(PpsOrderRecord& rec);
// Closes the cursor (closing a closed cursor is 0).
int Auk_Close();
// Deletes the row of this order number (up to 12 characters) and commits;
// 1403 when there is no such row, which changes nothing.
// A key longer than its column names no row: 1403, nothing deleted.
int Auk_PKeyDel(const char* orderNumber);
// Reads the planning order whose number the caller put into rec.AukApk and
// locks it for the rest of the unit of work the caller holds (the order
// cannot change or vanish before the unit commits).  On 0 every field is
// filled; otherwise rec keeps its key and every other field is empty or 0
// (1403: the row is gone).
int Auk_PKeyReadk(PpsOrderRecord& rec);
// Whether the order (up to 12 characters) still waits in Kvn500Auk: 0 it
// does, 1403 it does not, or an error.
int Auk_Waiting(const char* orderNumber);
// Sets AppDwn and AppDna of every operation of the order op.AppApk to the
// values of op; commits on 0 (1403 when the order has no operations).
int Apk_AppDel(const OperationRecord& op);

#endif  // PPS2BDE_DB_DBDNL_AUK_H_
