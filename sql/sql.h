// The database client layer: one session per process, statements with bound
// values, single-row selects and cursors, in the manner of embedded SQL.
//
// Status codes (every function that returns int):
//   0      success
//   1403   no row found (single-row select), no more rows (fetch), or an
//          UPDATE/DELETE that touched no row
//   -1455  (select, fetch) a number of the row does not fit its output
//   -1406  (select, fetch) a key text of the row does not fit its output
//   < 0    an Oracle error code (see sql/errors.h)
//
// Texts: the database holds UTF-8, the job ISO-8859-1.  A bound text is
// encoded in UTF-8 before the engine sees it; a fetched text is decoded
// into ISO-8859-1 (see Out).  Engines pass text bytes through unchanged.
//
// Statement texts are written as the Oracle statements they stand for
// (":b0" placeholders, sysdate, TO_CHAR, TO_DATE, trunc, "rollback  to x");
// the engine adapts them.  A placeholder that appears several times takes
// one value; values are given in order of first appearance.  More or fewer
// values than the statement has distinct placeholders is -600, as is an
// output list longer than the select list.
//
// Every Stmt is prepared once per session, on first use, and reused.
// Declare them where they are used, as function-level statics:
//
//   static sql::Stmt s{"delete  from Kvn500Auk  where AukApk=:b0"};
//   sql::Bind b[] = {sql::BText(order, 13)};
//   int rc = sql::Exec(s, b, 1);
#ifndef PPS2BDE_SQL_SQL_H_
#define PPS2BDE_SQL_SQL_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/text.h"

