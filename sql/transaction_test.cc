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
  // True when the session holds no transaction (and so no lock).
  bool NothingHeldElsewhere() { return OtherConnection(path_).NothingHeldElsewhere(); }
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
  EXPECT_TRUE(NothingHeldElsewhere());
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  EXPECT_TRUE(k == "b");
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  EXPECT_TRUE(k == "c");
  EXPECT_EQ(kNoData, Fetch(c, out, 1));
  EXPECT_EQ("a|11\nb|2\nc|3", Query("select k, v from t order by k"));
}

TEST_F(SqlTransaction, RollbackToTheOutermostSavepointReleasesTheLock) {
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  EXPECT_EQ(kOk, Run("insert into t values ('d', 4)"));
  EXPECT_FALSE(NothingHeldElsewhere());
  EXPECT_EQ(kOk, Run("rollback  to A_Sp"));
  EXPECT_TRUE(NothingHeldElsewhere());
  EXPECT_EQ("3", Query("select count(*) from t"));
  // Without a transaction there is no savepoint to go back to.
  EXPECT_EQ(kNoSavepoint, Run("rollback  to A_Sp"));
  EXPECT_EQ(kOk, Commit());
}

TEST_F(SqlTransaction, ANestedRollbackKeepsTheTransactionUntilCommit) {
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  EXPECT_EQ(kOk, Run("insert into t values ('d', 4)"));
  EXPECT_EQ(kOk, Run("savepoint B_Sp"));
  EXPECT_EQ(kOk, Run("update t set v=50 where k='a'"));
  // (PostgreSQL refuses every statement after a failed one until the
  // rollback to a savepoint.)
  EXPECT_EQ(kUniqueViolated, Run("insert into t values ('a', 5)"));
  EXPECT_EQ(kOk, Run("ROLLBACK TO b_sp"));  // names ignore case
  EXPECT_FALSE(NothingHeldElsewhere());
  EXPECT_EQ("3", Query("select count(*) from t"));  // not yet committed
  EXPECT_EQ(kOk, Run("commit"));
  EXPECT_TRUE(NothingHeldElsewhere());
  EXPECT_EQ("a|1\nb|2\nc|3\nd|4", Query("select k, v from t order by k"));
  // A savepoint name repeated inside the transaction names the latest one,
  // which did not begin the transaction: the delete before it stays.
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  EXPECT_EQ(kOk, Run("delete  from t  where k='d'"));
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  EXPECT_EQ(kOk, Run("rollback  to A_Sp"));
  EXPECT_FALSE(NothingHeldElsewhere());
  // A savepoint that a rollback went past before any statement followed it
  // is gone with it; one that a statement followed is there to go back to.
  EXPECT_EQ(kOk, Run("savepoint C_Sp"));
  EXPECT_EQ(kOk, Run("rollback  to A_Sp"));
  EXPECT_EQ(kNoSavepoint, Run("rollback  to C_Sp"));
  EXPECT_EQ(kOk, Run("savepoint C_Sp"));
  EXPECT_EQ(kOk, Run("insert into t values ('e', 5)"));
  EXPECT_EQ(kOk, Run("savepoint D_Sp"));
  EXPECT_EQ(kOk, Run("rollback  to C_Sp"));
  Stmt seen{"select count(*) from t where k='e'"};
  int32_t n = -1;
  Out out[] = {OI32(n)};
  EXPECT_EQ(kOk, SelectOne(seen, nullptr, 0, out, 1));
  EXPECT_EQ(0, n);
  EXPECT_EQ(kOk, Run("rollback"));
  EXPECT_TRUE(NothingHeldElsewhere());
  EXPECT_EQ("4", Query("select count(*) from t"));
}

TEST_F(SqlTransaction, AWriteLockHeldElsewhereIsResourceBusy) {
  SetLockWaitForTest(200);
  ASSERT_EQ(kOk, Reconnect());
  SetLockWaitForTest(5000);
  {
    OtherConnection other(path_);
    ASSERT_EQ(0, other.TakeWriteLock("t"));
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
  EXPECT_TRUE(NothingHeldElsewhere());
}

}  // namespace
}  // namespace sql

