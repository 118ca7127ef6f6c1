// Cursors: the rows as of the open, whatever the session and other
// programs write meanwhile.
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "sql/errors.h"
#include "sql/sql.h"
#include "sql/sql_test_fixture.h"

namespace sql {
namespace {

using SqlCursor = SqlDbTest;

WriteStmt UpdateForward() {
  return WriteStmt{{"savepoint T_Upd_Sp"},
                   {"update t set v=v+1000, f='done' where k=:b0"},
                   {"rollback  to T_Upd_Sp"}};
}

TEST_F(SqlCursor, DeliversItsRowsWhileTheSessionRewritesTheTable) {
  Sql("create table t (k integer primary key, v integer, f text);"
      "create index t_v on t (v);"
      "with recursive n(i) as (select 1 union all select i+1 from n where i<50)"
      " insert into t select i, i, 'todo' from n;");
  Stmt q{"select k, v, f from t where v>=:b0 order by v"};
  int32_t from = 10;
  Bind qb[] = {BI32(from)};
  Cursor c;
  ASSERT_EQ(kOk, Open(c, q, qb, 1));

  WriteStmt upd = UpdateForward();
  WriteStmt del{{"savepoint T_Del_Sp"}, {"delete  from t  where k=:b0"}, {"rollback  to T_Del_Sp"}};
  WriteStmt ins{{"savepoint T_Ins_Sp"}, {"insert into t values (:b0, :b1, 'new')"},
                {"rollback  to T_Ins_Sp"}};
  int32_t k = 0, v = 0;
  Text<8> f;
  Out out[] = {OI32(k), OI32(v), OText(f)};
  std::vector<int32_t> seen;
  int rc;
  while ((rc = Fetch(c, out, 3)) == kOk) {
    ASSERT_LT(seen.size(), 100u) << "the cursor sees its own writes";
    seen.push_back(k);
    EXPECT_EQ(k, v);  // the value as of the open
    EXPECT_TRUE(f == "todo");
    Bind b[] = {BI32(k)};
    // Moves the row forward in the index the cursor filters on; a row the
    // session deleted meanwhile is still delivered but no longer there.
    bool deleted = k > 10 && (k - 1) % 5 == 0;
    EXPECT_EQ(deleted ? kNoData : kOk, Write(upd, b, 1)) << k;
    // Deletes a row not yet delivered, adds one the filter would take.
    int32_t later = k + 1, fresh = 1000 + k, fv = 500 + k;
    Bind db[] = {BI32(later)};
    if (k % 5 == 0 && k < 50) {
      EXPECT_EQ(kOk, Write(del, db, 1));
    }
    Bind ib[] = {BI32(fresh), BI32(fv)};
    EXPECT_EQ(kOk, Write(ins, ib, 2));
  }
  EXPECT_EQ(kNoData, rc);
  EXPECT_EQ(kNoData, Fetch(c, out, 3));  // and stays at the end
  ASSERT_EQ(41u, seen.size());
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(static_cast<int32_t>(10 + i), seen[i]);
  EXPECT_EQ(kOk, Close(c));
  EXPECT_EQ(kInvalidCursor, Fetch(c, out, 3));
  EXPECT_EQ(kOk, Close(c));
  // Every write was committed on its own.
  EXPECT_EQ("33|done", Query("select count(*), min(f) from t where v>=1010 and v<2000"));
}

TEST_F(SqlCursor, SurvivesCommitRollbackAndReopenButNotTheSession) {
  Sql("create table t (a integer); insert into t values (1), (2), (3);");
  Stmt q{"select a from t order by a"};
  Cursor c;
  int32_t a = 0;
  Out out[] = {OI32(a)};
  ASSERT_EQ(kOk, Open(c, q, nullptr, 0));
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  EXPECT_EQ(1, a);
  EXPECT_EQ(kOk, Run("savepoint X_Sp"));
  EXPECT_EQ(kOk, Run("delete  from t "));
  EXPECT_EQ(kOk, Rollback());
  EXPECT_EQ(kOk, Commit());  // nothing open: still 0
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  EXPECT_EQ(2, a);
  // Opening again starts from the first row.
  ASSERT_EQ(kOk, Open(c, q, nullptr, 0));
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  EXPECT_EQ(1, a);
  Disconnect();
  ASSERT_EQ(kOk, Reconnect());
  EXPECT_EQ(kInvalidCursor, Fetch(c, out, 1));
  EXPECT_EQ(kOk, Close(c));
  // A failed open leaves the cursor closed.
  Stmt bad{"select a from nothere"};
  EXPECT_EQ(kNoSuchTable, Open(c, bad, nullptr, 0));
  EXPECT_EQ(kInvalidCursor, Fetch(c, out, 1));
  // A date function failing on a later row fails the open.
  Sql("create table d (x text); insert into d values ('20240101'), ('garbage');");
  Stmt dates{"select TO_DATE(x,'yyyymmdd') from d"};
  EXPECT_EQ(kNonNumeric, Open(c, dates, nullptr, 0));
  EXPECT_EQ(kInvalidCursor, Fetch(c, out, 1));
}

TEST_F(SqlCursor, ALargeResultGoesThroughTheSpoolInOrder) {
  Sql("create table big (n integer, pad text);"
      "with recursive s(i) as (select 1 union all select i+1 from s where i<100000)"
      " insert into big select i, 'row number ' || i from s;");
  Stmt q{"select n, pad from big order by n"};
  Cursor c;
  ASSERT_EQ(kOk, Open(c, q, nullptr, 0));
  int32_t n = 0;
  char pad[24];
  Out out[] = {OI32(n), OText(pad, sizeof pad)};
  int32_t expected = 0;
  bool inOrder = true;
  while (Fetch(c, out, 2) == kOk) {
    ++expected;
    if (n != expected || std::string(pad) != "row number " + std::to_string(expected)) {
      inOrder = false;
      break;
    }
  }
  EXPECT_TRUE(inOrder) << "row " << expected << " gave " << n << " " << pad;
  EXPECT_EQ(100000, expected);
  (void)Close(c);
}

// Runs fn in a child process forked before the session exists (a SQLite
// connection must not cross a fork) and started by Go(); Wait() returns its
// exit code.
class Child {
 public:
  template <typename Fn>
  explicit Child(Fn fn) {
    if (pipe(go_) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(go_[1]);
      char ch;
      _exit(read(go_[0], &ch, 1) == 1 ? fn() : 99);
    }
    close(go_[0]);
  }
  void Go() {
    if (write(go_[1], "g", 1) != 1) ADD_FAILURE() << "child not started";
  }
  int Wait() {
    close(go_[1]);
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_ || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }

