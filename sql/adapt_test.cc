#include "sql/adapt.h"

#include <cstring>
#include <string>

#include "gtest/gtest.h"

namespace sql {
namespace {

std::string Rewrite(const char* text) {
  std::string out;
  Adapt_Rewrite(text, std::strlen(text), &out);
  return out;
}

StmtShape Shape(const char* text) {
  StmtShape s;
  Adapt_Classify(text, std::strlen(text), &s);
  return s;
}

TEST(AdaptRewrite, SysdateBecomesACallOnlyAsABareWord) {
  EXPECT_EQ("insert into t values (sysdate(),:b0)", Rewrite("insert into t values (sysdate,:b0)"));
  EXPECT_EQ("where ZtgVon=trunc(sysdate())", Rewrite("where ZtgVon=trunc(SYSDATE)"));
  EXPECT_EQ("set a=sysdate(),b=sysdate()", Rewrite("set a=SysDate,b=sysdate"));
  // Not inside quotes, not part of a longer name, not a placeholder or a
  // qualified column, not an existing call.
  EXPECT_EQ("select 'sysdate', \"sysdate\" from t", Rewrite("select 'sysdate', \"sysdate\" from t"));
  EXPECT_EQ("select sysdate_x, xsysdate, t.sysdate, :sysdate", Rewrite("select sysdate_x, xsysdate, t.sysdate, :sysdate"));
  EXPECT_EQ("select sysdate() from t", Rewrite("select sysdate() from t"));
  EXPECT_EQ("select 'it''s sysdate' , sysdate()", Rewrite("select 'it''s sysdate' , sysdate"));
}

TEST(AdaptRewrite, TheKvnSystemSchemaIsTheOneDatabase) {
  EXPECT_EQ("from Kvn532Aem ,Kvn133Kal ,Kvn133Bak ,Kvn533Emo",
            Rewrite("from Kvn532Aem ,KvnSystem.Kvn133Kal ,KvnSystem.Kvn133Bak ,Kvn533Emo"));
  EXPECT_EQ("from Kvn301Asw", Rewrite("from KVNSYSTEM.Kvn301Asw"));
  EXPECT_EQ("select 'KvnSystem.x', KvnSystemX.y", Rewrite("select 'KvnSystem.x', KvnSystemX.y"));
}

TEST(AdaptRewrite, DatePlusNumberBecomesDayArithmetic) {
  EXPECT_EQ("where BakDtm=(date_add_days(TO_DATE(:b14,'yyyymmdd'),+:b15))",
            Rewrite("where BakDtm=(TO_DATE(:b14,'yyyymmdd')+:b15)"));
  EXPECT_EQ("x>date_add_days(trunc(sysdate()),-1) and y<date_add_days(sysdate(),+0.5)",
            Rewrite("x>trunc(sysdate)-1 and y<sysdate + 0.5"));
  EXPECT_EQ("date_add_days(date_add_days(sysdate(),+1),+AppAgs)",
            Rewrite("sysdate+1+AppAgs"));
  // A date minus a column may be a difference of dates; a product binds
  // tighter; a call is no plain operand: all stay as written.
  EXPECT_EQ("sysdate()-AppDat", Rewrite("sysdate-AppDat"));
  EXPECT_EQ("sysdate()+1*2", Rewrite("sysdate+1*2"));
  EXPECT_EQ("sysdate()+f(1)", Rewrite("sysdate+f(1)"));
  EXPECT_EQ("TO_CHAR(ApkDat,'yyyymmddHH24MISS')", Rewrite("TO_CHAR(ApkDat,'yyyymmddHH24MISS')"));
  EXPECT_EQ("sum(((PmsEnd+1440)-PmsBeg))", Rewrite("sum(((PmsEnd+1440)-PmsBeg))"));
}

std::string Postgres(const char* text, int* params = nullptr, bool* clock = nullptr) {
  std::string out;
  int n = 0;
  bool c = false;
  Adapt_RewritePostgres(text, std::strlen(text), &out, &n, &c);
  if (params != nullptr) *params = n;
  if (clock != nullptr) *clock = c;
  return out;
}

// PostgreSQL: $n by first appearance, the clock as the parameter after
// them, the strict date functions, day arithmetic, the schema kept, " for
// update" kept.
TEST(AdaptRewritePostgres, PlaceholdersClockFunctionsAndSchema) {
  int n = 0;
  bool clock = true;
  EXPECT_EQ("where ((a=$1 and b=$2) or c=$1) and d='x:b3'",
            Postgres("where ((a=:b0 and b=:b2) or c=:b0) and d='x:b3'", &n, &clock));
  EXPECT_EQ(2, n);
  EXPECT_FALSE(clock);
  EXPECT_EQ("set a=$2::timestamp(0),b=ora_trunc($2::timestamp(0)) where k=$1",
            Postgres("set a=sysdate,b=trunc(SYSDATE) where k=:b0", &n, &clock));
  EXPECT_EQ(1, n);
  EXPECT_TRUE(clock);
  EXPECT_EQ("where BakDtm=(ora_add_days(ora_TO_DATE($1,'yyyymmdd'),+$2)) from KvnSystem.Kvn133Bak",
            Postgres("where BakDtm=(TO_DATE(:b14,'yyyymmdd')+:b15) from KvnSystem.Kvn133Bak"));
  EXPECT_EQ("select ora_TO_CHAR(ApkDat,'HH24MISS')+1 from t where k=$1 for update",
            Postgres("select TO_CHAR(ApkDat,'HH24MISS')+1 from t where k=:b0 for update"));
  EXPECT_EQ("select x::text", Postgres("select x::text"));
}

// Every ascending ORDER BY term sorts NULL last, as the server does; a
// descending term or one with its own NULLS stays; the clause ends where
// its query or parenthesis does.
TEST(AdaptRewrite, AscendingOrderByTermsSortNullLast) {
  EXPECT_EQ("select a from t where d=:b0 order by ApkDwn nulls last,ApkFbe nulls last",
            Rewrite("select a from t where d=:b0 order by ApkDwn,ApkFbe"));
  EXPECT_EQ("order by AppApk nulls last,AppApp desc", Rewrite("order by AppApk,AppApp desc"));
  EXPECT_EQ("ORDER  BY 1 nulls last , x asc nulls last", Rewrite("ORDER  BY 1 , x asc"));
  EXPECT_EQ("order by a nulls first, f(b,c) nulls last",
            Rewrite("order by a nulls first, f(b,c)"));
  EXPECT_EQ("select * from (select a from t order by a nulls last) order by 'x,y' nulls last "
            "limit 1",
            Rewrite("select * from (select a from t order by a) order by 'x,y' limit 1"));
  EXPECT_EQ("order by trunc(sysdate()) nulls last", Rewrite("order by trunc(sysdate)"));
  EXPECT_EQ("select 'order by x', border, by_order", Rewrite("select 'order by x', border, by_order"));
}

TEST(AdaptClassify, RecognisesTheTransactionTextsAndTheirNames) {
  StmtShape s = Shape("savepoint Apk_PKeyUpd_Sp");
  EXPECT_EQ(StmtKind::kSavepoint, s.kind);
  EXPECT_STREQ("Apk_PKeyUpd_Sp", s.name);
  s = Shape("rollback  to Apk_PKeyUpd_Sp");
  EXPECT_EQ(StmtKind::kRollbackTo, s.kind);
  EXPECT_STREQ("Apk_PKeyUpd_Sp", s.name);
  s = Shape("ROLLBACK TRANSACTION TO SAVEPOINT x1");
  EXPECT_EQ(StmtKind::kRollbackTo, s.kind);
  EXPECT_STREQ("x1", s.name);
  EXPECT_EQ(StmtKind::kRollback, Shape("rollback").kind);
  EXPECT_EQ(StmtKind::kRollback, Shape(" Rollback work").kind);
  EXPECT_EQ(StmtKind::kCommit, Shape("commit").kind);
  EXPECT_EQ(StmtKind::kChange, Shape("update KVN501Apk  set a=1").kind);
  EXPECT_EQ(StmtKind::kChange, Shape("delete  from Kvn500Auk  where AukApk=:b0").kind);
  EXPECT_EQ(StmtKind::kQuery, Shape("\n select 1").kind);
  EXPECT_EQ(StmtKind::kOther, Shape("insert into t values (1)").kind);
  std::string longName = "savepoint " + std::string(500, 'n');
  s = Shape(longName.c_str());
  EXPECT_EQ(kMaxSavepointName, std::strlen(s.name));
}

}  // namespace
}  // namespace sql
