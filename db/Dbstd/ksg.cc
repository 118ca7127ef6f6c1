// The cost centres of the work groups, Kvn537Ksg: read, update and delete by
// key (work group and start of validity), the row valid today, and a cursor
// over the rows of a range of work groups valid today.
#include "db/Dbstd/ksg.h"

#include <cstdint>
#include <cstring>

#include "db/Dbstd/arg_text.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

// KsgDat is not described: no statement reads it, the update sets it from
// the database clock.
enum KsgField : uint8_t {
  kKsgApg, kKsgKst, kKsgGvo, kKsgGbi, kKsgFbe, kKsgZf1, kKsgZf2, kKsgZf3,
  kKsgSta, kKsgErf,
  kKsgFieldCount
};

#define F(name, type) SQL_FIELD(KsgRecord, name, type)
const sql::Field kKsgFields[kKsgFieldCount] = {
    F(KsgApg, sql::kText), F(KsgKst, sql::kText), F(KsgGvo, sql::kText),
    F(KsgGbi, sql::kText), F(KsgFbe, sql::kText), F(KsgZf1, sql::kText),
    F(KsgZf2, sql::kText), F(KsgZf3, sql::kText), F(KsgSta, sql::kI32),
    F(KsgErf, sql::kText),
};
#undef F

// The read by key and the cursor, in select order.
const uint8_t kSelectOrder[] = {
    kKsgApg, kKsgKst, kKsgGvo, kKsgGbi, kKsgFbe,
    kKsgZf1, kKsgZf2, kKsgZf3, kKsgSta, kKsgErf,
};
// :b0 to :b7 of the update's assignments, then the key as :b8 and :b9.
const uint8_t kUpdateOrder[] = {
    kKsgGbi, kKsgFbe, kKsgZf1, kKsgZf2, kKsgZf3,
    kKsgSta, kKsgErf, kKsgKst, kKsgApg, kKsgGvo,
};
constexpr int kSelectCount = sizeof kSelectOrder;
constexpr int kUpdateCount = sizeof kUpdateOrder;
static_assert(kSelectCount == 10 && kUpdateCount == 10);

#define KSG_SELECT                                                            \
  "select KsgApg ,KsgKst ,TO_CHAR(KsgGvo,'yyyymmdd') ,"                       \
  "TO_CHAR(KsgGbi,'yyyymmdd') ,KsgFbe ,KsgZf1 ,KsgZf2 ,KsgZf3 ,KsgSta ,"      \
  "KsgErf  from Kvn537Ksg "

sql::Cursor g_range;  // Ksg_Open: work-group range, valid today

// True when arg fits a text field of width bytes (terminator included); a
// null arg is empty and fits.
bool Fits(const char* arg, size_t width) {
  return arg == nullptr || strnlen(arg, width) < width;
}

}  // namespace

int Ksg_PKeyReadk(KsgRecord& rec) {
  static sql::Stmt s{KSG_SELECT "where (KsgApg=:b0 and TO_CHAR(KsgGvo,'yyyymmdd')=:b4)"};
  // The row lands in a copy, so KsgDat keeps its content and a failed read
  // leaves no half-written fields behind.
  KsgRecord row = rec;
  const sql::Bind binds[] = {sql::BText(rec.KsgApg), sql::BText(rec.KsgGvo)};
  sql::Out outs[kSelectCount];
  sql::OutsOf(&row, kKsgFields, kSelectOrder, kSelectCount, outs);
  int rc = sql::SelectOne(s, binds, 2, outs, kSelectCount);
  if (rc == 0) {
    rec = row;
  } else {
    Text<11> group = rec.KsgApg;
    Text<9> from = rec.KsgGvo;
    rec = KsgRecord{};
    rec.KsgApg = group;
    rec.KsgGvo = from;
  }
  return rc;
}

int Ksg_ReadValid(KsgRecord& rec) {
  static sql::Stmt s{
      "select KsgApg ,KsgKst  from Kvn537Ksg where ((KsgApg=:b0 and "
      "KsgGvo<=trunc(sysdate)) and (KsgGbi>trunc(sysdate) or KsgGbi is null ))"};
  Text<11> group;
  Text<11> costCentre;
  const sql::Bind binds[] = {sql::BText(rec.KsgApg)};
  const sql::Out outs[] = {sql::OText(group), sql::OText(costCentre)};
  int rc = sql::SelectOne(s, binds, 1, outs, 2);
  if (rc == 0) {
    rec.KsgApg = group;
    rec.KsgKst = costCentre;
  }
  return rc;
}

int Ksg_PKeyUpd(const KsgRecord& rec) {
  static sql::WriteStmt w{
      {"savepoint Ksg_PKeyUpd_Sp"},
      {"update KVN537Ksg  set KsgGbi=TO_DATE(:b0,'yyyymmdd'),KsgFbe=:b1,"
       "KsgZf1=:b2,KsgZf2=:b3,KsgZf3=:b4,KsgSta=:b5,KsgDat=sysdate,KsgErf=:b6,"
       "KsgKst=:b7 where (KsgApg=:b8 and TO_CHAR(KsgGvo,'yyyymmdd')=:b9)"},
      {"rollback  to Ksg_PKeyUpd_Sp"}};
  sql::Bind binds[kUpdateCount];
  sql::BindsOf(&rec, kKsgFields, kUpdateOrder, kUpdateCount, binds);
  return sql::Write(w, binds, kUpdateCount);
}

int Ksg_PKeyDel(const char* workGroup, const char* validFrom) {
  static sql::WriteStmt w{
      {"savepoint Ksg_PKeyDel_Sp"},
      {"delete  from Kvn537Ksg  where (KsgApg=:b0 and TO_CHAR(KsgGvo,'yyyymmdd')=:b1)"},
      {"rollback  to Ksg_PKeyDel_Sp"}};
  Text<11> group;
  Text<9> from;
  // A key part longer than its column names no row; cut to fit it would
  // name another one and delete it.
  if (!Fits(workGroup, sizeof group) || !Fits(validFrom, sizeof from)) return sql::kNoData;
  group = workGroup;
  from = validFrom;
  const sql::Bind binds[] = {sql::BText(group), sql::BText(from)};
  return sql::Write(w, binds, 2);
}

int Ksg_Open(const char* lower, const char* upper) {
  static sql::Stmt s{
      KSG_SELECT
      "where (((KsgApg>=:b0 and KsgApg<=:b1) and KsgGvo<=trunc(sysdate)) and "
      "(KsgGbi>=trunc(sysdate) or KsgGbi is null )) order by KsgGvo"};
  Text<11> lo;
  Text<11> hi;
  // A bound that does not fit its field selects nothing (bound as NULL).
  ArgText_Bound(lo, lower);
  ArgText_Bound(hi, upper);
  const sql::Bind binds[] = {sql::BText(lo), sql::BText(hi)};
  return sql::Open(g_range, s, binds, 2);
}

int Ksg_Fetch(KsgRecord& rec) {
  KsgRecord row = rec;
  sql::Out outs[kSelectCount];
  sql::OutsOf(&row, kKsgFields, kSelectOrder, kSelectCount, outs);
  int rc = sql::Fetch(g_range, outs, kSelectCount);
  if (rc == 0) rec = row;
  return rc;
}

int Ksg_Close() { return sql::Close(g_range); }
