// Row release of the master-data downloads.
#include "db/DbDb/master_release.h"

#include "runtime/msg.h"

int Apg_Frei(const WorkGroupRecord& fetched) {
  WorkGroupRecord row;
  row.ApgApg.Set(fetched.ApgApg);
  int rc = Apg_PKeyReadk(row);
  if (rc != 0) return rc;
  if (row.ApgDna == "LOE") {
    rc = Apg_PKeyDel(row.ApgApg.c_str());
    if (rc != 0) Msg_Error("Apg_Frei", "Fehler bei Apg_PKeyDel", rc);
    return rc;
  }
  row.ApgDwn.Clear();
  row.ApgDna.Clear();
  rc = Apg_PKeyUpd(row);
  if (rc != 0) Msg_Error("ApgDnl", "Fehler bei Apg_PKeyUpd", rc);
  return rc;
}

int Apl_Frei(const WorkplaceRecord& fetched) {
  WorkplaceRecord row;
  row.AplApl.Set(fetched.AplApl);
  int rc = Apl_PKeyReadk(row);
  if (rc != 0) return rc;
  if (row.AplDna == "LOE") {
    rc = Apl_PKeyDel(row.AplApl.c_str());
    if (rc != 0) Msg_Error("Apl_Frei", "Fehler bei Apl_PKeyDel", rc);
    return rc;
  }
  row.AplDwn.Clear();
  row.AplDna.Clear();
  rc = Apl_PKeyUpd(row);
  if (rc != 0) Msg_Error("AplDnl", "Fehler bei Apl_PKeyUpd", rc);
  return rc;
}

int Ubg_Frei(const UbgRecord& fetched) {
  UbgRecord row;
  row.UbgUbg.Set(fetched.UbgUbg);
  int rc = Ubg_PKeyReadk(row);
  if (rc != 0) return rc;
  if (row.UbgDna == "LOE") {
    rc = Ubg_PKeyDel(row.UbgUbg.c_str());
    if (rc != 0) Msg_Error("Ubg_Frei", "Fehler bei Ubg_PKeyDel", rc);
    return rc;
  }
  row.UbgDwn.Clear();
  row.UbgDna.Clear();
  rc = Ubg_PKeyUpd(row);
  if (rc != 0) Msg_Error("UbgDnl", "Fehler bei Ubg_PKeyUpd", rc);
  return rc;
}

int Prv_Frei(const PrvRecord& fetched) {
  PrvRecord row;
  row.PrvPnr.Set(fetched.PrvPnr);
  int rc = Prv_PKeyReadk(row);
  if (rc != 0) {
    Msg_Error("PrvDnl", "Fehler bei Prv_PKeyReadk", rc);
    return rc;
  }
  const bool deleted = row.PrvDna == "LOE";
  if (deleted && row.PrvAwa == 3) {
    rc = Prv_PKeyDel(row.PrvPnr.c_str());
    if (rc != 0) Msg_Error("Prv_Frei", "Fehler bei Prv_PKeyDel", rc);
    return rc;
  }
  if (deleted) {
    // Sent as deleted but kept: the row stays, its badge, validity and
    // booking state are emptied.
    row.PrvAwn.Clear();
    row.PrvGvo.Clear();
    row.PrvGbi.Clear();
    row.PrvAvn.Clear();
    row.PrvAbi.Clear();
    row.PrvAnw = 0;
    row.PrvApl = 0;
    row.PrvApp = 0;
  }
  row.PrvDwn.Clear();
  row.PrvDna.Clear();
  rc = Prv_PKeyUpd(row);
  if (rc != 0) Msg_Error("PrvDnl", "Fehler bei Prv_PKeyUpd", rc);
  return rc;
}
