#include "driver/statistics.h"

#include "driver/markers.h"
#include "runtime/date.h"
#include "runtime/msg.h"

void Init_StatTab(StatRecord& stat) {
  stat = StatRecord{};
  char date[15] = {};
  char time[7] = {};
  Date_Now(date, time, 3);
  stat.DwnDtaDate = date;
  stat.DwnDtaTime = time;
  stat.DwnErf = kRecorder;
}

void Put_StatTab(StatRecord& stat) {
  char stamp[15] = {};
  char unused[7] = {};
  Date_Now(stamp, unused, 2);
  stat.DwnDat = stamp;
  int rc = Dwn_PKeyIns(stat);
  if (rc != 0) Msg_Error("Put_StatTab", "Insert -> Kvn542Dwn", rc);
}