 private:
  int go_[2] = {-1, -1};
  pid_t pid_ = -1;
};

using SqlCursorProcess = SqlDbTest;

TEST_F(SqlCursorProcess, AnotherProcessCommitsWhileACursorIsOpen) {
  Sql("create table t (k integer primary key, v integer);"
      "insert into t values (1, 0), (2, 0), (3, 0);");
  Disconnect();
  Child child([&] {
    OtherConnection other(path_);
    return other.Exec("insert into t values (10, 7)") == 0 ? 0 : 1;
  });
  ASSERT_EQ(kOk, Reconnect());
  Stmt q{"select k from t order by k"};
  Cursor c;
  int32_t k = 0;
  Out out[] = {OI32(k)};
  ASSERT_EQ(kOk, Open(c, q, nullptr, 0));
  ASSERT_EQ(kOk, Fetch(c, out, 1));
  child.Go();
  EXPECT_EQ(0, child.Wait());
  // The session's next write, in a savepoint transaction, still succeeds.
  WriteStmt upd{{"savepoint T_Upd_Sp"}, {"update t set v=1 where k=:b0"}, {"rollback  to T_Upd_Sp"}};
  Bind b[] = {BI32(k)};
  EXPECT_EQ(kOk, Write(upd, b, 1));
  std::vector<int32_t> rest;
  while (Fetch(c, out, 1) == kOk) rest.push_back(k);
  EXPECT_EQ((std::vector<int32_t>{2, 3}), rest);  // the other's row came later
  (void)Close(c);
  Disconnect();
  EXPECT_EQ("1|1\n2|0\n3|0\n10|7", Query("select k, v from t order by k"));
}

}  // namespace
}  // namespace sql
