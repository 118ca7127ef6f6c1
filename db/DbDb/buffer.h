// The buffer writer: one download line per call, appended to the buffer
// file of the terminal that serves the line's area key.
#ifndef PPS2BDE_DB_DBDB_BUFFER_H_
#define PPS2BDE_DB_DBDB_BUFFER_H_

#include "db/DbDnl/cfg.h"
#include "db/DbDnl/dnl.h"
#include "db/DbDb/layout.h"
#include "runtime/logged.h"

// Finds the terminal for areaKey (the lowest CfgDta whose first or second
// range contains it) into cfg; logs "ReadFile"/"IP-Ermitteln" on failure.
// Returns 0, the database status (1403: no terminal), or the close status.
[[nodiscard]] int Get_CfgIP(CfgRecord& cfg, const char* areaKey);
// Whether the terminal lookup of the next line can go ahead (on a server).
bool Get_CfgIPCanAhead();
// On a server: notes the terminal lookup for areaKey to go with the commit
// of the unit that follows (sql.h OpenAhead), for the Get_CfgIP right after
// that unit.  Nothing on SQLite.
void Get_CfgIPAhead(const char* areaKey);
// Formats the line of rec and appends it whole to the terminal's file
// "..\Comm\Buff\SndDnl<n>.buf", which stays open while the following lines
// go to the same terminal.  Returns 0, the lookup status, or kLogged after a
// file error.
[[nodiscard]] int Put_DnlBuffer(const QueueRecord& rec, const char* areaKey);
// Closes the open buffer file, if any (tests and tools; the job leaves it
// to the end of the process).
void Put_DnlBufferClose();

#endif  // PPS2BDE_DB_DBDB_BUFFER_H_
