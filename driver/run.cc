#include "driver/run.h"

#include <cstdio>
#include <cstring>

#include "db/DbDb/download.h"
#include "db/DbDnl/dnl.h"
#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"
#include "driver/markers.h"
#include "driver/queue_stamp.h"
#include "driver/statistics.h"
#include "driver/transfer.h"
#include "runtime/date.h"
#include "runtime/msg.h"
#include "runtime/session.h"
#include "sql/errors.h"

namespace {

// Runs mark as one unit of work (the read and the write back of one BDE
// row under the write lock, so that nothing written meanwhile is written
// over).  A failure is logged with the message mark returns, or with
// failure when the unit cannot start or its commit fails.
template <typename Mark>
void MarkAsUnit(const char* failure, Mark mark) {
  static sql::Stmt unit{"savepoint W_PpsDaten_Sp"};
  int rc = Db_BeginUnit(unit);
  if (rc != 0) {
    Msg_Error("W_PpsDaten", failure, rc);
    return;
  }
  const char* message = nullptr;
  rc = mark(&message);
  if (rc != 0) {
    Db_AbortUnit();
    Msg_Error("W_PpsDaten", message, rc);
    return;
  }
  rc = Db_EndUnit();
  if (rc != 0) Msg_Error("W_PpsDaten", failure, rc);
}

// Marks the order named by a queue row for download with the queue marker.
void MarkOrder(const QueueRecord& q, OrderRecord& order) {
  MarkAsUnit("Fehler bei Apk_PKeyUpd", [&](const char** message) {
    order.ApkApk.Set(q.DnlApk);
    *message = "Fehler bei Apk_PKeyReadk";
    int rc = Apk_PKeyReadk(order);
    if (rc != 0) return rc;
    order.ApkDna.Set(q.DnlFun);
    order.ApkDwn = kQueueMarker;
    *message = "Fehler bei Apk_PKeyUpd";
    return Apk_PKeyUpd(order);
  });
}

// Marks the operation named by a queue row for download with the queue marker.
void MarkOperation(const QueueRecord& q, OperationRecord& op) {
  MarkAsUnit("Fehler bei App_PKeyUpd", [&](const char** message) {
    op.AppApk.Set(q.DnlApk);
    op.AppApp.Set(q.DnlApp);
    *message = "Fehler bei App_PKeyReadk";
    int rc = App_PKeyReadk(op);
    if (rc != 0) return rc;
    op.AppDna.Set(q.DnlFun);
    op.AppDwn = kQueueMarker;
    *message = "Fehler bei App_PKeyUpd";
    return App_PKeyUpd(op);
  });
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
  for (;;) {
    rc = Dnl_Fetch(q);
    if (sql::NoFit(rc)) {
      // A queue row whose key or number does not fit names no row here.
      char key[24];
      std::snprintf(key, sizeof key, "%s/%s", q.DnlApk.c_str(), q.DnlApp.c_str());
      Msg_NoFit("W_PpsDaten", key, rc);
      continue;
    }
    if (rc != 0) break;
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
    // Only a valid date and time can name a batch; anything else is refused.
    if (const char* refused = Queue_StampError(argv[1], argv[2])) {
      Msg_Error("W_PpsDaten", refused, -1);
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
