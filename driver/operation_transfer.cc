// The operation transfer: every row of Kvn503Afo is checked, becomes an
// insert, update or logical deletion in Kvn504App, or is dropped, and is
// then removed.
//
// Each row is one unit of work under the database's write lock, like the
// orders': the planning row is read again and acted on as it is now.  An
// operation whose order still waits in Kvn500Auk (not taken over yet) waits
// with it for the next run, so no terminal gets an operation before its
// order and the order's operation count takes it in.
#include <cstdio>

#include "db/DbDnl/afo.h"
#include "db/DbDnl/auk.h"
#include "db/Dbstd/app.h"
#include "driver/markers.h"
#include "driver/plausi.h"
#include "driver/transfer.h"
#include "driver/transfer_action.h"
#include "runtime/msg.h"
#include "runtime/session.h"
#include "sql/errors.h"

namespace {

constexpr const char kStep[] = "Afo_To_App";
constexpr const char kLowestOrder[] = "000000000000";
constexpr const char kHighestOrder[] = "999999999999";
constexpr int kAscending = 1;

// The fields an insert and an update both take from the planning row.
void TakePlanningFields(const PpsOperationRecord& afo, OperationRecord& app) {
  app.AppApk.Set(afo.AfoApk);
  app.AppApp.Set(afo.AfoApp);
  app.AppVaf.Set(afo.AfoVaf);
  app.AppNaf.Set(afo.AfoNaf);
  app.AppBz1.Set(afo.AfoBz1);
  app.AppBz2.Set(afo.AfoBz2);
  app.AppTxt.Set(afo.AfoTxt);
  app.AppBdsDate.Set(afo.AfoBgs);
  app.AppBdsTime.Set(afo.AfoBgz);
  app.AppEdsDate.Set(afo.AfoEns);
  app.AppEdsTime.Set(afo.AfoEnz);
  app.AppSme = afo.AfoSme;
  app.AppMee.Set(afo.AfoMee);
  app.AppSza = afo.AfoSta;
  app.AppStr = afo.AfoStr;
  app.AppSte = afo.AfoSte;
  app.AppApg.Set(afo.AfoApg);
  app.AppApl.Set(afo.AfoApl);
  app.AppFbe.Set(afo.AfoFbe);
  app.AppKst.Set(afo.AfoKst);
  app.AppZf1.Set(afo.AfoZf1);
  app.AppZf2.Set(afo.AfoZf2);
  app.AppZf3.Set(afo.AfoZf3);
  app.AppDwn = kRecorder;
  app.AppErf = kInterfaceRecorder;
}

// A new operation: the record holds the key and zeros from the failed read.
int Insert(const PpsOperationRecord& afo, OperationRecord& app) {
  TakePlanningFields(afo, app);
  app.AppSts = 10;
  app.AppSbdDate.Set(afo.AfoBgs);
  app.AppSbdTime.Set(afo.AfoBgz);
  app.AppSedDate.Set(afo.AfoEns);
  app.AppSedTime.Set(afo.AfoEnz);
  const char kBlanks15[] = "               ";
  const char kBlanks3[] = "   ";
  app.AppKt1 = kBlanks15;
  app.AppKt2 = kBlanks15;
  app.AppKt3 = kBlanks15;
  app.AppKt4 = kBlanks15;
  app.AppKz1 = kBlanks3;
  app.AppKz2 = kBlanks3;
  app.AppKz3 = kBlanks3;
  app.AppKz4 = kBlanks3;
  app.AppKnz = " ";
  app.AppDna = "NEU";
  return App_PKeyIns(app);
}

// A changed operation: the planning fields over the row as read.  An
// operation still marked "NEU" has never reached a terminal: it stays new, so
// the terminal gets it as new and its release counts it into the order.
int Update(const PpsOperationRecord& afo, OperationRecord& app) {
  const bool neverSent = app.AppDna == "NEU";
  TakePlanningFields(afo, app);
  if (!neverSent) app.AppDna = "AEN";
  return App_PKeyUpd(app);
}

// A deleted operation: marked "LOE"; the run's download sends and deletes it.
int MarkDeleted(OperationRecord& app) {
  app.AppErf = kInterfaceRecorder;
  app.AppDwn = kRecorder;
  app.AppDna = "LOE";
  return App_PKeyUpd(app);
}

// Takes one planning operation over as one unit of work.
void TransferOperation(const PpsOperationRecord& fetched, StatRecord& stat,
                       OperationRecord& app) {
  static sql::Stmt unit{"savepoint Afo_To_App_Sp"};
  int rc = Db_BeginUnit(unit);
  if (rc != 0) {
    Msg_Error(kStep, "Fehler bei Afo_PKeyReadk", rc);
    return;
  }
  PpsOperationRecord afo;
  afo.AfoApk = fetched.AfoApk;
  afo.AfoApp = fetched.AfoApp;
  rc = Afo_PKeyReadk(afo);
  if (rc == 0) {
    int waiting = Auk_Waiting(afo.AfoApk.c_str());
    if (waiting != sql::kNoData) {
      Db_EndUnit();
      if (waiting != 0) Msg_Error(kStep, "Fehler bei Auk_Waiting", waiting);
      return;
    }
  }
  if (rc != 0) {
    Db_EndUnit();
    // Gone: the planning system took it back, nothing to do.
    if (sql::NoFit(rc)) {
      char key[24];
      std::snprintf(key, sizeof key, "%s/%s", afo.AfoApk.c_str(), afo.AfoApp.c_str());
      Msg_NoFit(kStep, key, rc);
    } else if (rc != sql::kNoData) {
      Msg_Error(kStep, "Fehler bei Afo_PKeyReadk", rc);
    }
    return;
  }
  app.AppApk.Set(afo.AfoApk);
  app.AppApp.Set(afo.AfoApp);
  int read = App_PKeyReadk(app);  // a failed read counts as a missing row
  if (sql::NoFit(read)) {
    // The BDE operation holds a value the record cannot: taken for missing,
    // it would be inserted again; it is named and left as it is.
    Db_AbortUnit();
    char key[24];
    std::snprintf(key, sizeof key, "%s/%s", afo.AfoApk.c_str(), afo.AfoApp.c_str());
    Msg_NoFit(kStep, key, read);
    return;
  }
  ++stat.DwnAfo;
  ++stat.DwnApp;
  (void)App_Plausi(afo);
  const TransferAction action = Transfer_Decide(read, afo.AfoSts, app.AppSts);
  int32_t* counter = nullptr;
  const char* failure = "Fehler bei Afo_PKeyDel";
  switch (action) {
    case TransferAction::kIns:
      rc = Insert(afo, app);
      counter = &stat.DwnNeu;
      failure = "Fehelr bei App_PKeyIns";
      break;
    case TransferAction::kUpd:
      rc = Update(afo, app);
      counter = &stat.DwnAen;
      failure = "Fehelr bei App_PKeyUpd";
      break;
    case TransferAction::kDel:
      rc = MarkDeleted(app);
      counter = &stat.DwnLoe;
      failure = "Fehelr bei App_PKeyDel";
      break;
    case TransferAction::kDrop:
      break;
  }
  if (rc == 0) {
    // The removal belongs to the unit: when it fails, nothing of the row is
    // done and the next run repeats it.
    rc = Afo_PKeyDel(afo);
    if (rc != 0) failure = "Fehler bei Afo_PKeyDel";
  }
  if (!Transfer_EndUnit(kStep, rc, failure)) return;
  if (counter != nullptr) ++*counter;
}

}  // namespace

int Afo_To_App(StatRecord& stat) {
  PpsOperationRecord afo;
  OperationRecord app;
  int rc = Afo_Open(kLowestOrder, kHighestOrder, kAscending);
  if (rc != 0) {
    Msg_Error(kStep, "Fehler beim AFO_OPEN", rc);
    return rc;
  }
  for (;;) {
    rc = Afo_Fetch(afo, kAscending);
    if (sql::NoFit(rc)) {
      char key[24];
      std::snprintf(key, sizeof key, "%s/%s", afo.AfoApk.c_str(), afo.AfoApp.c_str());
      Msg_NoFit(kStep, key, rc);
      continue;
    }
    if (rc != 0) break;
    TransferOperation(afo, stat, app);
  }
  return Afo_Close(kAscending);
}
