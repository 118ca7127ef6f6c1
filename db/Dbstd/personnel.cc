// Badges, persons, authorisations, cost centres of the day and parameter
// values: single-row reads and the three badge cursors.
#include "db/Dbstd/personnel.h"

#include <cstdint>

#include "db/Dbstd/arg_text.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

// The columns of a badge row with its person, in record order.
enum : uint8_t {
  kAswNum, kAswGvo, kAswPnr, kAswGbi, kAswErf, kAswDat, kPnrNam, kPnrStr, kPnrOrt,
  kAswFieldCount,
};
#define F(name) SQL_FIELD(AswRecord, name, sql::kText)
const sql::Field kFields[] = {
    F(AswNum), F(AswGvo), F(AswPnr), F(AswGbi), F(AswErf),
    F(AswDat), F(PnrNam), F(PnrStr), F(PnrOrt),
};
#undef F
static_assert(sizeof kFields / sizeof kFields[0] == kAswFieldCount);

// The key of the read by day, and what it selects.
const uint8_t kDayKey[] = {kAswNum, kAswGvo};
const uint8_t kDaySelect[] = {kAswPnr, kAswGbi, kAswErf, kAswDat, kPnrNam, kPnrStr, kPnrOrt};
constexpr int kDayCount = sizeof kDaySelect;
// The cursor over the rows of one badge number.
const uint8_t kNumSelect[] = {kAswPnr, kAswGvo, kAswGbi, kAswErf, kAswDat};
constexpr int kNumCount = sizeof kNumSelect;
// The cursor over the badges of one person.
const uint8_t kPnrSelect[] = {kAswNum, kAswGvo, kAswGbi, kAswErf, kAswDat};
constexpr int kPnrCount = sizeof kPnrSelect;
// The cursor over every badge valid today.
const uint8_t kAllSelect[] = {kAswPnr, kAswNum, kAswGvo, kAswGbi, kAswErf,
                              kAswDat, kPnrNam, kPnrStr, kPnrOrt};
constexpr int kAllCount = sizeof kAllSelect;
// Name and address of a person.
const uint8_t kPersonSelect[] = {kPnrNam, kPnrStr, kPnrOrt};
constexpr int kPersonCount = sizeof kPersonSelect;

// Fetches the listed fields of the next row of c into rec; the other fields
// keep their content, and rec is written only on 0.
int FetchInto(sql::Cursor& c, const uint8_t* select, int n, AswRecord& rec) {
  AswRecord row = rec;
  sql::Out outs[kAswFieldCount];
  sql::OutsOf(&row, kFields, select, n, outs);
  int rc = sql::Fetch(c, outs, n);
  if (rc == 0) rec = row;
  return rc;
}

}  // namespace

static sql::Cursor g_num;
static sql::Cursor g_pnr;
static sql::Cursor g_all;

int Asw_ReadDay(AswRecord& rec) {
  static sql::Stmt s{
      "select AswPnr ,TO_CHAR(AswGbi,'yyyymmdd') ,AswErf ,TO_CHAR(AswDat,'yyyymmddHH24MISS') ,"
      "PnrNam ,PnrStr ,PnrOrt  from KvnSystem.Kvn301Asw ,Kvn300Pnr where ((AswNum=:b14 and "
      "AswGvo=TO_DATE(:b15,'yyyymmdd')) and AswPnr=PnrNum)"};
  sql::Bind binds[2];
  sql::BindsOf(&rec, kFields, kDayKey, 2, binds);
  AswRecord row = rec;
  sql::Out outs[kDayCount];
  sql::OutsOf(&row, kFields, kDaySelect, kDayCount, outs);
  int rc = sql::SelectOne(s, binds, 2, outs, kDayCount);
  if (rc == 0)
    rec = row;
  else
    sql::ClearFields(&rec, kFields, kAswFieldCount, kDayKey, 2);
  return rc;
}

int Asw_ReadPnr(const char* number, const char* day, Text<9>* pnr) {
  static sql::Stmt s{
      "select AswPnr  from KvnSystem.Kvn301Asw where ((AswNum=:b2 and "
      "AswGvo<=TO_DATE(:b3,'yyyymmdd')) and (AswGbi>=TO_DATE(:b3,'yyyymmdd') or AswGbi is null ))"};
  AswRecord row;
  ArgText_Bound(row.AswNum, number);
  ArgText_Bound(row.AswGvo, day);
  sql::Bind binds[2];
  sql::BindsOf(&row, kFields, kDayKey, 2, binds);
  static const uint8_t kSelect[] = {kAswPnr};
  sql::Out out;
  sql::OutsOf(&row, kFields, kSelect, 1, &out);
  int rc = sql::SelectOne(s, binds, 2, &out, 1);
  if (rc == 0 && pnr != nullptr) *pnr = row.AswPnr;
  return rc;
}

