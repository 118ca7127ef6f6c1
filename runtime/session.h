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
// the writes up to Db_EndUnit are committed together (see sql::BeginUnit).
void Db_BeginUnit(sql::Stmt& savepoint);
// Commits the unit of work.
void Db_EndUnit();

#endif  // PPS2BDE_RUNTIME_SESSION_H_
