// SQLite result codes as Oracle's codes (sql/errors.h).
#ifndef PPS2BDE_SQL_SQLITE_SQLITE_ERRORS_H_
#define PPS2BDE_SQL_SQLITE_SQLITE_ERRORS_H_

namespace sql {

// Maps an (extended) SQLite result code and its message to the status:
//   OK, ROW, DONE                  0
//   CONSTRAINT_UNIQUE/PRIMARYKEY  -1      CONSTRAINT_NOTNULL  -1400
//   BUSY*, LOCKED*                -54     IOERR*, FULL        -1114
//   MISMATCH                      -932
//   ERROR "ORA-nnnnn: ..."        -nnnnn  (raised by the date functions)
//   ERROR "no such table"         -942
//   ERROR "syntax error", "incomplete input", "unrecognized token"  -900
//   anything else                 -600
// message may be null.
[[nodiscard]] int Sqlite_Status(int rc, const char* message);

// The message text the date functions raise for an Oracle code, e.g.
// "ORA-01843: not a valid month".  Sqlite_Status reads the code back.
const char* Sqlite_OraMessage(int code);

}  // namespace sql

#endif  // PPS2BDE_SQL_SQLITE_SQLITE_ERRORS_H_
