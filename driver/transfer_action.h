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

// True for the status of a row whose number or key does not fit its field
// (-1455, -1406): the row is not acted on, and the step goes on.
bool Transfer_Unfit(int status);
// Logs such a row under step: "Wert passt nicht ins Feld: " and its key.
void Transfer_LogUnfit(const char* step, const char* key, int status);

#endif  // PPS2BDE_DRIVER_TRANSFER_ACTION_H_
