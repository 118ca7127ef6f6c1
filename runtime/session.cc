#include "runtime/session.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "runtime/ini.h"
#include "runtime/msg_hold.h"
#include "runtime/os/env.h"
#include "runtime/text.h"
#include "sql/sql.h"

namespace {

// Overwrites a buffer that held a credential so that it does not linger.
void Wipe(char* p, size_t n) {
  volatile char* v = p;
  while (n--) *v++ = 0;
}

}  // namespace

int Db_Connect() {
  char account[52] = {};
  char password[52] = {};
  char service[52] = {};
  Ini_ReadLogin(account, password, service);
  // The parts go apart: a PostgreSQL service may hold '@' and '/'.
  int rc = sql::Connect(account, password, service);
  Wipe(account, sizeof account);
  Wipe(password, sizeof password);
  return rc;
}

void Db_Commit() { (void)sql::Commit(); }

int Db_Rollback() { return sql::Rollback(); }

int Db_BeginUnit(sql::Stmt& savepoint) {
  Msg_Hold();
  int rc = sql::BeginUnit(savepoint);
  if (rc != 0) Msg_Release();
  return rc;
}

int Db_EndUnit() {
  int rc = sql::EndUnit();
  Msg_Release();
  return rc;
}

void Db_AbortUnit() {
  sql::AbortUnit();
  Msg_Release();
}

int Db_RunLockWaitMs() {
  constexpr int kDefaultSeconds = 600;
  constexpr int kMaxSeconds = 86400;
  const char* text = std::getenv("PPS2BDE_RUN_LOCK_WAIT");
  if (text == nullptr) return kDefaultSeconds * 1000;
  size_t n = strnlen(text, 8);
  if (n == 0 || n > 6) return kDefaultSeconds * 1000;
  int seconds = 0;
  for (size_t i = 0; i < n; ++i) {
    if (text[i] < '0' || text[i] > '9') return kDefaultSeconds * 1000;
    seconds = seconds * 10 + (text[i] - '0');
  }
  return (seconds > kMaxSeconds ? kMaxSeconds : seconds) * 1000;
}

int Db_RunLock(const char* what) {
  struct tm now;
  Env_LocalTime(&now);
  char holder[160];
  std::snprintf(holder, sizeof holder, "pps2bde %.40s pid %ld since %04d-%02d-%02d %02d:%02d:%02d",
                what != nullptr ? what : "", static_cast<long>(getpid()), now.tm_year + 1900,
                now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec);
  return sql::AcquireRunLock(Db_RunLockWaitMs(), holder);
}
