// The PostgreSQL engine: one libpq connection, Oracle's statement texts
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
// those of the open and the connection is free for the next statement.
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
#include "sql/postgres/postgres_engine.h"

#include <libpq-fe.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "runtime/os/env.h"
#include "sql/adapt.h"
#include "sql/errors.h"
#include "sql/postgres/postgres_errors.h"
#include "sql/row.h"
#include "sql/spool.h"

namespace sql {
namespace {

int g_lockTimeoutMs = 5000;

constexpr size_t kMaxStatement = 1 << 20;
// Longest service, account and password taken.
constexpr size_t kMaxPart = 4096;

// Type oids of the built-in types read as numbers.
constexpr Oid kBoolOid = 16, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23, kOidOid = 26,
              kFloat4Oid = 700, kFloat8Oid = 701, kNumericOid = 1700;

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
};

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
  // The values of the statement's parameters as texts, into params_.
  int Values(const Prepared* p, const Bind* binds, int nbinds);
  // PQexecPrepared with the values of Values(), after the statements held
  // back and before the reads ahead, in the same round trip.  When one held
  // back fails, *deferredRc gets its code and the result is null.  The
  // reads ahead become answers when all of them went through.
  PGresult* Run(const Prepared* p, int* deferredRc);
  // Sends what was held back, the statement p and the reads ahead (between
  // a savepoint of their own and its release) as one pipeline: false when
  // a part could not be sent.
  bool SendPipeline(const Prepared* p);
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
  // Drops the answers read ahead; ForgetAhead the notes too.
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
  int txError_ = kOk;  // code of the statement that aborted the transaction
  uint32_t next_ = 0;  // number of the next prepared statement
  std::vector<std::string> values_;
  std::vector<const char*> params_;
  RowWriter row_;
};

PostgresEngine::~PostgresEngine() {
  ForgetAhead();
  DropSent();
  PQfinish(conn_);  // the server rolls back an open transaction
}

int PostgresEngine::Failure(const PGresult* r) {
  const char* state = r != nullptr ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
  // Class 08 (connection exception) and 57P01..57P03 (the server shut the
  // session down, is shutting down or starting) end the session too.
  bool gone = state != nullptr && (std::strncmp(state, "08", 2) == 0 ||
                                   std::strncmp(state, "57P0", 4) == 0);
  if (r == nullptr && !gone && PQstatus(conn_) == CONNECTION_OK) return kInternal;  // memory
  if (PQstatus(conn_) == CONNECTION_BAD || r == nullptr || gone) {
    bool first = !lost_;
    lost_ = true;
    savepoints_.clear();
    deferred_.clear();
    ForgetAhead();
    DropSent();
    return first ? kConnectionLost : kNotConnected;
  }
  int code = Postgres_Status(state);
  if (PQtransactionStatus(conn_) == PQTRANS_INERROR && txError_ == kOk) txError_ = code;
  return code;
}

int PostgresEngine::Simple(const char* text, std::string* tag) {
  Result r(PQexec(conn_, text));
  ExecStatusType st = r.r != nullptr ? PQresultStatus(r.r) : PGRES_FATAL_ERROR;
  if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) return Failure(r.r);
  if (tag != nullptr) *tag = PQcmdStatus(r.r);
  return kOk;
}

int PostgresEngine::Prepare(const char* text, PreparedStmt** handle) {
  if (lost_) return kNotConnected;
  size_t len = strnlen(text, kMaxStatement + 1);
  if (len > kMaxStatement) return kInvalidSql;
  auto p = std::make_unique<Prepared>();
  Adapt_Classify(text, len, &p->shape);
  std::string adapted;
  Adapt_RewritePostgres(text, len, &adapted, &p->params, &p->clock);
  if (p->shape.kind == StmtKind::kQuery || p->shape.kind == StmtKind::kChange ||
      p->shape.kind == StmtKind::kOther)
    p->adapted = adapted;
  switch (p->shape.kind) {
    case StmtKind::kSavepoint:
    case StmtKind::kRollbackTo:
    case StmtKind::kCommit:
    case StmtKind::kRollback:
      // Run as simple queries by the transaction calls.
      break;
    default: {
      p->name = "pps" + std::to_string(next_++);
      Result r(PQprepare(conn_, p->name.c_str(), adapted.c_str(), 0, nullptr));
      if (r.r == nullptr || PQresultStatus(r.r) != PGRES_COMMAND_OK) return Failure(r.r);
    }
  }
  *handle = p.get();
  prepared_.push_back(std::move(p));
  return kOk;
}

