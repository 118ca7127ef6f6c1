// The decision shared by the order and the operation transfer.
#ifndef PPS2BDE_DRIVER_TRANSFER_ACTION_H_
#define PPS2BDE_DRIVER_TRANSFER_ACTION_H_

#include <cstdint>

// What a transfer does with one planning row.
enum class TransferAction { kIns, kUpd, kDel, kDrop };

// The planning status that asks for a deletion.
constexpr int32_t kPpsDeleteStatus = 9;

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
bool Transfer_EndUnit(const char* step, int rc, const char* failure);

#endif  // PPS2BDE_DRIVER_TRANSFER_ACTION_H_