namespace sql {

enum Type : uint8_t {
  kText,      // zero-terminated text of width bytes (terminator included)
  kKey,       // a text that names a row: as kText, but an output that does
              // not fit is an error of the row (-1406) instead of being cut
  kTextPair,  // bind only: text at p (width) followed by text at p2 (width2)
  kI16,       // int32_t in memory; travels as a 16-bit signed integer
  kI32,       // int32_t
  kF64,       // double
};

// One input value.  A text value (kText, kKey) is read up to its terminator
// or width-1 bytes and bound in UTF-8; an empty text is bound as NULL
// (Oracle's '' is NULL).
struct Bind {
  Type type;
  const void* p;
  uint16_t width;
  const void* p2;
  uint16_t width2;
};

// The bytes a bound text at p of width bytes carries: up to its terminator,
// at most width-1 (0 for none).
inline size_t BoundTextLength(const void* p, uint16_t width) {
  if (p == nullptr || width == 0) return 0;
  return strnlen(static_cast<const char*>(p), width - 1u);
}

// One output target.  A NULL column gives an empty text or 0 and is never
// an error.
//   kText  the column's UTF-8 text decoded into ISO-8859-1 (a character it
//          cannot hold becomes '?'; a text that is not valid UTF-8 is taken
//          byte for byte), cut to width-1 characters and zero-filled to
//          width.  A number is written in decimal.
//   kKey   the same; a value longer than width-1 characters is cut too, and
//          the row's status is -1406.
//   kI16   int32_t holding a 16-bit value: outside -32768..32767 the output
//          is 0 and the row's status -1455 (a fraction is truncated).
//   kI32   int32_t: outside its range 0 and -1455.
//   kF64   double: a value that is not finite gives 0 and -1455.
// A row with such a value is delivered all the same, every output written
// as above; the status is the code of its first output that did not fit.
struct Out {
  Type type;
  void* p;
  uint16_t width;
};

inline Bind BText(const char* s, size_t width) {
  return Bind{kText, s, static_cast<uint16_t>(width), nullptr, 0};
}
template <size_t N>
inline Bind BText(const Text<N>& t) { return BText(t.s, N); }
// Date part followed by time part, bound as one text (yyyymmddHHMMSS).
template <size_t N, size_t M>
inline Bind BPair(const Text<N>& a, const Text<M>& b) {
  return Bind{kTextPair, a.s, static_cast<uint16_t>(N), b.s,
              static_cast<uint16_t>(M)};
}
inline Bind BI16(const int32_t& v) { return Bind{kI16, &v, 4, nullptr, 0}; }
inline Bind BI32(const int32_t& v) { return Bind{kI32, &v, 4, nullptr, 0}; }
inline Bind BF64(const double& v) { return Bind{kF64, &v, 8, nullptr, 0}; }

inline Out OText(char* s, size_t width) {
  return Out{kText, s, static_cast<uint16_t>(width)};
}
template <size_t N>
inline Out OText(Text<N>& t) { return OText(t.s, N); }
template <size_t N>
inline Out OKey(Text<N>& t) { return Out{kKey, t.s, static_cast<uint16_t>(N)}; }
inline Out OI16(int32_t& v) { return Out{kI16, &v, 4}; }
inline Out OI32(int32_t& v) { return Out{kI32, &v, 4}; }
inline Out OF64(double& v) { return Out{kF64, &v, 8}; }

// An engine's prepared statement and an engine's open cursor (sql/engine.h).
// Outside the engines they are opaque handles that only travel back to the
// engine that made them; the two never convert into each other.
struct PreparedStmt;
struct EngineCursor;

// A statement text and its prepared form in the current session.
struct Stmt {
  const char* text;
  PreparedStmt* prepared = nullptr;  // engine handle, valid while epoch matches
  uint32_t epoch = 0;                // session the handle belongs to
};

// A cursor: open runs the query, fetch delivers one row at a time.  The rows
// are those the query saw at open (Oracle's read consistency): later writes,
// commits and rollbacks of the session do not change them.
struct Cursor {
  EngineCursor* impl = nullptr;  // owned by the engine; null while closed
  uint32_t epoch = 0;            // session the cursor belongs to
};

// Opens the session.  connectText is "account/password@service"; for the
// SQLite engine the service is the database file (it must exist).  Returns 0
// or a negative code (-12154 when the service cannot be resolved).  A second
// connect closes the first session.
[[nodiscard]] int Connect(const char* connectText);
// Opens the session with the three parts given apart (a service text may
// hold '@' and '/', a PostgreSQL URI does).  The service chooses the
// engine: a text beginning with "postgresql://" or "postgres://", or one
// holding '=' (libpq key/value, e.g. "service=pps2bde"), is a PostgreSQL
// connection; any other is the path of a SQLite database file.  Account and
// password reach PostgreSQL as its user and password parameters (empty:
// libpq's own defaults); SQLite ignores them.  Returns 0, -12154 (service
// empty, unreachable or missing), -1017 (login refused) or another negative
// code.  Each part is at most 4096 bytes.
[[nodiscard]] int Connect(const char* account, const char* password,
                          const char* service);
// Ends the session (tests and tools; the job never disconnects).
void Disconnect();
// True while a session is open.
bool Connected();

// Executes a statement that returns no rows (INSERT, UPDATE, DELETE,
// "savepoint x", "rollback  to x", "commit", "rollback").
[[nodiscard]] int Exec(Stmt& s, const Bind* binds, int nbinds);
// Runs a select that must return one row.  0 with the outputs filled; 1403
// with none; -2112 when more than one row (outputs not filled); -1455 or
// -1406 with the outputs filled when a value does not fit (see Out).
[[nodiscard]] int SelectOne(Stmt& s, const Bind* binds, int nbinds,
                            const Out* outs, int nouts);
// Reads ahead: while a ReadAhead stands, SelectOne runs nothing but notes
// the select with its values for the engine and returns 1403 with the
// outputs untouched.  A server engine runs the noted selects right after
// the session's next statement, in its round trip, and answers the same
// selects with the same values from what they read, until the session
// writes, rolls back or ends its transaction; anything else runs as
// always.  A select that fails ahead leaves no trace: asked for, it runs
// again.  Inside a transaction only (a unit of work), for reads whose
// answers the caller asks for right after its next statement; an engine
// without round trips (SQLite) ignores them, and a ReadAhead is false
// there, so the caller need not make the reads to be noted at all.
class ReadAhead {
 public:
  ReadAhead();
  ~ReadAhead();
  explicit operator bool() const;
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;
};
// Writes ahead: while a WriteAhead stands, Exec and Write run nothing but
// note each savepoint and change with its values for the engine and return
// 0; Commit and Rollback do nothing and return 0; a SelectOne ends the
// notes and returns 1403.  EndsUnit notes that the unit's commit follows the
// writes noted.  A server engine sends the noted writes (and the commit)
// in the round trip of the first of them that is then asked for, and
// answers each later one from what it did, as long as they are asked for
// in the same order with the same values: a write that fails or touches no
// row stops the rest, which never ran (asked for, they run as always).
// The caller must then ask for exactly what it noted while each call
// succeeds: a different call after a commit that went ahead fails with
// -600.  Inside a unit of work only, for the writes that end it; false on
// an engine without round trips (SQLite) and outside a unit, where the
// caller makes no notes.
class WriteAhead {
 public:
  WriteAhead();
  ~WriteAhead();
  explicit operator bool() const;
  void EndsUnit();
  WriteAhead(const WriteAhead&) = delete;
  WriteAhead& operator=(const WriteAhead&) = delete;
};
// Locks what is read: while a LockRows stands, a single-row select inside
// a unit of work locks the row it reads until the unit ends, so that no
// other session changes it between the read and the unit's write of it.  A
// server engine runs the select FOR UPDATE (a select that cannot be, one
// with an aggregate, runs as it is); SQLite's unit holds the database's
// write lock from its start anyway.  For the reads of rows the unit writes.
class LockRows {
 public:
  LockRows();
  ~LockRows();
  LockRows(const LockRows&) = delete;
  LockRows& operator=(const LockRows&) = delete;
};
// Opens ahead: while an OpenAhead stands, Open runs nothing but notes the
// cursor's query with its values for the engine and returns 1403 with the
// cursor untouched.  A server engine runs the noted query right after the
// commit of the next unit whose commit goes ahead (WriteAhead), in that
// round trip, and answers the next Open if it is the same query with the
// same values and the session asked nothing else of the server since: its
// rows are then those read right after that commit.  Anything else drops
// the rows read, and the open runs as always; so does one whose query
// failed or never ran (a write before it stopped the round trip).  For a
// lookup of a few rows that the caller makes right after a unit; false on
// an engine without round trips (SQLite), where the caller makes no note.
class OpenAhead {
 public:
  OpenAhead();
  ~OpenAhead();
  explicit operator bool() const;
  OpenAhead(const OpenAhead&) = delete;
  OpenAhead& operator=(const OpenAhead&) = delete;
};
// Opens c on the statement (closing it first if open).
[[nodiscard]] int Open(Cursor& c, Stmt& s, const Bind* binds, int nbinds);
// Fetches the next row.  Outputs are written when the result is 0, and when
// it is -1455 or -1406 (a value of the row does not fit, see Out: the row
// is delivered with that status, and the next fetch goes on with the next
// row); on every other status they are left as they were.
[[nodiscard]] int Fetch(Cursor& c, const Out* outs, int nouts);
// Closes c; closing a closed cursor is 0.
[[nodiscard]] int Close(Cursor& c);

// COMMIT and ROLLBACK of the session.
[[nodiscard]] int Commit();
[[nodiscard]] int Rollback();

// A writing statement and its savepoint texts.  Write() runs the pattern of
// every writing statement function: savepoint (status ignored), statement,
// then COMMIT on 0 or the rollback to the savepoint otherwise (status
// ignored).  It returns the statement's status.
struct WriteStmt {
  Stmt savepoint;  // "savepoint Xxx_Sp"
  Stmt stmt;
  Stmt rollback;   // "rollback  to Xxx_Sp"
};
[[nodiscard]] int Write(WriteStmt& w, const Bind* binds, int nbinds);

// A unit of work: what the job does for one row, committed once (a
// transferred planning row: its re-read, the read of the BDE row, the write
// and the removal of the planning row; a released row: its re-read, its
// update or deletion and its order's count).  BeginUnit runs the savepoint
// text that opens the unit's transaction and so takes the database's write
// lock (SQLite: BEGIN IMMEDIATE), which the unit holds until EndUnit; what
// the unit reads is therefore what it writes over.  Until EndUnit, Write
// does not commit (a failed write still rolls back to its own savepoint, so
// what succeeded stays).  Units nest; only the outermost EndUnit commits.  A
// process that ends inside a unit has written nothing of it.
//
// BeginUnit returns 0, or the code of the failed savepoint (-54 when the
// write lock could not be had within the busy timeout): then no unit is
// open and nothing must be written in its name.
[[nodiscard]] int BeginUnit(Stmt& savepoint);
// Commits the unit: 0, or the code of the failed commit, in which case
// every write of the unit is rolled back and must be treated as not done.
// An inner EndUnit returns 0.
[[nodiscard]] int EndUnit();
// Rolls the whole unit back (also from an inner level) and closes it.
void AbortUnit();
// True while a unit of work is open.
bool InUnit();

// The run lock: one full run, queue run or master-data download at a time
// per database.  It is the engine's (SQLite: flock on the database file's
// name with "-run" appended; PostgreSQL: a session advisory lock) and is
// released by the system when the process ends, however it ends.
//
// AcquireRunLock waits up to waitMs for another holder to end.  holder is a
// short text naming this process ("pps2bde full run pid 1234 since ..."),
// kept where ProbeRunLock can read it.  Returns 0 (held until Disconnect or
// the end of the process), kBusy (-54) when the wait ran out, or another
// negative code.
[[nodiscard]] int AcquireRunLock(int waitMs, const char* holder);
// Looks at the run lock without taking it: 0 free (or held by this
// session), 1 held by another process (holder gets its text, cut to cap-1
// bytes and terminated), or a negative code.
[[nodiscard]] int ProbeRunLock(char* holder, size_t cap);

// A read-only transaction: every read until EndRead sees one snapshot of
// the database.  It takes no write lock and blocks no writer; it is for
// tools that look at the database (a preview of a run), never for the job.
// 0, or a negative code (also when a transaction is already open).
[[nodiscard]] int BeginRead();
// Ends the read-only transaction (0 when none is open).
[[nodiscard]] int EndRead();

}  // namespace sql

#endif  // PPS2BDE_SQL_SQL_H_
