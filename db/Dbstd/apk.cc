// Statements of the order table Kvn501Apk.
//
// The columns of the order record are described once (kApkFields); every
// statement names the fields it binds or reads, in its own column order.
#include "db/Dbstd/apk.h"

#include <cstddef>
#include <cstring>

#include "db/Dbstd/apk_fields.h"
#include "db/Dbstd/arg_text.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

#define F(name, type) SQL_FIELD(OrderRecord, name, type)
const sql::Field kApkFields[kApkFieldCount] = {
    F(ApkApk, sql::kText),     F(ApkBz1, sql::kText),     F(ApkBz2, sql::kText),
    F(ApkTxt, sql::kText),     F(ApkSts, sql::kI16),      F(ApkSis, sql::kI16),
    F(ApkKun, sql::kText),     F(ApkKb1, sql::kText),     F(ApkKb2, sql::kText),
    F(ApkBgs, sql::kText),     F(ApkEns, sql::kText),     F(ApkAfo, sql::kI16),
    F(ApkEaf, sql::kI16),      F(ApkTnr, sql::kText),     F(ApkTb1, sql::kText),
    F(ApkTb2, sql::kText),     F(ApkSme, sql::kF64),      F(ApkIme, sql::kF64),
    F(ApkMee, sql::kText),     F(ApkBdiDate, sql::kText), F(ApkBdiTime, sql::kText),
    F(ApkEdiDate, sql::kText), F(ApkEdiTime, sql::kText), F(ApkFbe, sql::kText),
    F(ApkKst, sql::kText),     F(ApkZf1, sql::kText),     F(ApkZf2, sql::kText),
    F(ApkZf3, sql::kText),     F(ApkKnz, sql::kText),     F(ApkSsn, sql::kI16),
    F(ApkDna, sql::kText),     F(ApkDwn, sql::kText),     F(ApkSta, sql::kI16),
    F(ApkDat, sql::kText),     F(ApkErf, sql::kText),     F(ApkAba, sql::kI32),
    SQL_PAIR(OrderRecord, ApkBdiDate, ApkBdiTime),
    SQL_PAIR(OrderRecord, ApkEdiDate, ApkEdiTime),
    F(ApkSsn, sql::kI32),      F(ApkSta, sql::kI32),
};
#undef F

const uint8_t kApkReadOrder[kApkReadCount] = {
    kApkApk, kApkBz1, kApkBz2, kApkTxt, kApkSts, kApkSis, kApkKun,
    kApkKb1, kApkKb2, kApkBgs, kApkEns, kApkAfo, kApkEaf, kApkTnr,
    kApkTb1, kApkTb2, kApkSme, kApkIme, kApkMee, kApkBdiDate, kApkBdiTime,
    kApkEdiDate, kApkEdiTime, kApkFbe, kApkKst, kApkZf1, kApkZf2, kApkZf3,
    kApkKnz, kApkSsn, kApkDna, kApkDwn, kApkSta, kApkErf, kApkAba};

