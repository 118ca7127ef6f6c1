#include "driver/run.h"

#include <cstring>

#include "db/DbDb/download.h"
#include "db/DbDnl/dnl.h"
#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"
#include "driver/markers.h"
#include "driver/statistics.h"
#include "driver/transfer.h"
#include "runtime/date.h"
#include "runtime/msg.h"
#include "runtime/session.h"

namespace {

// Longest date and time a queue time stamp can be built from.
constexpr size_t kQueueDateMax = 8;
constexpr size_t kQueueTimeMax = 6;

// Marks the order named by a queue row for download with the queue marker.
void MarkOrder(const QueueRecord& q, OrderRecord& order) {
  order.ApkApk.Set(q.DnlApk);
  int rc = Apk_PKeyReadk(order);
  if (rc != 0) {
    Msg_Error("W_PpsDaten", "Fehler bei Apk_PKeyReadk", rc);
    return;
  }
  order.ApkDna.Set(q.DnlFun);
  order.ApkDwn = kQueueMarker;
  rc = Apk_PKeyUpd(order);
  if (rc != 0) Msg_Error("W_PpsDaten", "Fehler bei Apk_PKeyUpd", rc);
}

// Marks the operation named by a queue row for download with the queue marker.
void MarkOperation(const QueueRecord& q, OperationRecord& op) {
  op.AppApk.Set(q.DnlApk);
  op.AppApp.Set(q.DnlApp);
  int rc = App_PKeyReadk(op);
  if (rc != 0) {
    Msg_Error("W_PpsDaten", "Fehler bei App_PKeyReadk", rc);
    return;
  }
  op.AppDna.Set(q.DnlFun);
  op.AppDwn = kQueueMarker;
  rc = App_PKeyUpd(op);
  if (rc != 0) Msg_Error("W_PpsDaten", "Fehler bei App_PKeyUpd", rc);
}

}  // namespace

int Full_Run() {
  StatRecord stat;
  Init_StatTab(stat);
  (void)Auk_To_Apk(stat);
  int rc = Afo_To_App(stat);
  Put_StatTab(stat);
  Get_Download(stat);
  return rc;
}

void Get_Download(const StatRecord& stat) {
  Text<9> date;
  Text<7> time;
  Text<9> selector;
  date.Set(stat.DwnDtaDate);
  time.Set(stat.DwnDtaTime);
  selector.Set(stat.DwnErf);
  int rc = Apk_Dnl(date.c_str(), time.c_str(), selector.c_str());
  if (rc != 0) Msg_Error("Get_Download", "Download->APK fehlerhaft beendet", rc);
  rc = App_Dnl(date.c_str(), time.c_str(), selector.c_str());
  if (rc != 0) Msg_Error("Get_Download", "Download->APP fehlerhaft beendet", rc);
}

void W_Download() {
  char date[15] = {};
  char time[7] = {};
  Date_Now(date, time, 3);
  int rc = Apk_Dnl(date, time, kQueueMarker);
  if (rc != 0) Msg_Error("Wie_Download", "Download->APK fehlerhaft beendet", rc);
  rc = App_Dnl(date, time, kQueueMarker);
  if (rc != 0) Msg_Error("Wid_Download", "Download->APP fehlerhaft beendet", rc);
}

int32_t W_PpsDaten(const char* date, const char* time, const char* recorder) {
  int rc = Dnl_Open(date, time, recorder);
  if (rc != 0) return rc;
  // The records are reused from row to row; the marking reads them anew.
  QueueRecord q;
  OrderRecord order;
  OperationRecord op;
  while (Dnl_Fetch(q) == 0) {
    if (q.DnlSkz == "APK") {
      MarkOrder(q, order);
    } else if (q.DnlSkz == "APP") {
      MarkOperation(q, op);
    }
  }
  rc = Dnl_Close();
  W_Download();
  return rc;
}

int Pps2bde_Main(int argc, char** argv) {
  Msg_Init(7, ".\\Msg\\Ostrak.Txt");
  int rc = Db_Connect();
  if (rc != 0) {
    Msg_Error("dbConnect", "Fehlerhafter Connect mit der DB ", rc);
    return 0;
  }
  // One run at a time per database: a second run waits for the first, for
  // a bounded time, and ends with one entry when the wait runs out.
  rc = Db_RunLock(argc == 3 ? "queue run" : "full run");
  if (rc != 0) {
    Msg_Error("dbRunLock", "Laufsperre nicht erhalten", rc);
    return 0;
  }
  if (argc == 3) {
    // A queue time stamp has 8 date and 6 time characters; anything longer
    // cannot name a batch and would not fit the stamp, so it is refused.
    if (strnlen(argv[1], kQueueDateMax + 1) > kQueueDateMax ||
        strnlen(argv[2], kQueueTimeMax + 1) > kQueueTimeMax) {
      Msg_Error("W_PpsDaten", "Datum oder Zeit zu lang", -1);
    } else {
      char date[12] = {};
      char time[8] = {};
      Text_Copy(date, sizeof date, argv[1]);
      Text_Copy(time, sizeof time, argv[2]);
      (void)W_PpsDaten(date, time, kRecorder);
    }
  } else {
    (void)Full_Run();
  }
  Db_Commit();
  return 0;
}
