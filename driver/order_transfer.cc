// The order transfer: every row of Kvn500Auk becomes an insert, update or
// logical deletion in Kvn501Apk, or is dropped, and is then removed, each
// row one unit of work (see transfer_action.h).

#include "db/DbDnl/auk.h"
#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"
#include "driver/markers.h"
#include "driver/run.h"
#include "driver/transfer.h"
#include "driver/transfer_action.h"
#include "sql/errors.h"

namespace {

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
int MarkDeleted(OrderRecord& apk) {
  apk.ApkErf = kInterfaceRecorder;
  apk.ApkDwn = kRecorder;
  apk.ApkDna = "LOE";
  int rc = Apk_PKeyUpd(apk);
  if (rc != 0) return rc;
  OperationRecord app;
  app.AppApk.Set(apk.ApkApk);
  app.AppDwn = kRecorder;
  app.AppDna = "LOE";
  (void)Apk_AppDel(app);
  return 0;
}

// The orders' side of the transfer.
struct Orders {
  using Pps = PpsOrderRecord;
  using Bde = OrderRecord;
  // No order waits.
  static constexpr TransferTexts kTexts{
      "Auk_To_Apk", "savepoint Auk_To_Apk_Sp", "fehlerhafte Auk_Open", "Fehler bei Auk_PKeyReadk",
      nullptr,
      {"Fehelr bei Apk_PKeyIns", "Fehelr bei Apk_PKeyUpd", "Fehler bei Apk_PKeyUpd",
       "Fehler bei Apk_PKeyDel"},
      {"Fehelr bei Apk_PKeyDel", "Fehelr bei Apk_PKeyDel", "Fehelr bei Apk_PKeyDel",
       "Fehler bei Apk_PKeyDel"}};
  static constexpr auto kPpsStatus = &Pps::AukSts;
  static constexpr auto kBdeStatus = &Bde::ApkSts;

  static int Open() { return Auk_Open(kLowestOrder, kHighestOrder); }
  static int Fetch(Pps& auk) { return Auk_Fetch(auk); }
  static int Close() { return Auk_Close(); }
  static void Key(const Pps& auk, TransferKey& key) { key.Set(auk.AukApk); }
  static int ReadAgain(const Pps& fetched, Pps& auk) {
    auk.AukApk = fetched.AukApk;
    return Auk_PKeyReadk(auk);
  }
  static int Waiting(const Pps&) { return sql::kNoData; }
  static int ReadBde(const Pps& auk, Bde& apk) {
    apk.ApkApk.Set(auk.AukApk);
    return Apk_PKeyReadk(apk);
  }
  static void Count(StatRecord& stat) {
    ++stat.DwnApk;
    ++stat.DwnAuk;
  }
  static void Check(const Pps&) {}
  static void CheckReads(const Pps&) {}
  static int Insert(const Pps& auk, Bde& apk) { return ::Insert(auk, apk); }
  static int Update(const Pps& auk, Bde& apk) { return ::Update(auk, apk); }
  static int MarkDeleted(Bde& apk) { return ::MarkDeleted(apk); }
  static int Remove(const Pps& auk) { return Auk_PKeyDel(auk.AukApk.c_str()); }
  // The deleted order and its operations go to the terminals at once.
  static void Deleted(StatRecord& stat) { Get_Download(stat); }
};

}  // namespace

int Auk_To_Apk(StatRecord& stat) { return Transfer_All<Orders>(stat); }
