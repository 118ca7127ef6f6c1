// The statistics table Kvn542Dwn: one row per full run.
#ifndef PPS2BDE_DB_DBDNL_DWN_H_
#define PPS2BDE_DB_DBDNL_DWN_H_

#include <cstdint>

#include "base/text.h"

// The counts of one full run, stored as one row of Kvn542Dwn.
struct StatRecord {
  Text<9> DwnDtaDate;  // run start date yyyymmdd  -> DwnDta
  Text<7> DwnDtaTime;  // run start time HHMMSS    -> DwnDta
  int32_t DwnApk = 0;  // PPS orders read
  int32_t DwnApp = 0;  // PPS operations read
  int32_t DwnAuk = 0;  // PPS orders read (same count as DwnApk)
  int32_t DwnAfo = 0;  // PPS operations read (same count as DwnApp)
  int32_t DwnNeu = 0;  // rows inserted
  int32_t DwnAen = 0;  // rows updated
  int32_t DwnLoe = 0;  // rows marked as deleted
  Text<31> DwnZf1;
  Text<31> DwnZf2;
  Text<31> DwnZf3;
  Text<15> DwnDat;     // local time before the insert, ddmm20yyHHMMSS (not stored)
  Text<9> DwnErf;      // recorder
};

// Inserts rec as a new row: DwnDta from the date and time texts, DwnDat the
// database time.  Returns the status of the insert (committed on 0).
[[nodiscard]] int Dwn_PKeyIns(const StatRecord& rec);
// Rewrites the row whose DwnDat (to the second) and DwnErf match the
// record's run time stamp and recorder.
[[nodiscard]] int Dwn_PKeyUpd(const StatRecord& rec);
// Deletes the row whose DwnDat and DwnErf match the record's time stamp and
// recorder.
[[nodiscard]] int Dwn_PKeyDel(const StatRecord& rec);

#endif  // PPS2BDE_DB_DBDNL_DWN_H_
