// The order transfer: every row of Kvn500Auk becomes an insert, update or
// logical deletion in Kvn501Apk, or is dropped, and is then removed.
//
// Each row is one unit of work under the database's write lock: the
// planning row is read again by its key, the decision is taken on it as it
// is now, and the write and the removal of the planning row commit together.
// A row the planning system changed after the cursor's open is thus taken
// over in its new version, and one it deleted meanwhile is passed over.
#include <cstdio>

#include "db/DbDnl/auk.h"
#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"
#include "driver/markers.h"
#include "driver/run.h"
#include "driver/transfer.h"
#include "driver/transfer_action.h"
#include "runtime/msg.h"
#include "runtime/session.h"
#include "sql/errors.h"

namespace {

constexpr const char kStep[] = "Auk_To_Apk";
// Exclusive bounds: orders with these two numbers are never read.
constexpr const char kLowestOrder[] = "000000000000";
constexpr const char kHighestOrder[] = "999999999999";
// Cost centre written on every update in place of the planning value.
constexpr const char kUpdateCostCentre[] = "2003";

// The fields an insert and an update both take from the planning row.
void TakePlanningFields(const PpsOrderRecord& auk, OrderRecord& apk) {
  apk.ApkApk.Set(auk.AukApk);
  apk.ApkBz1.Set(auk.AukBz1);
  apk.ApkBz2.Set(auk.AukBz2);
  apk.ApkTxt.Set(auk.AukTxt);
  apk.ApkKun.Set(auk.AukKun);
  apk.ApkKb1.Set(auk.AukKb1);
  apk.ApkKb2.Set(auk.AukKb2);
  apk.ApkBgs.Set(auk.AukBgs);
  apk.ApkEns.Set(auk.AukEns);
  apk.ApkTnr.Set(auk.AukTnr);
  apk.ApkTb1.Set(auk.AukTb1);
  apk.ApkTb2.Set(auk.AukTb2);
  apk.ApkSme = auk.AukSme;
  apk.ApkMee.Set(auk.AukMee);
  apk.ApkFbe.Set(auk.AukFbe);
  apk.ApkZf1.Set(auk.AukZf1);
  apk.ApkZf2.Set(auk.AukZf2);
  apk.ApkZf3.Set(auk.AukZf3);
  apk.ApkDwn = kRecorder;
  apk.ApkErf = kInterfaceRecorder;
}

// A new order: the record holds the key and zeros from the failed read.
int Insert(const PpsOrderRecord& auk, OrderRecord& apk) {
  TakePlanningFields(auk, apk);
  apk.ApkKst.Set(auk.AukKst);
  apk.ApkSts = 10;
  apk.ApkAba = 1;
  apk.ApkKnz = " ";
  apk.ApkDna = "NEU";
  return Apk_PKeyIns(apk);
}

// A changed order: the planning fields over the row as read.  An order
// still marked "NEU" has never reached a terminal (its release clears the
// marker), so it stays new: the terminal must not get a change of an order
// it does not know.
int Update(const PpsOrderRecord& auk, OrderRecord& apk) {
  const bool neverSent = apk.ApkDna == "NEU";
  TakePlanningFields(auk, apk);
  apk.ApkKst = kUpdateCostCentre;
  if (!neverSent) apk.ApkDna = "AEN";
  return Apk_PKeyUpd(apk);
}

// A deleted order: it and its operations are marked "LOE" (an order
// without operations gives 1403 there, which is no failure).
int MarkDeleted(OrderRecord& apk, OperationRecord& app) {
  apk.ApkErf = kInterfaceRecorder;
  apk.ApkDwn = kRecorder;
  apk.ApkDna = "LOE";
  int rc = Apk_PKeyUpd(apk);
  if (rc != 0) return rc;
  app.AppApk.Set(apk.ApkApk);
  app.AppDwn = kRecorder;
  app.AppDna = "LOE";
  (void)Apk_AppDel(app);
  return 0;
}

// Takes one planning order over as one unit of work.
void TransferOrder(const Text<13>& key, StatRecord& stat, OrderRecord& apk,
                   OperationRecord& app) {
  static sql::Stmt unit{"savepoint Auk_To_Apk_Sp"};
  int rc = Db_BeginUnit(unit);
  if (rc != 0) {
    Msg_Error(kStep, "Fehler bei Auk_PKeyReadk", rc);
    return;
  }
  PpsOrderRecord auk;
  auk.AukApk = key;
  rc = Auk_PKeyReadk(auk);
  if (rc != 0) {
    Db_EndUnit();
    // Gone: the planning system took it back, nothing to do.
    if (sql::NoFit(rc))
      Msg_NoFit(kStep, key.c_str(), rc);
    else if (rc != sql::kNoData)
      Msg_Error(kStep, "Fehler bei Auk_PKeyReadk", rc);
    return;
  }
  apk.ApkApk.Set(key);
  int read = Apk_PKeyReadk(apk);  // a failed read counts as a missing order
  if (sql::NoFit(read)) {
    // The BDE order holds a value the record cannot: taken for missing, it
    // would be inserted again; it is named and left as it is.
    Db_AbortUnit();
    Msg_NoFit(kStep, key.c_str(), read);
    return;
  }
  ++stat.DwnApk;
  ++stat.DwnAuk;
  const TransferAction action = Transfer_Decide(read, auk.AukSts, apk.ApkSts);
  const char* failure = "Fehler bei Apk_PKeyDel";
  switch (action) {
    case TransferAction::kIns:
      rc = Insert(auk, apk);
      failure = "Fehelr bei Apk_PKeyIns";
      break;
    case TransferAction::kUpd:
      rc = Update(auk, apk);
      failure = "Fehelr bei Apk_PKeyUpd";
      break;
    case TransferAction::kDel:
      rc = MarkDeleted(apk, app);
      failure = "Fehler bei Apk_PKeyUpd";
      break;
    case TransferAction::kDrop:
      break;
  }
  if (rc == 0) {
    // The removal belongs to the unit: a row whose removal fails is left
    // untouched as a whole, so the next run repeats the same action.
    rc = Auk_PKeyDel(key.c_str());
    if (rc != 0 && action != TransferAction::kDrop) failure = "Fehelr bei Apk_PKeyDel";
  }
  if (!Transfer_EndUnit(kStep, rc, failure)) return;
  switch (action) {
    case TransferAction::kIns: ++stat.DwnNeu; break;
    case TransferAction::kUpd: ++stat.DwnAen; break;
    case TransferAction::kDel:
      // The deleted order and its operations go to the terminals at once.
      Get_Download(stat);
      ++stat.DwnLoe;
      break;
    case TransferAction::kDrop: break;
  }
}

}  // namespace

int Auk_To_Apk(StatRecord& stat) {
  PpsOrderRecord auk;
  OrderRecord apk;
  OperationRecord app;
  int rc = Auk_Open(kLowestOrder, kHighestOrder);
  if (rc != 0) {
    Msg_Error(kStep, "fehlerhafte Auk_Open", rc);
    return rc;
  }
  for (;;) {
    rc = Auk_Fetch(auk);
    if (sql::NoFit(rc)) {
      Msg_NoFit(kStep, auk.AukApk.c_str(), rc);
      continue;
    }
    if (rc != 0) break;
    TransferOrder(auk.AukApk, stat, apk, app);
  }
  return Auk_Close();
}
