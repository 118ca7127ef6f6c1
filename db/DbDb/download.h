// The order and operation downloads: every row marked with a selector is
// sent to its terminal's buffer file and then released.
#ifndef PPS2BDE_DB_DBDB_DOWNLOAD_H_
#define PPS2BDE_DB_DBDB_DOWNLOAD_H_

// Sends every order whose ApkDwn equals selector, stamping the lines with
// date (yyyymmdd) and time (HHMMSS); releases or deletes each sent order.
// Returns the status of the cursor close, or of a failed cursor open.
int Apk_Dnl(const char* date, const char* time, const char* selector);
// The same for the operations (AppDwn).
int App_Dnl(const char* date, const char* time, const char* selector);

#endif  // PPS2BDE_DB_DBDB_DOWNLOAD_H_
