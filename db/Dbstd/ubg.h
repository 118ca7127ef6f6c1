// The BDE table Kvn521Ubg: the record of one row.
//
// Widths follow the columns (VARCHAR2(n) is a text of n+1 bytes) and the
// download line that carries the row to the terminals, whose key field
// holds four characters.
#ifndef PPS2BDE_DB_DBSTD_UBG_H_
#define PPS2BDE_DB_DBSTD_UBG_H_

#include <cstdint>

#include "runtime/text.h"

// One row of Kvn521Ubg, fields in the select order of its statements.
// Integers travel as 32-bit values (the columns are NUMBER(4)).
struct UbgRecord {
  Text<5> UbgUbg;        // key, at most 4 characters
  int32_t UbgKnz = 0;    // 1: sent as "U", any other value as "S"
  Text<11> UbgFbe;       // area key: selects the terminal
  Text<31> UbgBez;
  Text<11> UbgTxt;
  Text<31> UbgZf1;
  Text<31> UbgZf2;
  Text<31> UbgZf3;
  double UbgAst = 0;
  double UbgRst = 0;
  double UbgAsf = 0;
  Text<11> UbgSt1;
  Text<11> UbgSt2;
  Text<11> UbgSt3;
  double UbgSf1 = 0;
  double UbgSf2 = 0;
  double UbgSf3 = 0;
  Text<4> UbgDna;        // change marker "NEU", "AEN", "LOE"
  Text<9> UbgDwn;        // change origin: selects rows for the download
  int32_t UbgSta = 0;
  Text<15> UbgDat;       // time of the last change, yyyymmddHHMMSS; no
                         // statement reads it, writes use the database clock
  Text<9> UbgErf;        // recorder
};

// Every function returns 0, 1403 (no row, no more rows, no row touched) or
// a negative database code.  The writes commit on 0 and roll back to their
// savepoint otherwise.

// Reads the row whose key is in rec.UbgUbg; on 0 every selected field is
// filled and UbgDat keeps its content; on any other status only the key
// stays and every other field (UbgDat included) is empty or 0.
int Ubg_PKeyReadk(UbgRecord& rec);
// Writes every field of rec to the row with rec.UbgUbg; UbgDat becomes the
// database time.  1403 when there is no such row.
int Ubg_PKeyUpd(const UbgRecord& rec);
// Deletes the row with that key.  1403 when there is none; a key longer
// than 4 characters names no row (1403, nothing deleted).
int Ubg_PKeyDel(const char* key);
// Opens the cursor over lower < UbgUbg < upper, ascending (the bounds are
// cut to 4 characters).  Closes a cursor left open first.
// A bound longer than its field selects nothing.
int Ubg_Open(const char* lower, const char* upper);
// Fills rec with the next row of that cursor on 0 (UbgDat keeps its
// content); 1403 after the last row; rec is unchanged unless 0.
int Ubg_Fetch(UbgRecord& rec);
// Closes that cursor; closing a closed cursor is 0.
int Ubg_Close();

#endif  // PPS2BDE_DB_DBSTD_UBG_H_
