// The PostgreSQL engine: connect, prepare, run, cursors, transactions and
// the run lock (the class: postgres_session.h).
#include "sql/postgres/postgres_engine.h"

#include <libpq-fe.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
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
#include <utility>
#include <vector>

#include "runtime/os/env.h"
#include "sql/adapt.h"
#include "sql/errors.h"
#include "sql/postgres/postgres_errors.h"
#include "sql/postgres/postgres_session.h"
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

}  // namespace

namespace pg {

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
      // The job's dates as timestamps: a second form, which the statement
      // takes over; the one prepared above stays for other values.
      std::string quick;
      if (!p->adapted.empty() && Dates_QuickForm(adapted, &quick, &p->dates) &&
          PrepareQuietly(p->name + "Q", quick)) {
        std::unique_ptr<Prepared> strict = Prepared_Form(*p, "");
        strict->adapted = p->adapted;
        p->strict = std::move(strict);
        p->name += "Q";
        p->adapted = quick;
      } else {
        p->dates.clear();
      }
    }
  }
  *handle = p.get();
  prepared_.push_back(std::move(p));
  return kOk;
}

bool PostgresEngine::PrepareQuietly(const std::string& name, const std::string& text) {
  const PGTransactionStatusType t = PQtransactionStatus(conn_);
  if (t != PQTRANS_IDLE && t != PQTRANS_INTRANS) return false;
  const bool guarded = t == PQTRANS_INTRANS;
  if (guarded && Simple("SAVEPOINT pps_prepare") != kOk) return false;
  Result r(PQprepare(conn_, name.c_str(), text.c_str(), 0, nullptr));
  const bool ok = r.r != nullptr && PQresultStatus(r.r) == PGRES_COMMAND_OK;
  if (guarded &&
      Simple(ok ? "RELEASE SAVEPOINT pps_prepare"
                : "ROLLBACK TO SAVEPOINT pps_prepare;RELEASE SAVEPOINT pps_prepare") != kOk)
    return false;
  return ok;
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
          // The shortest text that reads back as the same double.
          const auto end = std::to_chars(num, num + sizeof num, x).ptr;
          v.assign(num, static_cast<size_t>(end - num));
        }
        break;
      }
      default:
        return kInternal;
    }
    // Oracle's '' is NULL.
    params_[i] = v.empty() ? nullptr : v.c_str();
  }
  // Every date quick, or none: the form as written takes the values as
  // given.
  strictDates_ = false;
  dateTexts_.resize(p->dates.size());
  for (size_t k = 0; k < p->dates.size() && !strictDates_; ++k) {
    const std::string& v = values_[static_cast<size_t>(p->dates[k].index)];
    strictDates_ = !v.empty() && !Dates_Quick(v, p->dates[k].withTime, &dateTexts_[k]);
  }
  for (size_t k = 0; k < p->dates.size() && !strictDates_; ++k) {
    const auto i = static_cast<size_t>(p->dates[k].index);
    if (values_[i].empty()) continue;
    values_[i].swap(dateTexts_[k]);
    params_[i] = values_[i].c_str();
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

namespace {

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

}  // namespace

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
  if (first < writes_.size() && !strictDates_ && writes_[first].p == p &&
      SameValues(p, writes_[first].values) &&
      !deferred_.empty() && deferred_.back().savepoint) {
    const std::string savepoint = savepoints_.back().name;
    PGresult* answer = RunAhead(writes_[first].form, first, &status);
    return status != kOk ? status : ChangeAnswer(answer, savepoint);
  }
  writes_.clear();
  Result r(Run(Form(p), &status));
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
  DropOpenAnswer();
  Prepared* statement = static_cast<Prepared*>(s.prepared);
  int status = Values(statement, binds, nbinds);
  if (status != kOk) return status;
  const Prepared* p = ReadForm(Form(statement));
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
  // Whatever this open is, a note or rows from ahead were for it or for
  // nothing.
  openNote_ = AheadRead{nullptr, {}, nullptr};
  AheadRead opened = std::exchange(openAnswer_, AheadRead{nullptr, {}, nullptr});
  Result rows(opened.result);
  ForgetAhead();
  int status = Values(p, binds, nbinds);
  if (status != kOk) return status;
  auto spool = std::make_unique<Spool>();
  if (rows.r != nullptr && opened.p == Form(p) && opened.values == values_) {
    // Read right after the commit of the unit before, in its round trip.
    for (int i = 0, n = PQntuples(rows.r); i < n && status == kOk; ++i) {
      ReadRow(rows.r, i);
      status = spool->Add(row_.data(), row_.size());
    }
  } else {
    status = SendDeferred();
    if (status != kOk) return status;
    status = RunCursor(Form(p), spool.get());
  }
  if (status == kOk) status = spool->Finish();
  if (status != kOk) return status;
  *cursor = cursors_.Add(std::move(spool));
  return kOk;
}

int PostgresEngine::RunCursor(const Prepared* p, Spool* spool) {
  if (!PQsendQueryPrepared(conn_, p->name.c_str(), static_cast<int>(params_.size()),
                           params_.data(), nullptr, nullptr, 0))
    return Failure(nullptr);
  // Row by row, so that memory stays flat however many rows the query has.
  PQsetSingleRowMode(conn_);
  int status = kOk;
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
  return status;
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
    // The COMMIT went with the unit's last writes (and an open noted after
    // it, whose rows stay for the next open).
    Result r(sentWrites_.front().result);
    sentWrites_.front().result = nullptr;
    DropSent();
    AheadRead opened = std::exchange(openAnswer_, AheadRead{nullptr, {}, nullptr});
    ForgetAhead();
    openAnswer_ = std::move(opened);
    DropDeferred(0);
    const bool ok = r.r != nullptr && PQresultStatus(r.r) == PGRES_COMMAND_OK;
    const int rc = ok ? kOk : Failure(r.r);
    Sync();
    if (ok && std::strcmp(PQcmdStatus(r.r), "COMMIT") != 0) {
      DropOpenAnswer();
      return kInternal;
    }
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

}  // namespace pg

namespace {

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
  *out = std::make_unique<pg::PostgresEngine>(conn);
  return kOk;
}

}  // namespace sql
