// The session of the PostgreSQL engine (postgres_engine.h): its class and
// records, shared by the engine's files.  postgres_engine.cc holds the
// statements, transactions, cursors and the run lock; postgres_pipeline.cc
// what goes to the server in one round trip and the reads ahead;
// postgres_writes_ahead.cc the writes ahead.
//
// One libpq connection, Oracle's statement texts
// adapted at prepare (sql/adapt.h), Oracle's transaction and cursor
// behaviour on top of PostgreSQL's.
//
// Round trips are what a statement costs on a server, so every text is
// prepared once per session (PQprepare) and run with PQexecPrepared.  A
// savepoint is held back and goes with the statement that follows it in
// one round trip (pipeline mode), and so does the BEGIN of a savepoint that
// opens the transaction: a unit's start and its first read cost one round
// trip.  A cursor runs its query to the end at open, row by row
// (single-row mode) into a spool, as the SQLite engine does: the rows are
// those of the open and the connection is free for the next statement.  A
// cursor noted ahead goes after the next commit that goes ahead, read whole
// there, and answers the open that follows right after it.
//
// Between calls the session holds no transaction unless one of its
// savepoints opened it; a rollback to the savepoint that opened it ends it.
// After a failed statement inside a transaction PostgreSQL refuses every
// statement but a rollback; the caller (Write) rolls back to its savepoint.
// A COMMIT of such a transaction answers "ROLLBACK": that is a failure,
// reported with the code of the statement that broke the transaction.
//
// A connection that breaks during a run gives -3113 once and -3114 for
// every later call; the session is not reopened (the next run is).
#ifndef PPS2BDE_SQL_POSTGRES_POSTGRES_SESSION_H_
#define PPS2BDE_SQL_POSTGRES_POSTGRES_SESSION_H_

#include <libpq-fe.h>

#include <cctype>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "sql/adapt.h"
#include "sql/engine.h"
#include "sql/postgres/postgres_dates.h"
#include "sql/row.h"
#include "sql/spool.h"

namespace sql {
namespace pg {

struct Prepared : PreparedStmt {
  std::string name;   // of the server's prepared statement
  StmtShape shape{};
  int params = 0;     // distinct placeholders
  bool clock = false; // binds the statement's time after them
  std::string adapted;  // the text the server prepared (not for a savepoint ...)
  // A query's FOR UPDATE form, prepared when first asked for; lockable
  // turns false when the server refuses it (an aggregate, ...).
  std::unique_ptr<Prepared> locked;
  bool lockable = true;
  // An UPDATE or DELETE's checked form (AheadForm), prepared when first noted to go
  // ahead; checkable turns false when it cannot be had.
  std::unique_ptr<Prepared> checked;
  bool checkable = true;
  // The parameters the job's dates go in as timestamps (postgres_dates.h),
  // and the statement as written, for values that are not such dates.
  std::vector<DateParam> dates;
  std::unique_ptr<Prepared> strict;
};

// A second form of p's statement (locked, checked, as written), to be
// prepared as p's name with suffix: the same shape and parameters.
inline std::unique_ptr<Prepared> Prepared_Form(const Prepared& p, const char* suffix) {
  auto form = std::make_unique<Prepared>();
  form->name = p.name + suffix;
  form->shape = p.shape;
  form->params = p.params;
  form->clock = p.clock;
  return form;
}

struct Savepoint {
  std::string name;
  bool opened;  // its savepoint statement began the transaction
};

// A statement held back to go with the next one: a savepoint (with its
// record in savepoints_) or the BEGIN before the first one.
struct Deferred {
  std::string text;
  bool savepoint;
};

// Most statements held back at once; one more sends them on their own.
constexpr size_t kMaxDeferred = 8;

// A select noted to be read ahead: its statement and values (an empty one
// is NULL); once read, its result.
struct AheadRead {
  const Prepared* p;
  std::vector<std::string> values;
  PGresult* result;
};

// Most selects read ahead at once; later ones run when asked for.
constexpr size_t kMaxAhead = 8;

// A write noted to go ahead (WriteAhead): a savepoint, a change with its
// values, or the commit; once sent, its result.
struct WriteNote {
  enum Kind { kSavepoint, kChange, kCommit } kind;
  const Prepared* p;     // the savepoint's or the change's statement
  const Prepared* form;  // the form a change is sent in (AheadForm)
  std::vector<std::string> values;
  PGresult* result;
};

// Most writes noted at once; later ones run when asked for.
constexpr size_t kMaxWritesAhead = 16;

// What the checked form of a change raises when the change touched no row
// (pps_touched in schema/postgres.sql).
constexpr const char* kNoRowState = "PPS01";

// Frees a PGresult at the end of a scope.
struct Result {
  PGresult* r;
  explicit Result(PGresult* res) : r(res) {}
  ~Result() { PQclear(r); }
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;
};

class PostgresEngine : public Engine {
 public:
  explicit PostgresEngine(PGconn* conn) : conn_(conn) {}
  ~PostgresEngine() override;

