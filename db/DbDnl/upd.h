// The download range table Kvn543Upd: one row under the key "UPD" with the
// key ranges of a download, and its reset after the download.
//
// Both functions return the database status (0, 1403 when the row is
// missing, negative Oracle code) and log nothing.
#ifndef PPS2BDE_DB_DBDNL_UPD_H_
#define PPS2BDE_DB_DBDNL_UPD_H_

#include "base/text.h"

// The ranges of the "UPD" row; each pair is a lower and an upper end.
struct DownloadRangeRecord {
  Text<13> UpdAkv;       // orders
  Text<13> UpdAkb;
  Text<13> UpdAav;
  Text<13> UpdAab;
  Text<6> UpdApv;        // operations
  Text<6> UpdApb;
  Text<11> UpdAlv;       // workplaces
  Text<11> UpdAlb;
  Text<11> UpdAgv;       // work groups
  Text<11> UpdAgb;
  Text<6> UpdUgv;
  Text<6> UpdUgb;
  Text<6> UpdAuv;
  Text<6> UpdAub;
  Text<9> UpdPvv;
  Text<9> UpdPvb;
  Text<6> UpdKsv;
  Text<6> UpdKsb;
};

// Reads the 18 ranges of the "UPD" row into rec.  On any status but 0 every
// range of rec is emptied, so the caller sees empty ranges.
[[nodiscard]] int Upd_PKeyReadk(DownloadRangeRecord& rec);

// Resets the "UPD" row: every range becomes blanks over its column width,
// UpdDat the database time and UpdErf "Download"; commits on 0.  1403 when
// the row is missing (nothing changes).
[[nodiscard]] int Upd_PKeyUpd();

#endif  // PPS2BDE_DB_DBDNL_UPD_H_
