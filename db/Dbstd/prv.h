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

// Reads the row whose key is in rec.PrvPnr; on any status but 0 only the
// key stays and every other field is empty or 0.
int Prv_PKeyReadk(PrvRecord& rec);
// Inserts rec; an empty PrvFbe is first filled from the Kvn559Fbe row of
// type 1.
int Prv_PKeyIns(PrvRecord& rec);
// Empties Kvn510Prv.
int Prv_Delete();
int Prv_PKeyUpd(const PrvRecord& rec);
int Prv_PKeyDel(const char* key);
// Cursor over lower <= PrvPnr <= upper whose validity has begun.
int Prv_Open(const char* lower, const char* upper);
int Prv_Fetch(PrvRecord& rec);
int Prv_Close();
// The row of badge number rec.PrvAwn valid today.
int Prv_ReadAwn(PrvRecord& rec);
int Prv_OpenAwn(const char* badge);
int Prv_FetchAwn(PrvRecord& rec);
int Prv_CloseAwn();

#endif  // PPS2BDE_DB_DBSTD_PRV_H_
