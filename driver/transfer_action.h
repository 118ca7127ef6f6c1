// The shape shared by the order and the operation transfer: every planning
// row is one unit of work under the database's write lock.  The planning
// row is read again by its key, the decision is taken on it as it is now,
// and the write and the removal of the planning row commit together.  A
// row the planning system changed after the cursor's open is thus taken
// over in its new version, and one it deleted meanwhile is passed over.
//
// What differs between orders and operations comes from a side, a struct
// (Orders in order_transfer.cc, Operations in operation_transfer.cc) with:
//   Pps, Bde                  the planning and the BDE record
//   kTexts                    its TransferTexts
//   kPpsStatus, kBdeStatus    the status fields the decision reads
//   Open, Fetch, Close        the planning cursor
//   Key                       the row's key for a log entry
//   ReadAgain(fetched, pps)   reads the planning row again by its key
//   Waiting(pps)              1403 when the row goes ahead, 0 when it
//                             waits for the next run, else a failure
//   ReadBde(pps, bde)         reads the BDE row by the planning key
//   Count, Check              counts a row read; checks it (plausibility)
//   CheckReads(pps)           makes the reads of Check, logging nothing
//   Insert, Update, MarkDeleted, Remove   the writes of the unit
//   Deleted(stat)             what follows a committed deletion
#ifndef PPS2BDE_DRIVER_TRANSFER_ACTION_H_
#define PPS2BDE_DRIVER_TRANSFER_ACTION_H_

#include <cstdint>

#include "base/text.h"
#include "db/DbDnl/dwn.h"
#include "runtime/msg.h"
#include "runtime/session.h"
#include "sql/errors.h"
#include "sql/sql.h"

// What a transfer does with one planning row.
enum class TransferAction { kIns, kUpd, kDel, kDrop };

// The planning status that asks for a deletion.
constexpr int32_t kPpsDeleteStatus = 9;

// Exclusive bounds of the planning cursors: orders with these two numbers
// are never read.
constexpr const char kLowestOrder[] = "000000000000";
constexpr const char kHighestOrder[] = "999999999999";

// The key a planning row is named by in a log entry.
using TransferKey = Text<24>;

// The texts of one transfer.
struct TransferTexts {
  const char* step;         // function name of every entry
  const char* unit;         // savepoint of a row's unit of work
  const char* openFailure;  // the planning cursor cannot be opened
  const char* readFailure;  // the unit cannot start, the read again fails
  const char* waitFailure;  // the check whether the row must wait fails
  // By TransferAction: the message of a failed write (or of a failed
  // commit), and of a failed removal of the planning row after it.
  const char* writeFailure[4];
  const char* removeFailure[4];
};

// Decides from the read status of the BDE row, the planning status and the
// BDE status: an existing row is updated, or marked as deleted when the
// planning system deletes it and its BDE status is 9 or 10 (dropped with
// any other status); a missing row is inserted, or dropped when the
// planning system deletes it.
TransferAction Transfer_Decide(int readStatus, int32_t ppsStatus, int32_t bdeStatus);

// Ends the unit of work of one transferred row: with rc 0 it is committed,
// otherwise rolled back.  A failure (rc, or the failed commit's code) is
// logged under step with the message of the action that failed.  True when
// the row's unit was committed.
[[nodiscard]] bool Transfer_EndUnit(const char* step, int rc, const char* failure);

// Logs a planning row read with a value that does not fit: it names no
// row here and is passed over.
template <typename Side>
void Transfer_NoFit(const typename Side::Pps& row, int rc) {
  TransferKey key;
  Side::Key(row, key);
  Msg_NoFit(Side::kTexts.step, key.c_str(), rc);
}