namespace sql {
namespace {

// A commit after a failed statement that was not rolled back to its
// savepoint: SQLite undid only that statement and commits the rest;
// PostgreSQL lost the whole transaction and answers the COMMIT with
// ROLLBACK, which must be the failure's code, never 0.
TEST_F(SqlTransaction, ACommitAfterAFailedStatementReportsWhatWasLost) {
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  EXPECT_EQ(kOk, Run("insert into t values ('d', 4)"));
  EXPECT_EQ(kUniqueViolated, Run("insert into t values ('a', 5)"));
  bool server = testing_support::UsePostgres();
  EXPECT_EQ(server ? kUniqueViolated : kOk, Commit());
  EXPECT_EQ(server ? "3" : "4", Query("select count(*) from t"));
  EXPECT_TRUE(NothingHeldElsewhere());
  EXPECT_EQ(kOk, Run("insert into t values ('e', 5)"));  // the session goes on
}

TEST_F(SqlTransaction, ALostConnectionIsReportedOnceThenNotConnected) {
  if (!testing_support::UsePostgres()) GTEST_SKIP() << "a database file has no connection";
  Stmt count{"select count(*) from t"};
  int32_t n = 0;
  Out out[] = {OI32(n)};
  ASSERT_EQ(kOk, SelectOne(count, nullptr, 0, out, 1));
  EXPECT_EQ(kOk, Run("savepoint A_Sp"));
  // The server ends the session (as a restart would) and waits until it is gone.
  OtherConnection(path_).Exec(
      "select pg_terminate_backend(pid, 10000) from pg_stat_activity "
      "where datname = current_database() and pid <> pg_backend_pid()");
  EXPECT_EQ(kConnectionLost, SelectOne(count, nullptr, 0, out, 1));
  EXPECT_EQ(kNotConnected, SelectOne(count, nullptr, 0, out, 1));
  EXPECT_EQ(kNotConnected, Run("insert into t values ('x', 1)"));
  EXPECT_EQ(kNotConnected, Commit());
  ASSERT_EQ(kOk, Reconnect());
  ASSERT_EQ(kOk, SelectOne(count, nullptr, 0, out, 1));
  EXPECT_EQ(3, n);

  // The same when a unit's writes and commit go ahead: nothing of it stays.
  Stmt unit{"savepoint U_Sp"};
  WriteStmt upd{{"savepoint T_Upd_Sp"}, {"update t set v=:b0 where k=:b1"}, {"rollback  to T_Upd_Sp"}};
  int32_t v = 9;
  Bind b[] = {BI32(v), BText("a", 2)};
  ASSERT_EQ(kOk, BeginUnit(unit));
  ASSERT_EQ(kOk, SelectOne(count, nullptr, 0, out, 1));
  if (WriteAhead ahead; ahead) {
    EXPECT_EQ(kOk, Write(upd, b, 2));
    ahead.EndsUnit();
  }
  OtherConnection(path_).Exec(
      "select pg_terminate_backend(pid, 10000) from pg_stat_activity "
      "where datname = current_database() and pid <> pg_backend_pid()");
  EXPECT_EQ(kConnectionLost, Write(upd, b, 2));
  EXPECT_EQ(kConnectionLost, EndUnit()) << "the unit's own failure";
  ASSERT_EQ(kOk, Reconnect());
  EXPECT_EQ("a|1\nb|2\nc|3", Query("select k, v from t order by k"));
}

// A commit that fails is the failure of the unit: everything of it is
// rolled back and its code returned; a write outside a unit the same.
class FailingCommit : public ForwardingEngine {
 public:
  int Commit() override {
    if (fail) {
      (void)ForwardingEngine::Rollback();  // the failed commit is what is tested
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
  EXPECT_TRUE(NothingHeldElsewhere());
}

// The unit holds its transaction (SQLite: the write lock, from its start;
// a server: the rows its first read locks) until it has ended, so what the
// unit read is what it writes over.
TEST_F(SqlTransaction, AUnitHoldsTheWriteLockFromItsStartToItsEnd) {
  Stmt unit{"savepoint U_Sp"};
  Stmt lock{"select v from t where k='a' for update"};
  int32_t v = 0;
  Out out[] = {OI32(v)};
  ASSERT_EQ(kOk, BeginUnit(unit));
  ASSERT_EQ(kOk, SelectOne(lock, nullptr, 0, out, 1));
  EXPECT_FALSE(NothingHeldElsewhere());
  EXPECT_EQ(kOk, EndUnit());
  EXPECT_TRUE(NothingHeldElsewhere());
  ASSERT_EQ(kOk, BeginUnit(unit));
  ASSERT_EQ(kOk, SelectOne(lock, nullptr, 0, out, 1));
  EXPECT_FALSE(NothingHeldElsewhere());
  AbortUnit();
  EXPECT_TRUE(NothingHeldElsewhere());
  // A unit that ends before its first statement leaves nothing behind.
  ASSERT_EQ(kOk, BeginUnit(unit));
  EXPECT_EQ(kOk, EndUnit());
  EXPECT_TRUE(NothingHeldElsewhere());
}

// Reads ahead inside a unit: a server reads the noted selects with the
// unit's next statement and answers each once, as read; a write makes them
// run again; one that fails ahead leaves the unit as it was.  On SQLite
// every select runs when asked for, with the same results (the unit holds
// the write lock, so nobody changes a row meanwhile).
TEST_F(SqlTransaction, ReadsAheadAreAnsweredOnceAndUntilTheSessionWrites) {
  const bool server = testing_support::UsePostgres();
  Stmt unit{"savepoint U_Sp"};
  Stmt get{"select v from t where k=:b0"};
  Stmt day{"select TO_DATE(:b0,'yyyymmdd') from t where k=:b1"};
  WriteStmt upd{{"savepoint T_Upd_Sp"}, {"update t set v=:b0 where k=:b1"}, {"rollback  to T_Upd_Sp"}};
  int32_t v = 0;
  auto read = [&](const char* key) {
    v = -1;
    Bind b[] = {BText(key, 2)};
    Out o[] = {OI32(v)};
    return SelectOne(get, b, 1, o, 1);
  };
  ASSERT_EQ(kOk, BeginUnit(unit));
  {
    ReadAhead ahead;
    EXPECT_EQ(kNoData, read("b"));  // noted, not run
    EXPECT_EQ(-1, v);
    EXPECT_EQ(kNoData, read("c"));
  }
  ASSERT_EQ(kOk, read("a"));
  EXPECT_EQ(1, v);
  if (server) {
    ASSERT_EQ(0, OtherConnection(path_).Exec("update t set v=20 where k='b'"));
  }
  ASSERT_EQ(kOk, read("b"));
  EXPECT_EQ(2, v) << "as read ahead";
  ASSERT_EQ(kOk, read("b"));
  EXPECT_EQ(server ? 20 : 2, v) << "an answer is given once";
  int32_t thirty = 30;
  Bind c30[] = {BI32(thirty), BText("c", 2)};
  ASSERT_EQ(kOk, Write(upd, c30, 2));
  ASSERT_EQ(kOk, read("c"));
  EXPECT_EQ(30, v) << "read ahead before the write, run again after it";

  // An invalid date fails ahead: the reads ahead are dropped, the unit and
  // its write stand.
  {
    ReadAhead ahead;
    Text<9> out;
    Bind b[] = {BText("20241301", 9), BText("a", 2)};
    Out o[] = {OText(out)};
    EXPECT_EQ(kNoData, SelectOne(day, b, 2, o, 1));
    EXPECT_EQ(kNoData, read("c"));
  }
  ASSERT_EQ(kOk, read("a"));
  ASSERT_EQ(kOk, read("c"));
  EXPECT_EQ(30, v);
  ASSERT_EQ(kOk, EndUnit());
  EXPECT_EQ(server ? "a|1\nb|20\nc|30" : "a|1\nb|2\nc|30", Query("select k, v from t order by k"));
  // Outside a unit nothing is read ahead: the select runs when asked for.
  {
    ReadAhead ahead;
    EXPECT_EQ(kNoData, read("a"));
  }
  ASSERT_EQ(kOk, Run("update t set v=10 where k='a'"));
  ASSERT_EQ(kOk, read("a"));
  EXPECT_EQ(10, v);
}

// Writes ahead at the end of a unit: a server sends the noted writes and
// the commit with the first of them and answers each from what it did; a
// write that fails or touches no row stops the rest, which never ran.
// SQLite runs each when asked for; the outcome is the same.
TEST_F(SqlTransaction, WritesAheadAnswerAsEachWouldOnItsOwn) {
  const bool server = testing_support::UsePostgres();
  Stmt unit{"savepoint U_Sp"};
  WriteStmt upd{{"savepoint T_Upd_Sp"}, {"update t set v=:b0 where k=:b1"}, {"rollback  to T_Upd_Sp"}};
  WriteStmt ins{{"savepoint T_Ins_Sp"}, {"insert into t values (:b0, :b1)"}, {"rollback  to T_Ins_Sp"}};
  int32_t v = 0;
  const char* key = "";
  const char* added = "";
  // Sets key's value, and when that changed a row adds a row with it.
  auto writes = [&] {
    Bind u[] = {BI32(v), BText(key, 2)};
    Bind i[] = {BText(added, 2), BI32(v)};
    int rc = Write(upd, u, 2);
    return rc == kOk ? Write(ins, i, 2) : rc;
  };
  // One unit as the job makes it: the writes noted, then made; ended with
  // a commit unless one failed.  The status of the writes, then the end's.
  auto asUnit = [&](const char* k, const char* a, int32_t value) {
    key = k, added = a, v = value;
    EXPECT_EQ(kOk, BeginUnit(unit));
    if (WriteAhead ahead; ahead) {
      EXPECT_EQ(kOk, writes());
      ahead.EndsUnit();
    }
    const int rc = writes();
    if (rc < 0) {
      AbortUnit();
      return std::to_string(rc);
    }
    return std::to_string(rc) + "," + std::to_string(EndUnit());
  };
  EXPECT_EQ("0,0", asUnit("a", "d", 11));
  EXPECT_EQ("1403,0", asUnit("x", "e", 12)) << "the insert after it never ran";
  EXPECT_EQ(std::to_string(kUniqueViolated), asUnit("b", "c", 13));
  EXPECT_EQ("a|11\nb|2\nc|3\nd|11", Query("select k, v from t order by k"));

  // Outside a unit nothing is noted to go ahead, and nothing runs.
  {
    WriteAhead ahead;
    EXPECT_FALSE(ahead);
    key = "a", added = "f", v = 14;
    EXPECT_EQ(kOk, writes());
  }
  // A caller that asks for something else after its commit went ahead
  // finds it done: the call fails.
  key = "c", added = "g", v = 15;
  ASSERT_EQ(kOk, BeginUnit(unit));
  if (WriteAhead ahead; ahead) {
    EXPECT_EQ(kOk, writes());
    ahead.EndsUnit();
  }
  Bind u[] = {BI32(v), BText(key, 2)};
  EXPECT_EQ(kOk, Write(upd, u, 2));
  EXPECT_EQ(server ? kInternal : kOk, Run("update t set v=16 where k='b'"));
  AbortUnit();
  EXPECT_EQ(server ? "a|11\nb|2\nc|15\nd|11\ng|15" : "a|11\nb|2\nc|3\nd|11",
            Query("select k, v from t order by k"));
}

// An open noted ahead: a server reads its rows right after the commit of
// the next unit whose commit goes ahead, in that round trip, and answers
// the next open with them when it is the same; anything else, and a unit
// stopped before its commit, leave the open to run when asked.
TEST_F(SqlTransaction, AnOpenNotedAheadReadsRightAfterTheUnitsCommit) {
  const bool server = testing_support::UsePostgres();
  Stmt unit{"savepoint U_Sp"};
  Stmt q{"select v from t where k>=:b0 order by k"};
  WriteStmt upd{{"savepoint T_Upd_Sp"}, {"update t set v=:b0 where k=:b1"}, {"rollback  to T_Upd_Sp"}};
  Cursor c;
  auto open = [&](const char* from) {
    Bind b[] = {BText(from, 2)};
    int rc = Open(c, q, b, 1);
    std::string got = rc == kOk ? "" : std::to_string(rc);
    int32_t v = 0;
    Out o[] = {OI32(v)};
    while (rc == kOk && (rc = Fetch(c, o, 1)) == kOk) got += std::to_string(v) + ",";
    EXPECT_EQ(kOk, Close(c));
    return got;
  };
  // Notes the open, then runs a unit that sets key's value with its write
  // and commit noted ahead: the write's status, then the commit's.
  auto noteThenUnit = [&](const char* from, const char* key, int32_t value) {
    {
      OpenAhead ahead;
      EXPECT_EQ(server, static_cast<bool>(ahead));
      Bind b[] = {BText(from, 2)};
      EXPECT_EQ(kNoData, Open(c, q, b, 1));
    }
    EXPECT_EQ(kOk, BeginUnit(unit));
    Bind u[] = {BI32(value), BText(key, 2)};
    if (WriteAhead ahead; ahead) {
      EXPECT_EQ(kOk, Write(upd, u, 2));
      ahead.EndsUnit();
    }
    const int rc = Write(upd, u, 2);
    return std::to_string(rc) + "," + std::to_string(EndUnit());
  };
  OtherConnection other(path_);
  EXPECT_EQ("0,0", noteThenUnit("b", "b", 20));
  ASSERT_EQ(0, other.Exec("update t set v=30 where k='c'"));
  EXPECT_EQ(server ? "20,3," : "20,30,", open("b")) << "read with the commit";
  EXPECT_EQ("20,30,", open("b")) << "answered once";

  EXPECT_EQ("0,0", noteThenUnit("b", "a", 10));
  EXPECT_EQ("10,20,30,", open("a")) << "another open runs when asked";
  EXPECT_EQ("0,0", noteThenUnit("b", "a", 11));
  ASSERT_EQ(0, other.Exec("update t set v=31 where k='c'"));
  ASSERT_EQ(kOk, Run("update t set v=21 where k='b'"));
  EXPECT_EQ("21,31,", open("b")) << "a statement between drops what was read";
  EXPECT_EQ("1403,0", noteThenUnit("a", "x", 1)) << "the update stops the round trip";
  ASSERT_EQ(0, other.Exec("update t set v=32 where k='c'"));
  EXPECT_EQ("11,21,32,", open("a"));
}

// Inside a unit a read under LockRows keeps its row from other sessions
// until the unit ends, so the unit writes over the version it read; other
// reads lock nothing, and a select the server cannot lock (an aggregate)
// runs as it is.  (SQLite's unit holds the whole database's write lock.)
TEST_F(SqlTransaction, LockedReadsKeepTheirRowsUntilTheUnitEnds) {
  if (!testing_support::UsePostgres()) GTEST_SKIP() << "SQLite locks the whole database";
  Stmt unit{"savepoint U_Sp"};
  Stmt get{"select v from t where k=:b0"};
  Stmt count{"select count(*) from t where k=:b0"};
  int32_t v = 0;
  Out out[] = {OI32(v)};
  Bind a[] = {BText("a", 2)};
  Bind b[] = {BText("b", 2)};
  ASSERT_EQ(kOk, BeginUnit(unit));
  ASSERT_EQ(kOk, SelectOne(get, a, 1, out, 1));
  {
    LockRows lock;
    ASSERT_EQ(kOk, SelectOne(get, b, 1, out, 1));
    EXPECT_EQ(2, v);
    ASSERT_EQ(kOk, SelectOne(count, b, 1, out, 1));
    EXPECT_EQ(1, v);
  }
  OtherConnection other(path_);
  ASSERT_EQ(0, other.Exec("SET lock_timeout = '100ms'"));
  EXPECT_EQ(0, other.Exec("update t set v=10 where k='a'"));
  EXPECT_NE(0, other.Exec("update t set v=20 where k='b'")) << "locked by the unit";
  ASSERT_EQ(kOk, EndUnit());
  EXPECT_EQ(0, other.Exec("update t set v=20 where k='b'"));
  EXPECT_EQ("a|10\nb|20\nc|3", Query("select k, v from t order by k"));
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
  // No session crosses the fork: a server connection would be ended for both.
  Disconnect();
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    char c = Reconnect() == kOk && AcquireRunLock(0, "the other run") == kOk;
    if (write(ready[1], &c, 1) != 1) _exit(2);
    if (read(done[0], &c, 1) < 0) _exit(3);
    _exit(0);
  }
  ASSERT_EQ(kOk, Reconnect());
  char c = 0;
  ASSERT_EQ(1, read(ready[0], &c, 1));
  ASSERT_EQ(1, c);
  EXPECT_EQ(1, ProbeRunLock(holder, sizeof holder));
  EXPECT_STREQ("the other run", holder);
  EXPECT_EQ(1, ProbeRunLock(holder, 6));
  EXPECT_STREQ("the o", holder) << "cut to the buffer";
  EXPECT_EQ(kBusy, AcquireRunLock(120, "this run"));
  ASSERT_EQ(1, write(done[1], &c, 1));
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  // (A server frees the lock when it has ended the other's session.)
  EXPECT_EQ(kOk, AcquireRunLock(10000, "this run"));
  EXPECT_EQ(0, ProbeRunLock(holder, sizeof holder)) << "held by this session";
}

// A read-only transaction sees one snapshot and blocks no writer.
TEST_F(SqlTransaction, AReadTransactionSeesOneSnapshot) {
  Stmt count{"select count(*) from t"};
  int32_t n = 0;
  Out out[] = {OI32(n)};
  ASSERT_EQ(kOk, BeginRead());
  ASSERT_EQ(kOk, SelectOne(count, nullptr, 0, out, 1));
  EXPECT_EQ(0, OtherConnection(path_).Exec("insert into t values ('d', 4)"))
      << "the reader blocks no writer";
  ASSERT_EQ(kOk, SelectOne(count, nullptr, 0, out, 1));
  EXPECT_EQ(3, n);
  EXPECT_EQ(kOk, EndRead());
  ASSERT_EQ(kOk, SelectOne(count, nullptr, 0, out, 1));
  EXPECT_EQ(4, n);
}

// After another writer committed between two of its units, the session
// leaves the lock free after each commit; alone, it never pauses.
TEST_F(SqlTransaction, AfterAnotherWritersCommitTheSessionPausesBetweenUnits) {
  if (testing_support::UsePostgres())
    GTEST_SKIP() << "a server has no database-wide write lock to leave free";
  // A session that begins after the table was made by another connection.
  Disconnect();
  ASSERT_EQ(kOk, Reconnect());
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
