// Sessions, status codes, bound values and outputs of the client layer.
#include "sql/sql.h"

#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>

#include "gtest/gtest.h"
#include "runtime/os/test_env.h"
#include "sql/engine.h"
#include "sql/errors.h"
#include "sql/sql_test_fixture.h"
#include "tests/support/support.h"

namespace sql {
namespace {

using testing_support::FileExists;
using testing_support::TempDir;

TEST(SqlConnect, TheServiceMustNameAnExistingFile) {
  TempDir dir;
  std::string missing = dir / "none.db";
  EXPECT_EQ(kNoService, Connect(("a/b@" + missing).c_str()));
  EXPECT_FALSE(FileExists(missing));  // never created
  EXPECT_FALSE(Connected());
  EXPECT_EQ(kNoService, Connect("a/b@"));
  EXPECT_EQ(kNoService, Connect("/@"));
  EXPECT_EQ(kNoService, Connect("a/b"));
  EXPECT_EQ(kNoService, Connect(nullptr));
  EXPECT_EQ(kNoService, Connect(("a/b@" + dir.path()).c_str()));  // a folder
  EXPECT_EQ(kNoService, Connect("a/b@:memory:"));
  std::string tooLong = "a/b@" + std::string(5000, 'x');
  EXPECT_EQ(kNoService, Connect(tooLong.c_str()));
  EXPECT_FALSE(Connected());

  Stmt s{"select 1"};
  EXPECT_EQ(kNotConnected, Exec(s, nullptr, 0));
  EXPECT_EQ(kNotConnected, Commit());
  Cursor c;
  EXPECT_EQ(kNotConnected, Open(c, s, nullptr, 0));
  EXPECT_EQ(kNotConnected, Fetch(c, nullptr, 0));
}

TEST(SqlConnect, RelativeServiceAndPasswordWithAnAtSign) {
  TempDir dir;
  testing_support::WriteAll(dir / "bde.db", "");
  char cwd[PATH_MAX];
  ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
  ASSERT_EQ(0, chdir(dir.path().c_str()));
  int rc = Connect("kolvane/p@ss@bde.db");
  bool connected = Connected();
  Disconnect();
  ASSERT_EQ(0, chdir(cwd));
  EXPECT_EQ(kOk, rc);
  EXPECT_TRUE(connected);
  EXPECT_FALSE(Connected());
}

TEST(SqlConnect, AServerThatCannotBeReachedIsAnUnresolvedService) {
  EXPECT_EQ(kNoService, Connect("u", "p", "host=/nonexistent/pps2bde port=1 dbname=x"));
  EXPECT_EQ(kNoService, Connect("u", "p", "postgresql://u@/x?host=/nonexistent/pps2bde"));
  EXPECT_FALSE(Connected());
}

using SqlStatus = SqlDbTest;

// A server refuses a wrong password (SQLite has no accounts): a failed
// connect, never a session.
TEST_F(SqlStatus, AWrongPasswordIsARefusedLogin) {
  int rc = Connect(testing_support::kPgUser, "wrong", path_.c_str());
  EXPECT_EQ(testing_support::UsePostgres() ? kLoginDenied : kOk, rc);
  EXPECT_EQ(rc == kOk, Connected());
}

TEST_F(SqlStatus, SingleRowSelectAndWritesReportOraclesCodes) {
  Sql("create table t (k text primary key, v integer not null);"
      "insert into t values ('a', 1), ('b', 2), ('c', 2);");
  Stmt one{"select v from t where k=:b0"};
  int32_t v = 77;
  Out out[] = {OI32(v)};
  char key[4] = "b";
  Bind b[] = {BText(key, sizeof key)};
  EXPECT_EQ(kOk, SelectOne(one, b, 1, out, 1));
  EXPECT_EQ(2, v);
  std::strcpy(key, "x");
  v = 77;
  EXPECT_EQ(kNoData, SelectOne(one, b, 1, out, 1));
  EXPECT_EQ(77, v);

  Stmt two{"select k from t where v=2"};
  char k[4] = "zz";
  Out kout[] = {OText(k, sizeof k)};
  EXPECT_EQ(kTooManyRows, SelectOne(two, nullptr, 0, kout, 1));
  EXPECT_STREQ("zz", k);  // not filled

  EXPECT_EQ(kUniqueViolated, Run("insert into t values ('a', 5)"));
  EXPECT_EQ(kNotNull, Run("insert into t values ('d', null)"));
  EXPECT_EQ(kNoSuchTable, Run("insert into nothere values (1)"));
  EXPECT_EQ(kInvalidSql, Run("insert intu t values (1)"));
  EXPECT_EQ(kInvalidSql, Run("select 1; select 2"));
  EXPECT_EQ(kNoData, Run("update t set v=9 where k='x'"));
  EXPECT_EQ(kNoData, Run("delete  from t  where k='x'"));
  EXPECT_EQ(kOk, Run("update t set v=v where k='a'"));  // touched, unchanged
  EXPECT_EQ(kOk, Run("delete  from t  where v=2"));
  EXPECT_EQ("a|1", Query("select k, v from t"));
}

TEST_F(SqlStatus, ThePreparedFormIsKeptPerSessionAndRetriedAfterAFailure) {
  Stmt s{"select count(*) from late"};
  int32_t n = -1;
  Out out[] = {OI32(n)};
  EXPECT_EQ(kNoSuchTable, SelectOne(s, nullptr, 0, out, 1));
  EXPECT_EQ(nullptr, s.prepared);
  Sql("create table late (a integer);");
  ASSERT_EQ(kOk, SelectOne(s, nullptr, 0, out, 1));
  EXPECT_EQ(0, n);
  void* first = s.prepared;
  uint32_t epoch = s.epoch;
  ASSERT_EQ(kOk, SelectOne(s, nullptr, 0, out, 1));
  EXPECT_EQ(first, s.prepared);

  Disconnect();
  EXPECT_EQ(kNotConnected, SelectOne(s, nullptr, 0, out, 1));
  ASSERT_EQ(kOk, Reconnect());
  Sql("insert into late values (1);");
  ASSERT_EQ(kOk, SelectOne(s, nullptr, 0, out, 1));
  EXPECT_NE(epoch, s.epoch);
  EXPECT_EQ(1, n);
}

// A table the server vacuumed while it was empty (the planning tables
// after a run) and that fills again is still read by key through its
// index: a lookup planned once for an empty table must not scan the whole
// table for every row of the next run.
TEST_F(SqlStatus, AKeyLookupUsesTheIndexOfATableVacuumedEmpty) {
  if (!testing_support::UsePostgres()) GTEST_SKIP() << "a server's planner";
  Sql("create table big (k integer primary key, v integer);");
  ASSERT_EQ(0, OtherConnection(path_).Exec("VACUUM ANALYZE big"));
  Stmt look{"select v from big where k=:b0"};
  int32_t k = 7, v = 0;
  Bind key[] = {BI32(k)};
  Out out[] = {OI32(v)};
  // Enough executions for the server to keep one plan for every value.
  for (int i = 0; i < 8; ++i) ASSERT_EQ(kNoData, SelectOne(look, key, 1, out, 1));
  Sql("insert into big select g, g * 2 from generate_series(1, 20000) g;");
  ASSERT_EQ(kOk, BeginRead());
  for (k = 1; k <= 10; ++k) {
    ASSERT_EQ(kOk, SelectOne(look, key, 1, out, 1));
    EXPECT_EQ(2 * k, v);
  }
  Stmt scans{"select seq_scan, idx_scan from pg_stat_xact_user_tables where relname='big'"};
  int32_t seq = -1, idx = -1;
  Out counts[] = {OI32(seq), OI32(idx)};
  ASSERT_EQ(kOk, SelectOne(scans, nullptr, 0, counts, 2));
  EXPECT_EQ(0, seq);
  EXPECT_LE(10, idx);  // with the earlier ones when not reported yet
  ASSERT_EQ(kOk, EndRead());
}

TEST_F(SqlStatus, ValuesMustMatchThePlaceholders) {
  Sql("create table t (a integer, b integer);");
  int32_t x = 1;
  Bind b[] = {BI32(x), BI32(x)};
  EXPECT_EQ(kInternal, Run("insert into t values (:b0, :b1)", b, 1));
  EXPECT_EQ(kInternal, Run("insert into t values (:b0, 2)", b, 2));
  EXPECT_EQ(kInternal, Run("insert into t values (:b0, :b1)", nullptr, 2));
  EXPECT_EQ("", Query("select * from t"));
}

using SqlBinds = SqlDbTest;

TEST_F(SqlBinds, TextsAreBoundedAndEmptyIsNull) {
  Sql("create table t (n integer, a text);");
  const char full[] = {'a', 'b', 'c', 'd', 'e', 'f'};  // no terminator
  int32_t n = 1;
  Stmt ins{"insert into t values (:b0, :b1)"};
  Bind b[] = {BI32(n), BText(full, 4)};
  ASSERT_EQ(kOk, Exec(ins, b, 2));
  n = 2;
  b[1] = BText("", 5);
  ASSERT_EQ(kOk, Exec(ins, b, 2));
  n = 3;
  b[1] = BText(nullptr, 5);
  ASSERT_EQ(kOk, Exec(ins, b, 2));
  n = 4;
  b[1] = BText("x", 1);  // width 1 holds only the terminator
  ASSERT_EQ(kOk, Exec(ins, b, 2));
  EXPECT_EQ("1|abc|text\n2|<null>|null\n3|<null>|null\n4|<null>|null",
            Query("select n, a, case when a is null then 'null' else 'text' end from t order by n"));
}

TEST_F(SqlBinds, APairIsBoundAsOneTextAndNullWhenBothAreEmpty) {
  Sql("create table t (n integer, d timestamp(0));");
  Text<9> date;
  Text<7> time;
  date = "20240307";
  time = "081500";
  int32_t n = 1;
  Stmt ins{"insert into t values (:b0, TO_DATE(:b1,'yyyymmddHH24MISS'))"};
  Bind b[] = {BI32(n), BPair(date, time)};
  ASSERT_EQ(kOk, Exec(ins, b, 2));
  n = 2;
  time = "";
  ASSERT_EQ(kOk, Exec(ins, b, 2));
  n = 3;
  date = "";
  ASSERT_EQ(kOk, Exec(ins, b, 2));
  EXPECT_EQ("1|2024-03-07 08:15:00\n2|2024-03-07 00:00:00\n3|<null>",
            Query("select n, d from t order by n"));
}

TEST_F(SqlBinds, SixteenBitValuesKeepTheirLowBitsWithSign) {
  Sql("create table t (n integer, s integer, i integer, f double precision);");
  Stmt ins{"insert into t values (:b0, :b1, :b2, :b3)"};
  int32_t n = 0, s = 0, i = 0;
  double f = 0;
  Bind b[] = {BI32(n), BI16(s), BI32(i), BF64(f)};
  const int32_t values[] = {32767, 32768, 70000, -1, -32769};
  for (int32_t v : values) {
    ++n;
    s = i = v;
    f = v + 0.5;
    ASSERT_EQ(kOk, Exec(ins, b, 4));
  }
  EXPECT_EQ("32767|32767|32767.5\n-32768|32768|32768.5\n4464|70000|70000.5\n"
            "-1|-1|-0.5\n32767|-32769|-32768.5",
            Query("select s, i, f from t order by n"));
}

TEST_F(SqlBinds, QuantitiesReadBackAsBound) {
  Sql("create table t (n integer, f double precision);");
  Stmt ins{"insert into t values (:b0, :b1)"};
  Stmt get{"select f from t where n=:b0"};
  const double values[] = {0.1, 1.0 / 3, 2.5e-310, -2.5e300, 123456789.123, 1e22};
  int32_t n = 0;
  for (double v : values) {
    ++n;
    double f = v;
    Bind b[] = {BI32(n), BF64(f)};
    ASSERT_EQ(kOk, Exec(ins, b, 2));
    f = 7;
    Bind k[] = {BI32(n)};
    Out o[] = {OF64(f)};
    ASSERT_EQ(kOk, SelectOne(get, k, 1, o, 1));
    EXPECT_EQ(0, std::memcmp(&f, &v, sizeof f)) << v << " read back as " << f;
  }
}

TEST_F(SqlBinds, APlaceholderTakesOneValueHoweverOftenItAppears) {
  Sql("create table app (AppApk text, AppApp text, AppVal integer);"
      "insert into app values ('A', '1', 10), ('A', '2', 20), ('B', '2', 30);"
      "create table cfg (CfgDta integer, CfgVn1 text, CfgBi1 text, CfgVn2 text, CfgBi2 text);"
      "insert into cfg values (1, 'A', 'C', 'X', 'Y'), (2, 'M', 'P', 'B', 'B'),"
      " (3, 'Q', 'R', 'S', 'T');");
  // :b0 and :b2 name two values, in order of first appearance.
  Stmt s{"select AppVal from app where (AppApk=:b0 and AppApp=:b2)"};
  int32_t v = 0;
  Out out[] = {OI32(v)};
  Bind b[] = {BText("A", 13), BText("2", 6)};
  ASSERT_EQ(kOk, SelectOne(s, b, 2, out, 1));
  EXPECT_EQ(20, v);
  // One value for four appearances.
  Stmt cfg{"select CfgDta from cfg where ((:b0>=CfgVn1 and :b0<=CfgBi1) or "
           "(:b0>=CfgVn2 and :b0<=CfgBi2)) order by CfgDta"};
  Bind key[] = {BText("B", 11)};
  Cursor c;
  ASSERT_EQ(kOk, Open(c, cfg, key, 1));
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  EXPECT_EQ(1, v);
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  EXPECT_EQ(2, v);
  EXPECT_EQ(kNoData, Fetch(c, out, 1));
  (void)Close(c);
  // A repeated placeholder among later ones keeps their order.
  Stmt upd{"update app set AppVal=:b0 where (AppApk=:b1 and AppVal<:b0)"};
  int32_t top = 100;
  Bind ub[] = {BI32(top), BText("A", 13)};
  ASSERT_EQ(kOk, Exec(upd, ub, 2));
  EXPECT_EQ("100\n100\n30", Query("select AppVal from app order by AppApk, AppApp"));
}

using SqlOutputs = SqlDbTest;

TEST_F(SqlOutputs, TextsAreCutAndZeroFilledNullsAreEmptyOrZero) {
  Sql("create table t (a text, b text, i integer, f double precision, s integer);"
      "insert into t values ('abcdefgh', null, null, null, 2);");
  Stmt s{"select a, b, i, f, s, a from t"};
  char a[5], b[4], wide[12];
  std::memset(a, 'X', sizeof a);
  std::memset(b, 'X', sizeof b);
  std::memset(wide, 'X', sizeof wide);
  int32_t i = 5, s16 = 0;
  double f = 5;
  Out out[] = {OText(a, sizeof a), OText(b, sizeof b), OI32(i), OF64(f), OI16(s16),
               OText(wide, sizeof wide)};
  ASSERT_EQ(kOk, SelectOne(s, nullptr, 0, out, 6));
  EXPECT_EQ(0, std::memcmp(a, "abcd\0", 5));
  EXPECT_EQ(0, std::memcmp(b, "\0\0\0\0", 4));
  EXPECT_EQ(0, std::memcmp(wide, "abcdefgh\0\0\0\0", 12));
  EXPECT_EQ(0, i);
  EXPECT_EQ(0.0, f);
  EXPECT_EQ(2, s16);
}

TEST_F(SqlOutputs, NumbersConvertBetweenIntegerDoubleAndText) {
  Sql("create table t (i integer, f double precision, x text);"
      "insert into t values (7, 2.75, '12');");
  Stmt q{"select i, f, f, x, i, f from t"};
  double fi = 0;
  int32_t fint = 0, s16 = 0, xi = 0;
  char ti[8], tf[8];
  Out out[] = {OF64(fi), OI32(fint), OI16(s16), OI32(xi),
               OText(ti, sizeof ti), OText(tf, sizeof tf)};
  ASSERT_EQ(kOk, SelectOne(q, nullptr, 0, out, 6));
  EXPECT_EQ(7.0, fi);
  EXPECT_EQ(2, fint);
  EXPECT_EQ(2, s16);
  EXPECT_EQ(12, xi);
  EXPECT_STREQ("7", ti);
  EXPECT_STREQ("2.75", tf);
}

TEST_F(SqlOutputs, MoreOutputsThanColumnsFailWithoutWriting) {
  Sql("create table t (a integer); insert into t values (1);");
  Stmt s{"select a from t"};
  int32_t a = 9, b = 9;
  Out out[] = {OI32(a), OI32(b)};
  EXPECT_EQ(kInternal, SelectOne(s, nullptr, 0, out, 2));
  EXPECT_EQ(9, a);
}

using SqlDates = SqlDbTest;

TEST_F(SqlDates, SysdateTruncAndToCharFollowTheEnvClock) {
  ClockEnv clock;
  struct tm tm = {};
  tm.tm_year = 2031 - 1900;
  tm.tm_mon = 11;
  tm.tm_mday = 31;
  tm.tm_hour = 23;
  tm.tm_min = 59;
  tm.tm_sec = 58;
  tm.tm_isdst = -1;
  clock.now = mktime(&tm);
  ScopedEnv scoped(&clock);
  Sql("create table t (n integer, d timestamp(0));");
  ASSERT_EQ(kOk, Run("insert into t values (1, sysdate)"));
  ASSERT_EQ(kOk, Run("insert into t values (2, trunc(SYSDATE))"));
  ASSERT_EQ(kOk, Run("insert into t values (3, trunc(sysdate)+1)"));
  Text<15> stamp;
  Text<9> day;
  Text<7> time;
  Stmt back{"select TO_CHAR(d,'yyyymmddHH24MISS'), TO_CHAR(d,'yyyymmdd'), "
            "TO_CHAR(d,'HH24MISS') from t where n=:b0"};
  int32_t n = 1;
  Bind b[] = {BI32(n)};
  Out out[] = {OText(stamp), OText(day), OText(time)};
  ASSERT_EQ(kOk, SelectOne(back, b, 1, out, 3));
  EXPECT_TRUE(stamp == "20311231235958");
  EXPECT_TRUE(day == "20311231");
  EXPECT_TRUE(time == "235958");
  n = 2;
  ASSERT_EQ(kOk, SelectOne(back, b, 1, out, 3));
  EXPECT_TRUE(stamp == "20311231000000");
  n = 3;
  ASSERT_EQ(kOk, SelectOne(back, b, 1, out, 3));
  EXPECT_TRUE(stamp == "20320101000000");
  // Comparison with trunc(sysdate) is a comparison of the stored texts.
  Stmt cnt{"select count(*) from t where d<=trunc(sysdate)"};
  int32_t c = 0;
  Out cout[] = {OI32(c)};
  ASSERT_EQ(kOk, SelectOne(cnt, nullptr, 0, cout, 1));
  EXPECT_EQ(1, c);
}

TEST_F(SqlDates, ToDateRoundTripNullsAndErrors) {
  Sql("create table t (n integer, d timestamp(0));");
  Stmt ins{"insert into t values (:b0, TO_DATE(:b1,'yyyymmdd'))"};
  int32_t n = 1;
  Text<16> d;
  d = "20240229";
  Bind b[] = {BI32(n), BText(d)};
  ASSERT_EQ(kOk, Exec(ins, b, 2));
  n = 2;
  d = "";
  ASSERT_EQ(kOk, Exec(ins, b, 2));
  const struct { const char* text; int code; } bad[] = {
      {"20241301", kNotValidMonth}, {"20230229", kDayOfMonth},
      {"2024x101", kNonNumeric},    {"202401011", kFormatEnds},
      {"00000101", kYear},          {"20240100", kDayOfMonth},
      {"19000229", kDayOfMonth},    {"20240431", kDayOfMonth},
  };
  for (const auto& c : bad) {
    d = c.text;
    EXPECT_EQ(c.code, Exec(ins, b, 2)) << c.text;
  }
  Stmt time{"select TO_DATE(:b0,'yyyymmddHH24MISS') from t where n=1"};
  Text<20> out;
  Out o[] = {OText(out)};
  const struct { const char* text; int code; } badTime[] = {
      {"20240101240000", kHour}, {"20240101236000", kMinute}, {"20240101235960", kSecond}};
  for (const auto& c : badTime) {
    Bind tb[] = {BText(c.text, 15)};
    EXPECT_EQ(c.code, SelectOne(time, tb, 1, o, 1)) << c.text;
  }
  Bind leap[] = {BText("20000229235959", 15)};
  ASSERT_EQ(kOk, SelectOne(time, leap, 1, o, 1));
  EXPECT_TRUE(out == "2000-02-29 23:59:59") << out.c_str();
  EXPECT_EQ("1|2024-02-29 00:00:00\n2|<null>", Query("select n, d from t order by n"));
  Stmt toChar{"select TO_CHAR(d,'yyyymmdd'), TO_CHAR(null,'HH24MISS') from t where n=2"};
  Text<9> a;
  Text<7> z;
  a = "x";
  z = "y";
  Out co[] = {OText(a), OText(z)};
  ASSERT_EQ(kOk, SelectOne(toChar, nullptr, 0, co, 2));
  EXPECT_TRUE(a.empty());
  EXPECT_TRUE(z.empty());
}

TEST_F(SqlDates, DayArithmeticAndTheKvnSystemSchema) {
  // PostgreSQL has the schema KvnSystem; SQLite one database.
  Sql(std::string(testing_support::UsePostgres() ? "create table KvnSystem.Kvn133Bak"
                                                 : "create table Kvn133Bak") +
      " (BakDtm timestamp(0), BakTag integer);"
      "insert into Kvn133Bak values ('2024-02-28 00:00:00', 28), "
      "('2024-02-29 00:00:00', 29), ('2024-03-01 00:00:00', 1);");
  Stmt off{"select TO_CHAR(BakDtm,'yyyymmdd') ,BakTag from KvnSystem.Kvn133Bak where "
           "BakDtm=(TO_DATE(:b14,'yyyymmdd')+:b15)"};
  Text<9> day;
  int32_t days = 2, tag = 0;
  Bind b[] = {BText("20240228", 9), BI32(days)};
  Out out[] = {OText(day), OI32(tag)};
  ASSERT_EQ(kOk, SelectOne(off, b, 2, out, 2));
  EXPECT_TRUE(day == "20240301");
  EXPECT_EQ(1, tag);
  // Written under one name, read under the other, inside a transaction.
  Stmt sp{"savepoint Bak_Sp"};
  ASSERT_EQ(kOk, Exec(sp, nullptr, 0));
  ASSERT_EQ(kOk, Run("insert into Kvn133Bak values ('2024-03-02 00:00:00', 2)"));
  Stmt count{"select count(*)  from KvnSystem.Kvn133Bak where (BakDtm>TO_DATE(:b1,'yyyymmdd') "
             "and BakDtm<=TO_DATE(:b2,'yyyymmdd'))"};
  int32_t n = 0;
  Bind range[] = {BText("20240228", 9), BText("20240302", 9)};
  Out nout[] = {OI32(n)};
  ASSERT_EQ(kOk, SelectOne(count, range, 2, nout, 1));
  EXPECT_EQ(3, n);
  ASSERT_EQ(kOk, Commit());
  EXPECT_EQ("4", Query("select count(*) from Kvn133Bak"));
}

// Fails the nth run of a statement whose text starts with prefix.
class FailNth : public ForwardingEngine {
 public:
  FailNth(const char* prefix, int n, int code) : prefix_(prefix), n_(n), code_(code) {}
  int Exec(const Stmt& s, const Bind* binds, int nbinds) override {
    if (std::strncmp(s.text, prefix_, std::strlen(prefix_)) == 0 && ++seen_ == n_)
      return code_;
    return ForwardingEngine::Exec(s, binds, nbinds);
  }

