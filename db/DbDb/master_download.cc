// The master-data downloads.
#include "db/DbDb/master_download.h"

#include <cstdio>

#include "db/DbDb/buffer.h"
#include "db/DbDb/master_format.h"
#include "db/DbDb/master_release.h"
#include "db/DbDnl/master_cursors.h"
#include "db/Dbstd/ksg.h"
#include "runtime/msg.h"
#include "sql/errors.h"

namespace {

// A fresh queue record for one line: every byte zero, stamped with the run
// date and time.
void StartRecord(QueueRecord& rec, const char* date, const char* time) {
  rec = QueueRecord{};
  rec.DnlDtaDate = date;
  rec.DnlDtaTime = time;
}

// The cost centre of the work group valid today, blank when there is none
// (or the read fails).
void ValidCostCentre(const WorkplaceRecord& apl, KsgRecord& ksg) {
  ksg = KsgRecord{};
  ksg.KsgApg.Set(apl.AplApg);
  if (Ksg_ReadValid(ksg) != 0) ksg.KsgKst.Clear();
}

using sql::NoFit;  // a row read with a value that does not fit: not sent

// Counts one row as sent or not sent.
void Tally(DnlCount* count, bool written) {
  if (count == nullptr) return;
  if (written) {
    ++count->sent;
  } else {
    ++count->failed;
  }
}

}  // namespace

int Apg_Dnl(const char* date, const char* time, const char* selector,
            DnlCount* count) {
  int rc = Apg_OpenDnl(selector);
  if (rc != 0) {
    Msg_Error("Apg_Dnl", "fehlerhafter Apg_OpenDnl", rc);
    return rc;
  }
  WorkGroupRecord apg;
  QueueRecord rec;
  while ((rc = Apg_FetchDnl(apg)) == 0 || NoFit(rc)) {
    StartRecord(rec, date, time);
    if (rc == 0) rc = Apg_DnlFormat(rec, apg);
    if (rc != 0) {
      Msg_NoFit("Apg_Dnl", apg.ApgApg.c_str(), rc);
      Tally(count, false);
      continue;
    }
    rc = Put_DnlBuffer(rec, apg.ApgFbe.c_str());
    Tally(count, rc == 0);
    if (rc != 0) {
      Msg_Error("Apg_Dnl", "Fehler beim Senden von ApgS\xE4tze", rc);
      continue;
    }
    Apg_Frei(apg);
  }
  return Apg_CloseDnl();
}

int Apl_Dnl(const char* date, const char* time, const char* selector,
            DnlCount* count) {
  int rc = Apl_OpenDnl(selector);
  if (rc != 0) {
    Msg_Error("Apl_Dnl", "fehlerhafte Apl_OpenDnl", rc);
    return rc;
  }
  WorkplaceRecord apl;
  KsgRecord ksg;
  QueueRecord rec;
  while ((rc = Apl_FetchDnl(apl)) == 0 || NoFit(rc)) {
    StartRecord(rec, date, time);
    if (rc == 0) {
      ValidCostCentre(apl, ksg);
      rc = Apl_DnlFormat(rec, apl, ksg.KsgKst.c_str());
    }
    if (rc != 0) {
      Msg_NoFit("Apl_Dnl", apl.AplApl.c_str(), rc);
      Tally(count, false);
      continue;
    }
    rc = Put_DnlBuffer(rec, apl.AplFbe.c_str());
    Tally(count, rc == 0);
    if (rc != 0) {
      Msg_Error("Apl_Dnl", "Fehler beim Senden von AplS\xE4tze", rc);
      continue;
    }
    Apl_Frei(apl);
  }
  return Apl_CloseDnl();
}

int Ubg_Dnl(const char* date, const char* time, const char* selector,
            DnlCount* count) {
  int rc = Ubg_OpenDnl(selector);
  if (rc != 0) {
    Msg_Error("Ubg_Dnl", "fehlerhafte Ubg_OpenDnl", rc);
    return rc;
  }
  UbgRecord ubg;
  QueueRecord rec;
  while ((rc = Ubg_FetchDnl(ubg)) == 0 || NoFit(rc)) {
    StartRecord(rec, date, time);
    if (rc == 0) rc = Ubg_DnlFormat(rec, ubg);
    if (rc != 0) {
      Msg_NoFit("Ubg_Dnl", ubg.UbgUbg.c_str(), rc);
      Tally(count, false);
      continue;
    }
    rc = Put_DnlBuffer(rec, ubg.UbgFbe.c_str());
    Tally(count, rc == 0);
    if (rc != 0) {
      Msg_Error("Ubg_Dnl", "Fehler beim Senden von UbgS\xE4tze", rc);
      continue;
    }
    Ubg_Frei(ubg);
  }
  return Ubg_CloseDnl();
}

int Prv_Dnl(const char* date, const char* time, const char* selector,
            DnlCount* count) {
  int rc = Prv_OpenDnl(selector);
  if (rc != 0) {
    Msg_Error("Prv_Dnl", "fehlerhafte Pvr_OpenDnl", rc);
    return rc;
  }
  PrvRecord prv;
  QueueRecord rec;
  QueueRecord awn;
  while ((rc = Prv_FetchDnl(prv)) == 0 || NoFit(rc)) {
    // Both lines are built first: a row either of them cannot carry is not
    // sent at all.
    StartRecord(rec, date, time);
    StartRecord(awn, date, time);
    if (rc == 0) rc = Prv_DnlFormat(rec, prv);
    if (rc == 0) rc = Prv_DnlFormatAwn(awn, prv);
    if (rc != 0) {
      Msg_NoFit("Prv_Dnl", prv.PrvPnr.c_str(), rc);
      Tally(count, false);
      continue;
    }
    rc = Put_DnlBuffer(rec, prv.PrvFbe.c_str());
    if (rc != 0) {
      Msg_Error("Prv_Dnl", "Fehler beim Senden von PrvS\xE4tze", rc);
    } else {
      Prv_Frei(prv);
    }
    // The badge line follows whatever became of the first one; it was
    // built from the row as fetched, so it carries the function and badge
    // that were sent even when the release has cleared or deleted them.
    const bool pnrWritten = rc == 0;
    Tally(count, Put_DnlBuffer(awn, prv.PrvFbe.c_str()) == 0 && pnrWritten);
  }
  return Prv_CloseDnl();
}

int Ksg_Dnl(const char* date, const char* time, const char* /*selector*/,
            DnlCount* count) {
  int rc = Ksg_OpenDnl();
  if (rc != 0) {
    Msg_Error("Ksg_Dnl", "fehlerhafte Ksg_OpenDnl", rc);
    return rc;
  }
  KsgDnlRecord ksg;
  QueueRecord rec;
  while ((rc = Ksg_FetchDnl(ksg)) == 0 || NoFit(rc)) {
    StartRecord(rec, date, time);
    if (rc == 0) rc = Ksg_DnlFormat(rec, ksg);
    if (rc != 0) {
      char key[sizeof ksg.KstNum.s + sizeof ksg.FbeFbe.s];
      std::snprintf(key, sizeof key, "%s/%s", ksg.KstNum.c_str(), ksg.FbeFbe.c_str());
      Msg_NoFit("Ksg_Dnl", key, rc);
      Tally(count, false);
      continue;
    }
    Tally(count, Put_DnlBuffer(rec, ksg.FbeFbe.c_str()) == 0);
  }
  return Ksg_CloseDnl();
}
