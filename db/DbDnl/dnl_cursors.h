// The cursors that feed the terminal download: the orders and operations
// whose download marker equals a selector, ordered by area key.
//
// Every function returns the database status (0, 1403 after the last row,
// negative Oracle code) and logs nothing.  A fetch delivers a row that does
// not fit its record with the row's own status: -1455 for a number outside
// its field's range (a 16-bit or 32-bit integer, a quantity that is not
// finite), -1406 for a key or area key longer than its field.  The record
// then holds the row all the same (texts cut to their fields, a number that
// does not fit 0), for the caller to name it; such a row must not be sent or
// released, and the next fetch goes on with the next row.  Each cursor exists once: open,
// fetch until the status is not 0, close.  A failed open leaves the cursor
// closed.
#ifndef PPS2BDE_DB_DBDNL_DNL_CURSORS_H_
#define PPS2BDE_DB_DBDNL_DNL_CURSORS_H_

#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"

// Opens the cursor over the orders with ApkDwn = selector (at most 8
// characters), ordered by ApkFbe.  A longer selector names no marker: the
// cursor opens empty.  An open cursor is closed first.
int Apk_OpenDnl(const char* selector);
// Fetches the next order into every field of rec, ApkDat included as
// yyyymmddHHMMSS.  rec is written only on 0, -1455 and -1406 (keys ApkApk
// and ApkFbe); NULL columns give "" or 0.
int Apk_FetchDnl(OrderRecord& rec);
// Closes the order cursor; closing a closed cursor is 0.
int Apk_CloseDnl();

// Opens the cursor over the operations with AppDwn = selector, ordered by
// AppFbe; as Apk_OpenDnl.
int App_OpenDnl(const char* selector);
// Fetches the next operation into every field of rec, AppDat included.
// rec is written only on 0, -1455 and -1406 (keys AppApk, AppApp and
// AppFbe); NULL columns give "" or 0.
int App_FetchDnl(OperationRecord& rec);
// Closes the operation cursor; closing a closed cursor is 0.
int App_CloseDnl();

#endif  // PPS2BDE_DB_DBDNL_DNL_CURSORS_H_
