// The download queue table Kvn540Dnl and the queue record.
//
// Other jobs fill the queue; the queue mode reads one batch of it (the rows
// of one time stamp and one recorder).  The downloads use the same record to
// carry one download line to the buffer writer.
#ifndef PPS2BDE_DB_DBDNL_DNL_H_
#define PPS2BDE_DB_DBDNL_DNL_H_

#include <cstdint>

#include "runtime/text.h"

struct QueueRecord {
  Text<9> DnlDtaDate;  // DnlDta date part yyyymmdd (a download: the run date)
  Text<7> DnlDtaTime;  // DnlDta time part HHMMSS (a download: the run time)
  int32_t DnlLfn = 0;  // running number
  Text<4> DnlVkz;
  Text<6> DnlBer;      // the column holds up to 10 characters; 5 are kept
  Text<4> DnlFun;      // change marker: the download function
  Text<4> DnlSkz;      // row kind: "APK" order, "APP" operation
  Text<9> DnlPnr;
  Text<13> DnlApk;     // order number
  Text<6> DnlApp;      // operation number
  Text<11> DnlApl;     // workplace
  Text<258> DnlDnl;    // payload (a download carries up to 257 characters)
  Text<15> DnlDat;     // insertion time; neither fetched nor bound
  Text<9> DnlErf;      // recorder
};

// Opens the queue cursor over the rows whose DnlDta, as yyyymmddHHMMSS,
// equals the time-stamp key of date and time, and whose DnlErf equals
// recorder; ordered by DnlSkz ("APK" rows before "APP" rows).  The texts
// are cut to 8, 6 and 8 characters.
int Dnl_Open(const char* date, const char* time, const char* recorder);
// Fetches the next row; on 0 every field but DnlDat is filled (DnlBer cut
// to 5 characters).  A row that does not fit the record is delivered with
// its own status: -1406 when DnlApk is longer than 12 or DnlApp longer than
// 5 characters, -1455 when DnlLfn lies outside 32 bits.  rec then holds
// that row all the same, every text cut to its field (DnlApk and DnlApp
// name the row in a message but may be another order's or operation's
// number) and DnlLfn 0 when it does not fit; the caller names the row and
// does not act on it, and the next fetch goes on with the next row.  On
// any other status rec is unchanged.
int Dnl_Fetch(QueueRecord& rec);
int Dnl_Close();

// Inserts rec with DnlDta and DnlDat set to the database time.
int Dnl_PKeyIns(const QueueRecord& rec);
// Deletes the row of the record's time stamp, recorder and running number.
int Dnl_PKeyDel(const QueueRecord& rec);

#endif  // PPS2BDE_DB_DBDNL_DNL_H_
