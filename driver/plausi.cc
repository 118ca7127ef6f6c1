#include "driver/plausi.h"

#include <cstring>

#include "db/Dbstd/apg.h"
#include "db/Dbstd/apk.h"
#include "db/Dbstd/apl.h"
#include "runtime/msg.h"

int App_PlausiFindings(const PpsOperationRecord& afo, PlausiFinding out[kPlausiMaxFindings]) {
  int n = 0;
  WorkplaceRecord apl;
  apl.AplApl.Set(afo.AfoApl);
  int rc = Apl_PKeyReadk(apl);
  if (rc != 0) out[n++] = {"kein Apl_Satz gefunden", rc};

  // After a failed read AplApg is empty, so this finding follows as well
  // unless the operation names no work group either.
  if (std::strcmp(apl.AplApg.c_str(), afo.AfoApg.c_str()) != 0)
    out[n++] = {"Arbeitsgruppe nicht relevant", -1};

  OrderRecord apk;
  apk.ApkApk.Set(afo.AfoApk);
  rc = Apk_PKeyReadk(apk);
  if (rc != 0) out[n++] = {"kein Apk_Satz gefunden", rc};

  WorkGroupRecord apg;
  apg.ApgApg.Set(afo.AfoApg);
  rc = Apg_PKeyReadk(apg);
  if (rc != 0) out[n++] = {"kein Apg_Satz gefunden", rc};
  return n;
}

int App_Plausi(const PpsOperationRecord& afo) {
  PlausiFinding findings[kPlausiMaxFindings];
  const int n = App_PlausiFindings(afo, findings);
  for (int i = 0; i < n; ++i) Msg_Error("App_Plausi", findings[i].message, findings[i].code);
  return 0;
}
