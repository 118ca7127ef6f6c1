// The terminal configuration table Kvn557Cfg: which terminal serves which
// ranges of area keys.
#ifndef PPS2BDE_DB_DBDNL_CFG_H_
#define PPS2BDE_DB_DBDNL_CFG_H_

#include <cstdint>

#include "base/text.h"

// One row of Kvn557Cfg.
struct CfgRecord {
  int32_t CfgDta = 0;  // terminal number: names the buffer file
  Text<16> CfgIP;      // network address
  Text<6> CfgPrt;      // port
  Text<31> CfgBez;
  Text<11> CfgTxt;
  int32_t CfgKr1 = 0;
  Text<11> CfgVn1;     // first range of area keys, from
  Text<11> CfgBi1;     //   to
  Text<31> CfgBz1;
  Text<11> CfgVn2;     // second range
  Text<11> CfgBi2;
  Text<31> CfgBz2;
  Text<11> CfgVn3;     // ranges three to five are carried but select nothing
  Text<11> CfgBi3;
  Text<31> CfgBz3;
  Text<11> CfgVn4;
  Text<11> CfgBi4;
  Text<31> CfgBz4;
  Text<11> CfgVn5;
  Text<11> CfgBi5;
  Text<31> CfgBz5;
  int32_t CfgSta = 0;
  Text<15> CfgDat;
  Text<9> CfgErf;
};

// Every function returns the database status (0, 1403 after the last row,
// negative Oracle code) and logs nothing.

// Opens the cursor over the terminals whose first or second range contains
// areaKey (at most 10 characters; both ends included, text comparison in
// the database), ordered by CfgDta.  Ranges three to five select nothing.
// A longer key lies in no range: the cursor opens empty.  An open cursor is
// closed first; a failed open leaves it closed.
[[nodiscard]] int Cfg_Open(const char* areaKey);
// Fetches the next terminal into rec, CfgDat as yyyymmddHHMMSS.  rec is
// written only on 0; NULL columns give "" or 0.
[[nodiscard]] int Cfg_Fetch(CfgRecord& rec);
// Closes the cursor; closing a closed cursor is 0.
[[nodiscard]] int Cfg_Close();

#endif  // PPS2BDE_DB_DBDNL_CFG_H_