// Takes one fetched planning row over as one unit of work, with bde as the
// BDE record to read into; counts into stat.
template <typename Side>
void Transfer_Row(const typename Side::Pps& fetched, StatRecord& stat,
                  typename Side::Bde& bde) {
  constexpr const TransferTexts& t = Side::kTexts;
  static sql::Stmt unit{t.unit};
  int rc = Db_BeginUnit(unit);
  if (rc != 0) {
    Msg_Error(t.step, t.readFailure, rc);
    return;
  }
  // The unit's reads by the values of the fetched row go with its first
  // read, in one round trip on a server; a planning row changed since the
  // fetch has its reads made anew.
  if (sql::ReadAhead ahead; ahead) {
    (void)Side::Waiting(fetched);
    {
      sql::LockRows lock;
      (void)Side::ReadBde(fetched, bde);
    }
    Side::CheckReads(fetched);
  }
  typename Side::Pps pps;
  rc = Side::ReadAgain(fetched, pps);
  if (rc == 0) {
    // A row may have to wait for the next run.
    int waiting = Side::Waiting(pps);
    if (waiting != sql::kNoData) {
      // The unit changed nothing: its end has nothing to lose.
      (void)Db_EndUnit();
      if (waiting != 0) Msg_Error(t.step, t.waitFailure, waiting);
      return;
    }
  }
  if (rc != 0) {
    (void)Db_EndUnit();  // nothing changed in this unit either
    // Gone: the planning system took it back, nothing to do.
    if (sql::NoFit(rc))
      Transfer_NoFit<Side>(fetched, rc);
    else if (rc != sql::kNoData)
      Msg_Error(t.step, t.readFailure, rc);
    return;
  }
  int read;
  {
    // The BDE row is written over as read: nobody else changes it meanwhile.
    sql::LockRows lock;
    read = Side::ReadBde(pps, bde);  // a failed read counts as a missing row
  }
  if (sql::NoFit(read)) {
    // The BDE row holds a value the record cannot: taken for missing, it
    // would be inserted again; it is named and left as it is.
    Db_AbortUnit();
    Transfer_NoFit<Side>(fetched, read);
    return;
  }
  Side::Count(stat);
  Side::Check(pps);
  const TransferAction action = Transfer_Decide(read, pps.*Side::kPpsStatus, bde.*Side::kBdeStatus);
  const int a = static_cast<int>(action);
  const char* failure = t.writeFailure[a];
  auto write = [&](typename Side::Bde& row) {
    int written = 0;
    switch (action) {
      case TransferAction::kIns: written = Side::Insert(pps, row); break;
      case TransferAction::kUpd: written = Side::Update(pps, row); break;
      case TransferAction::kDel: written = Side::MarkDeleted(row); break;
      case TransferAction::kDrop: break;
    }
    if (written != 0) return written;
    // The removal belongs to the unit: a row whose removal fails is left
    // untouched as a whole, so the next run repeats the same action.
    written = Side::Remove(pps);
    if (written != 0) failure = t.removeFailure[a];
    return written;
  };
  // The writes and the commit go in one round trip on a server (noted on
  // a copy: writing fills the record).
  if (sql::WriteAhead ahead; ahead) {
    typename Side::Bde copy = bde;
    (void)write(copy);
    ahead.EndsUnit();
  }
  rc = write(bde);
  if (!Transfer_EndUnit(t.step, rc, failure)) return;
  switch (action) {
    case TransferAction::kIns: ++stat.DwnNeu; break;
    case TransferAction::kUpd: ++stat.DwnAen; break;
    case TransferAction::kDel:
      Side::Deleted(stat);
      ++stat.DwnLoe;
      break;
    case TransferAction::kDrop: break;
  }
}

// Takes every row of the side's planning cursor over; counts into stat.
// Returns the status of the cursor open when it fails, else of the close.
template <typename Side>
[[nodiscard]] int Transfer_All(StatRecord& stat) {
  typename Side::Pps pps;
  typename Side::Bde bde;  // reused from row to row; every read fills it anew
  int rc = Side::Open();
  if (rc != 0) {
    Msg_Error(Side::kTexts.step, Side::kTexts.openFailure, rc);
    return rc;
  }
  for (;;) {
    rc = Side::Fetch(pps);
    if (sql::NoFit(rc)) {
      Transfer_NoFit<Side>(pps, rc);
      continue;
    }
    if (rc != 0) break;
    Transfer_Row<Side>(pps, stat, bde);
  }
  return Side::Close();
}

#endif  // PPS2BDE_DRIVER_TRANSFER_ACTION_H_
