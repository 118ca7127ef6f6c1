// The column description of the work-group record, shared by the statements
// on Kvn530Apg and its download cursor.  ApgDat is not described: no
// statement reads it, and the update sets it from the database clock.
#ifndef PPS2BDE_DB_DBSTD_APG_FIELDS_H_
#define PPS2BDE_DB_DBSTD_APG_FIELDS_H_

#include <cstdint>

#include "db/Dbstd/apg.h"
#include "sql/record.h"

enum ApgField : uint8_t {
  kApgApg, kApgBez, kApgTxt, kApgKst, kApgFbe, kApgZf1, kApgZf2,
  kApgZf3, kApgApl, kApgTag, kApgKap, kApgPrd, kApgRst, kApgPau,
  kApgUnt, kApgIak, kApgSt1, kApgSt2, kApgSt3, kApgSf1, kApgSf2,
  kApgSf3, kApgDna, kApgDwn, kApgSta, kApgErf,
  kApgFieldCount
};

extern const sql::Field kApgFields[kApgFieldCount];

// The 26 columns of the read by key and the cursors, in select order.
constexpr int kApgSelectCount = 26;
extern const uint8_t kApgSelectOrder[kApgSelectCount];

#endif  // PPS2BDE_DB_DBSTD_APG_FIELDS_H_
