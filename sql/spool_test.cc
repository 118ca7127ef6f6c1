#include "sql/spool.h"

#include <string>

#include "gtest/gtest.h"
#include "sql/errors.h"
#include "sql/row.h"

namespace sql {
namespace {

TEST(Spool, KeepsMemoryUnderItsCapAndDeliversEveryRowInOrder) {
  Spool spool(4096);
  RowWriter w;
  const int kRows = 100000;
  for (int i = 0; i < kRows; ++i) {
    w.Clear();
    w.AddInt(i);
    std::string text(i % 50, 'a' + i % 26);
    w.AddText(text.data(), text.size());
    ASSERT_EQ(kOk, spool.Add(w.data(), w.size()));
  }
  EXPECT_TRUE(spool.spilled());
  EXPECT_LE(spool.memoryBytes(), 2u * 4096);
  ASSERT_EQ(kOk, spool.Finish());
  EXPECT_EQ(static_cast<uint64_t>(kRows), spool.rows());
  const char* row = nullptr;
  size_t len = 0;
  int32_t n = -1;
  char text[64];
  Out outs[] = {OI32(n), OText(text, sizeof text)};
  for (int i = 0; i < kRows; ++i) {
    ASSERT_EQ(kOk, spool.Next(&row, &len)) << i;
    ASSERT_EQ(kOk, Row_Fill(row, len, outs, 2));
    ASSERT_EQ(i, n);
    ASSERT_EQ(std::string(i % 50, 'a' + i % 26), text) << i;
  }
  EXPECT_EQ(kNoData, spool.Next(&row, &len));
  EXPECT_EQ(kNoData, spool.Next(&row, &len));
}

TEST(Spool, AnEmptySpoolEndsAtOnce) {
  Spool spool;
  ASSERT_EQ(kOk, spool.Finish());
  const char* row = nullptr;
  size_t len = 0;
  EXPECT_EQ(kNoData, spool.Next(&row, &len));
  EXPECT_FALSE(spool.spilled());
}

TEST(RowFill, KeepsAtMostTheWidestOutputOfAText) {
  RowWriter w;
  std::string huge(200000, 'z');
  w.AddText(huge.data(), huge.size());
  w.AddNull();
  EXPECT_LT(w.size(), kMaxColumnText + 16);
  std::string out(kMaxColumnText, 'x');
  int32_t i = 3;
  Out outs[] = {OText(out.data(), out.size()), OI32(i)};
  ASSERT_EQ(kOk, Row_Fill(w.data(), w.size(), outs, 2));
  EXPECT_EQ(kMaxColumnText - 1, std::string(out.c_str()).size());
  EXPECT_EQ(0, i);
  // A long UTF-8 text is kept up to a whole character, so it still decodes.
  RowWriter u;
  std::string umlauts;
  for (int k = 0; k < 40000; ++k) umlauts += "\xC3\xA4";
  u.AddText(umlauts.data(), umlauts.size());
  ASSERT_EQ(kOk, Row_Fill(u.data(), u.size(), outs, 1));
  EXPECT_EQ(std::string((kMaxColumnText - 1) / 2, '\xE4'), out.c_str());
  // A malformed row is refused.
  EXPECT_EQ(kInternal, Row_Fill(w.data(), 3, outs, 1));
  Out pair[] = {Out{kTextPair, out.data(), 4}};
  EXPECT_EQ(kInternal, Row_Fill(w.data(), w.size(), pair, 1));
}

}  // namespace
}  // namespace sql
