// The BDE operation table Kvn504App: the operation record and its
// statements.  Status codes and the savepoint pattern as for the orders.
#ifndef PPS2BDE_DB_DBSTD_APP_H_
#define PPS2BDE_DB_DBSTD_APP_H_

#include <cstdint>

#include "runtime/text.h"

// One row of Kvn504App, keyed by order number and operation number.
struct OperationRecord {
  Text<13> AppApk;       // order number, first key part
  Text<6> AppApp;        // operation number, second key part
  Text<6> AppVaf;
  Text<6> AppNaf;
  Text<31> AppBz1;
  Text<31> AppBz2;
  Text<11> AppTxt;
  int32_t AppSts = 0;    // 16-bit
  int32_t AppSis = 0;    // 16-bit
  Text<9> AppBdiDate;    // eight date-time columns, each as date and time part
  Text<7> AppBdiTime;
  Text<9> AppBdsDate;
  Text<7> AppBdsTime;
  Text<9> AppSbdDate;
  Text<7> AppSbdTime;
  Text<9> AppEdiDate;
  Text<7> AppEdiTime;
  Text<9> AppEdsDate;
  Text<7> AppEdsTime;
  Text<9> AppSedDate;
  Text<7> AppSedTime;
  Text<9> AppRadDate;
  Text<7> AppRadTime;
  Text<9> AppRedDate;
  Text<7> AppRedTime;
  int32_t AppAgs = 0;
  int32_t AppAbs = 0;
  int32_t AppAes = 0;
  double AppSme = 0;
  double AppIme = 0;
  double AppAme = 0;
  Text<4> AppMee;
  double AppSza = 0;
  double AppStr = 0;
  double AppSte = 0;
  double AppIta = 0;
  double AppItr = 0;
  double AppIte = 0;
  Text<11> AppApg;       // work group
  Text<11> AppApl;       // workplace
  Text<16> AppKt1;
  Text<4> AppKz1;
  Text<16> AppKt2;
  Text<4> AppKz2;
  Text<16> AppKt3;
  Text<4> AppKz3;
  Text<16> AppKt4;
  Text<4> AppKz4;
  Text<11> AppFbe;       // area key: selects the terminal
  Text<11> AppKst;
  Text<31> AppZf1;
  Text<31> AppZf2;
  Text<31> AppZf3;
  Text<2> AppKnz;
  Text<4> AppDna;        // change marker
  Text<9> AppDwn;        // change origin
  int32_t AppSsn = 0;    // 16-bit
  int32_t AppSta = 0;    // 16-bit
  Text<15> AppDat;       // time of the last write (read only)
  Text<9> AppErf;        // recorder
};

// Reads the operation whose key the caller put into AppApk/AppApp.  On 0
// every field is filled; otherwise only the key stays and every other field
// is empty or 0.
int App_PKeyReadk(OperationRecord& rec);
// Inserts rec as a new row; the eight date-time columns come from their date
// and time parts (both empty: NULL), AppDat is the database time.  An
// existing key gives -1, an invalid date the conversion's code; nothing is
// written then.
int App_PKeyIns(const OperationRecord& rec);
// Writes every field of rec to the row with rec's AppApk and AppApp, as the
// insert does; AppDat becomes the database time.  1403 when no such row.
int App_PKeyUpd(const OperationRecord& rec);
// Deletes the operation with this key (at most 12 and 5 characters).  A
// longer key names no operation: 1403, nothing is deleted.
int App_PKeyDel(const char* orderNumber, const char* operationNumber);

// Completes rec after a read or a fetch that wrote its row straight into
// rec: on status 0 it stays as read; on any other status AppApk and AppApp
// keep their values and every other field (AppDat too) is cleared.
void App_TakeRow(OperationRecord& rec, int status);

// Key-range cursor.  Direction 1: keys strictly between (fromOrder,
// fromOperation) and (toOrder, toOperation), ascending.  Direction 2: order
// numbers strictly between fromOrder and toOrder (the operation numbers are
// not used), ordered by AppApk, then AppApp descending.  Any other direction
// opens nothing and returns 0.
// A bound longer than its field selects nothing.
int App_Open(const char* fromOrder, const char* fromOperation,
             const char* toOrder, const char* toOperation, int direction);
// Fetches the next row of that direction's cursor and hands it to
// App_TakeRow: after the last row (1403) rec keeps only its key.  -1001 when
// the cursor is not open or the direction is neither 1 nor 2.
int App_Fetch(OperationRecord& rec, int direction);
// Closes that direction's cursor; a closed cursor or another direction is 0.
int App_Close(int direction);

// Cursor over the inclusive key range (fromOrder, fromOperation) to
// (toOrder, toOperation) without the rows whose AppSts equals excludedStatus
// (compared as a 16-bit value), ascending by key.
// A bound longer than its field selects nothing.
int App_OpenSts(const char* fromOrder, const char* fromOperation,
                const char* toOrder, const char* toOperation,
                int32_t excludedStatus);
// Fetches the next row through App_TakeRow, as App_Fetch does.
int App_FetchSts(OperationRecord& rec);
int App_CloseSts();

// Counts the operations whose AppZf2 equals zf2 (at most 30 characters).
// *count gets the number on 0 and 0 on any other status.
int App_CountZf2(const char* zf2, int32_t* count);
// Cursor over the operations whose AppZf2 equals zf2.
int App_OpenZf2(const char* zf2);
// Fetches the next row; rec is written only on 0 and left as it was on any
// other status (1403 after the last row).
int App_FetchZf2(OperationRecord& rec);
int App_CloseZf2();

#endif  // PPS2BDE_DB_DBSTD_APP_H_
