// The order and operation downloads.
#include "db/DbDb/download.h"

#include <cstdio>

#include "db/DbDb/buffer.h"
#include "db/DbDb/format.h"
#include "db/DbDb/release.h"
#include "db/DbDnl/dnl_cursors.h"
#include "runtime/msg.h"
#include "sql/errors.h"

namespace {

// A fresh queue record for one line: every byte zero, stamped with the run
// date and time.
void StartRecord(QueueRecord& rec, const char* date, const char* time) {
  rec = QueueRecord{};
  rec.DnlDtaDate = date;
  rec.DnlDtaTime = time;
}

using sql::NoFit;  // a row read with a value that does not fit: not sent

// The key of an operation in a message: "AppApk/AppApp".
Text<19> OperationKey(const OperationRecord& op) {
  Text<19> key;
  std::snprintf(key.data(), sizeof key.s, "%s/%s", op.AppApk.c_str(), op.AppApp.c_str());
  return key;
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
  // and the orders behind it stay marked for the next run.  An order with a
  // value that does not fit is not sent (it stays marked, with its entry);
  // the pass goes on.
  while ((rc = Apk_FetchDnl(order)) == 0 || NoFit(rc)) {
    StartRecord(rec, date, time);
    if (rc == 0) rc = Apk_DnlFormat(rec, order);
    if (rc != 0) {
      Msg_NoFit("Apk_Dnl", order.ApkApk.c_str(), rc);
      continue;
    }
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
  // An operation that cannot be written or released, or has a value that
  // does not fit, keeps its marker; the pass goes on with the next one.
  while ((rc = App_FetchDnl(op)) == 0 || NoFit(rc)) {
    StartRecord(rec, date, time);
    if (rc == 0) rc = App_DnlFormat(rec, op);
    if (rc != 0) {
      Msg_NoFit("App_Dnl", OperationKey(op).c_str(), rc);
      continue;
    }
    rc = Put_DnlBuffer(rec, op.AppFbe.c_str());
    if (rc != 0) {
      Msg_Error("App_Dnl", "Fehler beim Senden von AppS\xE4tze", rc);
      continue;
    }
    App_Frei(op);
  }
  return App_CloseDnl();
}
