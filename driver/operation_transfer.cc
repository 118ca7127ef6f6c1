// The operation transfer: every row of Kvn503Afo is checked, becomes an
// insert, update or logical deletion in Kvn504App, or is dropped, and is
// then removed.
//
// Each row is one unit of work, like the orders' (see transfer_action.h).  An
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
#include "sql/errors.h"

namespace {

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

// The operations' side of the transfer.
struct Operations {
  using Pps = PpsOperationRecord;
  using Bde = OperationRecord;
  static constexpr TransferTexts kTexts{
      "Afo_To_App", "savepoint Afo_To_App_Sp", "Fehler beim AFO_OPEN", "Fehler bei Afo_PKeyReadk",
      "Fehler bei Auk_Waiting",
      {"Fehelr bei App_PKeyIns", "Fehelr bei App_PKeyUpd", "Fehelr bei App_PKeyDel",
       "Fehler bei Afo_PKeyDel"},
      {"Fehler bei Afo_PKeyDel", "Fehler bei Afo_PKeyDel", "Fehler bei Afo_PKeyDel",
       "Fehler bei Afo_PKeyDel"}};
  static constexpr auto kPpsStatus = &Pps::AfoSts;
  static constexpr auto kBdeStatus = &Bde::AppSts;

  static int Open() { return Afo_Open(kLowestOrder, kHighestOrder, kAscending); }
  static int Fetch(Pps& afo) { return Afo_Fetch(afo, kAscending); }
  static int Close() { return Afo_Close(kAscending); }
  static void Key(const Pps& afo, TransferKey& key) {
    std::snprintf(key.data(), sizeof key.s, "%s/%s", afo.AfoApk.c_str(), afo.AfoApp.c_str());
  }
  static int ReadAgain(const Pps& fetched, Pps& afo) {
    afo.AfoApk = fetched.AfoApk;
    afo.AfoApp = fetched.AfoApp;
    return Afo_PKeyReadk(afo);
  }
  // An operation whose order is not taken over yet waits with it.
  static int Waiting(const Pps& afo) { return Auk_Waiting(afo.AfoApk.c_str()); }
  static int ReadBde(const Pps& afo, Bde& app) {
    app.AppApk.Set(afo.AfoApk);
    app.AppApp.Set(afo.AfoApp);
    return App_PKeyReadk(app);
  }
  static void Count(StatRecord& stat) {
    ++stat.DwnAfo;
    ++stat.DwnApp;
  }
  static void Check(const Pps& afo) { (void)App_Plausi(afo); }
  static void CheckReads(const Pps& afo) {
    PlausiFinding findings[kPlausiMaxFindings];
    (void)App_PlausiFindings(afo, findings);
  }
  static int Insert(const Pps& afo, Bde& app) { return ::Insert(afo, app); }
  static int Update(const Pps& afo, Bde& app) { return ::Update(afo, app); }
  static int MarkDeleted(Bde& app) { return ::MarkDeleted(app); }
  static int Remove(const Pps& afo) { return Afo_PKeyDel(afo); }
  static void Deleted(StatRecord&) {}
};

}  // namespace

int Afo_To_App(StatRecord& stat) { return Transfer_All<Operations>(stat); }
