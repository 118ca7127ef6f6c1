// The master-data downloads: each runs like the operation download, going
// on with the next row whatever became of one.
#include "db/DbDb/master_download.h"

#include <cstdio>

#include "db/DbDb/master_format.h"
#include "db/DbDb/master_release.h"
#include "db/DbDnl/master_cursors.h"
#include "db/Dbstd/ksg.h"

namespace {

// A workplace's line carries the cost centre of its work group valid today,
// blank when there is none (or the read fails).
int FormatWorkplace(QueueRecord& rec, const WorkplaceRecord& apl) {
  KsgRecord ksg;
  ksg.KsgApg.Set(apl.AplApg);
  if (Ksg_ReadValid(ksg) != 0) ksg.KsgKst.Clear();
  return Apl_DnlFormat(rec, apl, ksg.KsgKst.c_str());
}

// A cost centre is named "KstNum/FbeFbe"; it has no selector.
void CostCentreKey(const KsgDnlRecord& ksg, DnlKey& key) {
  std::snprintf(key.data(), sizeof key.s, "%s/%s", ksg.KstNum.c_str(), ksg.FbeFbe.c_str());
}
int OpenCostCentres(const char* /*selector*/) { return Ksg_OpenDnl(); }

}  // namespace

int Apg_Dnl(const char* date, const char* time, const char* selector, DnlCount* count) {
  static constexpr DnlPlan<WorkGroupRecord> kPlan{
      "Apg_Dnl", "fehlerhafter Apg_OpenDnl", "Fehler beim Senden von ApgS\xE4tze",
      Apg_OpenDnl, Apg_FetchDnl, Apg_CloseDnl, Apg_DnlFormat,
      Dnl_KeyField<&WorkGroupRecord::ApgApg>, Dnl_AreaField<&WorkGroupRecord::ApgFbe>,
      Apg_Frei, false};
  return Dnl_Run(kPlan, date, time, selector, count);
}

int Apl_Dnl(const char* date, const char* time, const char* selector, DnlCount* count) {
  static constexpr DnlPlan<WorkplaceRecord> kPlan{
      "Apl_Dnl", "fehlerhafte Apl_OpenDnl", "Fehler beim Senden von AplS\xE4tze",
      Apl_OpenDnl, Apl_FetchDnl, Apl_CloseDnl, FormatWorkplace,
      Dnl_KeyField<&WorkplaceRecord::AplApl>, Dnl_AreaField<&WorkplaceRecord::AplFbe>,
      Apl_Frei, false};
  return Dnl_Run(kPlan, date, time, selector, count);
}

int Ubg_Dnl(const char* date, const char* time, const char* selector, DnlCount* count) {
  static constexpr DnlPlan<UbgRecord> kPlan{
      "Ubg_Dnl", "fehlerhafte Ubg_OpenDnl", "Fehler beim Senden von UbgS\xE4tze",
      Ubg_OpenDnl, Ubg_FetchDnl, Ubg_CloseDnl, Ubg_DnlFormat,
      Dnl_KeyField<&UbgRecord::UbgUbg>, Dnl_AreaField<&UbgRecord::UbgFbe>, Ubg_Frei, false};
  return Dnl_Run(kPlan, date, time, selector, count);
}

int Prv_Dnl(const char* date, const char* time, const char* selector, DnlCount* count) {
  // The "PNR" line is logged and releases the row; the "AWN" line follows.
  static constexpr DnlPlan<PrvRecord> kPlan{
      "Prv_Dnl", "fehlerhafte Pvr_OpenDnl", "Fehler beim Senden von PrvS\xE4tze",
      Prv_OpenDnl, Prv_FetchDnl, Prv_CloseDnl, Prv_DnlFormat,
      Dnl_KeyField<&PrvRecord::PrvPnr>, Dnl_AreaField<&PrvRecord::PrvFbe>, Prv_Frei, false,
      Prv_DnlFormatAwn};
  return Dnl_Run(kPlan, date, time, selector, count);
}

int Ksg_Dnl(const char* date, const char* time, const char* selector, DnlCount* count) {
  // Nothing is released, and a line that cannot be written is only counted.
  static constexpr DnlPlan<KsgDnlRecord> kPlan{
      "Ksg_Dnl", "fehlerhafte Ksg_OpenDnl", nullptr,
      OpenCostCentres, Ksg_FetchDnl, Ksg_CloseDnl, Ksg_DnlFormat,
      CostCentreKey, Dnl_AreaField<&KsgDnlRecord::FbeFbe>, nullptr, false};
  return Dnl_Run(kPlan, date, time, selector, count);
}
