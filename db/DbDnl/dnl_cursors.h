// The cursors that feed the terminal download: the orders and operations
// whose download marker equals a selector, ordered by area key.
//
// Every function returns the database status (0, 1403 after the last row,
// negative Oracle code) and logs nothing.  Each cursor exists once: open,
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
// yyyymmddHHMMSS.  rec is written only on 0; NULL columns give "" or 0.
int Apk_FetchDnl(OrderRecord& rec);
// Closes the order cursor; closing a closed cursor is 0.
int Apk_CloseDnl();

// Opens the cursor over the operations with AppDwn = selector, ordered by
// AppFbe; as Apk_OpenDnl.
int App_OpenDnl(const char* selector);
// Fetches the next operation into every field of rec, AppDat included.
// rec is written only on 0; NULL columns give "" or 0.
int App_FetchDnl(OperationRecord& rec);
// Closes the operation cursor; closing a closed cursor is 0.
int App_CloseDnl();

#endif  // PPS2BDE_DB_DBDNL_DNL_CURSORS_H_
