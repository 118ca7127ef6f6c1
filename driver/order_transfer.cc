// The order transfer: every row of Kvn500Auk becomes an insert, update or
// logical deletion in Kvn501Apk, or is dropped, and is then removed.
#include "db/DbDnl/auk.h"
#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"
#include "driver/markers.h"
#include "driver/run.h"
#include "driver/transfer.h"
#include "driver/transfer_action.h"
#include "runtime/msg.h"
#include "runtime/session.h"

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

// Removes the planning row; a failure is logged with the given message.
void RemovePlanningRow(const PpsOrderRecord& auk, const char* message) {
  int rc = Auk_PKeyDel(auk.AukApk.c_str());
  if (rc != 0) Msg_Error(kStep, message, rc);
}

// A new order: the record holds the key and zeros from the failed read.
void Insert(const PpsOrderRecord& auk, OrderRecord& apk, StatRecord& stat) {
  TakePlanningFields(auk, apk);
  apk.ApkKst.Set(auk.AukKst);
  apk.ApkSts = 10;
  apk.ApkAba = 1;
  apk.ApkKnz = " ";
  apk.ApkDna = "NEU";
  int rc = Apk_PKeyIns(apk);
  if (rc != 0) {
    Msg_Error(kStep, "Fehelr bei Apk_PKeyIns", rc);
    return;
  }
  ++stat.DwnNeu;
  RemovePlanningRow(auk, "Fehelr bei Apk_PKeyDel");
}

// A changed order: the planning fields over the row as read.  An order
// still marked "NEU" has never reached a terminal (its release clears the
// marker), so it stays new: the terminal must not get a change of an order
// it does not know.
void Update(const PpsOrderRecord& auk, OrderRecord& apk, StatRecord& stat) {
  const bool neverSent = apk.ApkDna == "NEU";
  TakePlanningFields(auk, apk);
  apk.ApkKst = kUpdateCostCentre;
  if (!neverSent) apk.ApkDna = "AEN";
  int rc = Apk_PKeyUpd(apk);
  if (rc != 0) {
    Msg_Error(kStep, "Fehelr bei Apk_PKeyUpd", rc);
    return;
  }
  ++stat.DwnAen;
  RemovePlanningRow(auk, "Fehelr bei Apk_PKeyDel");
}

// A deleted order: marks it and its operations "LOE" and sends them at once.
void Delete(const PpsOrderRecord& auk, OrderRecord& apk, OperationRecord& app,
            StatRecord& stat) {
  apk.ApkErf = kInterfaceRecorder;
  apk.ApkDwn = kRecorder;
  apk.ApkDna = "LOE";
  int rc = Apk_PKeyUpd(apk);
  if (rc != 0) {
    Msg_Error(kStep, "Fehler bei Apk_PKeyUpd", rc);
    return;
  }
  app.AppApk.Set(apk.ApkApk);
  app.AppDwn = kRecorder;
  app.AppDna = "LOE";
  (void)Apk_AppDel(app);  // an order without operations gives 1403
  Get_Download(stat);
  ++stat.DwnLoe;
  RemovePlanningRow(auk, "Fehelr bei Apk_PKeyDel");
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
  while (Auk_Fetch(auk) == 0) {
    ++stat.DwnApk;
    ++stat.DwnAuk;
    apk.ApkApk.Set(auk.AukApk);
    int read = Apk_PKeyReadk(apk);  // a failed read counts as a missing order
    // The write of a new or changed order and the removal of its planning
    // row are one unit of work, so a run that stops between them leaves
    // neither done and the next run repeats the same action.
    static sql::Stmt unit{"savepoint Auk_To_Apk_Sp"};
    switch (Transfer_Decide(read, auk.AukSts, apk.ApkSts)) {
      case TransferAction::kIns:
        Db_BeginUnit(unit);
        Insert(auk, apk, stat);
        Db_EndUnit();
        break;
      case TransferAction::kUpd:
        Db_BeginUnit(unit);
        Update(auk, apk, stat);
        Db_EndUnit();
        break;
      case TransferAction::kDel: Delete(auk, apk, app, stat); break;
      case TransferAction::kDrop: RemovePlanningRow(auk, "Fehler bei Apk_PKeyDel"); break;
    }
  }
  return Auk_Close();
}
