// The SQLite engine: one connection to the database file, Oracle's
// statement texts adapted at prepare, Oracle's transaction and cursor
// behaviour on top of SQLite's.
//
// Between two calls the connection holds no lock and no read snapshot:
// every statement is reset as soon as its rows are read, a cursor keeps its
// rows in a spool, and a rollback to the savepoint that opened the
// transaction ends that (then empty) transaction.  The planning system
// writes the same database while the job runs and must not wait for it.
#include "sql/sqlite/sqlite_engine.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include <cstring>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "runtime/os/env.h"
#include "sql/errors.h"
#include "sql/row.h"
#include "sql/spool.h"
#include "sql/adapt.h"
#include "sql/sqlite/sqlite_errors.h"
#include "sql/sqlite/sqlite_functions.h"

namespace sql {
namespace {

int g_busyTimeoutMs = 5000;

// Longest statement text and database path taken.
constexpr size_t kMaxStatement = 1 << 20;
constexpr size_t kMaxPath = 4096;

struct Prepared : PreparedStmt {
  sqlite3_stmt* st = nullptr;
  StmtShape shape{};
};

struct Savepoint {
  std::string name;
  bool opened;  // its savepoint statement began the transaction
};

class SqliteEngine : public Engine {
 public:
  SqliteEngine(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
  ~SqliteEngine() override;

  int Setup();

  int Prepare(const char* text, PreparedStmt** handle) override;
  int Exec(const Stmt& s, const Bind* binds, int nbinds) override;
  int SelectOne(const Stmt& s, const Bind* binds, int nbinds, const Out* outs,
                int nouts) override;
  // A read is a call into the library, not a round trip: nothing to gain
  // by reading ahead, so the select runs when asked for.
  bool ReadsAhead() override { return false; }
  int Ahead(const Stmt&, const Bind*, int) override { return kOk; }
  void StartWrites() override {}
  void AheadWrite(const Stmt&, const Bind*, int) override {}
  void AheadCommit() override {}
  void AheadOpen(const Stmt&, const Bind*, int) override {}
  // A unit's BEGIN IMMEDIATE holds the write lock of the whole database.
  void LockReads(bool) override {}
  int OpenCursor(const Stmt& s, const Bind* binds, int nbinds,
                 EngineCursor** cursor) override;
  int Fetch(EngineCursor* cursor, const Out* outs, int nouts) override;
  void CloseCursor(EngineCursor* cursor) override;
  int Commit() override;
  int Rollback() override;
  bool InTransaction() override { return !sqlite3_get_autocommit(db_); }
  int RunLock(int waitMs, const char* holder) override;
  int ProbeRunLock(char* holder, size_t cap) override;
  int BeginRead() override;
  int EndRead() override;

 private:
  int Status(int rc) { return Sqlite_Status(rc, sqlite3_errmsg(db_)); }
  int PrepareInternal(const char* text, sqlite3_stmt** st);
  // Steps st to its end, resets it and returns the status.
  int Run(sqlite3_stmt* st);
  // Reads the statement's clock and binds the values.
  int Start(sqlite3_stmt* st, const Bind* binds, int nbinds);
  int BindAll(sqlite3_stmt* st, const Bind* binds, int nbinds);
  void Release(sqlite3_stmt* st) {
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
  }
  void ReadRow(sqlite3_stmt* st);
  // Forgets the savepoints once SQLite has no transaction open (after a
  // commit, or an error that rolled the whole transaction back).
  void Sync() {
    if (sqlite3_get_autocommit(db_)) savepoints_.clear();
  }
  int DoSavepoint(Prepared* p);
  int DoRollbackTo(Prepared* p);

  sqlite3* db_;
  std::string path_;  // the database file, as opened
  int runLock_ = -1;  // the run-lock file while this session holds it
  bool reading_ = false;  // a read-only transaction is open
  std::vector<std::unique_ptr<Prepared>> prepared_;
  SpoolCursors cursors_;
  std::vector<Savepoint> savepoints_;
  // Between two units the job lets another writer in (see YieldAfterCommit).
  void NoteOtherWriters();
  void YieldAfterCommit();

  sqlite3_stmt* begin_ = nullptr;
  sqlite3_stmt* dataVersion_ = nullptr;
  int64_t lastDataVersion_ = -1;
  std::chrono::steady_clock::time_point lockedAt_{};
  std::chrono::steady_clock::time_point otherWriterSeen_{};
  int64_t yieldOwedUs_ = 0;
  sqlite3_stmt* commit_ = nullptr;
  sqlite3_stmt* rollback_ = nullptr;
  RowWriter row_;
  std::string pair_;
  time_t now_ = 0;  // sysdate of the statement being run
};

SqliteEngine::~SqliteEngine() {
  for (auto& p : prepared_) sqlite3_finalize(p->st);
  sqlite3_finalize(begin_);
  sqlite3_finalize(dataVersion_);
  sqlite3_finalize(commit_);
  sqlite3_finalize(rollback_);
  sqlite3_close_v2(db_);  // an open transaction is rolled back
  if (runLock_ >= 0) close(runLock_);  // gives the run lock back
}

int SqliteEngine::PrepareInternal(const char* text, sqlite3_stmt** st) {
  int rc = sqlite3_prepare_v3(db_, text, -1, SQLITE_PREPARE_PERSISTENT, st, nullptr);
  return rc == SQLITE_OK ? kOk : Status(rc);
}

int SqliteEngine::Setup() {
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, g_busyTimeoutMs);
  // WAL: readers and the one writer do not block each other.  FULL: a
  // commit that returned is on disk.  No foreign keys: the tables have none
  // that the job may rely on.
  static const char* const kSetup[] = {
      "PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA foreign_keys=OFF"};
  for (const char* text : kSetup) {
    sqlite3_stmt* st = nullptr;
    int rc = PrepareInternal(text, &st);
    // Switching to WAL answers SQLITE_BUSY at once, without the busy
    // handler, while another connection is in the middle of a commit or a
    // checkpoint; it is tried again for as long as the busy timeout.
    if (rc == kOk) {
      for (int waited = 0;; waited += 10) {
        rc = Run(st);
        if (rc != kBusy || waited >= g_busyTimeoutMs) break;
        Env_Get()->SleepMs(10);
      }
    }
    sqlite3_finalize(st);
    if (rc != kOk) {
      // The file exists but cannot be opened (a folder, no permission).
      if ((sqlite3_errcode(db_) & 0xFF) == SQLITE_CANTOPEN) return kNoService;
      return rc;
    }
  }
  int rc = SqliteFunctions_Register(db_, &now_);
  if (rc != SQLITE_OK) return Status(rc);
  // BEGIN IMMEDIATE takes the write lock at once (waiting out the busy
  // timeout), so no write later in the transaction can find the database
  // changed under its snapshot (SQLITE_BUSY_SNAPSHOT, which no waiting cures).
  if ((rc = PrepareInternal("BEGIN IMMEDIATE", &begin_)) != kOk) return rc;
  if ((rc = PrepareInternal("PRAGMA data_version", &dataVersion_)) != kOk) return rc;
  // The version as of the connect: a writer that commits before the first
  // unit of work is noticed by it.
  if (sqlite3_step(dataVersion_) == SQLITE_ROW) lastDataVersion_ = sqlite3_column_int64(dataVersion_, 0);
  sqlite3_reset(dataVersion_);
  if ((rc = PrepareInternal("COMMIT", &commit_)) != kOk) return rc;
  return PrepareInternal("ROLLBACK", &rollback_);
}

int SqliteEngine::Run(sqlite3_stmt* st) {
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
  }
  int status = rc == SQLITE_DONE ? kOk : Status(rc);
  sqlite3_reset(st);
  return status;
}

int SqliteEngine::Prepare(const char* text, PreparedStmt** handle) {
  size_t len = strnlen(text, kMaxStatement + 1);
  if (len > kMaxStatement) return kInvalidSql;
  auto p = std::make_unique<Prepared>();
  Adapt_Classify(text, len, &p->shape);
  std::string adapted;
  Adapt_Rewrite(text, len, &adapted);
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v3(db_, adapted.c_str(), static_cast<int>(adapted.size()),
                              SQLITE_PREPARE_PERSISTENT, &p->st, &tail);
  if (rc != SQLITE_OK) return Status(rc);
  if (p->st == nullptr) return kInvalidSql;  // nothing but blanks
  // One statement per text: a second one would silently never run.
  for (; tail != nullptr && *tail != '\0'; ++tail) {
    if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';') {
      sqlite3_finalize(p->st);
      return kInvalidSql;
    }
  }
  *handle = p.get();
  prepared_.push_back(std::move(p));
  return kOk;
}