 private:
  const char* prefix_;
  int n_;
  int code_;
  int seen_ = 0;
};

TEST_F(SqlStatus, ATestEngineCanFailTheNthWrite) {
  Sql("create table t (a integer);");
  WriteStmt w{{"savepoint T_Ins_Sp"}, {"insert into t values (:b0)"}, {"rollback  to T_Ins_Sp"}};
  int32_t v = 1;
  Bind b[] = {BI32(v)};
  ASSERT_EQ(kOk, Write(w, b, 1));  // prepared before the test engine comes
  FailNth fail("insert", 2, kIoError);
  EXPECT_EQ(nullptr, SetEngineForTest(&fail));
  v = 2;
  EXPECT_EQ(kOk, Write(w, b, 1));
  v = 3;
  EXPECT_EQ(kIoError, Write(w, b, 1));
  v = 4;
  EXPECT_EQ(kOk, Write(w, b, 1));
  // It stays across a new session.
  Disconnect();
  ASSERT_EQ(kOk, Reconnect());
  v = 5;
  EXPECT_EQ(kOk, Write(w, b, 1));
  EXPECT_EQ(&fail, SetEngineForTest(nullptr));
  EXPECT_EQ("1\n2\n4\n5", Query("select a from t order by a"));
}

}  // namespace
}  // namespace sql
