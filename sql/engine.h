// The seam between the database client layer (sql/sql.h) and an engine.
//
// An Engine is one open session of one database engine.  The front end
// (sql/sql.cc) owns the session's engine, prepares every Stmt once per
// session through it and hands it the prepared handle with each call; the
// engine adapts the Oracle statement texts, binds, runs, and maps its errors
// to Oracle's codes (sql/errors.h).  Every function returns 0, 1403 or a
// negative code, as the functions of sql/sql.h do.
//
// Tests route the session through an engine of their own (SetEngineForTest),
// usually a ForwardingEngine that fails chosen calls.
#ifndef PPS2BDE_SQL_ENGINE_H_
#define PPS2BDE_SQL_ENGINE_H_

#include <type_traits>

#include "sql/sql.h"

namespace sql {

// The bases of an engine's prepared statement and of its open cursor.  Each
// engine derives its own forms from them, keeps them, and frees them; the
// front end only carries the pointers back to the engine that made them.
// Neither is copied, nor deleted through its base.
struct PreparedStmt {
  PreparedStmt(const PreparedStmt&) = delete;
  PreparedStmt& operator=(const PreparedStmt&) = delete;

 protected:
  PreparedStmt() = default;
  ~PreparedStmt() = default;
};

struct EngineCursor {
  EngineCursor(const EngineCursor&) = delete;
  EngineCursor& operator=(const EngineCursor&) = delete;

 protected:
  EngineCursor() = default;
  ~EngineCursor() = default;
};

// An engine owns its connection, so it is never copied.
class Engine {
 public:
  Engine() = default;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;
  virtual ~Engine() = default;

