// Parameter rows of Kvn591Nzp: the read of the row valid today, the update
// of its counters, and the switches loaded from the rows.
#include "db/Dbstd/parameters.h"

#include <cstdint>

#include "sql/record.h"
#include "sql/sql.h"

namespace {

// The columns of Kvn591Nzp, in record order (which is the select order).
// NzpAdt is not described: no statement reads it, the update sets it from
// the database clock.
enum : uint8_t {
  kNzpAkz, kNzpGvn, kNzpGbi, kNzpAak, kNzpAwt, kNzpKjh, kNzpKmn,
  kNzpKwo, kNzpKtg, kNzpAan, kNzpVfh, kNzpNfh, kNzpAus, kNzpMrk,
  kNzpFieldCount,
};
#define F(name, type) SQL_FIELD(NzpRecord, name, type)
const sql::Field kFields[] = {
    F(NzpAkz, sql::kI32), F(NzpGvn, sql::kText), F(NzpGbi, sql::kText),
    F(NzpAak, sql::kI32), F(NzpAwt, sql::kI32),  F(NzpKjh, sql::kI32),
    F(NzpKmn, sql::kI32), F(NzpKwo, sql::kI32),  F(NzpKtg, sql::kI32),
    F(NzpAan, sql::kI32), F(NzpVfh, sql::kI32),  F(NzpNfh, sql::kI32),
    F(NzpAus, sql::kI32), F(NzpMrk, sql::kI32),
};
#undef F
static_assert(sizeof kFields / sizeof kFields[0] == kNzpFieldCount);

const uint8_t kSelect[] = {
    kNzpAkz, kNzpGvn, kNzpGbi, kNzpAak, kNzpAwt, kNzpKjh, kNzpKmn,
    kNzpKwo, kNzpKtg, kNzpAan, kNzpVfh, kNzpNfh, kNzpAus, kNzpMrk,
};
constexpr int kSelectCount = sizeof kSelect;
const uint8_t kKey[] = {kNzpAkz};
// :b0 to :b6 of the update.
const uint8_t kUpdate[] = {kNzpAan, kNzpVfh, kNzpNfh, kNzpAus, kNzpAkz, kNzpGvn, kNzpGbi};
constexpr int kUpdateCount = sizeof kUpdate;

NzpSwitches g_switches;

}  // namespace

int Nzp_Read(NzpRecord& rec) {
  static sql::Stmt s{
      "select NzpAkz ,TO_CHAR(NzpGvn,'yyyymmdd') ,TO_CHAR(NzpGbi,'yyyymmdd') ,NzpAak ,NzpAwt ,"
      "NzpKjh ,NzpKmn ,NzpKwo ,NzpKtg ,NzpAan ,NzpVfh ,NzpNfh ,NzpAus ,NzpMrk  from Kvn591Nzp "
      "where ((NzpAkz=:b0 and NzpGvn<trunc(sysdate)) and NzpGbi>trunc(sysdate))"};
  sql::Bind binds[1];
  sql::BindsOf(&rec, kFields, kKey, 1, binds);
  NzpRecord row;
  sql::Out outs[kSelectCount];
  sql::OutsOf(&row, kFields, kSelect, kSelectCount, outs);
  int rc = sql::SelectOne(s, binds, 1, outs, kSelectCount);
  if (rc == 0)
    rec = row;
  else
    sql::ClearFields(&rec, kFields, kNzpFieldCount, kKey, 1);
  return rc;
}

int Nzp_PKeyUpd(const NzpRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Nzp_PKeyUpd_Sp"},
      {"update KVN591Nzp  set NzpAdt=sysdate,NzpAan=:b0,NzpVfh=:b1,NzpNfh=:b2,NzpAus=:b3 "
       "where ((NzpAkz=:b4 and NzpGvn=TO_DATE(:b5,'yyyymmdd')) and "
       "NzpGbi=TO_DATE(:b6,'yyyymmdd'))"},
      {"rollback  to Nzp_PKeyUpd_Sp"}};
  sql::Bind binds[kUpdateCount];
  sql::BindsOf(&rec, kFields, kUpdate, kUpdateCount, binds);
  return sql::Write(w, binds, kUpdateCount);
}

int Nzp_LoadSwitches() {
  static const int32_t kCodes[] = {1, 2, 3, 4, 7, 5};
  g_switches = NzpSwitches{};
  for (int32_t code : kCodes) {
    NzpRecord rec;
    rec.NzpAkz = code;
    if (Nzp_Read(rec) != 0) continue;
    g_switches.aak[code] = rec.NzpAak == 1 ? 1 : 0;
    g_switches.mrk[code] = rec.NzpMrk == 1 ? 1 : 0;
  }
  NzpRecord rec;
  rec.NzpAkz = 9;
  int rc = Nzp_Read(rec);
  if (rc == 0 && rec.NzpAak == 1) {
    g_switches.aak[9] = 1;
    g_switches.flag = 1;
  }
  return rc;
}

const NzpSwitches& Nzp_Switches() { return g_switches; }