int SqliteEngine::Start(sqlite3_stmt* st, const Bind* binds, int nbinds) {
  now_ = Env_Get()->Now();
  return BindAll(st, binds, nbinds);
}

int SqliteEngine::BindAll(sqlite3_stmt* st, const Bind* binds, int nbinds) {
  // One value per distinct placeholder, in order of first appearance; a
  // missing value would silently be NULL, a surplus one a misplaced value.
  if (nbinds != sqlite3_bind_parameter_count(st) || (nbinds > 0 && binds == nullptr))
    return kInternal;
  for (int i = 0; i < nbinds; ++i) {
    const Bind& b = binds[i];
    int idx = i + 1;
    int rc = SQLITE_OK;
    switch (b.type) {
      case kText: {
        size_t n = BoundTextLength(b.p, b.width);
        rc = n == 0 ? sqlite3_bind_null(st, idx)  // Oracle's '' is NULL
                    : sqlite3_bind_text(st, idx, static_cast<const char*>(b.p),
                                        static_cast<int>(n), SQLITE_TRANSIENT);
        break;
      }
      case kTextPair: {
        pair_.assign(static_cast<const char*>(b.p), BoundTextLength(b.p, b.width));
        pair_.append(static_cast<const char*>(b.p2), BoundTextLength(b.p2, b.width2));
        rc = pair_.empty() ? sqlite3_bind_null(st, idx)
                           : sqlite3_bind_text(st, idx, pair_.data(),
                                               static_cast<int>(pair_.size()),
                                               SQLITE_TRANSIENT);
        break;
      }
      case kI16:
      case kI32:
      case kF64:
        if (b.p == nullptr) return kInternal;
        if (b.type == kF64) {
          double v;
          std::memcpy(&v, b.p, sizeof v);
          rc = sqlite3_bind_double(st, idx, v);
        } else {
          int32_t v;
          std::memcpy(&v, b.p, sizeof v);
          // A 16-bit column gets the low 16 bits, read with their sign.
          if (b.type == kI16) v = static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
          rc = sqlite3_bind_int(st, idx, v);
        }
        break;
      default:
        return kInternal;
    }
    if (rc != SQLITE_OK) return Status(rc);
  }
  return kOk;
}

