// Shift models, shifts and breaks: the three cursors, the count of shift
// models and the sum of break minutes.
#include "db/Dbstd/shift.h"

#include <cstdint>

#include "db/Dbstd/arg_text.h"
#include "sql/errors.h"
#include "sql/record.h"
#include "sql/sql.h"

namespace {

// The columns of the shift-model cursor, in record order (which is the
// select order).
enum : uint8_t {
  kAemApg, kAemEmo, kAemGvo, kAemBez, kAemTxt, kAemKal, kAemLkz, kAemVzt,
  kAemEzt, kAemPrz, kAemAfz, kAemApz, kAemPrp, kAemAfp, kAemApp, kKalBtp,
  kKalDtm, kBakJhr, kBakMon, kBakWch, kBakWtg, kBakJtg, kAemMaz,
};
#define F(name, type) SQL_FIELD(AemRecord, name, type)
const sql::Field kAemFields[] = {
    F(AemApg, sql::kText), F(AemEmo, sql::kText), F(AemGvo, sql::kText),
    F(AemBez, sql::kText), F(AemTxt, sql::kText), F(AemKal, sql::kI32),
    F(AemLkz, sql::kI32),  F(AemVzt, sql::kF64),  F(AemEzt, sql::kF64),
    F(AemPrz, sql::kF64),  F(AemAfz, sql::kF64),  F(AemApz, sql::kF64),
    F(AemPrp, sql::kF64),  F(AemAfp, sql::kF64),  F(AemApp, sql::kF64),
    F(KalBtp, sql::kText), F(KalDtm, sql::kText), F(BakJhr, sql::kI32),
    F(BakMon, sql::kI32),  F(BakWch, sql::kI32),  F(BakWtg, sql::kI32),
    F(BakJtg, sql::kI32),  F(AemMaz, sql::kF64),
};
#undef F
const uint8_t kAemSelect[] = {
    kAemApg, kAemEmo, kAemGvo, kAemBez, kAemTxt, kAemKal, kAemLkz, kAemVzt,
    kAemEzt, kAemPrz, kAemAfz, kAemApz, kAemPrp, kAemAfp, kAemApp, kKalBtp,
    kKalDtm, kBakJhr, kBakMon, kBakWch, kBakWtg, kBakJtg, kAemMaz,
};
constexpr int kAemCount = sizeof kAemSelect;
static_assert(kAemCount == sizeof kAemFields / sizeof kAemFields[0]);

// The columns of the shift cursor.
enum : uint8_t { kEmoEmo, kEmoTtp, kEmoTxt, kEmoBeg, kEmoEnd, kEmoArt };
#define F(name, type) SQL_FIELD(EmoRecord, name, type)
const sql::Field kEmoFields[] = {
    F(EmoEmo, sql::kText), F(EmoTtp, sql::kText), F(EmoTxt, sql::kText),
    F(EmoBeg, sql::kI32),  F(EmoEnd, sql::kI32),  F(EmoArt, sql::kI32),
};
#undef F
const uint8_t kEmoSelect[] = {kEmoEmo, kEmoTtp, kEmoTxt, kEmoBeg, kEmoEnd, kEmoArt};
constexpr int kEmoCount = sizeof kEmoSelect;

// The columns of the break cursor.
enum : uint8_t {
  kPEmoEmo, kPEmoTtp, kPEmoTxt, kPEmoBeg, kPEmoEnd, kPmsNum,
  kPmsBeg, kPmsEnd, kPmsInt, kPmsPse, kPmsBzt, kPmsPrz,
};
#define F(name, type) SQL_FIELD(PmsRecord, name, type)
const sql::Field kPmsFields[] = {
    F(EmoEmo, sql::kText), F(EmoTtp, sql::kText), F(EmoTxt, sql::kText),
    F(EmoBeg, sql::kI32),  F(EmoEnd, sql::kI32),  F(PmsNum, sql::kI32),
    F(PmsBeg, sql::kI32),  F(PmsEnd, sql::kI32),  F(PmsInt, sql::kI32),
    F(PmsPse, sql::kI32),  F(PmsBzt, sql::kI32),  F(PmsPrz, sql::kF64),
};
#undef F
const uint8_t kPmsSelect[] = {
    kPEmoEmo, kPEmoTtp, kPEmoTxt, kPEmoBeg, kPEmoEnd, kPmsNum,
    kPmsBeg,  kPmsEnd,  kPmsInt,  kPmsPse,  kPmsBzt,  kPmsPrz,
};
constexpr int kPmsCount = sizeof kPmsSelect;

// The inputs and the total of the break sum.
enum : uint8_t { kSumEmo, kSumTtp, kSumMinutes };
const sql::Field kSumFields[] = {
    SQL_FIELD(PmsSumRecord, EmoEmo, sql::kText),
    SQL_FIELD(PmsSumRecord, EmoTtp, sql::kText),
    SQL_FIELD(PmsSumRecord, PmsSum, sql::kI32),
};
const uint8_t kSumKey[] = {kSumEmo, kSumTtp};
const uint8_t kSumTotal[] = {kSumMinutes};

}  // namespace

