// Parameter switches by code and validity period (Kvn591Nzp), and the
// process-wide switches loaded from them.
//
// The statement functions return the database status (0, 1403 no row,
// negative Oracle code; -2112 when more than one row of a code is valid)
// and log nothing.
#ifndef PPS2BDE_DB_DBSTD_PARAMETERS_H_
#define PPS2BDE_DB_DBSTD_PARAMETERS_H_

#include <cstdint>

#include "base/text.h"

// One row of Kvn591Nzp; NzpAkz, NzpGvn and NzpGbi are its key.
struct NzpRecord {
  int32_t NzpAkz = 0;    // code
  Text<9> NzpGvn;        // valid from, yyyymmdd
  Text<9> NzpGbi;        // valid to, yyyymmdd
  int32_t NzpAak = 0;    // 1: the switch of the code is on
  int32_t NzpAwt = 0;
  int32_t NzpKjh = 0;
  int32_t NzpKmn = 0;
  int32_t NzpKwo = 0;
  int32_t NzpKtg = 0;
  int32_t NzpAan = 0;
  int32_t NzpVfh = 0;
  int32_t NzpNfh = 0;
  int32_t NzpAus = 0;
  int32_t NzpMrk = 0;    // 1: the mark of the code is on
};

// Reads the row of code rec.NzpAkz valid today: begun before today and
// ending after today (both days excluded).  On any status but 0 only NzpAkz
// stays and every other field is empty or 0.
[[nodiscard]] int Nzp_Read(NzpRecord& rec);

// Writes NzpAan, NzpVfh, NzpNfh and NzpAus of rec, and the database time as
// NzpAdt, to the row of rec.NzpAkz, rec.NzpGvn and rec.NzpGbi; commits on 0.
// 1403 when there is no such row (nothing changes).
[[nodiscard]] int Nzp_PKeyUpd(const NzpRecord& rec);

// The process-wide switches, indexed by code.  Each is 1 or 0.
struct NzpSwitches {
  int32_t aak[10];  // NzpAak is 1 in the row of the code valid today
                    // (codes 1, 2, 3, 4, 5, 7 and 9)
  int32_t mrk[10];  // NzpMrk is 1 in that row (codes 1, 2, 3, 4, 5, 7)
  int32_t flag;     // the global flag: set together with aak[9]
};

// Clears every switch, then reads with Nzp_Read the codes 1, 2, 3, 4, 7 and
// 5, setting aak and mrk of each code whose row was found, and last code 9,
// setting aak[9] and flag when its row was found with NzpAak 1.  A code
// whose read fails leaves its switches 0.  Returns the status of the code-9
// read.
[[nodiscard]] int Nzp_LoadSwitches();

// The switches as the last Nzp_LoadSwitches left them (all 0 before).
const NzpSwitches& Nzp_Switches();

#endif  // PPS2BDE_DB_DBSTD_PARAMETERS_H_
