// Savepoints, commits and locks: what the session holds between calls.
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "gtest/gtest.h"
#include "runtime/os/test_env.h"
#include "sql/engine.h"
#include "sql/errors.h"
#include "sql/sql.h"
#include "sql/sql_test_fixture.h"
#include "sql/sqlite/sqlite_engine.h"

namespace sql {
namespace {

class SqlTransaction : public SqlDbTest {
 protected:
  void SetUp() override {
    SqlDbTest::SetUp();
    Sql("create table t (k text primary key, v integer);"
        "insert into t values ('a', 1), ('b', 2), ('c', 3);");
  }
  // True when another connection can take the write lock without waiting.
  bool OtherCanWrite() {
    OtherConnection other(path_);
    if (other.Exec("BEGIN IMMEDIATE") != SQLITE_OK) return false;
    other.Exec("ROLLBACK");
    return true;
  }
};

TEST_F(SqlTransaction, AFailedWriteLeavesEarlierCommitsAndTheCursor) {
  Stmt q{"select k from t order by k"};
  Cursor c;
  Text<4> k;
  Out out[] = {OText(k)};
  ASSERT_EQ(kOk, Open(c, q, nullptr, 0));
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  WriteStmt upd{{"savepoint T_Upd_Sp"}, {"update t set v=v+10 where k=:b0"}, {"rollback  to T_Upd_Sp"}};
  WriteStmt ins{{"savepoint T_Ins_Sp"}, {"insert into t values (:b0, :b1)"}, {"rollback  to T_Ins_Sp"}};
  Bind b[] = {BText(k)};
  EXPECT_EQ(kOk, Write(upd, b, 1));
  int32_t v = 99;
  Bind dup[] = {BText("b", 4), BI32(v)};
  EXPECT_EQ(kUniqueViolated, Write(ins, dup, 2));
  EXPECT_TRUE(OtherCanWrite());
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  EXPECT_TRUE(k == "b");
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  EXPECT_TRUE(k == "c");
  EXPECT_EQ(kNoData, Fetch(c, out, 1));
  EXPECT_EQ("a|11\nb|2\nc|3", Query("select k, v from t order by k"));
}

TEST_F(SqlTransaction, RollbackToTheOutermostSavepointReleasesTheLock) {
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  EXPECT_FALSE(OtherCanWrite());  // the write lock is taken at the savepoint
  EXPECT_EQ(kOk, Run("insert into t values ('d', 4)"));
  EXPECT_EQ(kOk, Run("rollback  to A_Sp"));
  EXPECT_TRUE(OtherCanWrite());
  EXPECT_EQ("3", Query("select count(*) from t"));
  // Without a transaction there is no savepoint to go back to.
  EXPECT_EQ(kNoSavepoint, Run("rollback  to A_Sp"));
  EXPECT_EQ(kOk, Commit());
}

TEST_F(SqlTransaction, ANestedRollbackKeepsTheTransactionUntilCommit) {
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  EXPECT_EQ(kOk, Run("insert into t values ('d', 4)"));
  EXPECT_EQ(kOk, Run("savepoint B_Sp"));
  EXPECT_EQ(kUniqueViolated, Run("insert into t values ('a', 5)"));
  EXPECT_EQ(kOk, Run("update t set v=50 where k='a'"));
  EXPECT_EQ(kOk, Run("ROLLBACK TO b_sp"));  // names ignore case
  EXPECT_FALSE(OtherCanWrite());
  EXPECT_EQ("3", Query("select count(*) from t"));  // not yet committed
  EXPECT_EQ(kOk, Run("commit"));
  EXPECT_TRUE(OtherCanWrite());
  EXPECT_EQ("a|1\nb|2\nc|3\nd|4", Query("select k, v from t order by k"));
  // A savepoint name repeated inside the transaction names the latest one,
  // which did not begin the transaction: the delete before it stays.
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  EXPECT_EQ(kOk, Run("delete  from t  where k='d'"));
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  EXPECT_EQ(kOk, Run("rollback  to A_Sp"));
  EXPECT_FALSE(OtherCanWrite());
  EXPECT_EQ(kOk, Run("rollback"));
  EXPECT_TRUE(OtherCanWrite());
  EXPECT_EQ("4", Query("select count(*) from t"));
}

TEST_F(SqlTransaction, AWriteLockHeldElsewhereIsResourceBusy) {
  int previous = SqliteEngine_SetBusyTimeoutForTest(200);
  ASSERT_EQ(kOk, Connect(("a/b@" + path_).c_str()));
  SqliteEngine_SetBusyTimeoutForTest(previous);
  {
    OtherConnection other(path_);
    ASSERT_EQ(SQLITE_OK, other.Exec("BEGIN IMMEDIATE"));
    WriteStmt ins{{"savepoint T_Ins_Sp"}, {"insert into t values ('x', 1)"}, {"rollback  to T_Ins_Sp"}};
    EXPECT_EQ(kBusy, Write(ins, nullptr, 0));
    EXPECT_EQ(kBusy, Run("update t set v=0"));
    // Reading does not wait for the writer.
    Stmt count{"select count(*) from t"};
    int32_t n = 0;
    Out out[] = {OI32(n)};
    EXPECT_EQ(kOk, SelectOne(count, nullptr, 0, out, 1));
    EXPECT_EQ(3, n);
    other.Exec("ROLLBACK");
  }
  WriteStmt ins{{"savepoint T_Ins_Sp"}, {"insert into t values ('x', 1)"}, {"rollback  to T_Ins_Sp"}};
  EXPECT_EQ(kOk, Write(ins, nullptr, 0));
  EXPECT_EQ("4", Query("select count(*) from t"));
}

TEST_F(SqlTransaction, DisconnectRollsBackWhatWasNotCommitted) {
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  EXPECT_EQ(kOk, Run("delete  from t "));
  Disconnect();
  EXPECT_EQ("3", Query("select count(*) from t"));
  EXPECT_TRUE(OtherCanWrite());
}

// A commit that fails is the failure of the unit: everything of it is
// rolled back and its code returned; a write outside a unit the same.
class FailingCommit : public ForwardingEngine {
 public:
  int Commit() override {
    if (fail) {
      ForwardingEngine::Rollback();
      return kIoError;
    }
    return ForwardingEngine::Commit();
  }
  bool fail = true;
};

TEST_F(SqlTransaction, AFailedCommitUndoesTheWholeUnitAndIsReported) {
  FailingCommit engine;
  SetEngineForTest(&engine);
  Stmt unit{"savepoint U_Sp"};
  WriteStmt del{{"savepoint D_Sp"}, {"delete from t where k=:b0"}, {"rollback  to D_Sp"}};
  const char* a = "a";
  const char* b = "b";
  Bind ka[] = {BText(a, 2)};
  Bind kb[] = {BText(b, 2)};
  ASSERT_EQ(kOk, BeginUnit(unit));
  EXPECT_TRUE(InUnit());
  EXPECT_EQ(kOk, Write(del, ka, 1));
  EXPECT_EQ(kOk, Write(del, kb, 1));
  EXPECT_EQ(kIoError, EndUnit());
  EXPECT_FALSE(InUnit());
  EXPECT_EQ(kIoError, Write(del, ka, 1)) << "a single write's failed commit is its failure";
  SetEngineForTest(nullptr);
  EXPECT_EQ("3", Query("select count(*) from t"));
  EXPECT_TRUE(OtherCanWrite());
}

// The unit takes the write lock at its start: another writer waits (here:
// fails at once) until the unit has ended, and what the unit read is what
// it writes over.
TEST_F(SqlTransaction, AUnitHoldsTheWriteLockFromItsStartToItsEnd) {
  Stmt unit{"savepoint U_Sp"};
  ASSERT_EQ(kOk, BeginUnit(unit));
  EXPECT_FALSE(OtherCanWrite());
  EXPECT_EQ(kOk, EndUnit());
  EXPECT_TRUE(OtherCanWrite());
  ASSERT_EQ(kOk, BeginUnit(unit));
  AbortUnit();
  EXPECT_TRUE(OtherCanWrite());
}

// A select written with "for update" runs on SQLite without the clause.
TEST_F(SqlTransaction, ForUpdateIsTakenBySqlite) {
  Stmt s{"select v from t where k=:b0 for update"};
  const char* k = "b";
  Bind key[] = {BText(k, 2)};
  int32_t v = 0;
  Out out[] = {OI32(v)};
  EXPECT_EQ(kOk, SelectOne(s, key, 1, out, 1));
  EXPECT_EQ(2, v);
}

// The run lock between two processes: the holder's text can be read by
// the other, whose bounded wait runs out; the lock of a process that ended
// is free.
TEST_F(SqlTransaction, TheRunLockIsOneProcessAtATime) {
  char holder[64];
  EXPECT_EQ(0, ProbeRunLock(holder, sizeof holder));
  int ready[2];
  int done[2];
  ASSERT_EQ(0, pipe(ready));
  ASSERT_EQ(0, pipe(done));
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    Disconnect();
    char c = Connect(("x/y@" + path_).c_str()) == kOk && AcquireRunLock(0, "the other run") == kOk;
    if (write(ready[1], &c, 1) != 1) _exit(2);
    if (read(done[0], &c, 1) < 0) _exit(3);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(1, read(ready[0], &c, 1));
  ASSERT_EQ(1, c);
  EXPECT_EQ(1, ProbeRunLock(holder, sizeof holder));
  EXPECT_STREQ("the other run", holder);
  EXPECT_EQ(kBusy, AcquireRunLock(120, "this run"));
  ASSERT_EQ(1, write(done[1], &c, 1));
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_EQ(kOk, AcquireRunLock(0, "this run"));
  EXPECT_EQ(0, ProbeRunLock(holder, sizeof holder)) << "held by this session";
}

// A read-only transaction sees one snapshot and blocks no writer.
TEST_F(SqlTransaction, AReadTransactionSeesOneSnapshot) {
  Stmt count{"select count(*) from t"};
  int32_t n = 0;
  Out out[] = {OI32(n)};
  ASSERT_EQ(kOk, BeginRead());
  ASSERT_EQ(kOk, SelectOne(count, nullptr, 0, out, 1));
  EXPECT_TRUE(OtherCanWrite());
  OtherConnection(path_).Exec("insert into t values ('d', 4)");
  ASSERT_EQ(kOk, SelectOne(count, nullptr, 0, out, 1));
  EXPECT_EQ(3, n);
  EXPECT_EQ(kOk, EndRead());
  ASSERT_EQ(kOk, SelectOne(count, nullptr, 0, out, 1));
  EXPECT_EQ(4, n);
}

// After another writer committed between two of its units, the session
// leaves the lock free after each commit; alone, it never pauses.
TEST_F(SqlTransaction, AfterAnotherWritersCommitTheSessionPausesBetweenUnits) {
  // A session that begins after the table was made by another connection.
  Disconnect();
  ASSERT_EQ(kOk, Connect(("kolvane/secret@" + path_).c_str()));
  ClockEnv env;
  env.realSleep = false;
  Env* previous = Env_Set(&env);
  Stmt unit{"savepoint U_Sp"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(kOk, BeginUnit(unit));
    ASSERT_EQ(kOk, EndUnit());
  }
  EXPECT_TRUE(env.sleeps.empty()) << "alone on the database";
  OtherConnection(path_).Exec("insert into t values ('d', 4)");
  // Each unit owes the time it held the lock; the debt is paid in whole
  // milliseconds, so some units pass before the first pause.
  for (int i = 0; i < 100000 && env.sleeps.empty(); ++i) {
    ASSERT_EQ(kOk, BeginUnit(unit));
    ASSERT_EQ(kOk, EndUnit());
  }
  Env_Set(previous);
  EXPECT_EQ(1u, env.sleeps.size());
  for (int ms : env.sleeps) EXPECT_GE(ms, 1);
}

}  // namespace
}  // namespace sql