static sql::Cursor g_aem;
static sql::Cursor g_pms;
static sql::Cursor g_emo;

int Aem_Open(const char* workGroup, int32_t kind, const char* day) {
  // The day is one value for its four places.
  static sql::Stmt s{
      "select AemApg ,AemEmo ,TO_CHAR(AemGvo,'yyyymmdd') ,AemBez ,AemTxt ,AemKal ,AemLkz ,"
      "AemVzt ,AemEzt ,AemPrz ,AemAfz ,AemApz ,AemPrp ,AemAfp ,AemApp ,KalBtp ,"
      "TO_CHAR(KalDtm,'yyyymmdd') ,BakJhr ,BakMon ,BakWch ,BakWtg ,BakJtg ,AemMaz  "
      "from Kvn532Aem ,KvnSystem.Kvn133Kal ,KvnSystem.Kvn133Bak ,Kvn533Emo where "
      "((((((((AemApg=:b0 and AemKng=:b1) and TO_CHAR(AemGvo,'yyyymmdd')<=:b2) and "
      "(TO_CHAR(AemGbi,'yyyymmdd')>=:b2 or AemGbi is null )) and AemKal=KalNum) and "
      "TO_CHAR(KalDtm,'yyyymmdd')=:b2) and TO_CHAR(BakDtm,'yyyymmdd')=:b2) and "
      "AemEmo=EmoEmo) and EmoTtp=KalBtp) order by EmoBeg"};
  Text<11> group;
  Text<9> d;
  ArgText_Bound(group, workGroup);
  ArgText_Bound(d, day);
  const sql::Bind binds[] = {sql::BText(group), sql::BI32(kind), sql::BText(d)};
  return sql::Open(g_aem, s, binds, 3);
}

int Aem_Fetch(AemRecord& rec) {
  AemRecord row;
  sql::Out outs[kAemCount];
  sql::OutsOf(&row, kAemFields, kAemSelect, kAemCount, outs);
  int rc = sql::Fetch(g_aem, outs, kAemCount);
  if (rc == 0) rec = row;
  return rc;
}

int Aem_Close() { return sql::Close(g_aem); }

int Aem_Count(const char* workGroup, int32_t* count) {
  static sql::Stmt s{"select count(*)  from Kvn532Aem where (AemApg=:b1 and AemKng=2)"};
  Text<11> group;
  ArgText_Bound(group, workGroup);
  const sql::Bind binds[] = {sql::BText(group)};
  int32_t n = 0;
  const sql::Out outs[] = {sql::OI32(n)};
  int rc = sql::SelectOne(s, binds, 1, outs, 1);
  if (rc == 0 && count != nullptr) *count = n;
  return rc;
}

int Pms_Open(const char* model, const char* dayType, const char* day) {
  static sql::Stmt s{
      "select EmoEmo ,EmoTtp ,EmoTxt ,EmoBeg ,EmoEnd ,PmsNum ,PmsBeg ,PmsEnd ,PmsInt ,PmsPse ,"
      "PmsBzt ,PmsPrz  from Kvn533Emo ,Kvn536Pmz ,Kvn535Pms where (((((EmoEmo=:b0 and "
      "EmoTtp=:b1) and EmoPmo=PmzPmo) and PmzPms=PmsNum) and "
      "TO_CHAR(PmzGvo,'yyyymmdd')<=:b2) and TO_CHAR(PmzGbi,'yyyymmdd')>=:b2) order by EmoBeg"};
  Text<11> emo;
  Text<4> ttp;
  Text<9> d;
  ArgText_Bound(emo, model);
  ArgText_Bound(ttp, dayType);
  ArgText_Bound(d, day);
  const sql::Bind binds[] = {sql::BText(emo), sql::BText(ttp), sql::BText(d)};
  return sql::Open(g_pms, s, binds, 3);
}

