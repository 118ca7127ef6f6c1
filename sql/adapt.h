// Oracle statement texts made into SQLite or PostgreSQL statements, once at
// prepare.
//
// The texts stay as the statement functions write them; SQLite needs four
// changes, all made outside quoted literals and identifiers:
//   - the bare word sysdate (any case) becomes a call "sysdate()" of the
//     registered function;
//   - a date plus or minus a number (sysdate, TO_DATE(...) or TRUNC(...)
//     followed by "+ operand" or "- operand", the operand a placeholder, a
//     number or a column) becomes "date_add_days(date, ±operand)";
//   - the schema qualifier "KvnSystem." is dropped: the catalogue tables of
//     that schema live in the one database file;
//   - every ascending ORDER BY term without NULLS FIRST/LAST gets "nulls
//     last": the server sorts NULL after every value, SQLite before.
// Placeholders ":b0" need no change: SQLite gives a named parameter one
// index, at its first appearance, however often it is repeated.
//
// The statement kind decides what the engine does around it: savepoint,
// rollback to a savepoint, commit and rollback keep the session's
// transaction in step; UPDATE and DELETE report 1403 when they touch no row.
#ifndef PPS2BDE_SQL_ADAPT_H_
#define PPS2BDE_SQL_ADAPT_H_

#include <cstddef>
#include <string>

namespace sql {

enum class StmtKind {
  kOther,       // INSERT, DDL, ...
  kQuery,       // SELECT / WITH
  kChange,      // UPDATE, DELETE
  kSavepoint,   // savepoint NAME
  kRollbackTo,  // rollback [transaction] to [savepoint] NAME
  kCommit,      // commit [work]
  kRollback,    // rollback [work]
};

// Longest savepoint name kept (longer ones are cut).
constexpr size_t kMaxSavepointName = 128;

struct StmtShape {
  StmtKind kind;
  char name[kMaxSavepointName + 1];  // savepoint of kSavepoint / kRollbackTo
};

// Writes the SQLite form of text[0..len-1] into *out.
void Adapt_Rewrite(const char* text, size_t len, std::string* out);

// Writes the PostgreSQL form of text[0..len-1] into *out: placeholders
// become $1, $2 ... by first appearance (a repeated name keeps its number;
// *params gets how many); TO_DATE, TO_CHAR and TRUNC become calls of the
// strict functions ora_to_date, ora_to_char and ora_trunc of the schema;
// date plus or minus a number becomes ora_add_days(date, ±n); the
// qualifier KvnSystem stays (a schema there).  The bare word sysdate
// becomes the parameter after the placeholders, typed timestamp(0):
// *clock is true when the statement has it, and the engine binds the
// statement's time of Env_Get() to it.
void Adapt_RewritePostgres(const char* text, size_t len, std::string* out, int* params,
                           bool* clock);

// The kind of the statement and, for savepoints, the name.
void Adapt_Classify(const char* text, size_t len, StmtShape* shape);

}  // namespace sql

#endif  // PPS2BDE_SQL_ADAPT_H_
