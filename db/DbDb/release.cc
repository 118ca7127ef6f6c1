// Row release of the order and operation download.
//
// A release is one unit of work under the database's write lock: the row is
// read again, updated or deleted, and (for an operation) its order's count
// changed, all committed at once.  A release that fails is rolled back as a
// whole: the row stays marked and goes out again with the next download, so
// a line is sent at least once and a count never misses one.
#include "db/DbDb/release.h"

#include "db/DbDb/release_row.h"
#include "runtime/msg.h"
#include "runtime/session.h"
#include "sql/sql.h"

namespace {

// Writes the order back with its operation count changed by delta, after
// its read ended with readRc.  An order that is gone (sent as deleted
// before its operations) has no count to change: 1403.
int AddOperations(OrderRecord& order, int readRc, int32_t delta) {
  if (readRc != 0) return readRc;
  order.ApkAfo += delta;
  return Apk_PKeyUpd(order);
}

int ReleaseOrder(const OrderRecord& fetched) {
  using R = OrderRecord;
  // Deleted when sent as deleted, whatever the row holds now.
  static constexpr FreiPlan<R> kPlan{
      "ApkDnl", "Fehler bei Apk_PKeyRead", "ApkDnl", "Fehler bei Apk_PKeyDel",
      "ApkDnl", "Fehler bei Apk_PKeyUpd", Apk_PKeyReadk, Apk_PKeyDel, Apk_PKeyUpd,
      Frei_LoeFetched<&R::ApkDna>};
  return Frei_Row<&R::ApkApk, &R::ApkDwn, &R::ApkDna>(kPlan, fetched);
}

// The writes of an operation's release after its reads: the operation
// updated or deleted, and its order's count changed by delta.
int WriteOperation(const OperationRecord& fetched, int32_t delta, int readRc,
                   OperationRecord& fresh, OrderRecord& order, int orderRc) {
  int rc;
  if (delta < 0) {
    rc = App_PKeyDel(fetched.AppApk.c_str(), fetched.AppApp.c_str());
    if (rc != 0) {
      Msg_Error("App_Frei", "Fehler bei App_PKeyDel", rc);
      return rc;
    }
    rc = AddOperations(order, orderRc, delta);
  } else {
    if (readRc != 0) return readRc;
    fresh.AppDwn.Clear();
    fresh.AppDna.Clear();
    rc = App_PKeyUpd(fresh);
    if (rc != 0) {
      Msg_Error("APP_Frei", "Fehler bei App_PKeyUpd", rc);
      return rc;
    }
    if (delta == 0) return 0;
    rc = AddOperations(order, orderRc, delta);
  }
  if (rc < 0) Msg_Error("App_Frei", "Fehler bei Apk_PKeyUpd", rc);
  return rc;
}

int ReleaseOperation(const OperationRecord& fetched) {
  // A new operation counts into its order, a deleted one out of it.  The
  // order is read before the operation is written, so that on a server its
  // read goes ahead with the operation's, in one round trip.
  const int32_t delta = fetched.AppDna == "LOE" ? -1 : fetched.AppDna == "NEU" ? 1 : 0;
  OrderRecord order;
  order.ApkApk.Set(fetched.AppApk);
  if (sql::ReadAhead ahead; delta != 0 && ahead) (void)Apk_PKeyReadk(order);
  OperationRecord fresh;
  fresh.AppApk.Set(fetched.AppApk);
  fresh.AppApp.Set(fetched.AppApp);
  const int readRc = App_PKeyReadk(fresh);
  const int orderRc = delta != 0 ? Apk_PKeyReadk(order) : 0;
  // The writes and the commit go in one round trip on a server (noted on
  // copies: writing changes the records).
  if (sql::WriteAhead ahead; ahead) {
    OperationRecord freshCopy = fresh;
    OrderRecord orderCopy = order;
    (void)WriteOperation(fetched, delta, readRc, freshCopy, orderCopy, orderRc);
    ahead.EndsUnit();
  }
  return WriteOperation(fetched, delta, readRc, fresh, order, orderRc);
}

// Runs release as one unit of work.  A negative status rolls the unit back;
// otherwise it is committed, and a failed commit is logged with message
// under funktion and returned.
template <typename Release>
int AsUnit(sql::Stmt& unit, const char* funktion, const char* message, Release release) {
  int rc = Db_BeginUnit(unit);
  if (rc != 0) {
    Msg_Error(funktion, message, rc);
    return rc;
  }
  {
    // The rows read are written back as read: nobody else changes them
    // meanwhile.
    sql::LockRows lock;
    rc = release();
  }
  if (rc < 0) {
    Db_AbortUnit();
    return rc;
  }
  int committed = Db_EndUnit();
  if (committed != 0) {
    Msg_Error(funktion, message, committed);
    return committed;
  }
  return rc;
}

}  // namespace

int Apk_Frei(const OrderRecord& fetched) {
  static sql::Stmt unit{"savepoint Apk_Frei_Sp"};
  const bool deleted = fetched.ApkDna == "LOE";
  return AsUnit(unit, "ApkDnl", deleted ? "Fehler bei Apk_PKeyDel" : "Fehler bei Apk_PKeyUpd",
                [&] { return ReleaseOrder(fetched); });
}

int App_Frei(const OperationRecord& fetched) {
  static sql::Stmt unit{"savepoint App_Frei_Sp"};
  const bool deleted = fetched.AppDna == "LOE";
  return AsUnit(unit, deleted ? "App_Frei" : "APP_Frei",
                deleted ? "Fehler bei App_PKeyDel" : "Fehler bei App_PKeyUpd",
                [&] { return ReleaseOperation(fetched); });
}
