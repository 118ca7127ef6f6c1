// The BDE workplace table Kvn531Apl.
//
// Status codes as everywhere (0, 1403, negative); nothing is logged.
#ifndef PPS2BDE_DB_DBSTD_APL_H_
#define PPS2BDE_DB_DBSTD_APL_H_

#include <cstdint>

#include "runtime/text.h"

// One row of Kvn531Apl.
struct WorkplaceRecord {
  Text<11> AplApl;       // key
  Text<31> AplBez;
  Text<11> AplTxt;
  Text<11> AplApg;       // work group of the workplace
  Text<11> AplFbe;
  int32_t AplSts = 0;    // 16-bit
  int32_t AplSis = 0;    // 16-bit
  int32_t AplApr = 0;
  int32_t AplAaf = 0;
  Text<6> AplUbg;        // the statements carry at most 4 characters
  Text<15> AplUdt;       // date-time as yyyymmddHHMMSS
  Text<31> AplZf1;
  Text<31> AplZf2;
  Text<31> AplZf3;
  int32_t AplTag = 0;
  double AplVrf = 0;
  double AplRsp = 0;
  double AplRsi = 0;
  double AplAfp = 0;
  double AplAfi = 0;
  double AplPau = 0;
  double AplUnt = 0;
  double AplIak = 0;
  int32_t AplAvt = 0;
  double AplKap = 0;
  double AplAvr = 0;
  double AplAvp = 0;
  Text<11> AplSt1;
  Text<11> AplSt2;
  Text<11> AplSt3;
  double AplSf1 = 0;
  double AplSf2 = 0;
  double AplSf3 = 0;
  Text<4> AplDna;        // change marker
  Text<9> AplDwn;        // change origin
  int32_t AplSta = 0;    // 16-bit
  Text<15> AplDat;       // time of the last change; no statement reads it
  Text<9> AplErf;        // recorder
};

// Reads the workplace whose key is in rec.AplApl; as Apg_PKeyReadk.
int Apl_PKeyReadk(WorkplaceRecord& rec);
// Writes every field of rec to the row whose AplApl is rec.AplApl: AplUbg
// up to 4 characters, AplUdt converted from yyyymmddHHMMSS (empty is NULL,
// an invalid time fails with its conversion error); AplDat becomes the
// database time whatever rec holds there.  Commits on 0; 1403 when there is
// no such row (nothing changes).
int Apl_PKeyUpd(const WorkplaceRecord& rec);
// Deletes the workplace with this key (up to 10 characters) and commits;
// 1403 when there is none.
// A key longer than its column names no row: 1403, nothing deleted.
int Apl_PKeyDel(const char* key);
// Opens the cursor over lower < AplApl < upper (bounds up to 10 characters,
// both excluded), ascending.  An open cursor is closed first.
// A bound longer than its field selects nothing.
int Apl_Open(const char* lower, const char* upper);
// Fetches the next workplace of that cursor into rec as Apl_PKeyReadk fills
// it (AplDat kept); 1403 after the last; rec is written only on 0.
int Apl_Fetch(WorkplaceRecord& rec);
// Closes the range cursor (closing a closed cursor is 0).
int Apl_Close();
// Opens the cursor over the workplaces whose AplApg is workGroup (up to 10
// characters), ascending by AplApl.  An open cursor is closed first.
int Apl_OpenApg(const char* workGroup);
// Fetches the next workplace of the work-group cursor, as Apl_Fetch.
int Apl_FetchApg(WorkplaceRecord& rec);
// Closes the work-group cursor (closing a closed cursor is 0).
int Apl_CloseApg();

#endif  // PPS2BDE_DB_DBSTD_APL_H_
