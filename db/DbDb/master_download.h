// The master-data downloads: work groups, workplaces, rows of Kvn521Ubg and
// Kvn510Prv, and cost centres, sent to the terminals' buffer files like the
// operations.
//
// Each download opens its cursor (a failure is logged and returned), builds
// one queue record per row stamped with date (yyyymmdd) and time (HHMMSS),
// hands it to Put_DnlBuffer with the row's area key and, when the line was
// written, releases the row; a line that cannot be written is logged and
// the row keeps its marker for the next download.  A row with a value that
// does not fit its field (a key, an area key, a cost centre, a badge
// number or a number; free texts are cut) is not sent and keeps its
// marker: one entry under the download's function name, "Wert passt nicht
// ins Feld: " and the row's key, code -1406 (text) or -1455 (number).  The
// pass always goes on with the next row.  Returns the status of the cursor
// close (0 normally), or of a failed cursor open.  When count is given, it
// gets the rows whose lines were all written (sent) and the rows not sent
// (failed): a line that could not be written or a value that did not fit.
#ifndef PPS2BDE_DB_DBDB_MASTER_DOWNLOAD_H_
#define PPS2BDE_DB_DBDB_MASTER_DOWNLOAD_H_

#include "db/DbDb/download_loop.h"  // DnlCount

// Sends the work groups whose ApgDwn equals selector and that have a cost
// centre valid today, area key ApgFbe.  Logs "Apg_Dnl" / "fehlerhafter
// Apg_OpenDnl" and "Apg_Dnl" / "Fehler beim Senden von ApgS\xE4tze".
int Apg_Dnl(const char* date, const char* time, const char* selector,
            DnlCount* count = nullptr);
// Sends the workplaces whose AplDwn equals selector, area key AplFbe; each
// carries the cost centre of its work group valid today (blank when there
// is none).  Logs "Apl_Dnl" / "fehlerhafte Apl_OpenDnl" and "Apl_Dnl" /
// "Fehler beim Senden von AplS\xE4tze".
int Apl_Dnl(const char* date, const char* time, const char* selector,
            DnlCount* count = nullptr);
// Sends the Kvn521Ubg rows whose UbgDwn equals selector, area key UbgFbe.
// Logs "Ubg_Dnl" / "fehlerhafte Ubg_OpenDnl" and "Ubg_Dnl" / "Fehler beim
// Senden von UbgS\xE4tze".
int Ubg_Dnl(const char* date, const char* time, const char* selector,
            DnlCount* count = nullptr);
// Sends the Kvn510Prv rows whose PrvDwn equals selector, area key PrvFbe,
// two lines per row: the "PNR" line (released when written; a failure is
// logged "Prv_Dnl" / "Fehler beim Senden von PrvS\xE4tze"), then, whatever
// became of it, the "AWN" line built from the row as fetched (its write
// status is not examined).  A row that either line cannot carry sends
// neither.  A failed open logs "Prv_Dnl" / "fehlerhafte
// Pvr_OpenDnl".
int Prv_Dnl(const char* date, const char* time, const char* selector,
            DnlCount* count = nullptr);
// Sends every cost centre joined with every Kvn559Fbe row of type 1, area
// key FbeFbe.  selector is not used.  The write status is not examined and
// nothing is released; a cost centre longer than its 7 positions is not
// sent (entry key "KstNum/FbeFbe").  A failed open logs "Ksg_Dnl" / "fehlerhafte
// Ksg_OpenDnl".
int Ksg_Dnl(const char* date, const char* time, const char* selector,
            DnlCount* count = nullptr);

#endif  // PPS2BDE_DB_DBDB_MASTER_DOWNLOAD_H_