int PostgresEngine::Values(const Prepared* p, const Bind* binds, int nbinds) {
  // One value per distinct placeholder, in order of first appearance.
  if (nbinds != p->params || (nbinds > 0 && binds == nullptr)) return kInternal;
  values_.resize(static_cast<size_t>(nbinds) + (p->clock ? 1 : 0));
  params_.assign(values_.size(), nullptr);
  char num[40];
  for (int i = 0; i < nbinds; ++i) {
    const Bind& b = binds[i];
    std::string& v = values_[i];
    switch (b.type) {
      case kText:
        v.assign(static_cast<const char*>(b.p), BoundTextLength(b.p, b.width));
        break;
      case kTextPair:
        v.assign(static_cast<const char*>(b.p), BoundTextLength(b.p, b.width));
        v.append(static_cast<const char*>(b.p2), BoundTextLength(b.p2, b.width2));
        break;
      case kI16:
      case kI32: {
        if (b.p == nullptr) return kInternal;
        int32_t x;
        std::memcpy(&x, b.p, sizeof x);
        // A 16-bit column gets the low 16 bits, read with their sign.
        if (b.type == kI16) x = static_cast<int16_t>(static_cast<uint16_t>(x & 0xFFFF));
        std::snprintf(num, sizeof num, "%d", x);
        v = num;
        break;
      }
      case kF64: {
        if (b.p == nullptr) return kInternal;
        double x;
        std::memcpy(&x, b.p, sizeof x);
        if (x != x) {
          v = "NaN";
        } else if (x > 1.7976931348623157e308 || x < -1.7976931348623157e308) {
          v = x > 0 ? "Infinity" : "-Infinity";
        } else {
          std::snprintf(num, sizeof num, "%.17g", x);
          v = num;
        }
        break;
      }
      default:
        return kInternal;
    }
    // Oracle's '' is NULL.
    params_[i] = v.empty() ? nullptr : v.c_str();
  }
  if (p->clock) {
    struct tm tm;
    time_t now = Env_Get()->Now();
    if (localtime_r(&now, &tm) == nullptr) return kInternal;
    std::snprintf(num, sizeof num, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    values_[nbinds] = num;
    params_[nbinds] = values_[nbinds].c_str();
  }
  return kOk;
}

void PostgresEngine::DropDeferred(size_t from) {
  for (size_t k = from; k < deferred_.size(); ++k)
    if (deferred_[k].savepoint && !savepoints_.empty()) savepoints_.pop_back();
  if (from < deferred_.size()) deferred_.resize(from);
}

void PostgresEngine::DeferredFailed() {
  const bool began = BeginDeferred();
  DropDeferred(0);
  // A BEGIN that went through leaves a transaction nobody asked for.
  if (began && !lost_ && ServerInTransaction()) (void)Simple("ROLLBACK");
  Sync();
}

int PostgresEngine::SendDeferred() {
  if (deferred_.empty()) return kOk;
  std::string text;
  for (const Deferred& d : deferred_) {
    if (!text.empty()) text += ';';
    text += d.text;
  }
  const int rc = Simple(text.c_str());
  if (rc != kOk) {
    DeferredFailed();
    return rc;
  }
  deferred_.clear();
  return kOk;
}

bool PostgresEngine::SendPipeline(const Prepared* p) {
  auto simple = [&](const char* text) {
    return PQsendQueryParams(conn_, text, 0, nullptr, nullptr, nullptr, nullptr, 0) != 0;
  };
  bool sent = true;
  for (const Deferred& d : deferred_) sent = sent && simple(d.text.c_str());
  sent = sent && PQsendQueryPrepared(conn_, p->name.c_str(), static_cast<int>(params_.size()),
                                     params_.data(), nullptr, nullptr, 0);
  if (!ahead_.empty()) {
    sent = sent && simple("SAVEPOINT pps_ahead");
    std::vector<const char*> values;
    for (const AheadRead& a : ahead_) {
      values.clear();
      for (const std::string& v : a.values) values.push_back(v.empty() ? nullptr : v.c_str());
      sent = sent && PQsendQueryPrepared(conn_, a.p->name.c_str(),
                                         static_cast<int>(values.size()), values.data(),
                                         nullptr, nullptr, 0);
    }
    sent = sent && simple("RELEASE SAVEPOINT pps_ahead");
  }
  return sent && PQpipelineSync(conn_);
}

std::vector<PGresult*> PostgresEngine::ReadPipeline(size_t queries, bool sent) {
  std::vector<PGresult*> first(queries, nullptr);
  for (size_t query = 0; sent && query < queries;) {
    PGresult* r = PQgetResult(conn_);
    if (r == nullptr) {
      ++query;
    } else if (first[query] == nullptr) {
      first[query] = r;
    } else {
      PQclear(r);
    }
  }
  while (PGresult* r = PQgetResult(conn_)) {
    const bool end = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
    PQclear(r);
    if (end) break;
  }
  PQexitPipelineMode(conn_);
  return first;
}

bool PostgresEngine::KeepAnswers(PGresult** results) {
  const size_t reads = ahead_.size();
  bool ok = true;
  for (size_t q = 0; q < reads + 2; ++q) {
    const bool read = q > 0 && q <= reads;
    if (results[q] == nullptr ||
        PQresultStatus(results[q]) != (read ? PGRES_TUPLES_OK : PGRES_COMMAND_OK))
      ok = false;
  }
  if (ok) {
    // The answers of an earlier read ahead give way to the new ones.
    DropAnswers();
    for (size_t k = 0; k < reads; ++k) {
      ahead_[k].result = results[k + 1];
      results[k + 1] = nullptr;
      answers_.push_back(std::move(ahead_[k]));
    }
  }
  ahead_.clear();
  return ok;
}

PGresult* PostgresEngine::Run(const Prepared* p, int* deferredRc) {
  if ((deferred_.empty() && ahead_.empty()) || !PQenterPipelineMode(conn_)) {
    ahead_.clear();
    *deferredRc = SendDeferred();
    if (*deferredRc != kOk) return nullptr;
    return PQexecPrepared(conn_, p->name.c_str(), static_cast<int>(params_.size()),
                          params_.data(), nullptr, nullptr, 0);
  }
  // The queries in order: what was held back, the statement, and the reads
  // ahead between a savepoint of their own and its release.
  const size_t held = deferred_.size();
  const size_t reads = ahead_.size();
  const bool sent = SendPipeline(p);
  std::vector<PGresult*> first = ReadPipeline(held + 1 + (reads > 0 ? reads + 2 : 0), sent);
  *deferredRc = kOk;
  for (size_t k = 0; k < held && *deferredRc == kOk; ++k)
    if (first[k] == nullptr || PQresultStatus(first[k]) != PGRES_COMMAND_OK)
      *deferredRc = Failure(first[k]);
  PGresult* result = first[held];
  first[held] = nullptr;
  const bool statementOk = *deferredRc == kOk && result != nullptr &&
                           (PQresultStatus(result) == PGRES_COMMAND_OK ||
                            PQresultStatus(result) == PGRES_TUPLES_OK);
  // The reads ahead become answers when the statement and each of them
  // went through.
  const bool answered = reads > 0 && statementOk && KeepAnswers(&first[held + 1]);
  ahead_.clear();
  for (PGresult* r : first) PQclear(r);
  if (*deferredRc != kOk) {
    PQclear(result);
    DeferredFailed();
    return nullptr;
  }
  deferred_.clear();
  // A read ahead that failed leaves the transaction as the statement left it.
  if (reads > 0 && statementOk && !answered) (void)Simple("ROLLBACK TO SAVEPOINT pps_ahead");
  return result;
}

PGresult* PostgresEngine::Answer(const Prepared* p) {
  for (auto a = answers_.begin(); a != answers_.end(); ++a) {
    if (a->p != p || a->values != values_) continue;
    PGresult* r = a->result;
    answers_.erase(a);
    return r;
  }
  return nullptr;
}

// A statement's text in lower case.
std::string Lower(const std::string& text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Whether the server takes FOR UPDATE after the query: not after one that
// groups, counts, sorts out duplicates or joins results, nor twice.  A
// failed prepare inside a transaction would abort it, so this is decided
// before asking the server.
bool Lockable(const std::string& query) {
  const std::string text = Lower(query);
  if (text.compare(0, 6, "select") != 0) return false;
  for (const char* word : {"count(", "sum(", "min(", "max(", "avg(", "group by", "having",
                           "distinct", "union", "intersect", "except", "over (", "for update",
                           "for share", "limit", "offset"})
    if (text.find(word) != std::string::npos) return false;
  return true;
}

const Prepared* PostgresEngine::ReadForm(Prepared* p) {
  if (!lockReads_ || reading_ || !InTransaction() || p->shape.kind != StmtKind::kQuery ||
      !p->lockable)
    return p;
  if (p->locked == nullptr) {
    if (!Lockable(p->adapted)) {
      p->lockable = false;
      return p;
    }
    auto locked = std::make_unique<Prepared>();
    locked->name = p->name + "L";
    locked->shape = p->shape;
    locked->params = p->params;
    locked->clock = p->clock;
    const std::string text = p->adapted + " FOR UPDATE";
    const bool aborted = PQtransactionStatus(conn_) == PQTRANS_INERROR;
    Result r(PQprepare(conn_, locked->name.c_str(), text.c_str(), 0, nullptr));
    if (r.r == nullptr || PQresultStatus(r.r) != PGRES_COMMAND_OK) {
      // Refused in a transaction aborted before or without a connection:
      // the select itself reports that.  Refused otherwise: it cannot lock
      // (and is not asked again).
      if (!aborted && r.r != nullptr && PQstatus(conn_) == CONNECTION_OK) p->lockable = false;
      return p;
    }
    p->locked = std::move(locked);
  }
  return p->locked.get();
}

void PostgresEngine::DropAnswers() {
  for (AheadRead& a : answers_) PQclear(a.result);
  answers_.clear();
}

void PostgresEngine::ForgetAhead() {
  DropAnswers();
  ahead_.clear();
  writes_.clear();
}

int PostgresEngine::Ahead(const Stmt& s, const Bind* binds, int nbinds) {
  if (lost_) return kNotConnected;
  // Outside a transaction the pipeline would be one transaction of its own.
  if (!InTransaction() || ahead_.size() >= kMaxAhead) return kOk;
  const Prepared* p = ReadForm(static_cast<Prepared*>(s.prepared));
  const int rc = Values(p, binds, nbinds);
  if (rc != kOk) return rc;
  ahead_.push_back(AheadRead{p, values_, nullptr});
  return kOk;
}

void PostgresEngine::StartWrites() {
  writes_.clear();
  writesOpen_ = true;
}

// A change is noted right after its savepoint only: undone back to it, a
// change that touched no row leaves the transaction as it found it.
void PostgresEngine::AheadWrite(const Stmt& s, const Bind* binds, int nbinds) {
  if (!writesOpen_) return;
  Prepared* p = static_cast<Prepared*>(s.prepared);
  const bool afterSavepoint = !writes_.empty() && writes_.back().kind == WriteNote::kSavepoint;
  writesOpen_ = false;
  if (lost_ || !InTransaction() || !sentWrites_.empty() || writes_.size() >= kMaxWritesAhead)
    return;
  if (p->shape.kind == StmtKind::kSavepoint) {
    writes_.push_back(WriteNote{WriteNote::kSavepoint, p, nullptr, {}, nullptr});
  } else if (const Prepared* form = afterSavepoint ? AheadForm(p) : nullptr;
             form != nullptr && Values(p, binds, nbinds) == kOk) {
    writes_.push_back(WriteNote{WriteNote::kChange, p, form, values_, nullptr});
  } else {
    return;
  }
  writesOpen_ = true;
}

void PostgresEngine::AheadCommit() {
  if (writesOpen_ && !writes_.empty() && writes_.back().kind == WriteNote::kChange)
    writes_.push_back(WriteNote{WriteNote::kCommit, nullptr, nullptr, {}, nullptr});
  writesOpen_ = false;
}

// Whether a change can be the WITH of its checked form: an UPDATE or
// DELETE that returns nothing of its own.
bool Checkable(const std::string& change) {
  const std::string text = Lower(change);
  return (text.compare(0, 6, "update") == 0 || text.compare(0, 6, "delete") == 0) &&
         text.find("returning") == std::string::npos;
}

const Prepared* PostgresEngine::AheadForm(Prepared* p) {
  if (p->shape.kind == StmtKind::kOther)
    return Lower(p->adapted.substr(0, 7)) == "insert " ? p : nullptr;
  if (p->shape.kind != StmtKind::kChange) return nullptr;
  if (p->checked != nullptr) return p->checked.get();
  if (!p->checkable || !Checkable(p->adapted)) {
    p->checkable = false;
    return nullptr;
  }
  const PGTransactionStatusType t = PQtransactionStatus(conn_);
  if (t != PQTRANS_IDLE && t != PQTRANS_INTRANS) return nullptr;
  auto checked = std::make_unique<Prepared>();
  checked->name = p->name + "C";
  checked->shape = p->shape;
  checked->params = p->params;
  checked->clock = p->clock;
  const std::string text = "WITH pps_w AS (" + p->adapted +
                           " RETURNING 1) SELECT pps_touched(count(*)) FROM pps_w";
  // A prepare the server refuses would abort the transaction: inside one
  // it is tried under a savepoint of its own.
  const bool guarded = t == PQTRANS_INTRANS;
  if (guarded && Simple("SAVEPOINT pps_check") != kOk) return nullptr;
  Result r(PQprepare(conn_, checked->name.c_str(), text.c_str(), 0, nullptr));
  const bool ok = r.r != nullptr && PQresultStatus(r.r) == PGRES_COMMAND_OK;
  if (guarded &&
      Simple(ok ? "RELEASE SAVEPOINT pps_check"
                : "ROLLBACK TO SAVEPOINT pps_check;RELEASE SAVEPOINT pps_check") != kOk)
    return nullptr;
  if (!ok) {
    // Refused with the connection standing (no pps_touched in an older
    // schema, ...): the change runs on its own, as asked for.
    if (r.r != nullptr && PQstatus(conn_) == CONNECTION_OK) p->checkable = false;
    return nullptr;
  }
  p->checked = std::move(checked);
  return p->checked.get();
}

PGresult* PostgresEngine::RunAhead(const Prepared* form, size_t first, int* deferredRc) {
  std::vector<WriteNote> rest(std::make_move_iterator(writes_.begin() + first + 1),
                              std::make_move_iterator(writes_.end()));
  writes_.clear();
  ahead_.clear();  // older than the writes: they would not be answered
  auto simple = [&](const char* text) {
    return PQsendQueryParams(conn_, text, 0, nullptr, nullptr, nullptr, nullptr, 0) != 0;
  };
  const size_t held = deferred_.size();
  bool sent = PQenterPipelineMode(conn_) != 0;
  for (const Deferred& d : deferred_) sent = sent && simple(d.text.c_str());
  sent = sent && PQsendQueryPrepared(conn_, form->name.c_str(),
                                     static_cast<int>(params_.size()), params_.data(), nullptr,
                                     nullptr, 0);
  std::vector<const char*> values;
  for (const WriteNote& w : rest) {
    if (w.kind == WriteNote::kSavepoint) {
      // The text of a savepoint statement is its prepared shape's name.
      sent = sent && simple(("SAVEPOINT " + std::string(w.p->shape.name)).c_str());
    } else if (w.kind == WriteNote::kCommit) {
      sent = sent && simple("COMMIT");
    } else {
      values.clear();
      for (const std::string& v : w.values) values.push_back(v.empty() ? nullptr : v.c_str());
      sent = sent && PQsendQueryPrepared(conn_, w.form->name.c_str(),
                                         static_cast<int>(values.size()), values.data(),
                                         nullptr, nullptr, 0);
    }
  }
  sent = sent && PQpipelineSync(conn_);
  std::vector<PGresult*> results = ReadPipeline(held + 1 + rest.size(), sent);
  for (size_t k = 0; k < rest.size(); ++k) rest[k].result = results[held + 1 + k];
  sentWrites_ = std::move(rest);
  *deferredRc = kOk;
  for (size_t k = 0; k < held && *deferredRc == kOk; ++k)
    if (results[k] == nullptr || PQresultStatus(results[k]) != PGRES_COMMAND_OK)
      *deferredRc = Failure(results[k]);
  for (size_t k = 0; k < held; ++k) PQclear(results[k]);
  if (*deferredRc != kOk) {
    PQclear(results[held]);
    DropSent();
    DeferredFailed();
    return nullptr;
  }
  deferred_.clear();
  return results[held];
}

int PostgresEngine::ChangeAnswer(PGresult* res, const std::string& savepoint) {
  Result r(res);
  if (r.r != nullptr &&
      (PQresultStatus(r.r) == PGRES_TUPLES_OK || PQresultStatus(r.r) == PGRES_COMMAND_OK))
    return kOk;
  DropSent();
  const char* state = r.r != nullptr ? PQresultErrorField(r.r, PG_DIAG_SQLSTATE) : nullptr;
  if (state == nullptr || std::strcmp(state, kNoRowState) != 0) return Failure(r.r);
  // Back to where a change on its own that touched no row would have left
  // the transaction.
  const int rc = Simple(("ROLLBACK TO SAVEPOINT " + savepoint).c_str());
  if (rc != kOk) return rc;
  txError_ = kOk;
  return kNoData;
}

bool PostgresEngine::Claim(const Prepared* p, const Bind* binds, int nbinds, int* rc) {
  if (sentWrites_.empty()) return false;
  WriteNote& next = sentWrites_.front();
  // A "commit" text is Commit's to answer.
  if (p->shape.kind == StmtKind::kCommit && next.kind == WriteNote::kCommit) return false;
  const bool same = next.p == p && (next.kind == WriteNote::kSavepoint ||
                                    (next.kind == WriteNote::kChange &&
                                     Values(p, binds, nbinds) == kOk && SameValues(p, next.values)));
  if (!same) {
    *rc = Deviated();
    return *rc != kOk;
  }
  Result r(next.result);
  const WriteNote::Kind kind = next.kind;
  sentWrites_.front().result = nullptr;
  sentWrites_.erase(sentWrites_.begin());
  if (kind == WriteNote::kChange) {
    *rc = ChangeAnswer(r.r, savepoints_.back().name);
    r.r = nullptr;  // taken
    return true;
  }
  if (r.r == nullptr || PQresultStatus(r.r) != PGRES_COMMAND_OK) {
    *rc = Failure(r.r);
    DropSent();
    return true;
  }
  savepoints_.push_back(Savepoint{p->shape.name, false});
  *rc = kOk;
  return true;
}

int PostgresEngine::Deviated() {
  if (sentWrites_.empty()) return kOk;
  bool committed = false;
  for (const WriteNote& w : sentWrites_)
    committed = committed || (w.kind == WriteNote::kCommit && w.result != nullptr &&
                              PQresultStatus(w.result) == PGRES_COMMAND_OK);
  const WriteNote& next = sentWrites_.front();
  std::string undo;
  if (!committed && next.kind == WriteNote::kSavepoint && next.result != nullptr &&
      PQresultStatus(next.result) == PGRES_COMMAND_OK) {
    const std::string name = next.p->shape.name;
    undo = "ROLLBACK TO SAVEPOINT " + name + ";RELEASE SAVEPOINT " + name;
  }
  DropSent();
  if (committed) {
    Sync();
    return kInternal;
  }
  return undo.empty() ? kOk : Simple(undo.c_str());
}

void PostgresEngine::DropSent() {
  for (WriteNote& w : sentWrites_) PQclear(w.result);
  sentWrites_.clear();
}

// Reads a number column's text: an integer when it is one, else a double.
void AddNumber(RowWriter* row, const char* v, Oid type) {
  if (type != kFloat4Oid && type != kFloat8Oid) {
    errno = 0;
    char* end = nullptr;
    long long x = std::strtoll(v, &end, 10);
    if (errno == 0 && end != v && *end == '\0') {
      row->AddInt(x);
      return;
    }
  }
  row->AddDouble(std::strtod(v, nullptr));
}

void PostgresEngine::ReadRow(const PGresult* r, int row) {
  row_.Clear();
  int n = PQnfields(r);
  for (int i = 0; i < n; ++i) {
    if (PQgetisnull(r, row, i)) {
      row_.AddNull();
      continue;
    }
    const char* v = PQgetvalue(r, row, i);
    Oid type = PQftype(r, i);
    switch (type) {
      case kBoolOid:
        row_.AddInt(v[0] == 't' ? 1 : 0);
        break;
      case kInt2Oid:
      case kInt4Oid:
      case kInt8Oid:
      case kOidOid:
      case kFloat4Oid:
      case kFloat8Oid:
      case kNumericOid:
        AddNumber(&row_, v, type);
        break;
      default:
        row_.AddText(v, static_cast<size_t>(PQgetlength(r, row, i)));
    }
  }
}

int PostgresEngine::Exec(const Stmt& s, const Bind* binds, int nbinds) {
  if (lost_) return kNotConnected;
  Prepared* p = static_cast<Prepared*>(s.prepared);
  if (int rc; Claim(p, binds, nbinds, &rc)) return rc;
  switch (p->shape.kind) {
    case StmtKind::kSavepoint: return DoSavepoint(s, p);
    case StmtKind::kRollbackTo: return DoRollbackTo(s, p);
    case StmtKind::kCommit: return Commit();
    case StmtKind::kRollback: return Rollback();
    default: break;
  }
  // What was read ahead is older than this statement; what is noted goes
  // with it.
  DropAnswers();
  int status = Values(p, binds, nbinds);
  if (status != kOk) return status;
  // The first change noted to go ahead takes the writes noted after it
  // along; it can be undone back to its savepoint, held back before it.
  size_t first = 0;
  while (first < writes_.size() && writes_[first].kind != WriteNote::kChange) ++first;
  if (first < writes_.size() && writes_[first].p == p && SameValues(p, writes_[first].values) &&
      !deferred_.empty() && deferred_.back().savepoint) {
    const std::string savepoint = savepoints_.back().name;
    PGresult* answer = RunAhead(writes_[first].form, first, &status);
    return status != kOk ? status : ChangeAnswer(answer, savepoint);
  }
  writes_.clear();
  Result r(Run(p, &status));
  if (status != kOk) return status;
  ExecStatusType st = r.r != nullptr ? PQresultStatus(r.r) : PGRES_FATAL_ERROR;
  if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) return Failure(r.r);
  if (p->shape.kind == StmtKind::kChange && std::strcmp(PQcmdTuples(r.r), "0") == 0)
    return kNoData;
  Sync();
  return kOk;
}

int PostgresEngine::SelectOne(const Stmt& s, const Bind* binds, int nbinds,
                              const Out* outs, int nouts) {
  if (lost_) return kNotConnected;
  if (int rc = Deviated(); rc != kOk) return rc;
  writes_.clear();
  const Prepared* p = ReadForm(static_cast<Prepared*>(s.prepared));
  int status = Values(p, binds, nbinds);
  if (status != kOk) return status;
  PGresult* answer = Answer(p);
  Result r(answer != nullptr ? answer : Run(p, &status));
  if (status != kOk) return status;
  if (r.r == nullptr || PQresultStatus(r.r) != PGRES_TUPLES_OK) return Failure(r.r);
  int rows = PQntuples(r.r);
  if (rows == 0) return kNoData;
  if (rows > 1) return kTooManyRows;
  ReadRow(r.r, 0);
  return Row_Fill(row_.data(), row_.size(), outs, nouts);
}

int PostgresEngine::OpenCursor(const Stmt& s, const Bind* binds, int nbinds,
                               EngineCursor** cursor) {
  if (lost_) return kNotConnected;
  if (int rc = Deviated(); rc != kOk) return rc;
  Prepared* p = static_cast<Prepared*>(s.prepared);
  ForgetAhead();
  int status = Values(p, binds, nbinds);
  if (status == kOk) status = SendDeferred();
  if (status != kOk) return status;
  auto spool = std::make_unique<Spool>();
  if (!PQsendQueryPrepared(conn_, p->name.c_str(), static_cast<int>(params_.size()),
                           params_.data(), nullptr, nullptr, 0))
    return Failure(nullptr);
  // Row by row, so that memory stays flat however many rows the query has.
  PQsetSingleRowMode(conn_);
  bool failed = false;
  // Every result is read, whatever happens, so the connection is free again.
  while (PGresult* res = PQgetResult(conn_)) {
    Result r(res);
    ExecStatusType st = PQresultStatus(res);
    if (failed) continue;
    if (st == PGRES_SINGLE_TUPLE) {
      ReadRow(res, 0);
      status = spool->Add(row_.data(), row_.size());
      failed = status != kOk;
    } else if (st != PGRES_TUPLES_OK) {
      status = Failure(res);
      failed = true;
    }
  }
  if (!failed && PQstatus(conn_) == CONNECTION_BAD) status = Failure(nullptr);
  if (status == kOk) status = spool->Finish();
  if (status != kOk) return status;
  *cursor = cursors_.Add(std::move(spool));
  return kOk;
}

int PostgresEngine::Fetch(EngineCursor* cursor, const Out* outs, int nouts) {
  return cursors_.Fetch(cursor, outs, nouts);
}

void PostgresEngine::CloseCursor(EngineCursor* cursor) {
  cursors_.Close(cursor);
}

// "savepoint x" is held back for the next statement's round trip; outside
// a transaction a "BEGIN" before it, so the savepoint is the outermost one
// of the transaction.
int PostgresEngine::DoSavepoint(const Stmt& s, Prepared* p) {
  if (deferred_.size() + 2 > kMaxDeferred) {
    int rc = SendDeferred();
    if (rc != kOk) return rc;
  }
  const bool opened = !InTransaction();
  if (opened) deferred_.push_back(Deferred{"BEGIN", false});
  deferred_.push_back(Deferred{s.text, true});
  savepoints_.push_back(Savepoint{p->shape.name, opened});
  return kOk;
}

// "rollback  to x": back to the latest savepoint x, which stays.  When x
// began the transaction nothing is left in it: it is rolled back and ended.
int PostgresEngine::DoRollbackTo(const Stmt& s, Prepared* p) {
  ForgetAhead();
  size_t i = savepoints_.size();
  while (i > 0 && strcasecmp(savepoints_[i - 1].name.c_str(), p->shape.name) != 0) --i;
  if (!InTransaction() || i == 0) return kNoSavepoint;
  size_t held = 0;
  for (const Deferred& d : deferred_) held += d.savepoint ? 1 : 0;
  const size_t set = savepoints_.size() - held;  // savepoints the server knows
  if (i > set) {
    // x was never sent, so nothing was done since it: what was held back
    // after it is dropped, x stays held back.  When x began the
    // transaction, the transaction ends with nothing sent.
    if (savepoints_[i - 1].opened) {
      DropDeferred(0);
      Sync();
      return kOk;
    }
    size_t keep = 0;
    for (size_t seen = 0; keep < deferred_.size() && seen < i - set; ++keep)
      seen += deferred_[keep].savepoint ? 1 : 0;
    DropDeferred(keep);
    return kOk;
  }
  DropDeferred(0);  // later savepoints that were never sent
  savepoints_.resize(i);
  int rc = Simple(savepoints_.back().opened ? "ROLLBACK" : s.text);
  if (rc == kOk && InTransaction()) txError_ = kOk;  // the failure was undone
  Sync();
  return rc;
}

int PostgresEngine::Commit() {
  if (lost_) return kNotConnected;
  if (!sentWrites_.empty() && sentWrites_.front().kind == WriteNote::kCommit) {
    // The COMMIT went with the unit's last writes.
    Result r(sentWrites_.front().result);
    sentWrites_.front().result = nullptr;
    DropSent();
    ForgetAhead();
    DropDeferred(0);
    const bool ok = r.r != nullptr && PQresultStatus(r.r) == PGRES_COMMAND_OK;
    const int rc = ok ? kOk : Failure(r.r);
    Sync();
    if (ok && std::strcmp(PQcmdStatus(r.r), "COMMIT") != 0) return kInternal;
    return rc;
  }
  if (int rc = Deviated(); rc != kOk) return rc;
  ForgetAhead();
  // Savepoints right before the end change nothing; a transaction whose
  // BEGIN was held back never reached the server.
  DropDeferred(0);
  if (!ServerInTransaction()) {
    Sync();
    return kOk;
  }
  int aborted = txError_;
  std::string tag;
  int rc = Simple("COMMIT", &tag);
  Sync();
  if (rc != kOk) return rc;
  // COMMIT of an aborted transaction rolls it back and says so.
  if (tag == "ROLLBACK") return aborted != kOk ? aborted : kInternal;
  return kOk;
}

int PostgresEngine::Rollback() {
  if (lost_) return kNotConnected;
  if (int rc = Deviated(); rc != kOk) return rc;
  ForgetAhead();
  DropDeferred(0);
  if (!ServerInTransaction()) {
    Sync();
    return kOk;
  }
  int rc = Simple("ROLLBACK");
  Sync();
  return rc;
}

int PostgresEngine::Params(const char* text, int n, const char* const* values,
                           std::string* first) {
  if (int rc = Deviated(); rc != kOk) return rc;
  ForgetAhead();
  if (int rc = SendDeferred()) return rc;
  Result r(PQexecParams(conn_, text, n, nullptr, values, nullptr, nullptr, 0));
  ExecStatusType st = r.r != nullptr ? PQresultStatus(r.r) : PGRES_FATAL_ERROR;
  if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) return Failure(r.r);
  if (first != nullptr) {
    first->clear();
    if (PQntuples(r.r) > 0 && PQnfields(r.r) > 0 && !PQgetisnull(r.r, 0, 0))
      *first = PQgetvalue(r.r, 0, 0);
  }
  return kOk;
}

