// The download range table Kvn543Upd: read the ranges of the "UPD" row and
// reset them after a download.
#include "db/DbDnl/upd.h"

#include <cstdint>

#include "sql/record.h"
#include "sql/sql.h"

namespace {

// The range columns, in record order (which is the column order of the
// table and the select order).  The workplace and work-group ends are read
// at their full width of ten characters: cut to nine, an end would name
// another key and the range would take in or leave out keys it should not.
enum : uint8_t {
  kUpdAkv, kUpdAkb, kUpdAav, kUpdAab, kUpdApv, kUpdApb, kUpdAlv, kUpdAlb, kUpdAgv,
  kUpdAgb, kUpdUgv, kUpdUgb, kUpdAuv, kUpdAub, kUpdPvv, kUpdPvb, kUpdKsv, kUpdKsb,
  kUpdFieldCount,
};
#define F(name) SQL_FIELD(DownloadRangeRecord, name, sql::kText)
const sql::Field kFields[] = {
    F(UpdAkv), F(UpdAkb), F(UpdAav), F(UpdAab), F(UpdApv), F(UpdApb),
    F(UpdAlv), F(UpdAlb), F(UpdAgv), F(UpdAgb), F(UpdUgv), F(UpdUgb),
    F(UpdAuv), F(UpdAub), F(UpdPvv), F(UpdPvb), F(UpdKsv), F(UpdKsb),
};
#undef F
static_assert(sizeof kFields / sizeof kFields[0] == kUpdFieldCount);

const uint8_t kSelect[] = {
    kUpdAkv, kUpdAkb, kUpdAav, kUpdAab, kUpdApv, kUpdApb, kUpdAlv, kUpdAlb, kUpdAgv,
    kUpdAgb, kUpdUgv, kUpdUgb, kUpdAuv, kUpdAub, kUpdPvv, kUpdPvb, kUpdKsv, kUpdKsb,
};
constexpr int kSelectCount = sizeof kSelect;

// The key of the one row.
const char kKey[4] = "UPD";

}  // namespace

int Upd_PKeyReadk(DownloadRangeRecord& rec) {
  static sql::Stmt s{
      "select UpdAkv ,UpdAkb ,UpdAav ,UpdAab ,UpdApv ,UpdApb ,UpdAlv ,UpdAlb ,UpdAgv ,UpdAgb ,"
      "UpdUgv ,UpdUgb ,UpdAuv ,UpdAub ,UpdPvv ,UpdPvb ,UpdKsv ,UpdKsb  from Kvn543Upd where "
      "UpdKey=:b36"};
  const sql::Bind binds[] = {sql::BText(kKey, sizeof kKey)};
  DownloadRangeRecord row;
  sql::Out outs[kSelectCount];
  sql::OutsOf(&row, kFields, kSelect, kSelectCount, outs);
  int rc = sql::SelectOne(s, binds, 1, outs, kSelectCount);
  // On failure every range is emptied, so no caller works with stale ends.
  rec = rc == 0 ? row : DownloadRangeRecord{};
  return rc;
}

int Upd_PKeyUpd() {
  // Every range becomes blanks over its column width.
  static sql::WriteStmt w{
      {"savepoint Upd_PKeyUpd_Sp"},
      {"update KVN543Upd  set UpdAkv='            ',UpdAkb='            ',UpdAav='            ',"
       "UpdAab='            ',UpdApv='     ',UpdApb='     ',"
       "UpdAlv='          ',UpdAlb='          ',UpdAgv='          ',"
       "UpdAgb='          ',UpdUgv='     ',UpdUgb='     ',"
       "UpdAuv='     ',UpdAub='     ',UpdPvv='        ',"
       "UpdPvb='        ',UpdKsv='     ',UpdKsb='     ',"
       "UpdDat=sysdate,UpdErf='Download' where UpdKey=:b0"},
      {"rollback  to Upd_PKeyUpd_Sp"}};
  const sql::Bind binds[] = {sql::BText(kKey, sizeof kKey)};
  return sql::Write(w, binds, 1);
}
