#include "driver/transfer_action.h"

#include <cstdio>

#include "runtime/msg.h"
#include "sql/errors.h"

TransferAction Transfer_Decide(int readStatus, int32_t ppsStatus, int32_t bdeStatus) {
  const bool deleted = ppsStatus == kPpsDeleteStatus;
  if (readStatus != 0) return deleted ? TransferAction::kDrop : TransferAction::kIns;
  if (!deleted) return TransferAction::kUpd;
  return (bdeStatus == 9 || bdeStatus == 10) ? TransferAction::kDel : TransferAction::kDrop;
}

bool Transfer_Unfit(int status) { return status == sql::kOverflow || status == sql::kTruncated; }

void Transfer_LogUnfit(const char* step, const char* key, int status) {
  char message[80];
  std::snprintf(message, sizeof message, "Wert passt nicht ins Feld: %.40s", key);
  Msg_Error(step, message, status);
}
