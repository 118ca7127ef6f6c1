// Texts and numbers at the database boundary, through the session: texts
// are UTF-8 in the database and ISO-8859-1 in the job; a number or key that
// does not fit its output is an error of its row.
#include <cstring>
#include <string>

#include "sql/charset.h"
#include "sql/sql_test_fixture.h"

namespace sql {
namespace {

using SqlCharset = SqlDbTest;

// The ISO-8859-1 texts of the job as the database holds them, in UTF-8,
// and back; a text is cut by characters, never inside one.
TEST_F(SqlCharset, TextsAreUtf8InTheDatabaseAndIso88591InTheJob) {
  Sql("create table t (n integer, s text);");
  Stmt ins{"insert into t values (:b0, :b1)"};
  int32_t n = 0;
  char text[32];
  Bind b[] = {BI32(n), BText(text, sizeof text)};
  for (const char* v : {"Geh\xE4use", "S\xE4tze", "Ma\xDF", "plain"}) {
    ++n;
    Text_Copy(text, sizeof text, v);
    ASSERT_EQ(kOk, Exec(ins, b, 2));
  }
  EXPECT_EQ("Geh\xC3\xA4use\nS\xC3\xA4tze\nMa\xC3\x9F\nplain",
            Query("select s from t order by n"));
  EXPECT_EQ("1", Query("select count(*) from t where s = 'Ma\xC3\x9F'"));

  // Stored by another program: a character ISO-8859-1 has not, and bytes
  // that are no UTF-8 (taken as they are), where the database keeps such
  // bytes (a SQLite file; a UTF8 server refuses them).
  const bool raw = !testing_support::UsePostgres();
  Sql(raw ? "insert into t values (5, 'Preis 5\xE2\x82\xAC'), (6, 'Geh\xE4use'), (7, 'x\xC3');"
          : "insert into t values (5, 'Preis 5\xE2\x82\xAC');");
  Stmt q{"select s from t where n = :b0"};
  Bind key[] = {BI32(n)};
  struct Case {
    int32_t n;
    size_t width;
    const char* want;
  } cases[] = {
      {1, 8, "Geh\xE4use"},   // 7 characters in 7 positions, from 8 bytes
      {1, 5, "Geh\xE4"},      // cut after the 4th character
      {3, 3, "Ma"},
      {3, 4, "Ma\xDF"},
      {5, 12, "Preis 5?"},
      {6, 12, "Geh\xE4use"},
      {7, 12, "x\xC3"},
  };
  for (const Case& c : cases) {
    if (c.n > 5 && !raw) continue;
    char out[16];
    Out o[] = {OText(out, c.width)};
    n = c.n;
    ASSERT_EQ(kOk, SelectOne(q, key, 1, o, 1)) << c.n;
    EXPECT_EQ(std::string(c.want), out) << c.n << "/" << c.width;
  }
}

// A number that does not fit its output, or a key longer than its field,
// is the error of its row: a single-row select returns it, a cursor
// delivers the row with it and goes on with the next.
TEST_F(SqlCharset, ValuesThatDoNotFitAreTheErrorOfTheirRow) {
  PPS2BDE_SQLITE_ONLY_VALUES();
  Sql("create table t (n integer, k text, s integer, i integer, f real);"
      "insert into t values (1, 'A', 32767, 2147483647, 1.5), (2, 'B', 65545, 7, 1),"
      " (3, 'C', -32768, -2147483648, 2), (4, 'D', 1, 2147483648, 3),"
      " (5, 'E', 1, 1, 1e999), (6, 'LONGKEY', 1, 1, 4), (7, 'F', -32768.9, 1.5e9, -0.0),"
      " (8, 'G', 32768.0, 1, 5), (9, 'H', '70000', 1, 6), (10, cast(x'4900' as text), 1, 1, 7);");
  Stmt q{"select k, s, i, f from t order by n"};
  Text<5> k;
  int32_t s = 0, i = 0;
  double f = 0;
  Out o[] = {OKey(k), OI16(s), OI32(i), OF64(f)};
  Cursor c;
  ASSERT_EQ(kOk, Open(c, q, nullptr, 0));
  struct Want {
    int rc;
    const char* k;
    int32_t s, i;
    double f;
  } want[] = {
      {kOk, "A", 32767, 2147483647, 1.5},
      {kOverflow, "B", 0, 7, 1},  // 65545 is not cut to 9
      {kOk, "C", -32768, INT32_MIN, 2},
      {kOverflow, "D", 1, 0, 3},
      {kOverflow, "E", 1, 1, 0},
      {kTruncated, "LONG", 1, 1, 4},
      {kOk, "F", -32768, 1500000000, -0.0},
      {kOverflow, "G", 0, 1, 5},
      {kOverflow, "H", 0, 1, 6},
      {kTruncated, "I", 1, 1, 7},  // a zero byte would end the key early
  };
  for (const Want& w : want) {
    ASSERT_EQ(w.rc, Fetch(c, o, 4)) << w.k;
    EXPECT_STREQ(w.k, k.c_str());
    EXPECT_EQ(w.s, s) << w.k;
    EXPECT_EQ(w.i, i) << w.k;
    EXPECT_EQ(w.f, f) << w.k;
  }
  EXPECT_EQ(kNoData, Fetch(c, o, 4));
  (void)Close(c);

  Stmt one{"select k, s, i, f from t where n = 2"};
  EXPECT_EQ(kOverflow, SelectOne(one, nullptr, 0, o, 4));
  // The same text is only cut where it is no key.
  Stmt six{"select k from t where n = 6"};
  Out text[] = {OText(k)};
  EXPECT_EQ(kOk, SelectOne(six, nullptr, 0, text, 1));
  EXPECT_STREQ("LONG", k.c_str());
}

TEST(Charset, ConversionsKeepWholeCharacters) {
  char out[16];
  // Latin-1 to UTF-8 stops before a character that would not fit whole.
  EXPECT_EQ(2u, Charset_ToUtf8("ab\xE4", 3, out, 3));
  EXPECT_EQ(4u, Charset_ToUtf8("ab\xE4", 3, out, 6));
  EXPECT_EQ(std::string("ab\xC3\xA4"), std::string(out, 4));
  // Overlong, surrogate, cut and out-of-range sequences are no UTF-8.
  for (const char* raw : {"\xC0\xAF", "\xED\xA0\x80", "\xE2\x82", "\xF4\x90\x80\x80", "\x80"}) {
    size_t written = 0, chars = 0;
    Charset_FromUtf8(raw, std::strlen(raw), out, sizeof out, &written, &chars);
    EXPECT_EQ(std::string(raw), std::string(out, written));
    EXPECT_EQ(std::strlen(raw), chars);
  }
  size_t written = 0, chars = 0;
  Charset_FromUtf8("\xF0\x9F\x98\x80\xC3\xBF", 6, out, 1, &written, &chars);
  EXPECT_EQ(1u, written);
  EXPECT_EQ(2u, chars);
  EXPECT_EQ('?', out[0]);
}

}  // namespace
}  // namespace sql
