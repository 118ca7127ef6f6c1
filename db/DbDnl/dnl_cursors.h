// The cursors that feed the terminal download: the orders and operations
// whose download marker equals a selector, ordered by area key.
#ifndef PPS2BDE_DB_DBDNL_DNL_CURSORS_H_
#define PPS2BDE_DB_DBDNL_DNL_CURSORS_H_

#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"

// Opens the cursor over the orders with ApkDwn = selector, by ApkFbe.
int Apk_OpenDnl(const char* selector);
// Fetches the next order, ApkDat included (rec written only on 0).
int Apk_FetchDnl(OrderRecord& rec);
int Apk_CloseDnl();

// Opens the cursor over the operations with AppDwn = selector, by AppFbe.
int App_OpenDnl(const char* selector);
int App_FetchDnl(OperationRecord& rec);
int App_CloseDnl();

#endif  // PPS2BDE_DB_DBDNL_DNL_CURSORS_H_
