#include "db/DbDnl/dwn.h"

#include <cstddef>

#include "db/DbDnl/stamp_key.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

enum { kZf1, kZf2, kZf3, kErf, kApk, kApp, kAuk, kAfo, kNeu, kAen, kLoe };
const sql::Field kFields[] = {
    SQL_FIELD(StatRecord, DwnZf1, sql::kText), SQL_FIELD(StatRecord, DwnZf2, sql::kText),
    SQL_FIELD(StatRecord, DwnZf3, sql::kText), SQL_FIELD(StatRecord, DwnErf, sql::kText),
    SQL_FIELD(StatRecord, DwnApk, sql::kI32),  SQL_FIELD(StatRecord, DwnApp, sql::kI32),
    SQL_FIELD(StatRecord, DwnAuk, sql::kI32),  SQL_FIELD(StatRecord, DwnAfo, sql::kI32),
    SQL_FIELD(StatRecord, DwnNeu, sql::kI32),  SQL_FIELD(StatRecord, DwnAen, sql::kI32),
    SQL_FIELD(StatRecord, DwnLoe, sql::kI32),
};
// :b1 to :b11 of the insert and the update, after the key :b0.
const uint8_t kRowOrder[] = {kApk, kApp, kAuk, kAfo, kNeu, kAen,
                             kLoe, kZf1, kZf2, kZf3, kErf};
constexpr int kRowCount = sizeof kRowOrder;

// Key :b0 followed by the eleven row values.
void RowBinds(const StatRecord& rec, char key[15], sql::Bind* binds) {
  Dnl_StampKey(rec.DwnDtaDate.c_str(), rec.DwnDtaTime.c_str(), key);
  binds[0] = sql::BText(key, 15);
  sql::BindsOf(&rec, kFields, kRowOrder, kRowCount, binds + 1);
}

}  // namespace

int Dwn_PKeyIns(const StatRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Dwn_PKeyIns_Sp"},
      {"insert into Kvn542Dwn (DwnDta,DwnApk,DwnApp,DwnAuk,DwnAfo,DwnNeu,DwnAen,DwnLoe,DwnZf1,"
       "DwnZf2,DwnZf3,DwnDat,DwnErf) values (TO_DATE(:b0,'yyyymmddHH24MISS'),:b1,:b2,:b3,:b4,:b5,"
       ":b6,:b7,:b8,:b9,:b10,sysdate,:b11)"},
      {"rollback  to Dwn_PKeyIns_Sp"}};
  char key[15];
  sql::Bind binds[1 + kRowCount];
  RowBinds(rec, key, binds);
  return sql::Write(w, binds, 1 + kRowCount);
}

int Dwn_PKeyUpd(const StatRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Dwn_PKeyUpd_Sp"},
      {"update KVN542Dwn  set DwnDta=TO_DATE(:b0,'yyyymmddHH24MISS'),DwnApk=:b1,DwnApp=:b2,"
       "DwnAuk=:b3,DwnAfo=:b4,DwnNeu=:b5,DwnAen=:b6,DwnLoe=:b7,DwnZf1=:b8,DwnZf2=:b9,DwnZf3=:b10,"
       "DwnDat=sysdate,DwnErf=:b11 where (TO_CHAR(DwnDat,'yyyymmddHH24MISS')=:b0 and "
       "DwnErf=:b11)"},
      {"rollback  to Dwn_PKeyUpd_Sp"}};
  char key[15];
  sql::Bind binds[1 + kRowCount];
  RowBinds(rec, key, binds);
  return sql::Write(w, binds, 1 + kRowCount);
}

int Dwn_PKeyDel(const StatRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Dwn_PKeyDel_Sp"},
      {"delete  from Kvn542Dwn  where (TO_CHAR(DwnDat,'yyyymmddHH24MISS')=:b0 and DwnErf=:b1)"},
      {"rollback  to Dwn_PKeyDel_Sp"}};
  char key[15];
  Dnl_StampKey(rec.DwnDtaDate.c_str(), rec.DwnDtaTime.c_str(), key);
  sql::Bind binds[] = {sql::BText(key, 15), sql::BText(rec.DwnErf)};
  return sql::Write(w, binds, 2);
}
