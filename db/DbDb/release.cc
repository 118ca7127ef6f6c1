// Row release of the order and operation download.
#include "db/DbDb/release.h"

#include "runtime/msg.h"
#include "sql/sql.h"

namespace {

// Reads the order and writes it back with its operation count changed by
// delta.  A failed read ends the step with its status; nothing is written.
int AddOperations(const char* orderNumber, int32_t delta) {
  OrderRecord order;
  order.ApkApk = orderNumber;
  int rc = Apk_PKeyReadk(order);
  if (rc != 0) return rc;
  order.ApkAfo += delta;
  return Apk_PKeyUpd(order);
}

}  // namespace

int Apk_Frei(const OrderRecord& fetched) {
  OrderRecord fresh;
  fresh.ApkApk.Set(fetched.ApkApk);
  int rc = Apk_PKeyReadk(fresh);
  if (rc != 0) {
    Msg_Error("ApkDnl", "Fehler bei Apk_PKeyRead", rc);
    return rc;
  }
  if (fetched.ApkDna == "LOE") {
    rc = Apk_PKeyDel(fetched.ApkApk.c_str());
    if (rc != 0) Msg_Error("ApkDnl", "Fehler bei Apk_PKeyDel", rc);
    return rc;
  }
  fresh.ApkDwn.Clear();
  fresh.ApkDna.Clear();
  rc = Apk_PKeyUpd(fresh);
  if (rc != 0) Msg_Error("ApkDnl", "Fehler bei Apk_PKeyUpd", rc);
  return rc;
}

namespace {

int Release(const OperationRecord& fetched);

}  // namespace

// The release of an operation and the change of its order's count are one
// unit of work: a run that stops between them would otherwise leave the
// operation released and the count wrong for good.
int App_Frei(const OperationRecord& fetched) {
  static sql::Stmt unit{"savepoint App_Frei_Sp"};
  sql::BeginUnit(unit);
  int rc = Release(fetched);
  sql::EndUnit();
  return rc;
}

namespace {

int Release(const OperationRecord& fetched) {
  OperationRecord fresh;
  fresh.AppApk.Set(fetched.AppApk);
  fresh.AppApp.Set(fetched.AppApp);
  int readRc = App_PKeyReadk(fresh);

  if (fetched.AppDna == "LOE") {
    int rc = App_PKeyDel(fetched.AppApk.c_str(), fetched.AppApp.c_str());
    if (rc != 0) {
      Msg_Error("App_Frei", "Fehler bei App_PKeyDel", rc);
      return rc;
    }
    return AddOperations(fetched.AppApk.c_str(), -1);
  }

  if (readRc != 0) return readRc;
  fresh.AppDwn.Clear();
  fresh.AppDna.Clear();
  int rc = App_PKeyUpd(fresh);
  if (rc != 0) {
    Msg_Error("APP_Frei", "Fehler bei App_PKeyUpd", rc);
    return rc;
  }
  if (fetched.AppDna == "NEU") return AddOperations(fetched.AppApk.c_str(), 1);
  return 0;
}

}  // namespace