int Asw_OpenNum(const char* number) {
  static sql::Stmt s{
      "select AswPnr ,TO_CHAR(AswGvo,'yyyymmdd') ,TO_CHAR(AswGbi,'yyyymmdd') ,AswErf ,"
      "TO_CHAR(AswDat,'yyyymmddHH24MISS')  from KvnSystem.Kvn301Asw where (AswNum=:b0 and "
      "AswGvo<=trunc(SYSDATE)) order by AswGvo desc"};
  Text<11> num;
  ArgText_Bound(num, number);
  const sql::Bind binds[] = {sql::BText(num)};
  return sql::Open(g_num, s, binds, 1);
}

int Asw_FetchNum(AswRecord& rec) { return FetchInto(g_num, kNumSelect, kNumCount, rec); }

int Asw_CloseNum() { return sql::Close(g_num); }

int Asw_OpenPnr(const char* pnr) {
  static sql::Stmt s{
      "select AswNum ,TO_CHAR(AswGvo,'yyyymmdd') ,TO_CHAR(AswGbi,'yyyymmdd') ,AswErf ,"
      "TO_CHAR(AswDat,'yyyymmddHH24MISS')  from KvnSystem.Kvn301Asw where (AswPnr=:b0 and "
      "AswGvo<=trunc(SYSDATE)) order by AswGvo desc"};
  Text<9> person;
  ArgText_Bound(person, pnr);
  const sql::Bind binds[] = {sql::BText(person)};
  return sql::Open(g_pnr, s, binds, 1);
}

int Asw_FetchPnr(AswRecord& rec) { return FetchInto(g_pnr, kPnrSelect, kPnrCount, rec); }

int Asw_ClosePnr() { return sql::Close(g_pnr); }

int Asw_OpenAll() {
  static sql::Stmt s{
      "select AswPnr ,AswNum ,TO_CHAR(AswGvo,'yyyymmdd') ,TO_CHAR(AswGbi,'yyyymmdd') ,AswErf ,"
      "TO_CHAR(AswDat,'yyyymmddHH24MISS') ,PnrNam ,PnrStr ,PnrOrt  from KvnSystem.Kvn301Asw ,"
      "Kvn300Pnr where (((AswPnr is  not null  and AswGvo<=trunc(SYSDATE)) and "
      "(AswGbi>=trunc(SYSDATE) or AswGbi is null )) and AswPnr=PnrNum) order by AswPnr,AswGvo "
      "desc"};
  return sql::Open(g_all, s, nullptr, 0);
}

int Asw_FetchAll(AswRecord& rec) { return FetchInto(g_all, kAllSelect, kAllCount, rec); }

int Asw_CloseAll() { return sql::Close(g_all); }

int Pnr_Read(const char* pnr, Text<31>* nam, Text<31>* str, Text<31>* ort) {
  static sql::Stmt s{"select PnrNam ,PnrStr ,PnrOrt  from Kvn300Pnr where PnrNum=:b6"};
  Text<9> person;
  ArgText_Bound(person, pnr);
  const sql::Bind binds[] = {sql::BText(person)};
  AswRecord row;
  sql::Out outs[kPersonCount];
  sql::OutsOf(&row, kFields, kPersonSelect, kPersonCount, outs);
  int rc = sql::SelectOne(s, binds, 1, outs, kPersonCount);
  if (rc != 0) return rc;
  if (nam != nullptr) *nam = row.PnrNam;
  if (str != nullptr) *str = row.PnrStr;
  if (ort != nullptr) *ort = row.PnrOrt;
  return 0;
}

int Bsv_Check(const char* pnr) {
  static sql::Stmt s{
      "select BSVPNR  from Kvn310Bsv where ((BsvPnr=:b0 and BsvGvo<=trunc(SYSDATE)) and "
      "(BsvGbi>=trunc(SYSDATE) or BsvGbi is null ))"};
  Text<9> person;
  ArgText_Bound(person, pnr);
  const sql::Bind binds[] = {sql::BText(person)};
  Text<9> found;  // only the status is used
  const sql::Out outs[] = {sql::OText(found)};
  return sql::SelectOne(s, binds, 1, outs, 1);
}

int Ztg_ReadKst(const char* pnr, Text<11>* kst) {
  static sql::Stmt s{
      "select ZTGKST  from Kvn329Ztg where (ZtgPnr=:b2 and ZtgVon=trunc(SYSDATE))"};
  Text<9> person;
  ArgText_Bound(person, pnr);
  const sql::Bind binds[] = {sql::BText(person)};
  Text<11> value;
  const sql::Out outs[] = {sql::OText(value)};
  int rc = sql::SelectOne(s, binds, 1, outs, 1);
  if (rc == 0 && kst != nullptr) *kst = value;
  return rc;
}

int Vrg_Read(const char* area, const char* field, Text<81>* value) {
  static sql::Stmt s{"select VrgWrt  from Kvn555Vrg where (VrgBer=:b2 and VrgFld=:b3)"};
  Text<11> ber;
  Text<31> fld;
  ArgText_Bound(ber, area);
  ArgText_Bound(fld, field);
  const sql::Bind binds[] = {sql::BText(ber), sql::BText(fld)};
  Text<81> wrt;
  const sql::Out outs[] = {sql::OText(wrt)};
  int rc = sql::SelectOne(s, binds, 2, outs, 1);
  if (rc == 0 && value != nullptr) *value = wrt;
  return rc;
}