namespace {

// The range cursor reads the same, with ApkDwn before ApkDna.
const uint8_t kRangeOrder[] = {
    kApkApk, kApkBz1, kApkBz2, kApkTxt, kApkSts, kApkSis, kApkKun,
    kApkKb1, kApkKb2, kApkBgs, kApkEns, kApkAfo, kApkEaf, kApkTnr,
    kApkTb1, kApkTb2, kApkSme, kApkIme, kApkMee, kApkBdiDate, kApkBdiTime,
    kApkEdiDate, kApkEdiTime, kApkFbe, kApkKst, kApkZf1, kApkZf2, kApkZf3,
    kApkKnz, kApkSsn, kApkDwn, kApkDna, kApkSta, kApkErf, kApkAba};
// :b0 to :b32 of the update.
const uint8_t kUpdateOrder[] = {
    kApkApk, kApkBz1, kApkBz2, kApkTxt, kApkKun, kApkKb1, kApkKb2,
    kApkBgs, kApkEns, kApkTnr, kApkTb1, kApkTb2, kApkMee, kApkBdi,
    kApkEdi, kApkFbe, kApkKst, kApkZf1, kApkZf2, kApkZf3, kApkKnz,
    kApkDwn, kApkDna, kApkErf, kApkEaf, kApkAba, kApkAfo, kApkSts,
    kApkSis, kApkSme, kApkIme, kApkSsn, kApkSta};
// :b0 to :b30 of the insert (ApkBdi and ApkEdi are inserted as null).
const uint8_t kInsertOrder[] = {
    kApkApk, kApkBz1, kApkBz2, kApkTxt, kApkSts, kApkSis, kApkKun,
    kApkKb1, kApkKb2, kApkBgs, kApkEns, kApkAfo, kApkEaf, kApkTnr,
    kApkTb1, kApkTb2, kApkSme, kApkIme, kApkMee, kApkFbe, kApkKst,
    kApkZf1, kApkZf2, kApkZf3, kApkKnz, kApkSsn, kApkDwn, kApkDna,
    kApkSta, kApkErf, kApkAba};

constexpr int kReadCount = kApkReadCount;
constexpr int kRangeCount = sizeof kRangeOrder;
constexpr int kUpdateCount = sizeof kUpdateOrder;
constexpr int kInsertCount = sizeof kInsertOrder;
static_assert(kReadCount == 35 && kRangeCount == 35);
static_assert(kUpdateCount == 33 && kInsertCount == 31);

// The select list shared by the read by key and the range cursors, up to
// ApkSsn; each statement goes on with its own order of ApkDna and ApkDwn.
#define APK_SELECT_HEAD                                                       \
  "select ApkApk ,ApkBz1 ,ApkBz2 ,ApkTxt ,ApkSts ,ApkSis ,ApkKun ,ApkKb1 ,"   \
  "ApkKb2 ,TO_CHAR(ApkBgs,'yyyymmdd') ,TO_CHAR(ApkEns,'yyyymmdd') ,ApkAfo ,"  \
  "ApkEaf ,ApkTnr ,ApkTb1 ,ApkTb2 ,ApkSme ,ApkIme ,ApkMee ,"                  \
  "TO_CHAR(ApkBdi,'yyyymmdd') ,TO_CHAR(ApkBdi,'HH24MISS') ,"                  \
  "TO_CHAR(ApkEdi,'yyyymmdd') ,TO_CHAR(ApkEdi,'HH24MISS') ,ApkFbe ,ApkKst ,"  \
  "ApkZf1 ,ApkZf2 ,ApkZf3 ,ApkKnz ,ApkSsn ,"
#define APK_RANGE_SELECT \
  APK_SELECT_HEAD "ApkDwn ,ApkDna ,ApkSta ,ApkErf ,ApkAba  from Kvn501Apk "

// The range cursors, one per direction (index 0: direction 1).
sql::Cursor g_range[2];

// The range cursor of a direction, or null for any other direction.
sql::Cursor* RangeCursor(int direction) {
  if (direction == 1 || direction == 2) return &g_range[direction - 1];
  return nullptr;
}

}  // namespace

int Apk_PKeyReadk(OrderRecord& rec) {
  static sql::Stmt s{
      APK_SELECT_HEAD "ApkDna ,ApkDwn ,ApkSta ,ApkErf ,ApkAba  from Kvn501Apk "
      "where ApkApk=:b0"};
  // The key is bound from a copy: the outputs land in the same record.
  Text<13> key = rec.ApkApk;
  sql::Bind binds[] = {sql::BText(key)};
  sql::Out outs[kReadCount];
  sql::OutsOf(&rec, kApkFields, kApkReadOrder, kReadCount, outs);
  int rc = sql::SelectOne(s, binds, 1, outs, kReadCount);
  if (rc != 0) {
    static const uint8_t kKeep[] = {kApkApk};
    sql::ClearFields(&rec, kApkFields, kApkFieldCount, kKeep, 1);
  }
  return rc;
}

