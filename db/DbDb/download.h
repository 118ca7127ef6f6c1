// The order and operation downloads: every row marked with a selector is
// sent to its terminal's buffer file and then released.
#ifndef PPS2BDE_DB_DBDB_DOWNLOAD_H_
#define PPS2BDE_DB_DBDB_DOWNLOAD_H_

// Sends every order whose ApkDwn equals selector, stamping the lines with
// date (yyyymmdd) and time (HHMMSS); releases or deletes each sent order.
// An order whose line cannot be written or that cannot be released ends
// the pass.  An order with a value that does not fit its field (a key or
// area key, a number out of its range, a quantity or count too large for
// its line field) is not sent and stays marked: one entry "Apk_Dnl" /
// "Wert passt nicht ins Feld: <ApkApk>" with -1455 or -1406, and the pass
// goes on.  Returns the status of the cursor close, or of a failed cursor
// open.
int Apk_Dnl(const char* date, const char* time, const char* selector);
// The same for the operations (AppDwn), except that the pass always goes
// on with the next operation; the key in an entry is "AppApk/AppApp".
int App_Dnl(const char* date, const char* time, const char* selector);

#endif  // PPS2BDE_DB_DBDB_DOWNLOAD_H_