void SqliteEngine::ReadRow(sqlite3_stmt* st) {
  row_.Clear();
  int n = sqlite3_column_count(st);
  for (int i = 0; i < n; ++i) {
    switch (sqlite3_column_type(st, i)) {
      case SQLITE_INTEGER:
        row_.AddInt(sqlite3_column_int64(st, i));
        break;
      case SQLITE_FLOAT:
        row_.AddDouble(sqlite3_column_double(st, i));
        break;
      case SQLITE_TEXT: {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        row_.AddText(p, static_cast<size_t>(sqlite3_column_bytes(st, i)));
        break;
      }
      case SQLITE_BLOB: {
        const char* p = static_cast<const char*>(sqlite3_column_blob(st, i));
        row_.AddText(p, static_cast<size_t>(sqlite3_column_bytes(st, i)));
        break;
      }
      default:
        row_.AddNull();
    }
  }
}

int SqliteEngine::Exec(const Stmt& s, const Bind* binds, int nbinds) {
  Prepared* p = static_cast<Prepared*>(s.prepared);
  switch (p->shape.kind) {
    case StmtKind::kSavepoint: return DoSavepoint(p);
    case StmtKind::kRollbackTo: return DoRollbackTo(p);
    case StmtKind::kCommit: return Commit();
    case StmtKind::kRollback: return Rollback();
    default: break;
  }
  int status = Start(p->st, binds, nbinds);
  if (status == kOk) {
    int rc;
    while ((rc = sqlite3_step(p->st)) == SQLITE_ROW) {
    }
    status = rc == SQLITE_DONE ? kOk : Status(rc);
    if (status == kOk && p->shape.kind == StmtKind::kChange && sqlite3_changes(db_) == 0)
      status = kNoData;
  }
  Release(p->st);
  Sync();
  return status;
}

