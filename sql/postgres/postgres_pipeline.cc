// What goes to the server in one round trip: the statements held back, the
// statement asked for and the reads ahead (sql.h ReadAhead), and the
// locked form of a read (sql.h LockRows).
#include <libpq-fe.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "sql/errors.h"
#include "sql/postgres/postgres_session.h"

namespace sql {
namespace pg {

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

bool PostgresEngine::SendText(const char* text) {
  return PQsendQueryParams(conn_, text, 0, nullptr, nullptr, nullptr, nullptr, 0) != 0;
}

bool PostgresEngine::SendPrepared(const Prepared* p, const std::vector<std::string>& values) {
  std::vector<const char*> texts;
  texts.reserve(values.size());
  for (const std::string& v : values) texts.push_back(v.empty() ? nullptr : v.c_str());
  return PQsendQueryPrepared(conn_, p->name.c_str(), static_cast<int>(texts.size()),
                             texts.data(), nullptr, nullptr, 0) != 0;
}

bool PostgresEngine::SendHeldAnd(const Prepared* p) {
  for (const Deferred& d : deferred_)
    if (!SendText(d.text.c_str())) return false;
  return PQsendQueryPrepared(conn_, p->name.c_str(), static_cast<int>(params_.size()),
                             params_.data(), nullptr, nullptr, 0) != 0;
}

int PostgresEngine::HeldStatus(const std::vector<PGresult*>& results, size_t held) {
  for (size_t k = 0; k < held; ++k)
    if (results[k] == nullptr || PQresultStatus(results[k]) != PGRES_COMMAND_OK)
      return Failure(results[k]);
  return kOk;
}

bool PostgresEngine::SendPipeline(const Prepared* p) {
  bool sent = SendHeldAnd(p);
  if (!ahead_.empty()) {
    sent = sent && SendText("SAVEPOINT pps_ahead");
    for (const AheadRead& a : ahead_) sent = sent && SendPrepared(a.p, a.values);
    sent = sent && SendText("RELEASE SAVEPOINT pps_ahead");
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
  *deferredRc = HeldStatus(first, held);
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

namespace {

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

}  // namespace

const Prepared* PostgresEngine::ReadForm(Prepared* p) {
  if (!lockReads_ || reading_ || !InTransaction() || p->shape.kind != StmtKind::kQuery ||
      !p->lockable)
    return p;
  if (p->locked == nullptr) {
    if (!Lockable(p->adapted)) {
      p->lockable = false;
      return p;
    }
    std::unique_ptr<Prepared> locked = Prepared_Form(*p, "L");
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
  DropOpenAnswer();
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
  Prepared* statement = static_cast<Prepared*>(s.prepared);
  const int rc = Values(statement, binds, nbinds);
  if (rc != kOk) return rc;
  const Prepared* p = ReadForm(Form(statement));
  ahead_.push_back(AheadRead{p, values_, nullptr});
  return kOk;
}

}  // namespace pg
}  // namespace sql
