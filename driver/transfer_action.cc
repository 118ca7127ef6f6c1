#include "driver/transfer_action.h"


TransferAction Transfer_Decide(int readStatus, int32_t ppsStatus, int32_t bdeStatus) {
  const bool deleted = ppsStatus == kPpsDeleteStatus;
  if (readStatus != 0) return deleted ? TransferAction::kDrop : TransferAction::kIns;
  if (!deleted) return TransferAction::kUpd;
  return (bdeStatus == 9 || bdeStatus == 10) ? TransferAction::kDel : TransferAction::kDrop;
}