int Pms_Fetch(PmsRecord& rec) {
  PmsRecord row;
  sql::Out outs[kPmsCount];
  sql::OutsOf(&row, kPmsFields, kPmsSelect, kPmsCount, outs);
  int rc = sql::Fetch(g_pms, outs, kPmsCount);
  if (rc == 0) rec = row;
  return rc;
}

int Pms_Close() { return sql::Close(g_pms); }

int Pms_SumMinutes(PmsSumRecord& rec, const char* day) {
  // Breaks within the day.
  static sql::Stmt within{
      "select sum((PmsEnd-PmsBeg))  from Kvn533Emo ,Kvn536Pmz ,Kvn535Pms where "
      "((((((EmoEmo=:b2 and EmoTtp=:b3) and EmoPmo=PmzPmo) and PmzPms=PmsNum) and "
      "TO_CHAR(PmzGvo,'yyyymmdd')<=:b4) and TO_CHAR(PmzGbi,'yyyymmdd')>=:b4) and "
      "PmsEnd>=PmsBeg)"};
  // Breaks that run past midnight: their end counts from the next day.
  static sql::Stmt overnight{
      "select sum(((PmsEnd+1440)-PmsBeg))  from Kvn533Emo ,Kvn536Pmz ,Kvn535Pms where "
      "((((((EmoEmo=:b2 and EmoTtp=:b3) and EmoPmo=PmzPmo) and PmzPms=PmsNum) and "
      "TO_CHAR(PmzGvo,'yyyymmdd')<=:b4) and TO_CHAR(PmzGbi,'yyyymmdd')>=:b4) and "
      "PmsEnd<PmsBeg)"};
  Text<9> d;
  ArgText_Bound(d, day);
  sql::Bind binds[3];
  sql::BindsOf(&rec, kSumFields, kSumKey, 2, binds);
  binds[2] = sql::BText(d);

  // A sum over no rows is NULL with status 0, which the output gives as 0.
  PmsSumRecord sum;
  sql::Out out;
  sql::OutsOf(&sum, kSumFields, kSumTotal, 1, &out);
  int rc = sql::SelectOne(within, binds, 3, &out, 1);
  if (rc != 0 && rc != sql::kNoData) return rc;
  // The total is the first sum as soon as it is known: a failing second
  // sum leaves it there.
  rec.PmsSum = rc == 0 ? sum.PmsSum : 0;

  sum.PmsSum = 0;
  rc = sql::SelectOne(overnight, binds, 3, &out, 1);
  if (rc != 0 && rc != sql::kNoData) return rc;
  if (rc == 0) rec.PmsSum += sum.PmsSum;
  return rc;
}

int Emo_Open(const char* model, const char* dayType) {
  static sql::Stmt s{
      "select EmoEmo ,EmoTtp ,EmoTxt ,EmoBeg ,EmoEnd ,EmoArt  from Kvn533Emo where "
      "(EmoEmo=:b0 and EmoTtp=:b1) order by EmoBeg"};
  Text<11> emo;
  Text<4> ttp;
  ArgText_Bound(emo, model);
  ArgText_Bound(ttp, dayType);
  const sql::Bind binds[] = {sql::BText(emo), sql::BText(ttp)};
  return sql::Open(g_emo, s, binds, 2);
}

int Emo_Fetch(EmoRecord& rec) {
  EmoRecord row;
  sql::Out outs[kEmoCount];
  sql::OutsOf(&row, kEmoFields, kEmoSelect, kEmoCount, outs);
  int rc = sql::Fetch(g_emo, outs, kEmoCount);
  if (rc == 0) rec = row;
  return rc;
}

int Emo_Close() { return sql::Close(g_emo); }
