#include "sql/record.h"

#include <cstring>

#include "gtest/gtest.h"
#include "sql/errors.h"
#include "sql/sql_test_fixture.h"

namespace sql {
namespace {

struct Rec {
  Text<13> Key;
  int32_t Small;
  Text<9> Day;
  Text<7> Time;
  double Qty;
  int32_t Big;
  Text<15> Stamp;
};

enum { kKey, kSmall, kWhen, kQty, kBig, kStamp, kFieldCount };
const Field kFields[] = {
    SQL_FIELD(Rec, Key, kText),  SQL_FIELD(Rec, Small, kI16), SQL_PAIR(Rec, Day, Time),
    SQL_FIELD(Rec, Qty, kF64),   SQL_FIELD(Rec, Big, kI32),   SQL_FIELD(Rec, Stamp, kText),
};
static_assert(sizeof kFields / sizeof kFields[0] == kFieldCount);

// The binding type must suit the member: SQL_FIELD rejects the others.
static_assert(FieldTypeFits<Text<13>>(kText) && FieldTypeFits<Text<13>>(sql::kKey));
static_assert(FieldTypeFits<int32_t>(kI16) && FieldTypeFits<int32_t>(kI32));
static_assert(FieldTypeFits<double>(kF64));
static_assert(!FieldTypeFits<Text<13>>(kI16) && !FieldTypeFits<Text<13>>(kF64));
static_assert(!FieldTypeFits<int32_t>(kText) && !FieldTypeFits<int32_t>(kF64));
static_assert(!FieldTypeFits<double>(kI32) && !FieldTypeFits<double>(sql::kKey));
static_assert(!FieldTypeFits<int64_t>(kI32) && !FieldTypeFits<char[9]>(kText));
static_assert(!FieldTypeFits<Text<9>>(kTextPair));

using SqlRecord = SqlDbTest;

TEST_F(SqlRecord, BindsAndOutputsFollowTheFieldList) {
  Sql("create table r (k text, s integer, w timestamp(0), q double precision, b integer);");
  Rec rec;
  rec.Key = "K1";
  rec.Small = 65537;
  rec.Day = "20240102";
  rec.Time = "030405";
  rec.Qty = 1.5;
  rec.Big = -7;
  static const uint8_t kIns[] = {kKey, kSmall, kWhen, kQty, kBig};
  Bind binds[sizeof kIns];
  BindsOf(&rec, kFields, kIns, sizeof kIns, binds);
  Stmt ins{"insert into r values (:b0, :b1, TO_DATE(:b2,'yyyymmddHH24MISS'), :b3, :b4)"};
  ASSERT_EQ(kOk, Exec(ins, binds, sizeof kIns));
  EXPECT_EQ("K1|1|2024-01-02 03:04:05|1.5|-7", Query("select * from r"));

  // Read back in another order, the date-time as its two parts.
  Rec back;
  std::memset(static_cast<void*>(&back), 0x55, sizeof back);
  enum { kDay = kFieldCount, kTime };
  const Field fields[] = {kFields[kKey], kFields[kSmall], kFields[kWhen], kFields[kQty],
                          kFields[kBig], kFields[kStamp], SQL_FIELD(Rec, Day, kText),
                          SQL_FIELD(Rec, Time, kText)};
  static const uint8_t kRead[] = {kBig, kDay, kTime, kQty, kSmall, kKey};
  Out outs[sizeof kRead];
  OutsOf(&back, fields, kRead, sizeof kRead, outs);
  Stmt sel{"select b, TO_CHAR(w,'yyyymmdd'), TO_CHAR(w,'HH24MISS'), q, s, k from r"};
  ASSERT_EQ(kOk, SelectOne(sel, nullptr, 0, outs, sizeof kRead));
  EXPECT_TRUE(back.Key == "K1");
  EXPECT_EQ(1, back.Small);
  EXPECT_TRUE(back.Day == "20240102");
  EXPECT_TRUE(back.Time == "030405");
  EXPECT_EQ(1.5, back.Qty);
  EXPECT_EQ(-7, back.Big);

  // A pair cannot be an output: the fetch refuses it.
  static const uint8_t kPair[] = {kWhen};
  Out pair[1];
  OutsOf(&back, kFields, kPair, 1, pair);
  Stmt one{"select w from r"};
  EXPECT_EQ(kInternal, SelectOne(one, nullptr, 0, pair, 1));
}

TEST(Record, ClearFieldsKeepsTheListedFieldsOnly) {
  Rec rec;
  std::memset(static_cast<void*>(&rec), 0x55, sizeof rec);
  rec.Key = "K1";
  static const uint8_t kKeep[] = {kKey, kBig};
  ClearFields(&rec, kFields, kFieldCount, kKeep, 2);
  EXPECT_TRUE(rec.Key == "K1");
  EXPECT_EQ(0x55555555, rec.Big);
  EXPECT_EQ(0, rec.Small);
  EXPECT_EQ(0.0, rec.Qty);
  const char zeros[15] = {};
  EXPECT_EQ(0, std::memcmp(rec.Day.s, zeros, sizeof rec.Day.s));
  EXPECT_EQ(0, std::memcmp(rec.Time.s, zeros, sizeof rec.Time.s));
  EXPECT_EQ(0, std::memcmp(rec.Stamp.s, zeros, sizeof rec.Stamp.s));
}

}  // namespace
}  // namespace sql