// The run lock is a session advisory lock on one fixed key in the
// database: the server gives it back when the session ends, however the
// process ends.  The holder's text is the session's application_name (cut
// to the server's 63 bytes), which pg_stat_activity shows to everyone.
// The key is "pps2bde" in ASCII; as a bigint lock pg_locks shows its high
// half as classid, its low half as objid, objsubid 1.
constexpr const char* kRunLockKey = "31648837460452453";  // 0x70707332626465
constexpr const char* kRunLockClassId = "7368819";        // 0x707073
constexpr const char* kRunLockObjId = "845309029";        // 0x32626465

// Polls pg_try_advisory_lock instead of waiting in pg_advisory_lock: the
// wait is bounded and goes through the Env's sleep, which tests replace.
int PostgresEngine::RunLock(int waitMs, const char* holder) {
  if (lost_) return kNotConnected;
  if (runLock_) return kOk;
  constexpr int kPollMs = 50;
  std::string got;
  for (int waited = 0;; waited += kPollMs) {
    const char* key[] = {kRunLockKey};
    int rc = Params("SELECT pg_try_advisory_lock($1::bigint)", 1, key, &got);
    if (rc != kOk) return rc;
    if (got == "t") break;
    if (waited >= waitMs) return kBusy;
    Env_Get()->SleepMs(waitMs - waited < kPollMs ? waitMs - waited : kPollMs);
  }
  runLock_ = true;
  // The text is only for people and tools that look; a failure to set it
  // does not weaken the lock.  The server keeps 63 bytes of it (and would
  // say so in a notice): it is cut here, never inside a UTF-8 character.
  size_t n = strnlen(holder, 63);
  if (n == 63)
    while (n > 0 && (static_cast<unsigned char>(holder[n]) & 0xC0) == 0x80) --n;
  std::string text(holder, n);
  const char* name[] = {text.c_str()};
  (void)Params("SELECT set_config('application_name', $1, false)", 1, name, nullptr);
  return kOk;
}

