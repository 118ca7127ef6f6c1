// The column description of the Kvn510Prv record, shared by its statements
// and its download cursor.  PrvDat is not described: no statement reads it.
#ifndef PPS2BDE_DB_DBSTD_PRV_FIELDS_H_
#define PPS2BDE_DB_DBSTD_PRV_FIELDS_H_

#include <cstdint>

#include "db/Dbstd/prv.h"
#include "sql/record.h"

enum PrvField : uint8_t {
  kPrvPnr, kPrvGvo, kPrvGbi, kPrvBer, kPrvKst, kPrvFbe, kPrvMmb, kPrvZf1,
  kPrvZf2, kPrvZf3, kPrvSta, kPrvErf, kPrvDna, kPrvDwn, kPrvAwn, kPrvAwa,
  kPrvAnw, kPrvApl, kPrvApp, kPrvPzm, kPrvAvn, kPrvAbi, kPrvNam, kPrvStr,
  kPrvOrt,
  kPrvFieldCount
};

extern const sql::Field kPrvFields[kPrvFieldCount];

// The 25 columns of the table's cursors, in select order (the read by key
// has its own order).
constexpr int kPrvCursorCount = 25;
extern const uint8_t kPrvCursorOrder[kPrvCursorCount];

#endif  // PPS2BDE_DB_DBSTD_PRV_FIELDS_H_
