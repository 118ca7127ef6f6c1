// The order and operation downloads.
#include "db/DbDb/download.h"

#include <cstdio>

#include "db/DbDb/download_loop.h"
#include "db/DbDb/format.h"
#include "db/DbDb/release.h"
#include "db/DbDnl/dnl_cursors.h"

namespace {

// The key of an operation in a message: "AppApk/AppApp".
void OperationKey(const OperationRecord& op, DnlKey& key) {
  std::snprintf(key.data(), sizeof key.s, "%s/%s", op.AppApk.c_str(), op.AppApp.c_str());
}

}  // namespace

int Apk_Dnl(const char* date, const char* time, const char* selector) {
  // The first order that cannot be written or released ends the pass; it
  // and the orders behind it stay marked for the next run.
  static constexpr DnlPlan<OrderRecord> kPlan{
      "Apk_Dnl", "fehlerhafte Apk_OpenDnl", "Fehler beim Senden von ApkS\xE4tze",
      Apk_OpenDnl, Apk_FetchDnl, Apk_CloseDnl, Apk_DnlFormat,
      Dnl_KeyField<&OrderRecord::ApkApk>, Dnl_AreaField<&OrderRecord::ApkFbe>, Apk_Frei, true};
  return Dnl_Run(kPlan, date, time, selector, nullptr);
}

int App_Dnl(const char* date, const char* time, const char* selector) {
  // An operation that cannot be written or released keeps its marker; the
  // pass goes on with the next one.
  static constexpr DnlPlan<OperationRecord> kPlan{
      "App_Dnl", "fehlerhafte App_OpenDnl", "Fehler beim Senden von AppS\xE4tze",
      App_OpenDnl, App_FetchDnl, App_CloseDnl, App_DnlFormat,
      OperationKey, Dnl_AreaField<&OperationRecord::AppFbe>, App_Frei, false};
  return Dnl_Run(kPlan, date, time, selector, nullptr);
}
