#include "runtime/session.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>

#include "base/text.h"
#include "runtime/ini.h"
#include "runtime/msg_hold.h"
#include "runtime/os/env.h"
#include "sql/sql.h"

namespace {

// Longest connect text "account/password@service".
constexpr size_t kConnectMax = 100;
// The codes of a connect refused for its configuration: an account or a
// password longer than its buffer (logon denied), a service name longer
// than its buffer or a connect text longer than kConnectMax (the connect
// identifier cannot be resolved).
constexpr int kConnectBadLogin = -1017;
constexpr int kConnectBadService = -12154;

// Overwrites a buffer that held a credential so that it does not linger.
void Wipe(char* p, size_t n) {
  volatile char* v = p;
  while (n--) *v++ = 0;
}

}  // namespace

int Db_Connect() {
  char account[kIniCredentialCap] = {};
  char password[kIniCredentialCap] = {};
  char service[kIniCredentialCap] = {};
  const int found = Ini_ReadLogin(account, password, service);
  // account "/" password "@" service; one character more than the connect
  // text may hold tells that it does not fit.
  char connect[kConnectMax + 2] = {};
  size_t n = 0;
  for (const char* part : {static_cast<const char*>(account), "/",
                           static_cast<const char*>(password), "@",
                           static_cast<const char*>(service)}) {
    n += Text_Copy(connect + n, sizeof connect - n, part);
  }
  int rc;
  // A value or a connect text that does not fit is refused, never cut: cut,
  // it could name another account or database.
  if (found == 1 || found == 2) {
    rc = kConnectBadLogin;
  } else if (found == 3 || n > kConnectMax) {
    rc = kConnectBadService;
  } else {
    // The parts go apart: a PostgreSQL service may hold '@' and '/'.
    rc = sql::Connect(account, password, service);
  }
  Wipe(account, sizeof account);
  Wipe(password, sizeof password);
  Wipe(connect, sizeof connect);
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