int SqliteEngine::SelectOne(const Stmt& s, const Bind* binds, int nbinds,
                            const Out* outs, int nouts) {
  Prepared* p = static_cast<Prepared*>(s.prepared);
  int status = Start(p->st, binds, nbinds);
  if (status == kOk) {
    int rc = sqlite3_step(p->st);
    if (rc == SQLITE_DONE) {
      status = kNoData;
    } else if (rc != SQLITE_ROW) {
      status = Status(rc);
    } else {
      // The row is kept aside until it is known to be the only one.
      ReadRow(p->st);
      rc = sqlite3_step(p->st);
      if (rc == SQLITE_ROW)
        status = kTooManyRows;
      else if (rc == SQLITE_DONE)
        status = Row_Fill(row_.data(), row_.size(), outs, nouts);
      else
        status = Status(rc);
    }
  }
  Release(p->st);
  Sync();
  return status;
}

// A cursor runs its query to the end at open, keeps the rows in a spool
// and releases the statement at once; Fetch reads the spool.  That is
// Oracle's read consistency (the rows as of the open), which the job relies
// on: it writes and commits the table it is reading, row by row.  Leaving
// the SQLite statement pending instead does not work:
//   - a statement pending on the writing connection sees that connection's
//     own later writes: with an index on the filtered column, a row updated
//     forward in the index comes back again, and a per-row update loop can
//     run for ever;
//   - in WAL mode a pending statement pins its read snapshot: once another
//     process (the planning system) commits, the connection's next write
//     fails with SQLITE_BUSY_SNAPSHOT, which no busy timeout cures;
//   - a second, read-only connection per cursor gives a true snapshot, but a
//     snapshot held for a whole transfer stops checkpoints and lets the WAL
//     grow without bound.
// The spool keeps a small part in memory and the rest in a temporary file,
// so memory stays flat however many rows the query has.
int SqliteEngine::OpenCursor(const Stmt& s, const Bind* binds, int nbinds,
                             EngineCursor** cursor) {
  Prepared* p = static_cast<Prepared*>(s.prepared);
  auto spool = std::make_unique<Spool>();
  int status = Start(p->st, binds, nbinds);
  if (status == kOk) {
    int rc;
    while ((rc = sqlite3_step(p->st)) == SQLITE_ROW) {
      ReadRow(p->st);
      status = spool->Add(row_.data(), row_.size());
      if (status != kOk) break;
    }
    if (status == kOk && rc != SQLITE_DONE) status = Status(rc);
  }
  Release(p->st);
  Sync();
  if (status == kOk) status = spool->Finish();
  if (status != kOk) return status;
  *cursor = cursors_.Add(std::move(spool));
  return kOk;
}

int SqliteEngine::Fetch(EngineCursor* cursor, const Out* outs, int nouts) {
  return cursors_.Fetch(cursor, outs, nouts);
}

void SqliteEngine::CloseCursor(EngineCursor* cursor) {
  cursors_.Close(cursor);
}

