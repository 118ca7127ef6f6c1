// The cost centres of the work groups, Kvn537Ksg: one row per work group and
// start of validity.
#ifndef PPS2BDE_DB_DBSTD_KSG_H_
#define PPS2BDE_DB_DBSTD_KSG_H_

#include <cstdint>

#include "runtime/text.h"

struct KsgRecord {
  Text<11> KsgApg;       // work group, key
  Text<11> KsgKst;       // cost centre
  Text<9> KsgGvo;        // valid from yyyymmdd, key
  Text<9> KsgGbi;        // valid to yyyymmdd (empty: open-ended)
  Text<11> KsgFbe;
  Text<31> KsgZf1;
  Text<31> KsgZf2;
  Text<31> KsgZf3;
  int32_t KsgSta = 0;
  Text<15> KsgDat;       // time of the last change; writes use the database clock
  Text<9> KsgErf;
};

// Every function returns 0, 1403 (no row, no more rows, no row touched) or
// a negative database code.  The writes commit on 0 and roll back to their
// savepoint otherwise.  Dates are yyyymmdd texts.

// Reads the row of rec.KsgApg and rec.KsgGvo; on 0 every field but KsgDat
// is filled; on any other status only KsgApg and KsgGvo stay and every
// other field (KsgDat included) is empty or 0.
int Ksg_PKeyReadk(KsgRecord& rec);
// Reads KsgApg and KsgKst of the row of rec.KsgApg valid today (start
// included, end excluded); the other fields are not touched.  1403 when no
// row is valid, -2112 when several are; rec is unchanged unless 0.
int Ksg_ReadValid(KsgRecord& rec);
// Writes KsgGbi, KsgFbe, KsgZf1 to KsgZf3, KsgSta, KsgErf and KsgKst of rec
// to the row of rec.KsgApg and rec.KsgGvo; KsgDat becomes the database
// time.  1403 when there is no such row.
int Ksg_PKeyUpd(const KsgRecord& rec);
// Deletes the row of that work group and start of validity (yyyymmdd).
// 1403 when there is none; a key part longer than its column names no row
// (1403, nothing deleted).
int Ksg_PKeyDel(const char* workGroup, const char* validFrom);
// Opens the cursor over the rows of lower <= KsgApg <= upper (bounds cut to
// 10 characters) valid today (end included), by KsgGvo.
// A bound longer than its field selects nothing.
int Ksg_Open(const char* lower, const char* upper);
// Fills rec with the next row of that cursor on 0 (KsgDat keeps its
// content); 1403 after the last row; rec is unchanged unless 0.
int Ksg_Fetch(KsgRecord& rec);
// Closes that cursor; closing a closed cursor is 0.
int Ksg_Close();

#endif  // PPS2BDE_DB_DBSTD_KSG_H_
