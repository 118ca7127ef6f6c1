// The operation transfer: every row of Kvn503Afo is checked, becomes an
// insert, update or logical deletion in Kvn504App, or is dropped, and is
// then removed.
#include "db/DbDnl/afo.h"
#include "db/Dbstd/app.h"
#include "driver/markers.h"
#include "driver/plausi.h"
#include "driver/transfer.h"
#include "driver/transfer_action.h"
#include "runtime/msg.h"
#include "runtime/session.h"

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

}  // namespace

int Afo_To_App(StatRecord& stat) {
  PpsOperationRecord afo;
  OperationRecord app;
  int rc = Afo_Open(kLowestOrder, kHighestOrder, kAscending);
  if (rc != 0) {
    Msg_Error(kStep, "Fehler beim AFO_OPEN", rc);
    return rc;
  }
  while (Afo_Fetch(afo, kAscending) == 0) {
    ++stat.DwnAfo;
    ++stat.DwnApp;
    (void)App_Plausi(afo);
    app.AppApk.Set(afo.AfoApk);
    app.AppApp.Set(afo.AfoApp);
    int read = App_PKeyReadk(app);  // a failed read counts as a missing row
    TransferAction action = Transfer_Decide(read, afo.AfoSts, app.AppSts);
    if (action == TransferAction::kDrop) {
      rc = Afo_PKeyDel(afo);
      if (rc != 0) Msg_Error(kStep, "Fehler bei Afo_PKeyDel", rc);
      continue;
    }
    // The write and the removal of the planning row are one unit of work, so
    // a run that stops between them leaves neither done.
    static sql::Stmt unit{"savepoint Afo_To_App_Sp"};
    Db_BeginUnit(unit);
    int32_t* counter = nullptr;
    const char* failure = nullptr;
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
      default:
        rc = MarkDeleted(app);
        counter = &stat.DwnLoe;
        failure = "Fehelr bei App_PKeyDel";
        break;
    }
    if (rc != 0) {
      Db_EndUnit();
      Msg_Error(kStep, failure, rc);
      continue;
    }
    ++*counter;
    // A failed removal is not reported: the next run reads the row again
    // and finds the BDE row this run wrote.
    (void)Afo_PKeyDel(afo);
    Db_EndUnit();
  }
  return Afo_Close(kAscending);
}
