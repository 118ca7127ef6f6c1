// The column description of the Kvn521Ubg record, shared by its statements
// and its download cursor.  UbgDat is not described: no statement reads it.
#ifndef PPS2BDE_DB_DBSTD_UBG_FIELDS_H_
#define PPS2BDE_DB_DBSTD_UBG_FIELDS_H_

#include <cstdint>

#include "db/Dbstd/ubg.h"
#include "sql/record.h"

enum UbgField : uint8_t {
  kUbgUbg, kUbgKnz, kUbgFbe, kUbgBez, kUbgTxt, kUbgZf1, kUbgZf2, kUbgZf3,
  kUbgAst, kUbgRst, kUbgAsf, kUbgSt1, kUbgSt2, kUbgSt3, kUbgSf1, kUbgSf2,
  kUbgSf3, kUbgDna, kUbgDwn, kUbgSta, kUbgErf,
  kUbgFieldCount
};

extern const sql::Field kUbgFields[kUbgFieldCount];

// The 21 columns of the reads and the cursors, in select order.
constexpr int kUbgSelectCount = 21;
extern const uint8_t kUbgSelectOrder[kUbgSelectCount];

#endif  // PPS2BDE_DB_DBSTD_UBG_FIELDS_H_
