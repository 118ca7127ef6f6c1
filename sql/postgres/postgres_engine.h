// The PostgreSQL engine of the database client layer (libpq).
#ifndef PPS2BDE_SQL_POSTGRES_POSTGRES_ENGINE_H_
#define PPS2BDE_SQL_POSTGRES_POSTGRES_ENGINE_H_

#include <cstddef>
#include <memory>

#include "sql/engine.h"

namespace sql {

// True when a service text names a PostgreSQL database: a URI beginning
// with "postgresql://" or "postgres://", or a libpq key/value text (it holds
// '=', e.g. "service=pps2bde").  Any other service is a SQLite path.
bool Postgres_IsService(const char* service, size_t len);

// Opens a session on the database the service names.  The account and
// password, when not empty, go to libpq as its user and password
// parameters (they override those of the service text); when empty, libpq
// takes them from the service text or its environment (PGUSER, PGPASSWORD,
// ~/.pgpass).  The session runs with client_encoding UTF8, DateStyle ISO,
// search_path "public, kvnsystem" and a lock_timeout (5 s unless a test set
// another).  Returns 0 with *out the new engine (freeing it ends the
// session), -1017 when the server refuses the login, -12154 when it cannot
// be reached or the database does not exist.
[[nodiscard]] int PostgresEngine_Open(const ConnectParts& parts,
                                      std::unique_ptr<Engine>* out);

// lock_timeout of the sessions opened from now on, in milliseconds.
// Returns the previous value.
int PostgresEngine_SetLockTimeoutForTest(int ms);

}  // namespace sql

#endif  // PPS2BDE_SQL_POSTGRES_POSTGRES_ENGINE_H_