  // Prepares text for this session; *handle is the engine's prepared form,
  // valid until the session ends.  Fails (no handle) with the engine's code
  // for a statement it cannot prepare (-900 syntax, -942 no such table ...).
  [[nodiscard]] virtual int Prepare(const char* text, PreparedStmt** handle) = 0;
  // Runs s (s.prepared comes from Prepare) with its values bound.  Bound
  // texts arrive in UTF-8 and as kText (the front end encodes them and
  // never passes kKey), to be bound byte for byte.  UPDATE and
  // DELETE that touch no row are 1403.  Savepoint, rollback-to, commit and
  // rollback texts are recognised and run as such.
  [[nodiscard]] virtual int Exec(const Stmt& s, const Bind* binds, int nbinds) = 0;
  // Runs a single-row select: 0 with outs filled, 1403 without a row, -2112
  // for more than one row (outs untouched), -1455/-1406 as for Fetch.
  [[nodiscard]] virtual int SelectOne(const Stmt& s, const Bind* binds,
                                      int nbinds, const Out* outs, int nouts) = 0;
  // While on, a single-row select inside a transaction locks the row it
  // reads until the transaction ends (sql.h LockRows).
  virtual void LockReads(bool on) = 0;
  // Whether Ahead sends anything: false for an engine without round trips.
  virtual bool ReadsAhead() = 0;
  // Notes a single-row select to be read ahead (sql.h ReadAhead): 0, or
  // the code of a select that will not be (it runs when asked for).
  [[nodiscard]] virtual int Ahead(const Stmt& s, const Bind* binds, int nbinds) = 0;
  // Writes ahead (sql.h WriteAhead): StartWrites drops the notes not sent
  // yet and starts new ones; AheadWrite notes a savepoint or a change with
  // its values (anything else ends the notes); AheadCommit notes the
  // transaction's commit after them.  An engine without round trips
  // ignores all three.
  virtual void StartWrites() = 0;
  virtual void AheadWrite(const Stmt& s, const Bind* binds, int nbinds) = 0;
  virtual void AheadCommit() = 0;
  // Notes a cursor's query to run right after the commit of the next unit
  // whose commit goes ahead, in that round trip (sql.h OpenAhead).  An
  // engine without round trips ignores it.
  virtual void AheadOpen(const Stmt& s, const Bind* binds, int nbinds) = 0;
  // Runs the query and keeps its rows as of now; *cursor is the engine's
  // cursor, open (and owned by the engine) until CloseCursor or the end of
  // the session, whichever comes first.
  [[nodiscard]] virtual int OpenCursor(const Stmt& s, const Bind* binds,
                                       int nbinds, EngineCursor** cursor) = 0;
  // Delivers the next row of an open cursor into outs: 0, or 1403 after the
  // last row, or -1455/-1406 for a row with a value that does not fit (outs
  // written, see sql::Out).  outs are untouched on every other status.
  // Texts are delivered through Row_Fill (sql/row.h), which decodes them.
  [[nodiscard]] virtual int Fetch(EngineCursor* cursor, const Out* outs,
                                  int nouts) = 0;
  // Frees the cursor (a cursor of this session that is still open).
  virtual void CloseCursor(EngineCursor* cursor) = 0;
  // Ends the session's transaction; with none open both are 0.
  [[nodiscard]] virtual int Commit() = 0;
  [[nodiscard]] virtual int Rollback() = 0;
  // True while a transaction is open (a failed statement may have ended
  // it: SQLite rolls the whole transaction back on a full disk, a server
  // on a lost connection).
  virtual bool InTransaction() = 0;
  // The run lock of the database (sql.h AcquireRunLock / ProbeRunLock).
  [[nodiscard]] virtual int RunLock(int waitMs, const char* holder) = 0;
  [[nodiscard]] virtual int ProbeRunLock(char* holder, size_t cap) = 0;
  // A read-only transaction over one snapshot (sql.h BeginRead / EndRead).
  [[nodiscard]] virtual int BeginRead() = 0;
  [[nodiscard]] virtual int EndRead() = 0;
};

// The engine of the open session (null while not connected).  This is the
// engine that Connect created, never a test engine.
Engine* SessionEngine();

// Routes every call of the session (prepare, run, fetch, commit ...) through
// e until it is replaced; null routes them to the session engine again.
// The test keeps e and frees it after removing it; e stays installed across
// Connect and Disconnect.  Returns the test engine installed before (null
// when none).  For tests only.
Engine* SetEngineForTest(Engine* e);

// An engine that hands every call to the session engine of the moment.  A
// test derives from it and overrides the calls it wants to watch or fail.
class ForwardingEngine : public Engine {
 public:
  [[nodiscard]] int Prepare(const char* text, PreparedStmt** handle) override {
    return SessionEngine()->Prepare(text, handle);
  }
  [[nodiscard]] int Exec(const Stmt& s, const Bind* binds, int nbinds) override {
    return SessionEngine()->Exec(s, binds, nbinds);
  }
  [[nodiscard]] int SelectOne(const Stmt& s, const Bind* binds, int nbinds,
                              const Out* outs, int nouts) override {
    return SessionEngine()->SelectOne(s, binds, nbinds, outs, nouts);
  }
  void LockReads(bool on) override { SessionEngine()->LockReads(on); }
  bool ReadsAhead() override { return SessionEngine()->ReadsAhead(); }
  [[nodiscard]] int Ahead(const Stmt& s, const Bind* binds, int nbinds) override {
    return SessionEngine()->Ahead(s, binds, nbinds);
  }
  // A test engine sees every write and commit when it is asked for: notes
  // of writes ahead are not passed on.
  void StartWrites() override {}
  void AheadWrite(const Stmt&, const Bind*, int) override {}
  void AheadCommit() override {}
  void AheadOpen(const Stmt&, const Bind*, int) override {}
  [[nodiscard]] int OpenCursor(const Stmt& s, const Bind* binds, int nbinds,
                               EngineCursor** cursor) override {
    return SessionEngine()->OpenCursor(s, binds, nbinds, cursor);
  }
  [[nodiscard]] int Fetch(EngineCursor* cursor, const Out* outs,
                          int nouts) override {
    return SessionEngine()->Fetch(cursor, outs, nouts);
  }
  void CloseCursor(EngineCursor* cursor) override {
    SessionEngine()->CloseCursor(cursor);
  }
  [[nodiscard]] int Commit() override { return SessionEngine()->Commit(); }
  [[nodiscard]] int Rollback() override { return SessionEngine()->Rollback(); }
  bool InTransaction() override { return SessionEngine()->InTransaction(); }
  [[nodiscard]] int RunLock(int waitMs, const char* holder) override {
    return SessionEngine()->RunLock(waitMs, holder);
  }
  [[nodiscard]] int ProbeRunLock(char* holder, size_t cap) override {
    return SessionEngine()->ProbeRunLock(holder, cap);
  }
  [[nodiscard]] int BeginRead() override { return SessionEngine()->BeginRead(); }
  [[nodiscard]] int EndRead() override { return SessionEngine()->EndRead(); }
};

// A prepared statement is never taken for a cursor nor the other way round,
// and an engine (or a test's engine) is never copied.
static_assert(!std::is_convertible_v<PreparedStmt*, EngineCursor*> &&
              !std::is_convertible_v<EngineCursor*, PreparedStmt*>);
static_assert(!std::is_copy_constructible_v<ForwardingEngine> &&
              !std::is_copy_assignable_v<ForwardingEngine>);

// The parts of a connect text "account/password@service", as pointers into
// it with their lengths (nothing is copied, so the password is never held
// anywhere else).
struct ConnectParts {
  const char* account;
  size_t accountLen;
  const char* password;
  size_t passwordLen;
  const char* service;
  size_t serviceLen;
};

}  // namespace sql

#endif  // PPS2BDE_SQL_ENGINE_H_
