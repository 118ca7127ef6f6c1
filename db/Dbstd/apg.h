// The BDE work-group table Kvn530Apg.
//
// Status codes as everywhere (0, 1403, negative); nothing is logged.
#ifndef PPS2BDE_DB_DBSTD_APG_H_
#define PPS2BDE_DB_DBSTD_APG_H_

#include <cstdint>

#include "runtime/text.h"

// One row of Kvn530Apg.
struct WorkGroupRecord {
  Text<11> ApgApg;       // key
  Text<31> ApgBez;
  Text<11> ApgTxt;
  Text<11> ApgKst;
  Text<11> ApgFbe;
  Text<31> ApgZf1;
  Text<31> ApgZf2;
  Text<31> ApgZf3;
  int32_t ApgApl = 0;
  int32_t ApgTag = 0;
  double ApgKap = 0;
  double ApgPrd = 0;
  double ApgRst = 0;
  double ApgPau = 0;
  double ApgUnt = 0;
  double ApgIak = 0;
  Text<11> ApgSt1;
  Text<11> ApgSt2;
  Text<11> ApgSt3;
  double ApgSf1 = 0;
  double ApgSf2 = 0;
  double ApgSf3 = 0;
  Text<4> ApgDna;        // change marker
  Text<9> ApgDwn;        // change origin
  int32_t ApgSta = 0;    // 16-bit
  Text<15> ApgDat;       // time of the last change; no statement reads it
  Text<9> ApgErf;        // recorder
};

// Reads the work group whose key is in rec.ApgApg.  On 0 the 26 selected
// fields are filled and ApgDat keeps its content; otherwise only the key
// stays and every other field (ApgDat too) is empty or 0.
int Apg_PKeyReadk(WorkGroupRecord& rec);
// Writes every field of rec to the row whose ApgApg is rec.ApgApg; ApgDat
// becomes the database time whatever rec holds there.  Commits on 0; 1403
// when there is no such row (nothing changes).
int Apg_PKeyUpd(const WorkGroupRecord& rec);
// Deletes the work group with this key (up to 10 characters) and commits;
// 1403 when there is none.
// A key longer than its column names no row: 1403, nothing deleted.
int Apg_PKeyDel(const char* key);
// Opens the cursor over lower < ApgApg < upper (bounds up to 10 characters,
// both excluded), ascending.  An open cursor is closed first.
// A bound longer than its field selects nothing.
int Apg_Open(const char* lower, const char* upper);
// Fetches the next work group into rec as Apg_PKeyReadk fills it (ApgDat
// kept); 1403 after the last; rec is written only on 0.
int Apg_Fetch(WorkGroupRecord& rec);
// Closes the cursor (closing a closed cursor is 0).
int Apg_Close();

#endif  // PPS2BDE_DB_DBSTD_APG_H_
