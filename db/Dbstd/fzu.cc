// The table Kvn553Fzu: the read by function code and the read by message.
#include "db/Dbstd/fzu.h"

#include <cstdint>

#include "sql/record.h"
#include "sql/sql.h"

namespace {

enum FzuField : uint8_t {
  kFzuFcd, kFzuMld, kFzuBez, kFzuTxt, kFzuArt, kFzuObj, kFzuUpl, kFzuGen,
  kFzuZf1, kFzuZf2, kFzuZf3, kFzuSta, kFzuErf,
  kFzuFieldCount
};

#define F(name, type) SQL_FIELD(FzuRecord, name, type)
const sql::Field kFzuFields[kFzuFieldCount] = {
    F(FzuFcd, sql::kText), F(FzuMld, sql::kText), F(FzuBez, sql::kText),
    F(FzuTxt, sql::kText), F(FzuArt, sql::kI32),  F(FzuObj, sql::kText),
    F(FzuUpl, sql::kI32),  F(FzuGen, sql::kI32),  F(FzuZf1, sql::kText),
    F(FzuZf2, sql::kText), F(FzuZf3, sql::kText), F(FzuSta, sql::kI32),
    F(FzuErf, sql::kText),
};
#undef F

// Both reads, in select order.
const uint8_t kSelectOrder[] = {
    kFzuFcd, kFzuMld, kFzuBez, kFzuTxt, kFzuArt, kFzuObj, kFzuUpl,
    kFzuGen, kFzuZf1, kFzuZf2, kFzuZf3, kFzuSta, kFzuErf,
};
constexpr int kSelectCount = sizeof kSelectOrder;
static_assert(kSelectCount == kFzuFieldCount);

#define FZU_SELECT                                                           \
  "select FzuFcd ,FzuMld ,FzuBez ,FzuTxt ,FzuArt ,FzuObj ,FzuUpl ,FzuGen ,"  \
  "FzuZf1 ,FzuZf2 ,FzuZf3 ,FzuSta ,FzuErf  from Kvn553Fzu "

// Runs the single-row select s into a copy of rec and hands the copy back
// on 0; rec is untouched otherwise.
int ReadInto(sql::Stmt& s, const sql::Bind* binds, int nbinds, FzuRecord& rec) {
  FzuRecord row = rec;
  sql::Out outs[kSelectCount];
  sql::OutsOf(&row, kFzuFields, kSelectOrder, kSelectCount, outs);
  int rc = sql::SelectOne(s, binds, nbinds, outs, kSelectCount);
  if (rc == 0) rec = row;
  return rc;
}

}  // namespace

int Fzu_PKeyReadk(FzuRecord& rec) {
  static sql::Stmt s{FZU_SELECT "where (FzuFcd=:b0 and FzuAec=:b27)"};
  static const char kVariant[] = "0";
  const sql::Bind binds[] = {sql::BText(rec.FzuFcd), sql::BText(kVariant, sizeof kVariant)};
  int rc = ReadInto(s, binds, 2, rec);
  if (rc != 0) {
    Text<4> key = rec.FzuFcd;
    rec = FzuRecord{};
    rec.FzuFcd = key;
  }
  return rc;
}

int Fzu_ReadMld(FzuRecord& rec) {
  static sql::Stmt s{FZU_SELECT "where FzuMld=:b0"};
  const sql::Bind binds[] = {sql::BText(rec.FzuMld)};
  return ReadInto(s, binds, 1, rec);
}