// "savepoint x": outside a transaction, BEGIN IMMEDIATE first, so the
// savepoint is the outermost one of a transaction that holds the write lock.
int SqliteEngine::DoSavepoint(Prepared* p) {
  bool opened = false;
  if (sqlite3_get_autocommit(db_)) {
    int rc = Run(begin_);
    if (rc != kOk) return rc;
    opened = true;
    NoteOtherWriters();
  }
  int rc = Run(p->st);
  if (rc != kOk) {
    if (opened) Run(rollback_);
    Sync();
    return rc;
  }
  savepoints_.push_back(Savepoint{p->shape.name, opened});
  return kOk;
}

// "rollback  to x": back to the latest savepoint x, which stays.  When x
// began the transaction, nothing is left in it: it is ended, so that the
// write lock is not held while the job goes on.
int SqliteEngine::DoRollbackTo(Prepared* p) {
  size_t i = savepoints_.size();
  while (i > 0 && strcasecmp(savepoints_[i - 1].name.c_str(), p->shape.name) != 0) --i;
  if (sqlite3_get_autocommit(db_) || i == 0) return kNoSavepoint;
  int rc = Run(p->st);
  if (rc != kOk) {
    Sync();
    return rc;
  }
  savepoints_.resize(i);
  if (savepoints_.back().opened) {
    rc = Run(rollback_);
    Sync();
    return rc;
  }
  return kOk;
}

int SqliteEngine::Commit() {
  if (sqlite3_get_autocommit(db_)) {
    savepoints_.clear();
    return kOk;
  }
  int rc = Run(commit_);
  Sync();
  if (rc == kOk) YieldAfterCommit();
  return rc;
}

// SQLite has one write lock for the whole database, and a writer that
// finds it taken sleeps in its busy handler (1, 2, 5, 10 ... 100 ms) and
// tries again; the job, which takes the lock back right after each commit,
// would find it free nearly every time and the other writer nearly never.
// So while another writer is about (it committed in the last seconds: the
// data version of the database moved between two of the job's own
// transactions), the job leaves the lock free after each commit for as long
// as it held it.  A job alone on the database goes at full speed.
constexpr auto kOtherWriterWindow = std::chrono::seconds(5);

void SqliteEngine::NoteOtherWriters() {
  lockedAt_ = std::chrono::steady_clock::now();
  if (sqlite3_step(dataVersion_) == SQLITE_ROW) {
    int64_t v = sqlite3_column_int64(dataVersion_, 0);
    if (lastDataVersion_ >= 0 && v != lastDataVersion_) otherWriterSeen_ = lockedAt_;
    lastDataVersion_ = v;
  }
  sqlite3_reset(dataVersion_);
}

void SqliteEngine::YieldAfterCommit() {
  if (lastDataVersion_ < 0) return;
  auto now = std::chrono::steady_clock::now();
  if (otherWriterSeen_.time_since_epoch().count() == 0 ||
      now - otherWriterSeen_ > kOtherWriterWindow)
    return;
  // The time held is owed in whole milliseconds (the sleep's grain): a unit
  // shorter than that adds to the debt, paid once it reaches one.
  yieldOwedUs_ += std::chrono::duration_cast<std::chrono::microseconds>(now - lockedAt_).count();
  if (yieldOwedUs_ < 1000) return;
  int ms = static_cast<int>(yieldOwedUs_ / 1000);
  if (ms > 50) ms = 50;
  yieldOwedUs_ = yieldOwedUs_ > 50000 ? 0 : yieldOwedUs_ - ms * 1000;
  Env_Get()->SleepMs(ms);
}

int SqliteEngine::Rollback() {
  if (sqlite3_get_autocommit(db_)) {
    savepoints_.clear();
    return kOk;
  }
  int rc = Run(rollback_);
  Sync();
  return rc;
}

// The run lock is an exclusive flock on the database's name with "-run"
// appended, beside its "-wal" and "-shm".  flock belongs to the open file,
// so the system gives it back when the process ends, however it ends.  The
// holder's text is written into the file for ProbeRunLock of others.
std::string RunLockPath(const std::string& db) { return db + "-run"; }

