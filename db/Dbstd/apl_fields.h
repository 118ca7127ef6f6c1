// The column description of the workplace record, shared by the statements
// on Kvn531Apl and its download cursor.  AplDat is not described: no
// statement reads it, and the update sets it from the database clock.
#ifndef PPS2BDE_DB_DBSTD_APL_FIELDS_H_
#define PPS2BDE_DB_DBSTD_APL_FIELDS_H_

#include <cstdint>

#include "db/Dbstd/apl.h"
#include "sql/record.h"

enum AplField : uint8_t {
  kAplApl, kAplBez, kAplTxt, kAplApg, kAplFbe, kAplSts, kAplSis,
  kAplApr, kAplAaf, kAplUbg, kAplUdt, kAplZf1, kAplZf2, kAplZf3,
  kAplTag, kAplVrf, kAplRsp, kAplRsi, kAplAfp, kAplAfi, kAplPau,
  kAplUnt, kAplIak, kAplAvt, kAplKap, kAplAvr, kAplAvp, kAplSt1,
  kAplSt2, kAplSt3, kAplSf1, kAplSf2, kAplSf3, kAplDna, kAplDwn,
  kAplSta, kAplErf,
  kAplFieldCount
};

extern const sql::Field kAplFields[kAplFieldCount];

// The 37 columns of the reads and the cursors, in select order.
constexpr int kAplSelectCount = 37;
extern const uint8_t kAplSelectOrder[kAplSelectCount];

#endif  // PPS2BDE_DB_DBSTD_APL_FIELDS_H_