  int Prepare(const char* text, PreparedStmt** handle) override;
  int Exec(const Stmt& s, const Bind* binds, int nbinds) override;
  int SelectOne(const Stmt& s, const Bind* binds, int nbinds, const Out* outs,
                int nouts) override;
  bool ReadsAhead() override { return true; }
  int Ahead(const Stmt& s, const Bind* binds, int nbinds) override;
  void LockReads(bool on) override { lockReads_ = on; }
  void StartWrites() override;
  void AheadWrite(const Stmt& s, const Bind* binds, int nbinds) override;
  void AheadCommit() override;
  void AheadOpen(const Stmt& s, const Bind* binds, int nbinds) override;
  int OpenCursor(const Stmt& s, const Bind* binds, int nbinds,
                 EngineCursor** cursor) override;
  int Fetch(EngineCursor* cursor, const Out* outs, int nouts) override;
  void CloseCursor(EngineCursor* cursor) override;
  int Commit() override;
  int Rollback() override;
  // A BEGIN held back counts: the caller's transaction has begun; so does
  // one whose COMMIT went ahead and was not asked for yet.
  bool InTransaction() override {
    return BeginDeferred() || ServerInTransaction() || CommitAhead();
  }
  int RunLock(int waitMs, const char* holder) override;
  int ProbeRunLock(char* holder, size_t cap) override;
  int BeginRead() override;
  int EndRead() override;

 private:
  // The code of a failed result (null with the connection gone: -3113
  // once, -3114 after; null otherwise: -600).  Inside a transaction the
  // code is kept for the COMMIT that will find it aborted.
  int Failure(const PGresult* r);
  // Runs a text without parameters (simple query): 0 or the code.
  int Simple(const char* text, std::string* tag = nullptr);
  // The values of the statement's parameters as texts, into params_.  The
  // job's dates of a statement with a quick form become timestamps, or,
  // when one is not such a date, none does and strictDates_ says so.
  int Values(const Prepared* p, const Bind* binds, int nbinds);
  // The form of p that runs with the values of Values(): p, or the
  // statement as written for values that are not the job's dates.
  Prepared* Form(Prepared* p) const {
    return strictDates_ && p->strict != nullptr ? p->strict.get() : p;
  }
  // Prepares text as name without failing the transaction (a savepoint of
  // its own around it inside one): true when the server took it.  False
  // without trying when the transaction has already failed.
  bool PrepareQuietly(const std::string& name, const std::string& text);
  // PQexecPrepared with the values of Values(), after the statements held
  // back and before the reads ahead, in the same round trip.  When one held
  // back fails, *deferredRc gets its code and the result is null.  The
  // reads ahead become answers when all of them went through.
  PGresult* Run(const Prepared* p, int* deferredRc);
  // Sends what was held back, the statement p and the reads ahead (between
  // a savepoint of their own and its release) as one pipeline: false when
  // a part could not be sent.
  bool SendPipeline(const Prepared* p);
  // In pipeline mode: sends a text without parameters, a prepared
  // statement with values (an empty one is NULL), or what was held back
  // followed by p with the values of Values().  False when it could not.
  bool SendText(const char* text);
  bool SendPrepared(const Prepared* p, const std::vector<std::string>& values);
  bool SendHeldAnd(const Prepared* p);
  // The code of the first of the held statements' results (the first
  // held of results) that failed, or 0.
  int HeldStatus(const std::vector<PGresult*>& results, size_t held);
  // The first result of each of the pipeline's queries (null for one that
  // gave none), after every result was read and pipeline mode left.
  std::vector<PGresult*> ReadPipeline(size_t queries, bool sent);
  // Given the results of the reads ahead's savepoint, reads and release:
  // when each went through, the reads' results become the answers (taken
  // from results).  The notes are dropped either way.
  bool KeepAnswers(PGresult** results);
  // The answer read ahead for p with the values of Values() (taken: the
  // caller frees it), or null.
  PGresult* Answer(const Prepared* p);
  // Drops the answers read ahead (and the rows of an open that went
  // ahead); ForgetAhead the notes too.
  void DropAnswers();
  void ForgetAhead();
  // The form of p a single-row select runs in: FOR UPDATE while reads lock
  // their rows inside a writing transaction and the server takes it.
  const Prepared* ReadForm(Prepared* p);
  // Writes ahead.  The form a change goes ahead in: an INSERT as it is (it
  // inserts or fails), an UPDATE or DELETE in its checked form
  //   WITH pps_w AS (change RETURNING 1) SELECT pps_touched(count(*)) ...
  // which fails when it touches no row, so that nothing sent after it in
  // the same round trip runs; null for a statement that cannot go ahead.
  const Prepared* AheadForm(Prepared* p);
  // The change with the values of Values() in its form, after the
  // statements held back and before the writes noted after it (from index
  // first on), as one pipeline; those become sentWrites_.  As Run.
  PGresult* RunAhead(const Prepared* form, size_t first, int* deferredRc);
  // The status of a change from its form's result r (taken): one that
  // touched no row is undone back to savepoint and is 1403.  What was sent
  // after a change that did not go through never ran: it is dropped.
  int ChangeAnswer(PGresult* r, const std::string& savepoint);
  // Answers a savepoint or change that went ahead: true with *rc when s
  // with these values is the next one.
  bool Claim(const Prepared* p, const Bind* binds, int nbinds, int* rc);
  // Whether values_ holds the values noted (the statement's time aside:
  // it is the time the change went).
  bool SameValues(const Prepared* p, const std::vector<std::string>& noted) const {
    const auto n = static_cast<std::ptrdiff_t>(p->params);
    return noted.size() == values_.size() &&
           std::equal(noted.begin(), noted.begin() + n, values_.begin());
  }
  // A call that is not the next write sent ahead: what ran ahead unasked
  // is undone back to its savepoint (0, or the code of that rollback);
  // after a COMMIT that went through nothing can be undone: -600.
  int Deviated();
  bool CommitAhead() const {
    for (const WriteNote& w : sentWrites_)
      if (w.kind == WriteNote::kCommit) return true;
    return false;
  }
  void DropSent();
  void DropOpenAnswer() {
    PQclear(openAnswer_.result);
    openAnswer_ = AheadRead{nullptr, {}, nullptr};
  }
  // Sends the statements held back on their own: 0 or the code.
  int SendDeferred();
  // After a held-back statement failed: the transaction it began (if it
  // did) is rolled back and the savepoints never set are forgotten.
  void DeferredFailed();
  // Forgets the held-back statements from index from on, with the records
  // of their savepoints (the last ones of savepoints_).
  void DropDeferred(size_t from);
  bool BeginDeferred() const { return !deferred_.empty() && !deferred_[0].savepoint; }
  bool ServerInTransaction() {
    PGTransactionStatusType t = PQtransactionStatus(conn_);
    return t == PQTRANS_INTRANS || t == PQTRANS_INERROR;
  }
  void ReadRow(const PGresult* r, int row);
  // Runs the cursor query p with the values of Values() into spool, row by
  // row: 0 or the code.
  int RunCursor(const Prepared* p, Spool* spool);
  // Forgets the savepoints once no transaction is open.
  void Sync() {
    if (!BeginDeferred() && sentWrites_.empty() && PQtransactionStatus(conn_) == PQTRANS_IDLE) {
      savepoints_.clear();
      deferred_.clear();
      txError_ = kOk;
    }
  }
  // Runs a text with text parameters (not prepared: for rare calls).
  int Params(const char* text, int n, const char* const* values, std::string* first);
  int DoSavepoint(const Stmt& s, Prepared* p);
  int DoRollbackTo(const Stmt& s, Prepared* p);

