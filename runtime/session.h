// The database session of the job: connect with the credentials of the
// configuration file, commit at the end.
#ifndef PPS2BDE_RUNTIME_SESSION_H_
#define PPS2BDE_RUNTIME_SESSION_H_

#include "sql/sql.h"

// Reads account, password and service from the configuration file
// (deciphered), connects with "account/password@service" (at most 100
// characters) and returns 0 or the negative database code.  A value longer
// than 51 characters or a connect text longer than 100 is not cut: the
// connect fails without being tried, with -1017 (account or password) or
// -12154 (service name or the whole text).  The credentials
// are wiped from memory before it returns and are never logged.
int Db_Connect();
// Commits the session's transaction; the status is ignored.
void Db_Commit();
// Rolls the session's transaction back and returns the status.
int Db_Rollback();
// Opens a unit of work with its savepoint statement ("savepoint Xxx_Sp"):
// the writes up to Db_EndUnit are committed together, under the database's
// write lock (see sql::BeginUnit).  Log entries made inside the unit are
// written after it ends.  Returns 0, or the code of the failed savepoint
// (no unit is open then; its entries are written at once).
int Db_BeginUnit(sql::Stmt& savepoint);
// Commits the unit of work and writes its log entries.  Returns 0, or the
// code of the failed commit: nothing of the unit was written.
int Db_EndUnit();
// Rolls the unit of work back and writes its log entries.
void Db_AbortUnit();

// Takes the database's run lock for this process, naming it by what
// ("full run", "queue run", ...).  Waits for another holder at most the
// seconds of the environment variable PPS2BDE_RUN_LOCK_WAIT (a whole number
// up to 86400; default 600).  Returns 0, or -54 when the wait ran out, or
// another negative code.
int Db_RunLock(const char* what);
// The bounded wait of Db_RunLock in milliseconds.
int Db_RunLockWaitMs();

#endif  // PPS2BDE_RUNTIME_SESSION_H_
