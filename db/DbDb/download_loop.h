// The loop every download runs: open the cursor, and for each row build its
// line(s), write them to the buffer file of the row's area key and release
// the row; close the cursor.  Each download is described by a DnlPlan; the
// named downloads (Apk_Dnl, App_Dnl, Apg_Dnl, ...) only run their plan.
#ifndef PPS2BDE_DB_DBDB_DOWNLOAD_LOOP_H_
#define PPS2BDE_DB_DBDB_DOWNLOAD_LOOP_H_

#include <cstdint>
#include <utility>

#include "base/text.h"
#include "db/DbDb/buffer.h"
#include "db/DbDnl/dnl.h"
#include "runtime/msg.h"
#include "sql/errors.h"

// What one download did with its rows.
struct DnlCount {
  int32_t sent = 0;
  int32_t failed = 0;
};

// The key a row is named by in a log entry ("AppApk/AppApp" and the like).
using DnlKey = Text<24>;

// One download.  Row is the record its cursor fetches.
template <typename Row>
struct DnlPlan {
  const char* funktion;     // function name of every entry the loop logs
  const char* openFailure;  // message of a failed cursor open
  // Message of a line that cannot be written; null: the write status is
  // not logged (the row is counted all the same).
  const char* sendFailure;
  int (*open)(const char* selector);
  int (*fetch)(Row& row);
  int (*close)();
  // Fills the line of row; 0, or the code of a value that does not fit.
  int (*format)(QueueRecord& line, const Row& row);
  void (*key)(const Row& row, DnlKey& key);
  const char* (*area)(const Row& row);
  // Releases the row after its line was written; null: nothing is
  // released.
  int (*release)(const Row& row);
  // True: the first row whose line cannot be written or that cannot be
  // released ends the pass.  False: the pass goes on with the next row.
  bool stopOnFailure;
  // A second line of the row, written after the first whatever became of
  // it (its write status only counts); null: one line per row.
  int (*second)(QueueRecord& line, const Row& row) = nullptr;
};

// The class a member pointer belongs to.
template <typename T>
struct DnlRowOf;
template <typename Row, typename Field>
struct DnlRowOf<Field Row::*> {
  using Type = Row;
};

// The key and the area key of a row when they are one text field of it.
template <auto Field>
void Dnl_KeyField(const typename DnlRowOf<decltype(Field)>::Type& row, DnlKey& key) {
  key.Set(row.*Field);
}
template <auto Field>
const char* Dnl_AreaField(const typename DnlRowOf<decltype(Field)>::Type& row) {
  return (row.*Field).c_str();
}

// A fresh queue record for one line: every byte zero, stamped with the run
// date and time.
inline void Dnl_StartRecord(QueueRecord& rec, const char* date, const char* time) {
  rec = QueueRecord{};
  rec.DnlDtaDate = date;
  rec.DnlDtaTime = time;
}

// Runs plan over the rows its cursor opens with selector, the lines stamped
// with date (yyyymmdd) and time (HHMMSS).  A failed open is logged and
// returned.  A row read or formatted with a value that does not fit is not
// sent and keeps its marker: one entry "Wert passt nicht ins Feld" with its
// key; the pass goes on.  A line that cannot be written is logged and its
// row keeps its marker.  When count is given, it gets the rows whose lines
// were all written (sent) and the rows not sent (failed).  Returns the
// status of the cursor close.
template <typename Row>
[[nodiscard]] int Dnl_Run(const DnlPlan<Row>& plan, const char* date, const char* time,
            const char* selector, DnlCount* count) {
  int rc = plan.open(selector);
  if (rc != 0) {
    Msg_Error(plan.funktion, plan.openFailure, rc);
    return rc;
  }
  Row rows[2];
  Row* at = &rows[0];    // the row being sent
  Row* next = &rows[1];  // the row after it, once peeked
  bool peeked = false;   // next was fetched, with status peekRc
  int peekRc = 0;
  auto fetch = [&] {
    if (!peeked) return plan.fetch(*at);
    peeked = false;
    std::swap(at, next);
    return peekRc;
  };
  QueueRecord line;
  QueueRecord second;
  while ((rc = fetch()) == 0 || sql::NoFit(rc)) {
    const Row& row = *at;
    // Both lines are built first: a row either of them cannot carry is not
    // sent at all.
    Dnl_StartRecord(line, date, time);
    if (plan.second != nullptr) Dnl_StartRecord(second, date, time);
    if (rc == 0) rc = plan.format(line, row);
    if (rc == 0 && plan.second != nullptr) rc = plan.second(second, row);
    if (rc != 0) {
      DnlKey key;
      plan.key(row, key);
      Msg_NoFit(plan.funktion, key.c_str(), rc);
      if (count != nullptr) ++count->failed;
      continue;
    }
    const char* area = plan.area(row);
    rc = Put_DnlBuffer(line, area);
    bool written = rc == 0;
    if (rc != 0 && plan.sendFailure != nullptr) Msg_Error(plan.funktion, plan.sendFailure, rc);
    if (rc == 0 && plan.release != nullptr) {
      // On a server the terminal lookup of the line that follows goes with
      // the release's commit: the second line's, or the next row's.
      if (plan.second != nullptr) {
        Get_CfgIPAhead(area);
      } else if (Get_CfgIPCanAhead()) {
        peekRc = plan.fetch(*next);
        peeked = true;
        if (peekRc == 0) Get_CfgIPAhead(plan.area(*next));
      }
      rc = plan.release(row);
    }
    // The second line was built from the row as fetched, so it carries what
    // was sent even when the release has cleared or deleted it.
    if (plan.second != nullptr) written = Put_DnlBuffer(second, area) == 0 && written;
    if (count != nullptr) ++(written ? count->sent : count->failed);
    if (rc != 0 && plan.stopOnFailure) break;
  }
  return plan.close();
}

#endif  // PPS2BDE_DB_DBDB_DOWNLOAD_LOOP_H_
