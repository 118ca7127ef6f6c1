// The table Kvn521Ubg: read, update and delete by key, and a cursor over a
// key range.
#include "db/Dbstd/ubg.h"

#include <cstdint>
#include <cstring>

#include "db/Dbstd/arg_text.h"
#include "db/Dbstd/ubg_fields.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

constexpr int kSelectCount = kUbgSelectCount;
// :b0 to :b20 of the update (UbgDat is sysdate between :b19 and :b20).
const uint8_t kUpdateOrder[] = {
    kUbgUbg, kUbgBez, kUbgTxt, kUbgKnz, kUbgFbe, kUbgAst, kUbgZf1,
    kUbgZf2, kUbgZf3, kUbgRst, kUbgAsf, kUbgSt1, kUbgSt2, kUbgSt3,
    kUbgSf1, kUbgSf2, kUbgSf3, kUbgDna, kUbgDwn, kUbgSta, kUbgErf,
};
constexpr int kUpdateCount = sizeof kUpdateOrder;
static_assert(kUpdateCount == 21);

#define UBG_SELECT                                                           \
  "select UbgUbg ,UbgKnz ,UbgFbe ,UbgBez ,UbgTxt ,UbgZf1 ,UbgZf2 ,UbgZf3 ,"  \
  "UbgAst ,UbgRst ,UbgAsf ,UbgSt1 ,UbgSt2 ,UbgSt3 ,UbgSf1 ,UbgSf2 ,UbgSf3 ,"  \
  "UbgDna ,UbgDwn ,UbgSta ,UbgErf  from Kvn521Ubg "

sql::Cursor g_range;  // Ubg_Open: key range

// Output targets for the selected columns of row.
void OutsOfRow(UbgRecord& row, sql::Out (&outs)[kSelectCount]) {
  sql::OutsOf(&row, kUbgFields, kUbgSelectOrder, kSelectCount, outs);
}

}  // namespace

int Ubg_PKeyReadk(UbgRecord& rec) {
  static sql::Stmt s{UBG_SELECT "where UbgUbg=:b0"};
  // The row lands in a copy, so UbgDat keeps its content and a failed read
  // leaves no half-written fields behind.
  UbgRecord row = rec;
  const sql::Bind binds[] = {sql::BText(rec.UbgUbg)};
  sql::Out outs[kSelectCount];
  OutsOfRow(row, outs);
  int rc = sql::SelectOne(s, binds, 1, outs, kSelectCount);
  if (rc == 0) {
    rec = row;
  } else {
    Text<5> key = rec.UbgUbg;
    rec = UbgRecord{};
    rec.UbgUbg = key;
  }
  return rc;
}

int Ubg_PKeyUpd(const UbgRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Ubg_PKeyUpd_Sp"},
      {"update KVN521Ubg  set UbgUbg=:b0,UbgBez=:b1,UbgTxt=:b2,UbgKnz=:b3,"
       "UbgFbe=:b4,UbgAst=:b5,UbgZf1=:b6,UbgZf2=:b7,UbgZf3=:b8,UbgRst=:b9,"
       "UbgAsf=:b10,UbgSt1=:b11,UbgSt2=:b12,UbgSt3=:b13,UbgSf1=:b14,"
       "UbgSf2=:b15,UbgSf3=:b16,UbgDna=:b17,UbgDwn=:b18,UbgSta=:b19,"
       "UbgDat=sysdate,UbgErf=:b20 where UbgUbg=:b0"},
      {"rollback  to Ubg_PKeyUpd_Sp"}};
  sql::Bind binds[kUpdateCount];
  sql::BindsOf(&rec, kUbgFields, kUpdateOrder, kUpdateCount, binds);
  return sql::Write(w, binds, kUpdateCount);
}

int Ubg_PKeyDel(const char* key) {
  static sql::WriteStmt w{{"savepoint Ubg_PKeyDel_Sp"},
                          {"delete  from Kvn521Ubg  where UbgUbg=:b0"},
                          {"rollback  to Ubg_PKeyDel_Sp"}};
  // A key longer than the column names no row; cut to fit it would name
  // another one and delete it.
  if (key != nullptr && strnlen(key, sizeof(UbgRecord::UbgUbg)) >= sizeof(UbgRecord::UbgUbg))
    return sql::kNoData;
  Text<5> k;
  k = key;
  const sql::Bind binds[] = {sql::BText(k)};
  return sql::Write(w, binds, 1);
}

int Ubg_Open(const char* lower, const char* upper) {
  static sql::Stmt s{UBG_SELECT "where (UbgUbg>:b0 and UbgUbg<:b1) order by UbgUbg"};
  Text<5> lo;
  Text<5> hi;
  // A bound that does not fit its field selects nothing (bound as NULL).
  ArgText_Bound(lo, lower);
  ArgText_Bound(hi, upper);
  const sql::Bind binds[] = {sql::BText(lo), sql::BText(hi)};
  return sql::Open(g_range, s, binds, 2);
}

int Ubg_Fetch(UbgRecord& rec) {
  UbgRecord row = rec;
  sql::Out outs[kSelectCount];
  OutsOfRow(row, outs);
  int rc = sql::Fetch(g_range, outs, kSelectCount);
  if (rc == 0) rec = row;
  return rc;
}

int Ubg_Close() { return sql::Close(g_range); }
