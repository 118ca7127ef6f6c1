// The front end of the database client layer: the one session of the
// process, statements prepared once per session, cursors, and the writing
// pattern of every statement function.  The work is done by the session's
// engine (sql/engine.h); only the SQLite engine exists so far.
#include "sql/sql.h"

#include <cstring>
#include <memory>
#include <type_traits>

#include "sql/bind_encoder.h"
#include "sql/engine.h"
#include "sql/errors.h"
#include "sql/postgres/postgres_engine.h"
#include "sql/sqlite/sqlite_engine.h"

namespace sql {
namespace {

// Longest connect text taken; longer ones cannot be resolved.
constexpr size_t kMaxConnectText = 4096;

// Holds the session's engine.  Its destructor does nothing: the job ends
// without Disconnect, and its session is left to the system as it was, so
// nothing closes a connection from inside exit() (after the exit handlers
// of the libraries the engines use).
union SessionSlot {
  constexpr SessionSlot() : engine() {}
  ~SessionSlot() {}
  std::unique_ptr<Engine> engine;
};
static_assert(!std::is_copy_constructible_v<SessionSlot> &&
              !std::is_copy_assignable_v<SessionSlot>);
constinit SessionSlot g_slot;
// The session's engine; null while not connected.  Freeing it ends the
// session and frees the cursors still open in it.
std::unique_ptr<Engine>& g_session = g_slot.engine;
Engine* g_test = nullptr;  // installed by a test, not owned
// Number of the current session.  It grows with every connect, so a Stmt or
// Cursor that carries an older number belongs to an ended session.
uint32_t g_epoch = 0;
// The bound texts of the call being made, in UTF-8 (scratch space reused).
BindEncoder g_binds;
// Depth of the open units of work; writes commit only at depth 0.
int g_unitDepth = 0;
// The code of the failure that ended the open unit's transaction before its
// EndUnit (0 while the transaction stands).  Nothing more is written in the
// unit's name: a later write would begin a transaction of its own and commit
// only part of the unit.
int g_unitLost = 0;

// Depth of the ReadAhead, WriteAhead, LockRows and OpenAhead scopes standing.
int g_readAhead = 0;
int g_writeAhead = 0;
int g_lockRows = 0;
int g_openAhead = 0;

Engine* Active() { return g_test != nullptr ? g_test : g_session.get(); }

// Splits "account/password@service".  The service follows the last '@' (a
// password may contain one), the account ends at the first '/'.
bool SplitConnect(const char* text, ConnectParts* parts) {
  if (text == nullptr) return false;
  size_t len = strnlen(text, kMaxConnectText + 1);
  if (len > kMaxConnectText) return false;
  const char* at = nullptr;
  for (size_t i = 0; i < len; ++i)
    if (text[i] == '@') at = text + i;
  const char* end = at != nullptr ? at : text + len;
  const char* slash = static_cast<const char*>(std::memchr(text, '/', end - text));
  parts->account = text;
  parts->accountLen = (slash != nullptr ? slash : end) - text;
  parts->password = slash != nullptr ? slash + 1 : end;
  parts->passwordLen = end - parts->password;
  parts->service = at != nullptr ? at + 1 : text + len;
  parts->serviceLen = text + len - parts->service;
  return true;
}

// Makes sure s is prepared in the current session.
int Ready(Stmt& s) {
  if (g_session == nullptr) return kNotConnected;
  if (s.text == nullptr) return kInvalidSql;
  if (s.prepared != nullptr && s.epoch == g_epoch) return kOk;
  PreparedStmt* handle = nullptr;
  int rc = Active()->Prepare(s.text, &handle);
  if (rc != kOk) return rc;
  s.prepared = handle;
  s.epoch = g_epoch;
  return kOk;
}

bool IsOpen(const Cursor& c) {
  return g_session != nullptr && c.impl != nullptr && c.epoch == g_epoch;
}

}  // namespace

Engine* SessionEngine() { return g_session.get(); }

Engine* SetEngineForTest(Engine* e) {
  Engine* previous = g_test;
  g_test = e;
  return previous;
}

namespace {

// Opens the engine the service names: PostgreSQL for a URI or a libpq
// key/value text, else SQLite.
int Open(const ConnectParts& parts) {
  std::unique_ptr<Engine> engine;
  int rc = Postgres_IsService(parts.service, parts.serviceLen)
               ? PostgresEngine_Open(parts, &engine)
               : SqliteEngine_Open(parts, &engine);
  if (rc != kOk) return rc;
  g_session = std::move(engine);
  ++g_epoch;
  return kOk;
}

}  // namespace

int Connect(const char* connectText) {
  Disconnect();
  ConnectParts parts{};
  if (!SplitConnect(connectText, &parts)) return kNoService;
  return Open(parts);
}

int Connect(const char* account, const char* password, const char* service) {
  Disconnect();
  if (service == nullptr) return kNoService;
  ConnectParts parts{};
  parts.account = account != nullptr ? account : "";
  parts.accountLen = strnlen(parts.account, kMaxConnectText + 1);
  parts.password = password != nullptr ? password : "";
  parts.passwordLen = strnlen(parts.password, kMaxConnectText + 1);
  parts.service = service;
  parts.serviceLen = strnlen(service, kMaxConnectText + 1);
  if (parts.accountLen > kMaxConnectText || parts.passwordLen > kMaxConnectText ||
      parts.serviceLen > kMaxConnectText)
    return kNoService;
  return Open(parts);
}

void Disconnect() {
  if (g_session == nullptr) return;
  g_session.reset();  // ends the transaction (rolled back) and frees cursors
  g_unitDepth = 0;
  g_unitLost = kOk;
  ++g_epoch;
}

bool Connected() { return g_session != nullptr; }

int Exec(Stmt& s, const Bind* binds, int nbinds) {
  int rc = Ready(s);
  if (rc != kOk) return rc;
  if (g_writeAhead > 0) {
    Active()->AheadWrite(s, g_binds.Encode(binds, nbinds), nbinds);
    return kOk;
  }
  return Active()->Exec(s, g_binds.Encode(binds, nbinds), nbinds);
}

int SelectOne(Stmt& s, const Bind* binds, int nbinds, const Out* outs,
              int nouts) {
  int rc = Ready(s);
  if (rc != kOk) return rc;
  if (g_writeAhead > 0) {
    // A read between the writes: the writes noted end before it.
    Active()->AheadWrite(s, g_binds.Encode(binds, nbinds), nbinds);
    return kNoData;
  }
  if (g_readAhead > 0) {
    // Only noted: a select that cannot be read ahead runs when asked for.
    (void)Active()->Ahead(s, g_binds.Encode(binds, nbinds), nbinds);
    return kNoData;
  }
  return Active()->SelectOne(s, g_binds.Encode(binds, nbinds), nbinds, outs, nouts);
}

ReadAhead::ReadAhead() { ++g_readAhead; }
ReadAhead::~ReadAhead() { --g_readAhead; }
ReadAhead::operator bool() const { return g_session != nullptr && Active()->ReadsAhead(); }

WriteAhead::WriteAhead() {
  if (g_writeAhead++ == 0 && g_session != nullptr) Active()->StartWrites();
}
WriteAhead::~WriteAhead() { --g_writeAhead; }
WriteAhead::operator bool() const {
  return g_session != nullptr && g_unitDepth > 0 && Active()->ReadsAhead();
}
void WriteAhead::EndsUnit() {
  if (g_session != nullptr && g_unitDepth == 1 && g_unitLost == kOk) Active()->AheadCommit();
}

OpenAhead::OpenAhead() { ++g_openAhead; }
OpenAhead::~OpenAhead() { --g_openAhead; }
OpenAhead::operator bool() const { return g_session != nullptr && Active()->ReadsAhead(); }

// Only the outermost scope switches the engine: inner ones change nothing.
LockRows::LockRows() {
  if (g_lockRows++ == 0 && g_session != nullptr) Active()->LockReads(true);
}
LockRows::~LockRows() {
  if (--g_lockRows == 0 && g_session != nullptr) Active()->LockReads(false);
}

int Open(Cursor& c, Stmt& s, const Bind* binds, int nbinds) {
  if (g_openAhead > 0) {
    // Only noted: the cursor stays as it is.
    if (Ready(s) == kOk) Active()->AheadOpen(s, g_binds.Encode(binds, nbinds), nbinds);
    return kNoData;
  }
  (void)Close(c);  // always 0
  int rc = Ready(s);
  if (rc != kOk) return rc;
  EngineCursor* impl = nullptr;
  rc = Active()->OpenCursor(s, g_binds.Encode(binds, nbinds), nbinds, &impl);
  if (rc != kOk) return rc;
  c.impl = impl;
  c.epoch = g_epoch;
  return kOk;
}

int Fetch(Cursor& c, const Out* outs, int nouts) {
  if (g_session == nullptr) return kNotConnected;
  if (!IsOpen(c)) return kInvalidCursor;
  return Active()->Fetch(c.impl, outs, nouts);
}

int Close(Cursor& c) {
  if (IsOpen(c)) Active()->CloseCursor(c.impl);
  c.impl = nullptr;  // a cursor of an ended session was freed with it
  return kOk;
}

int Commit() {
  if (g_session == nullptr) return kNotConnected;
  if (g_writeAhead > 0) return kOk;
  return Active()->Commit();
}

int Rollback() {
  if (g_session == nullptr) return kNotConnected;
  if (g_writeAhead > 0) return kOk;
  return Active()->Rollback();
}

// The savepoint is where SQLite takes the write lock, so its failure is
// the write's: nothing has been done.  A failed COMMIT is the write's
// failure too: the change is rolled back and the commit's code returned.
int Write(WriteStmt& w, const Bind* binds, int nbinds) {
  if (g_unitDepth > 0 && g_unitLost != kOk) return g_unitLost;
  int rc = Exec(w.savepoint, nullptr, 0);
  if (rc != kOk) return rc;
  rc = Exec(w.stmt, binds, nbinds);
  if (rc != kOk) {
    // The statement's code is the write's; a failed statement changed
    // nothing, so a failed rollback to its savepoint loses nothing more.
    (void)Exec(w.rollback, nullptr, 0);
    if (g_unitDepth > 0 && !Active()->InTransaction()) g_unitLost = rc;
    return rc;
  }
  if (g_unitDepth > 0) return kOk;
  rc = Commit();
  // The commit's failure is the one reported, whatever the rollback's.
  if (rc != kOk) (void)Rollback();
  return rc;
}

int BeginUnit(Stmt& savepoint) {
  if (g_unitDepth > 0) {
    ++g_unitDepth;
    return kOk;
  }
  int rc = Exec(savepoint, nullptr, 0);
  if (rc != kOk) return rc;
  g_unitDepth = 1;
  g_unitLost = kOk;
  return kOk;
}

int EndUnit() {
  if (g_unitDepth == 0) return kOk;
  if (--g_unitDepth > 0) return kOk;
  int lost = g_unitLost;
  g_unitLost = kOk;
  if (g_session == nullptr) return kNotConnected;
  // The unit's own failure (or the commit's) is the one reported, whatever
  // the rollback's.
  if (lost != kOk || !Active()->InTransaction()) {
    (void)Rollback();
    return lost != kOk ? lost : kInternal;
  }
  int rc = Commit();
  if (rc != kOk) (void)Rollback();
  return rc;
}

void AbortUnit() {
  if (g_unitDepth == 0) return;
  g_unitDepth = 0;
  g_unitLost = kOk;
  // The caller gives the unit up; it has nothing to do about a failed
  // rollback either.
  (void)Rollback();
}

bool InUnit() { return g_unitDepth > 0; }

int AcquireRunLock(int waitMs, const char* holder) {
  if (g_session == nullptr) return kNotConnected;
  return Active()->RunLock(waitMs < 0 ? 0 : waitMs, holder != nullptr ? holder : "");
}

int ProbeRunLock(char* holder, size_t cap) {
  if (holder != nullptr && cap > 0) holder[0] = '\0';
  if (g_session == nullptr) return kNotConnected;
  return Active()->ProbeRunLock(holder, cap);
}

int BeginRead() {
  if (g_session == nullptr) return kNotConnected;
  if (g_unitDepth > 0) return kInternal;
  return Active()->BeginRead();
}

int EndRead() {
  if (g_session == nullptr) return kNotConnected;
  return Active()->EndRead();
}

}  // namespace sql
