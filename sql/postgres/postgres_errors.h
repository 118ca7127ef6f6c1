// PostgreSQL's errors as Oracle's codes.
#ifndef PPS2BDE_SQL_POSTGRES_POSTGRES_ERRORS_H_
#define PPS2BDE_SQL_POSTGRES_POSTGRES_ERRORS_H_

namespace sql {

// The Oracle code of a SQLSTATE (five characters; null or shorter is -600):
//   23505 -1, 23502 -1400, 22001 -12899, 42P01 -942, 42703 and 42883 -904,
//   22003 -1438, 22P02 -1722, 55P03 -54 (lock_timeout), 40P01 -60,
//   40001 -8177, 42601 -900, 53100 -1114, 22007 and 22008 -1858,
//   "O" and four digits (raised by the schema's date functions) minus
//   those digits (O1843 -1843), anything else -600.
[[nodiscard]] int Postgres_Status(const char* sqlstate);

// True when a failed connect's message names a refused login (wrong or
// missing password, unknown user): -1017 rather than -12154.
bool Postgres_LoginRefused(const char* message);

}  // namespace sql

#endif  // PPS2BDE_SQL_POSTGRES_POSTGRES_ERRORS_H_
