// Oracle's date functions as SQLite functions of a session.
#ifndef PPS2BDE_SQL_SQLITE_SQLITE_FUNCTIONS_H_
#define PPS2BDE_SQL_SQLITE_SQLITE_FUNCTIONS_H_

#include <sqlite3.h>

#include <ctime>

namespace sql {

// Registers on db, over the stored form "YYYY-MM-DD HH:MM:SS" of a DATE:
//   TO_CHAR(date, mask)    the date through the mask; NULL stays NULL
//   TO_DATE(text, mask)    the stored form; NULL and '' give NULL
//   TRUNC(date)            the day at 00:00:00 (a number is truncated, as
//                          SQLite's own trunc does, which this replaces)
//   sysdate()              the local time of *clock
//   date_add_days(date, n) date + n days (Oracle's date + number)
// The masks are those of sql/sqlite/ora_dates.h.  An invalid input raises
// "ORA-nnnnn: ..." which Sqlite_Status turns into -nnnnn; a date argument
// that is not a stored date raises -1858, a number given as a date -932.
// *clock is the statement's time: the engine sets it from the Env's clock
// before it runs a statement, so sysdate has one value in one statement, as
// in Oracle.  It must outlive db.
// Returns SQLITE_OK or the code of the failed registration.
[[nodiscard]] int SqliteFunctions_Register(sqlite3* db, const time_t* clock);

}  // namespace sql

#endif  // PPS2BDE_SQL_SQLITE_SQLITE_FUNCTIONS_H_