  PGconn* conn_;
  bool lost_ = false;  // the connection broke: every call is -3114
  bool runLock_ = false;  // this session holds the run lock
  bool reading_ = false;  // a read-only transaction of BeginRead is open
  bool lockReads_ = false;  // LockReads is on
  std::vector<std::unique_ptr<Prepared>> prepared_;
  SpoolCursors cursors_;
  std::vector<Savepoint> savepoints_;
  // What is not sent yet: it goes with the next statement, in one round
  // trip (pipeline mode).
  std::vector<Deferred> deferred_;
  std::vector<AheadRead> ahead_;    // noted, to go with the next statement
  std::vector<AheadRead> answers_;  // read ahead, not asked for yet
  std::vector<WriteNote> writes_;      // noted, to go with the first change
  bool writesOpen_ = false;            // more writes may be noted
  std::vector<WriteNote> sentWrites_;  // went ahead, not asked for yet
  // A cursor's query noted to go after the next commit that goes ahead
  // (AheadOpen), and the rows it read there, for the next open only.
  AheadRead openNote_{nullptr, {}, nullptr};
  AheadRead openAnswer_{nullptr, {}, nullptr};
  int txError_ = kOk;  // code of the statement that aborted the transaction
  uint32_t next_ = 0;  // number of the next prepared statement
  std::vector<std::string> values_;
  bool strictDates_ = false;  // the values of Values() need p->strict
  std::vector<std::string> dateTexts_;  // scratch of Values()
  std::vector<const char*> params_;
  RowWriter row_;
};

// A statement's text in lower case.
inline std::string Lower(const std::string& text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace pg
}  // namespace sql

#endif  // PPS2BDE_SQL_POSTGRES_POSTGRES_SESSION_H_
