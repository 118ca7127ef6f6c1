// The table Kvn553Fzu: one row per function code (with its variant FzuAec,
// which the reads take as "0").
//
// Widths follow the columns (VARCHAR2(n) is a text of n+1 bytes).
#ifndef PPS2BDE_DB_DBSTD_FZU_H_
#define PPS2BDE_DB_DBSTD_FZU_H_

#include <cstdint>

#include "base/text.h"

// One row of Kvn553Fzu, fields in the select order of its reads.  Integers
// travel as 32-bit values.
struct FzuRecord {
  Text<4> FzuFcd;        // function code, key
  Text<11> FzuMld;       // message
  Text<31> FzuBez;
  Text<11> FzuTxt;
  int32_t FzuArt = 0;
  Text<11> FzuObj;
  int32_t FzuUpl = 0;
  int32_t FzuGen = 0;
  Text<31> FzuZf1;
  Text<31> FzuZf2;
  Text<31> FzuZf3;
  int32_t FzuSta = 0;
  Text<9> FzuErf;        // recorder
};

// Reads the row whose function code is in rec.FzuFcd and whose FzuAec is
// "0".  Returns 0 with every field filled, 1403 when there is no such row,
// or a negative code; on any status but 0 only FzuFcd stays and every other
// field is empty or 0.
[[nodiscard]] int Fzu_PKeyReadk(FzuRecord& rec);
// Reads the row whose FzuMld equals rec.FzuMld.  Returns 0 with every field
// filled, 1403 when there is none, -2112 when there are several, or another
// negative code; rec is unchanged unless the status is 0.
[[nodiscard]] int Fzu_ReadMld(FzuRecord& rec);

#endif  // PPS2BDE_DB_DBSTD_FZU_H_
