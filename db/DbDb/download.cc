// The order and operation downloads.
#include "db/DbDb/download.h"

#include "db/DbDb/buffer.h"
#include "db/DbDb/format.h"
#include "db/DbDb/release.h"
#include "db/DbDnl/dnl_cursors.h"
#include "runtime/msg.h"

namespace {

// A fresh queue record for one line: every byte zero, stamped with the run
// date and time.
void StartRecord(QueueRecord& rec, const char* date, const char* time) {
  rec = QueueRecord{};
  rec.DnlDtaDate = date;
  rec.DnlDtaTime = time;
}

}  // namespace

int Apk_Dnl(const char* date, const char* time, const char* selector) {
  int rc = Apk_OpenDnl(selector);
  if (rc != 0) {
    Msg_Error("Apk_Dnl", "fehlerhafte Apk_OpenDnl", rc);
    return rc;
  }
  OrderRecord order;
  QueueRecord rec;
  // The first order that cannot be written or released ends the pass; it
  // and the orders behind it stay marked for the next run.
  while (Apk_FetchDnl(order) == 0) {
    StartRecord(rec, date, time);
    Apk_DnlFormat(rec, order);
    rc = Put_DnlBuffer(rec, order.ApkFbe.c_str());
    if (rc != 0) {
      Msg_Error("Apk_Dnl", "Fehler beim Senden von ApkS\xE4tze", rc);
      break;
    }
    if (Apk_Frei(order) != 0) break;
  }
  return Apk_CloseDnl();
}

int App_Dnl(const char* date, const char* time, const char* selector) {
  int rc = App_OpenDnl(selector);
  if (rc != 0) {
    Msg_Error("App_Dnl", "fehlerhafte App_OpenDnl", rc);
    return rc;
  }
  OperationRecord op;
  QueueRecord rec;
  // An operation that cannot be written or released keeps its marker; the
  // pass goes on with the next one.
  while (App_FetchDnl(op) == 0) {
    StartRecord(rec, date, time);
    App_DnlFormat(rec, op);
    rc = Put_DnlBuffer(rec, op.AppFbe.c_str());
    if (rc != 0) {
      Msg_Error("App_Dnl", "Fehler beim Senden von AppS\xE4tze", rc);
      continue;
    }
    App_Frei(op);
  }
  return App_CloseDnl();
}