// Polls LOCK_NB instead of blocking in flock: the wait is bounded and goes
// through the Env's sleep, which tests replace.
int SqliteEngine::RunLock(int waitMs, const char* holder) {
  if (runLock_ >= 0) return kOk;
  int fd = open(RunLockPath(path_).c_str(),
                O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  if (fd < 0) return errno == ENOENT || errno == EACCES ? kNoService : kIoError;
  constexpr int kPollMs = 50;
  for (int waited = 0;; waited += kPollMs) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) break;
    if (errno != EWOULDBLOCK && errno != EINTR) {
      close(fd);
      return kIoError;
    }
    if (waited >= waitMs) {
      close(fd);
      return kBusy;
    }
    Env_Get()->SleepMs(waitMs - waited < kPollMs ? waitMs - waited : kPollMs);
  }
  size_t n = strnlen(holder, 200);
  std::string text(holder, n);
  text += '\n';
  // The text is only for people and tools that look; a failure to write it
  // does not weaken the lock.
  if (ftruncate(fd, 0) == 0) (void)!pwrite(fd, text.data(), text.size(), 0);
  runLock_ = fd;
  return kOk;
}

int SqliteEngine::ProbeRunLock(char* holder, size_t cap) {
  if (runLock_ >= 0) return 0;
  int fd = open(RunLockPath(path_).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? 0 : kIoError;
  int held = 0;
  if (flock(fd, LOCK_SH | LOCK_NB) == 0) {
    flock(fd, LOCK_UN);
  } else if (errno == EWOULDBLOCK) {
    held = 1;
    if (holder != nullptr && cap > 0) {
      ssize_t got = pread(fd, holder, cap - 1, 0);
      size_t len = got > 0 ? static_cast<size_t>(got) : 0;
      while (len > 0 && (holder[len - 1] == '\n' || holder[len - 1] == '\r')) --len;
      holder[len] = '\0';
    }
  } else {
    held = kIoError;
  }
  close(fd);
  return held;
}

// A deferred transaction whose first read pins the snapshot that every
// later read of it sees, until EndRead.
int SqliteEngine::BeginRead() {
  if (!sqlite3_get_autocommit(db_)) return kInternal;
  sqlite3_stmt* st = nullptr;
  int rc = PrepareInternal("BEGIN", &st);
  if (rc == kOk) rc = Run(st);
  sqlite3_finalize(st);
  if (rc != kOk) return rc;
  rc = PrepareInternal("SELECT count(*) FROM sqlite_master", &st);
  if (rc == kOk) rc = Run(st);
  sqlite3_finalize(st);
  if (rc != kOk) {
    Run(rollback_);
    Sync();
    return rc;
  }
  reading_ = true;
  return kOk;
}

int SqliteEngine::EndRead() {
  if (!reading_) return kOk;
  reading_ = false;
  return Rollback();
}

}  // namespace

int SqliteEngine_SetBusyTimeoutForTest(int ms) {
  int previous = g_busyTimeoutMs;
  g_busyTimeoutMs = ms;
  return previous;
}

int SqliteEngine_Open(const ConnectParts& parts, std::unique_ptr<Engine>* out) {
  out->reset();
  if (parts.service == nullptr || parts.serviceLen == 0 || parts.serviceLen > kMaxPath)
    return kNoService;
  // A relative path gets "./" so that no service is ever taken as a URI
  // ("file:...") or as the in-memory database (":memory:").
  std::string path;
  if (parts.service[0] != '/') path = "./";
  path.append(parts.service, parts.serviceLen);
  sqlite3* db = nullptr;
  // Without SQLITE_OPEN_CREATE: a missing file is an error, never a new
  // empty database.
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(db);
    return kNoService;
  }
  auto engine = std::make_unique<SqliteEngine>(db, path);
  rc = engine->Setup();
  if (rc != kOk) return rc;
  *out = std::move(engine);
  return kOk;
}

}  // namespace sql
