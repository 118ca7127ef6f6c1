// The SQLite engine of the database client layer.
#ifndef PPS2BDE_SQL_SQLITE_SQLITE_ENGINE_H_
#define PPS2BDE_SQL_SQLITE_SQLITE_ENGINE_H_

#include <memory>

#include "sql/engine.h"

namespace sql {

// Opens a session on the database file named by the service (a path,
// relative to the working directory or absolute).  The file must exist:
// nothing is created.  Account and password are not used by SQLite.
// Returns 0 with *out the new engine (freeing it ends the session), -12154
// when the service is empty or the file cannot be opened, or the mapped
// code of a failed set-up.
[[nodiscard]] int SqliteEngine_Open(const ConnectParts& parts,
                                    std::unique_ptr<Engine>* out);

// Busy timeout of the sessions opened from now on, in milliseconds (5000
// unless a test sets another).  Returns the previous value.
int SqliteEngine_SetBusyTimeoutForTest(int ms);

}  // namespace sql

#endif  // PPS2BDE_SQL_SQLITE_SQLITE_ENGINE_H_
