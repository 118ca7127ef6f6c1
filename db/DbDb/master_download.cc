// The master-data downloads.
#include "db/DbDb/master_download.h"

#include "db/DbDb/buffer.h"
#include "db/DbDb/master_format.h"
#include "db/DbDb/master_release.h"
#include "db/DbDnl/master_cursors.h"
#include "db/Dbstd/ksg.h"
#include "runtime/msg.h"

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

// Counts one row as sent or failed.
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
  while (Apg_FetchDnl(apg) == 0) {
    StartRecord(rec, date, time);
    Apg_DnlFormat(rec, apg);
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
  while (Apl_FetchDnl(apl) == 0) {
    ValidCostCentre(apl, ksg);
    StartRecord(rec, date, time);
    Apl_DnlFormat(rec, apl, ksg.KsgKst.c_str());
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
  while (Ubg_FetchDnl(ubg) == 0) {
    StartRecord(rec, date, time);
    Ubg_DnlFormat(rec, ubg);
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
  while (Prv_FetchDnl(prv) == 0) {
    StartRecord(rec, date, time);
    Prv_DnlFormat(rec, prv);
    rc = Put_DnlBuffer(rec, prv.PrvFbe.c_str());
    if (rc != 0) {
      Msg_Error("Prv_Dnl", "Fehler beim Senden von PrvS\xE4tze", rc);
    } else {
      Prv_Frei(prv);
    }
    // The badge line follows whatever became of the first one; it is built
    // from the row as fetched, so it carries the function and badge that
    // were sent even when the release has cleared or deleted them.
    const bool pnrWritten = rc == 0;
    StartRecord(rec, date, time);
    Prv_DnlFormatAwn(rec, prv);
    Tally(count, Put_DnlBuffer(rec, prv.PrvFbe.c_str()) == 0 && pnrWritten);
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
  while (Ksg_FetchDnl(ksg) == 0) {
    StartRecord(rec, date, time);
    Ksg_DnlFormat(rec, ksg);
    Tally(count, Put_DnlBuffer(rec, ksg.FbeFbe.c_str()) == 0);
  }
  return Ksg_CloseDnl();
}
