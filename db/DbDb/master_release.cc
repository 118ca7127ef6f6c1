// Row release of the master-data downloads.
#include "db/DbDb/master_release.h"

#include "db/DbDb/release_row.h"

namespace {

// A Kvn510Prv row sent as deleted goes only with PrvAwa 3; otherwise it
// stays, its badge, validity and booking state emptied.
bool PrvGone(const PrvRecord& /*fetched*/, const PrvRecord& row) {
  return row.PrvDna == "LOE" && row.PrvAwa == 3;
}
void PrvEmptyBadge(PrvRecord& row) {
  if (row.PrvDna != "LOE") return;
  row.PrvAwn.Clear();
  row.PrvGvo.Clear();
  row.PrvGbi.Clear();
  row.PrvAvn.Clear();
  row.PrvAbi.Clear();
  row.PrvAnw = 0;
  row.PrvApl = 0;
  row.PrvApp = 0;
}

}  // namespace

int Apg_Frei(const WorkGroupRecord& fetched) {
  using R = WorkGroupRecord;
  static constexpr FreiPlan<R> kPlan{
      nullptr, nullptr, "Apg_Frei", "Fehler bei Apg_PKeyDel", "ApgDnl", "Fehler bei Apg_PKeyUpd",
      Apg_PKeyReadk, Apg_PKeyDel, Apg_PKeyUpd, Frei_LoeNow<&R::ApgDna>};
  return Frei_Row<&R::ApgApg, &R::ApgDwn, &R::ApgDna>(kPlan, fetched);
}

int Apl_Frei(const WorkplaceRecord& fetched) {
  using R = WorkplaceRecord;
  static constexpr FreiPlan<R> kPlan{
      nullptr, nullptr, "Apl_Frei", "Fehler bei Apl_PKeyDel", "AplDnl", "Fehler bei Apl_PKeyUpd",
      Apl_PKeyReadk, Apl_PKeyDel, Apl_PKeyUpd, Frei_LoeNow<&R::AplDna>};
  return Frei_Row<&R::AplApl, &R::AplDwn, &R::AplDna>(kPlan, fetched);
}

int Ubg_Frei(const UbgRecord& fetched) {
  using R = UbgRecord;
  static constexpr FreiPlan<R> kPlan{
      nullptr, nullptr, "Ubg_Frei", "Fehler bei Ubg_PKeyDel", "UbgDnl", "Fehler bei Ubg_PKeyUpd",
      Ubg_PKeyReadk, Ubg_PKeyDel, Ubg_PKeyUpd, Frei_LoeNow<&R::UbgDna>};
  return Frei_Row<&R::UbgUbg, &R::UbgDwn, &R::UbgDna>(kPlan, fetched);
}

int Prv_Frei(const PrvRecord& fetched) {
  using R = PrvRecord;
  static constexpr FreiPlan<R> kPlan{
      "PrvDnl", "Fehler bei Prv_PKeyReadk", "Prv_Frei", "Fehler bei Prv_PKeyDel",
      "PrvDnl", "Fehler bei Prv_PKeyUpd", Prv_PKeyReadk, Prv_PKeyDel, Prv_PKeyUpd,
      PrvGone, PrvEmptyBadge};
  return Frei_Row<&R::PrvPnr, &R::PrvDwn, &R::PrvDna>(kPlan, fetched);
}
