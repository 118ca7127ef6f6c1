#include "driver/transfer_action.h"

#include "runtime/msg.h"
#include "runtime/session.h"


TransferAction Transfer_Decide(int readStatus, int32_t ppsStatus, int32_t bdeStatus) {
  const bool deleted = ppsStatus == kPpsDeleteStatus;
  if (readStatus != 0) return deleted ? TransferAction::kDrop : TransferAction::kIns;
  if (!deleted) return TransferAction::kUpd;
  return (bdeStatus == 9 || bdeStatus == 10) ? TransferAction::kDel : TransferAction::kDrop;
}


bool Transfer_EndUnit(const char* step, int rc, const char* failure) {
  if (rc != 0) {
    Db_AbortUnit();
  } else if ((rc = Db_EndUnit()) == 0) {
    return true;
  }
  // A failed commit is the failure of what it was to commit: nothing done.
  Msg_Error(step, failure, rc);
  return false;
}