int PostgresEngine::ProbeRunLock(char* holder, size_t cap) {
  if (lost_) return kNotConnected;
  if (runLock_) return 0;
  const char* key[] = {kRunLockClassId, kRunLockObjId};
  // "x" and the holder's name when someone holds it, no row when not.
  std::string name;
  int rc = Params(
      "SELECT 'x' || coalesce(a.application_name, '') FROM pg_locks l "
      "JOIN pg_stat_activity a "
      "ON a.pid = l.pid WHERE l.locktype = 'advisory' AND l.granted AND "
      "l.classid = $1::oid AND l.objid = $2::oid AND l.objsubid = 1 AND "
      "l.database = (SELECT oid FROM pg_database WHERE datname = current_database())",
      2, key, &name);
  if (rc != kOk) return rc;
  if (name.empty()) return 0;
  if (holder != nullptr && cap > 0) {
    size_t n = name.size() - 1 < cap - 1 ? name.size() - 1 : cap - 1;
    std::memcpy(holder, name.data() + 1, n);
    holder[n] = '\0';
  }
  return 1;
}

// One snapshot for every read until EndRead (taken at the first read).
int PostgresEngine::BeginRead() {
  if (lost_) return kNotConnected;
  ForgetAhead();
  if (InTransaction()) return kInternal;
  int rc = Simple("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
  if (rc != kOk) return rc;
  reading_ = true;
  return kOk;
}

int PostgresEngine::EndRead() {
  if (!reading_) return kOk;
  reading_ = false;
  return Rollback();
}

// The job's local time zone for the session, so that the server's idea of
// "today" is the job's: $TZ, or the zone /etc/localtime links to.  Empty
// when neither names one (the server's default stays).
std::string LocalZone() {
  std::string zone;
  const char* tz = std::getenv("TZ");
  if (tz != nullptr && *tz != '\0') {
    zone = tz[0] == ':' ? tz + 1 : tz;
  } else {
    char link[PATH_MAX];
    ssize_t n = readlink("/etc/localtime", link, sizeof link - 1);
    if (n > 0) {
      link[n] = '\0';
      const char* z = std::strstr(link, "zoneinfo/");
      if (z != nullptr) zone = z + 9;
    }
  }
  if (zone.size() > 64) return "";
  for (char c : zone)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
          std::strchr("/_+-", c) != nullptr))
      return "";
  return zone;
}

