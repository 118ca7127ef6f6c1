// The planning system's operation interface table Kvn503Afo.
//
// Status codes as everywhere (0, 1403, negative); nothing is logged.  Two
// cursors exist, variant 1 ascending and variant 2 descending by order key.
#ifndef PPS2BDE_DB_DBDNL_AFO_H_
#define PPS2BDE_DB_DBDNL_AFO_H_

#include <cstdint>

#include "runtime/text.h"

// One row of Kvn503Afo.
struct PpsOperationRecord {
  Text<13> AfoApk;       // order key
  Text<6> AfoApp;        // operation within the order
  Text<6> AfoVaf;
  Text<6> AfoNaf;
  Text<31> AfoBz1;
  Text<31> AfoBz2;
  Text<11> AfoTxt;
  int32_t AfoSts = 0;    // 16-bit: PPS status; 9 asks for deletion
  Text<9> AfoBgs;        // text yyyymmdd
  Text<7> AfoBgz;        // text HHMMSS
  Text<9> AfoEns;        // text yyyymmdd
  Text<7> AfoEnz;        // text HHMMSS
  int32_t AfoAgs = 0;    // 16-bit
  double AfoSme = 0;
  Text<4> AfoMee;
  double AfoSta = 0;
  double AfoStr = 0;
  double AfoSte = 0;
  Text<11> AfoApg;       // work group
  Text<11> AfoApl;       // workplace
  Text<31> AfoZf1;
  Text<31> AfoZf2;
  Text<31> AfoZf3;
  Text<11> AfoKst;
  Text<11> AfoFbe;
};

// Opens cursor `variant` (1 ascending, 2 descending by AfoApk; AfoApp is not
// sorted) over the rows with lower < AfoApk < upper.  Each bound is taken up
// to 12 characters.  Any other variant does nothing and returns 0.
// A bound longer than its field selects nothing.
int Afo_Open(const char* lower, const char* upper, int variant);
// Fetches the next row of that cursor into rec: 0 with every field
// overwritten (a NULL column gives an empty text or 0), 1403 after the last
// row, or an error.  A variant other than 1 or 2 has no cursor: -1001
// (invalid cursor).  A row that does not fit the record is delivered with
// its own status: -1455 when AfoSts or AfoAgs lies outside -32768..32767
// or one of AfoSme, AfoSta, AfoStr, AfoSte is not a finite number, -1406
// when AfoApk is longer than 12 or AfoApp longer than 5 characters.  rec
// then holds that row all the same, every text cut to its field (the key
// fields name the row in a message but may be another row's key) and each
// number that does not fit as 0; the caller names the row and does not act
// on it (it stays in the table), and the next fetch goes on with the next
// row.  On any other status rec is left as it was.
int Afo_Fetch(PpsOperationRecord& rec, int variant);
// Closes that cursor; 0 also when it was closed or the variant is unknown.
int Afo_Close(int variant);
// Reads the planning operation whose key the caller put into rec.AfoApk and
// rec.AfoApp and locks it for the rest of the unit of work the caller holds.
// On 0 every field is filled; otherwise rec keeps its key and every other
// field is empty or 0 (1403: the row is gone).
int Afo_PKeyReadk(PpsOperationRecord& rec);
// Deletes the row with rec's AfoApk and AfoApp and commits; 1403 when there
// is no such row, which changes nothing.
int Afo_PKeyDel(const PpsOperationRecord& rec);

#endif  // PPS2BDE_DB_DBDNL_AFO_H_
