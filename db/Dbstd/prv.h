// The BDE personnel table Kvn510Prv: the record of one row.
//
// Widths follow the columns (VARCHAR2(n) is a text of n+1 bytes).  Date
// columns travel as texts: the validity dates PrvGvo and PrvGbi as yyyymmdd
// (9 bytes), the date-times PrvAvn and PrvAbi as yyyymmddHHMMSS (15 bytes).
#ifndef PPS2BDE_DB_DBSTD_PRV_H_
#define PPS2BDE_DB_DBSTD_PRV_H_

#include <cstdint>

#include "runtime/text.h"

// One row of Kvn510Prv, fields in the column order of the table.  Integers
// travel as 32-bit values.
struct PrvRecord {
  Text<9> PrvPnr;        // personnel number, key
  Text<9> PrvGvo;        // valid from, yyyymmdd
  Text<9> PrvGbi;        // valid to, yyyymmdd
  int32_t PrvBer = 0;    // 1: sent as "A", 2: as "M"
  Text<11> PrvKst;       // cost centre
  Text<11> PrvFbe;       // area key: selects the terminal
  Text<11> PrvMmb;
  Text<31> PrvZf1;
  Text<31> PrvZf2;
  Text<31> PrvZf3;
  int32_t PrvSta = 0;
  Text<15> PrvDat;       // time of the last change, yyyymmddHHMMSS; no
                         // statement reads it, writes use the database clock
  Text<9> PrvErf;        // recorder
  Text<4> PrvDna;        // change marker "NEU", "AEN", "LOE"
  Text<9> PrvDwn;        // change origin: selects rows for the download
  Text<9> PrvAwn;        // badge number
  int32_t PrvAwa = 0;
  int32_t PrvAnw = 0;
  int32_t PrvApl = 0;
  int32_t PrvApp = 0;
  int32_t PrvPzm = 0;
  Text<15> PrvAvn;       // yyyymmddHHMMSS
  Text<15> PrvAbi;       // yyyymmddHHMMSS
  Text<31> PrvNam;
  Text<31> PrvStr;
  Text<31> PrvOrt;
};

// Every function returns 0, 1403 (no row, no more rows, no row touched) or
// a negative database code.  The writes commit on 0 and roll back to their
// savepoint otherwise.  "Valid today" compares with the database's date:
// PrvGvo <= today and (PrvGbi >= today or no PrvGbi).

// Reads the row whose key is in rec.PrvPnr; on 0 every selected field is
// filled and PrvDat keeps its content; on any other status only the key
// stays and every other field (PrvDat included) is empty or 0.
int Prv_PKeyReadk(PrvRecord& rec);
// Inserts rec with PrvDat the database time.  An empty PrvFbe is first
// filled, in rec too, with the FbeFbe of the Kvn559Fbe row of type 1; when
// that read finds no single row the field stays empty and the row is
// inserted all the same.  -1 when the key exists.
int Prv_PKeyIns(PrvRecord& rec);
// Deletes every row of Kvn510Prv; 1403 when the table was empty.
int Prv_Delete();
// Writes every field of rec but the key to the row with rec.PrvPnr; PrvDat
// becomes the database time.  1403 when there is no such row.
int Prv_PKeyUpd(const PrvRecord& rec);
// Deletes the row with that key.  1403 when there is none; a key longer
// than 8 characters names no row (1403, nothing deleted).
int Prv_PKeyDel(const char* key);
// Opens the cursor over lower <= PrvPnr <= upper (bounds cut to 8
// characters) whose validity has begun or has no start, by PrvPnr.
// A bound longer than its field selects nothing.
int Prv_Open(const char* lower, const char* upper);
// Fills rec with the next row of that cursor on 0 (PrvDat keeps its
// content); 1403 after the last row; rec is unchanged unless 0.
int Prv_Fetch(PrvRecord& rec);
// Closes that cursor; closing a closed cursor is 0.
int Prv_Close();
// Reads the row of badge number rec.PrvAwn valid today.  0 fills every
// selected field; 1403 when there is none, -2112 when several are valid;
// rec is unchanged unless 0.
int Prv_ReadAwn(PrvRecord& rec);
// Opens the cursor over the rows of that badge valid today, by PrvPnr.  A
// badge longer than 8 characters matches no row.
int Prv_OpenAwn(const char* badge);
// Fills rec with the next row of that cursor on 0; 1403 after the last
// row; rec is unchanged unless 0.
int Prv_FetchAwn(PrvRecord& rec);
// Closes that cursor; closing a closed cursor is 0.
int Prv_CloseAwn();

#endif  // PPS2BDE_DB_DBSTD_PRV_H_