void Wipe(std::string* s) {
  volatile char* v = s->data();
  for (size_t i = 0; i < s->size(); ++i) v[i] = 0;
  s->clear();
}

}  // namespace

bool Postgres_IsService(const char* service, size_t len) {
  if (service == nullptr) return false;
  auto starts = [&](const char* prefix) {
    size_t n = std::strlen(prefix);
    return len >= n && strncasecmp(service, prefix, n) == 0;
  };
  return starts("postgresql://") || starts("postgres://") ||
         std::memchr(service, '=', len) != nullptr;
}

int PostgresEngine_SetLockTimeoutForTest(int ms) {
  int previous = g_lockTimeoutMs;
  g_lockTimeoutMs = ms;
  return previous;
}

int PostgresEngine_Open(const ConnectParts& parts, std::unique_ptr<Engine>* out) {
  out->reset();
  if (parts.service == nullptr || parts.serviceLen == 0 || parts.serviceLen > kMaxPart ||
      parts.accountLen > kMaxPart || parts.passwordLen > kMaxPart)
    return kNoService;
  std::string service(parts.service, parts.serviceLen);
  std::string user(parts.account != nullptr ? parts.account : "", parts.accountLen);
  std::string password(parts.password != nullptr ? parts.password : "", parts.passwordLen);
  // Every statement of the job reads or writes rows by key or by an index
  // of its own.  The server keeps one plan of a prepared statement for all
  // values, made from the table's statistics of that moment: for a planning
  // table vacuumed while it was empty that is a scan of the whole table,
  // kept while the table fills again, and a run grows with the square of
  // its rows.  So the session takes an index wherever one serves.
  std::string options =
      "-c search_path=public,kvnsystem -c DateStyle=ISO -c enable_seqscan=off -c lock_timeout=" +
      std::to_string(g_lockTimeoutMs);
  std::string zone = LocalZone();
  if (!zone.empty()) options += " -c TimeZone=" + zone;
  // Later entries override what the service text (expanded from the first)
  // says; empty ones are left out, so libpq's environment can supply them.
  std::vector<const char*> keys = {"dbname", "client_encoding", "options", "connect_timeout"};
  std::vector<const char*> values = {service.c_str(), "UTF8", options.c_str(), "10"};
  if (!user.empty()) {
    keys.push_back("user");
    values.push_back(user.c_str());
  }
  if (!password.empty()) {
    keys.push_back("password");
    values.push_back(password.c_str());
  }
  keys.push_back(nullptr);
  values.push_back(nullptr);
  PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 1);
  Wipe(&password);
  if (conn == nullptr) return kNoService;
  if (PQstatus(conn) != CONNECTION_OK) {
    int rc = Postgres_LoginRefused(PQerrorMessage(conn)) ? kLoginDenied : kNoService;
    PQfinish(conn);
    return rc;
  }
  // The server's notices (warnings, cut identifiers) are not the job's
  // output: libpq would print them on stderr.
  PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
  *out = std::make_unique<PostgresEngine>(conn);
  return kOk;
}

}  // namespace sql
