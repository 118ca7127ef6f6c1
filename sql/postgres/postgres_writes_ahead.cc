// Writes ahead (sql.h WriteAhead): a unit's last writes and its commit sent
// with the first of them, in one round trip, and answered one by one; a
// cursor's query noted ahead (sql.h OpenAhead) goes after that commit.
#include <libpq-fe.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "sql/errors.h"
#include "sql/postgres/postgres_session.h"

namespace sql {
namespace pg {

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
             form != nullptr && Values(p, binds, nbinds) == kOk && !strictDates_) {
    writes_.push_back(WriteNote{WriteNote::kChange, p, form, values_, nullptr});
  } else {
    return;
  }
  writesOpen_ = true;
}

// Noted with the form and values it runs with; a later note replaces it.
void PostgresEngine::AheadOpen(const Stmt& s, const Bind* binds, int nbinds) {
  openNote_ = AheadRead{nullptr, {}, nullptr};
  Prepared* p = static_cast<Prepared*>(s.prepared);
  if (!lost_ && Values(p, binds, nbinds) == kOk) openNote_ = AheadRead{Form(p), values_, nullptr};
}

void PostgresEngine::AheadCommit() {
  if (writesOpen_ && !writes_.empty() && writes_.back().kind == WriteNote::kChange)
    writes_.push_back(WriteNote{WriteNote::kCommit, nullptr, nullptr, {}, nullptr});
  writesOpen_ = false;
}

namespace {

// Whether a change can be the WITH of its checked form: an UPDATE or
// DELETE that returns nothing of its own.
bool Checkable(const std::string& change) {
  const std::string text = Lower(change);
  return (text.compare(0, 6, "update") == 0 || text.compare(0, 6, "delete") == 0) &&
         text.find("returning") == std::string::npos;
}

}  // namespace

const Prepared* PostgresEngine::AheadForm(Prepared* p) {
  if (p->shape.kind == StmtKind::kOther)
    return Lower(p->adapted.substr(0, 7)) == "insert " ? p : nullptr;
  if (p->shape.kind != StmtKind::kChange) return nullptr;
  if (p->checked != nullptr) return p->checked.get();
  if (!p->checkable || !Checkable(p->adapted)) {
    p->checkable = false;
    return nullptr;
  }
  std::unique_ptr<Prepared> checked = Prepared_Form(*p, "C");
  const std::string text = "WITH pps_w AS (" + p->adapted +
                           " RETURNING 1) SELECT pps_touched(count(*)) FROM pps_w";
  if (!PrepareQuietly(checked->name, text)) {
    // Refused with the connection and the transaction standing (no
    // pps_touched in an older schema, ...): the change runs on its own.
    if (PQstatus(conn_) == CONNECTION_OK && PQtransactionStatus(conn_) != PQTRANS_INERROR)
      p->checkable = false;
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
  // An open noted goes after the COMMIT, outside the unit: its query runs
  // only when the COMMIT went through, in a transaction of its own.
  AheadRead open = std::exchange(openNote_, AheadRead{nullptr, {}, nullptr});
  const bool opens = open.p != nullptr && !rest.empty() && rest.back().kind == WriteNote::kCommit;
  const size_t held = deferred_.size();
  bool sent = PQenterPipelineMode(conn_) != 0 && SendHeldAnd(form);
  for (const WriteNote& w : rest) {
    if (w.kind == WriteNote::kSavepoint) {
      // The text of a savepoint statement is its prepared shape's name.
      sent = sent && SendText(("SAVEPOINT " + std::string(w.p->shape.name)).c_str());
    } else if (w.kind == WriteNote::kCommit) {
      sent = sent && SendText("COMMIT");
    } else {
      sent = sent && SendPrepared(w.form, w.values);
    }
  }
  sent = sent && (!opens || SendPrepared(open.p, open.values));
  sent = sent && PQpipelineSync(conn_);
  std::vector<PGresult*> results = ReadPipeline(held + 1 + rest.size() + (opens ? 1 : 0), sent);
  if (opens) {
    open.result = results.back();
    results.pop_back();
    if (open.result != nullptr && PQresultStatus(open.result) == PGRES_TUPLES_OK) {
      DropOpenAnswer();
      openAnswer_ = std::move(open);
    } else {
      PQclear(open.result);
    }
  }
  for (size_t k = 0; k < rest.size(); ++k) rest[k].result = results[held + 1 + k];
  sentWrites_ = std::move(rest);
  *deferredRc = HeldStatus(results, held);
  for (size_t k = 0; k < held; ++k) PQclear(results[k]);
  if (*deferredRc != kOk) {
    PQclear(results[held]);
    DropSent();
    DropOpenAnswer();
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

}  // namespace pg
}  // namespace sql
