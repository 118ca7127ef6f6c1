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

// Reads the row of rec.KsgApg and rec.KsgGvo.
int Ksg_PKeyReadk(KsgRecord& rec);
// Reads KsgApg and KsgKst of the row of rec.KsgApg valid today (start
// included, end excluded).
int Ksg_ReadValid(KsgRecord& rec);
int Ksg_PKeyUpd(const KsgRecord& rec);
int Ksg_PKeyDel(const char* workGroup, const char* validFrom);
// Cursor over the rows of lower <= KsgApg <= upper valid today (end
// included), by KsgGvo.
int Ksg_Open(const char* lower, const char* upper);
int Ksg_Fetch(KsgRecord& rec);
int Ksg_Close();

#endif  // PPS2BDE_DB_DBSTD_KSG_H_
