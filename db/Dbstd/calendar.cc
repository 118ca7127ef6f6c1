// The table of days Kvn133Bak: the day that lies a number of days away, the
// number of days between two, and the day arithmetic that uses both.
#include "db/Dbstd/calendar.h"

#include <cstdint>

#include "db/Dbstd/arg_text.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

// The columns of Kvn133Bak, in record order (which is the select order).
enum : uint8_t { kBakDtm, kBakJhr, kBakMon, kBakTag, kBakWch, kBakWtg, kBakJtg };
#define F(name, type) SQL_FIELD(BakRecord, name, type)
const sql::Field kFields[] = {
    F(BakDtm, sql::kText), F(BakJhr, sql::kI32), F(BakMon, sql::kI32),
    F(BakTag, sql::kI32),  F(BakWch, sql::kI32), F(BakWtg, sql::kI32),
    F(BakJtg, sql::kI32),
};
#undef F
const uint8_t kSelect[] = {kBakDtm, kBakJhr, kBakMon, kBakTag, kBakWch, kBakWtg, kBakJtg};
constexpr int kSelectCount = sizeof kSelect;

}  // namespace

int Bak_ReadOffset(const char* day, int32_t days, BakRecord& rec) {
  // The engine adds the days to the converted date.
  static sql::Stmt s{
      "select TO_CHAR(BakDtm,'yyyymmdd') ,BakJhr ,BakMon ,BakTag ,BakWch ,BakWtg ,BakJtg  "
      "from KvnSystem.Kvn133Bak where BakDtm=(TO_DATE(:b14,'yyyymmdd')+:b15)"};
  Text<9> d;
  ArgText_Bound(d, day);
  const sql::Bind binds[] = {sql::BText(d), sql::BI32(days)};
  BakRecord row;
  sql::Out outs[kSelectCount];
  sql::OutsOf(&row, kFields, kSelect, kSelectCount, outs);
  int rc = sql::SelectOne(s, binds, 2, outs, kSelectCount);
  if (rc == 0) rec = row;
  return rc;
}

int Bak_CountDays(const char* from, const char* to, int32_t* count) {
  static sql::Stmt s{
      "select count(*)  from Kvn133Bak where (BakDtm>TO_DATE(:b1,'yyyymmdd') and "
      "BakDtm<=TO_DATE(:b2,'yyyymmdd'))"};
  Text<9> lo;
  Text<9> hi;
  ArgText_Bound(lo, from);
  ArgText_Bound(hi, to);
  const sql::Bind binds[] = {sql::BText(lo), sql::BText(hi)};
  int32_t n = 0;
  const sql::Out outs[] = {sql::OI32(n)};
  int rc = sql::SelectOne(s, binds, 2, outs, 1);
  if (rc == 0 && count != nullptr) *count = n;
  return rc;
}

int Cal_Days(int kind, int32_t days, const char* date1, Text<9>* date2) {
  if (kind != 1 && kind != 2) return 0;
  // date1 may be date2's own text, which kind 2 overwrites.
  Text<9> first;
  ArgText_Bound(first, date1);
  if (kind == 1) {
    int32_t n = 0;
    if (Bak_CountDays(first.c_str(), date2 != nullptr ? date2->c_str() : nullptr, &n) != 0)
      return 0;
    return n;
  }
  BakRecord row;
  int rc = Bak_ReadOffset(first.c_str(), days, row);
  if (date2 != nullptr) {
    if (rc == 0)
      *date2 = row.BakDtm.c_str();
    else
      date2->Set(first);
  }
  return rc;
}
