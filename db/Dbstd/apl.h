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
int Apl_PKeyUpd(const WorkplaceRecord& rec);
int Apl_PKeyDel(const char* key);
// Cursor over lower < AplApl < upper, ascending.
int Apl_Open(const char* lower, const char* upper);
int Apl_Fetch(WorkplaceRecord& rec);
int Apl_Close();
// Cursor over the workplaces of one work group, ascending by AplApl.
int Apl_OpenApg(const char* workGroup);
int Apl_FetchApg(WorkplaceRecord& rec);
int Apl_CloseApg();

#endif  // PPS2BDE_DB_DBSTD_APL_H_
