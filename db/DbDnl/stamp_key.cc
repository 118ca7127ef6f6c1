#include "db/DbDnl/stamp_key.h"

#include <cstdio>
#include <cstring>

void Dnl_StampKey(const char* date, const char* time, char out[15]) {
  std::memset(out, 0, 15);
  std::snprintf(out, 15, "%8.8s%6.6s", date ? date : "", time ? time : "");
}
