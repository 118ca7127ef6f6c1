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
int App_PKeyIns(const OperationRecord& rec);
int App_PKeyUpd(const OperationRecord& rec);
int App_PKeyDel(const char* orderNumber, const char* operationNumber);

#endif  // PPS2BDE_DB_DBSTD_APP_H_