int Apk_PKeyUpd(const OrderRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Apk_PKeyUpd_Sp"},
      {"update KVN501Apk  set ApkApk=:b0,ApkBz1=:b1,ApkBz2=:b2,ApkTxt=:b3,"
       "ApkKun=:b4,ApkKb1=:b5,ApkKb2=:b6,ApkBgs=TO_DATE(:b7,'yyyymmdd'),"
       "ApkEns=TO_DATE(:b8,'yyyymmdd'),ApkTnr=:b9,ApkTb1=:b10,ApkTb2=:b11,"
       "ApkMee=:b12,ApkBdi=TO_DATE(:b13,'yyyymmddHH24MISS'),"
       "ApkEdi=TO_DATE(:b14,'yyyymmddHH24MISS'),ApkFbe=:b15,ApkKst=:b16,"
       "ApkZf1=:b17,ApkZf2=:b18,ApkZf3=:b19,ApkKnz=:b20,ApkDwn=:b21,"
       "ApkDna=:b22,ApkDat=sysdate,ApkErf=:b23,ApkEaf=:b24,ApkAba=:b25,"
       "ApkAfo=:b26,ApkSts=:b27,ApkSis=:b28,ApkSme=:b29,ApkIme=:b30,"
       "ApkSsn=:b31,ApkSta=:b32 where ApkApk=:b0"},
      {"rollback  to Apk_PKeyUpd_Sp"}};
  sql::Bind binds[kUpdateCount];
  sql::BindsOf(&rec, kApkFields, kUpdateOrder, kUpdateCount, binds);
  return sql::Write(w, binds, kUpdateCount);
}

int Apk_PKeyIns(const OrderRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Apk_PKeyIns_Sp"},
      {"insert into Kvn501Apk (ApkApk,ApkBz1,ApkBz2,ApkTxt,ApkSts,ApkSis,"
       "ApkKun,ApkKb1,ApkKb2,ApkBgs,ApkEns,ApkAfo,ApkEaf,ApkTnr,ApkTb1,ApkTb2,"
       "ApkSme,ApkIme,ApkMee,ApkBdi,ApkEdi,ApkFbe,ApkKst,ApkZf1,ApkZf2,ApkZf3,"
       "ApkKnz,ApkSsn,ApkDwn,ApkDna,ApkSta,ApkDat,ApkErf,ApkAba) values (:b0,"
       ":b1,:b2,:b3,:b4,:b5,:b6,:b7,:b8,TO_DATE(:b9,'yyyymmdd'),"
       "TO_DATE(:b10,'yyyymmdd'),:b11,:b12,:b13,:b14,:b15,:b16,:b17,:b18,null,"
       "null,:b19,:b20,:b21,:b22,:b23,:b24,:b25,:b26,:b27,:b28,sysdate,:b29,"
       ":b30)"},
      {"rollback  to Apk_PKeyIns_Sp"}};
  sql::Bind binds[kInsertCount];
  sql::BindsOf(&rec, kApkFields, kInsertOrder, kInsertCount, binds);
  return sql::Write(w, binds, kInsertCount);
}

int Apk_PKeyDel(const char* orderNumber) {
  static sql::WriteStmt w{{"savepoint Apk_PKeyDel_Sp"},
                          {"delete  from Kvn501Apk  where ApkApk=:b0"},
                          {"rollback  to Apk_PKeyDel_Sp"}};
  // A number longer than the column cannot name an order; cutting it to fit
  // would delete another one.
  if (orderNumber != nullptr && strnlen(orderNumber, 13) >= 13)
    return sql::kNoData;
  Text<13> key;
  key = orderNumber;
  sql::Bind binds[] = {sql::BText(key)};
  return sql::Write(w, binds, 1);
}

int Apk_Open(const char* fromKey, const char* toKey, int direction) {
  static sql::Stmt ascending{
      APK_RANGE_SELECT "where (ApkApk>:b0 and ApkApk<:b1) order by ApkApk"};
  static sql::Stmt descending{
      APK_RANGE_SELECT
      "where (ApkApk>:b0 and ApkApk<:b1) order by ApkApk desc"};
  sql::Cursor* c = RangeCursor(direction);
  if (c == nullptr) return 0;
  Text<13> from;
  Text<13> to;
  // A bound that does not fit its field selects nothing (bound as NULL).
  ArgText_Bound(from, fromKey);
  ArgText_Bound(to, toKey);
  sql::Bind binds[] = {sql::BText(from), sql::BText(to)};
  return sql::Open(*c, direction == 1 ? ascending : descending, binds, 2);
}

int Apk_Fetch(OrderRecord& rec, int direction) {
  sql::Cursor* c = RangeCursor(direction);
  if (c == nullptr) return sql::kInvalidCursor;
  sql::Out outs[kRangeCount];
  sql::OutsOf(&rec, kApkFields, kRangeOrder, kRangeCount, outs);
  return sql::Fetch(*c, outs, kRangeCount);
}

int Apk_Close(int direction) {
  sql::Cursor* c = RangeCursor(direction);
  if (c == nullptr) return 0;
  return sql::Close(*c);
}
