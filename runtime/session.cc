#include "runtime/session.h"

#include <cstring>
#include <initializer_list>

#include "runtime/ini.h"
#include "runtime/text.h"
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
    rc = sql::Connect(connect);
  }
  Wipe(account, sizeof account);
  Wipe(password, sizeof password);
  Wipe(connect, sizeof connect);
  return rc;
}

void Db_Commit() { (void)sql::Commit(); }

int Db_Rollback() { return sql::Rollback(); }

void Db_BeginUnit(sql::Stmt& savepoint) { sql::BeginUnit(savepoint); }

void Db_EndUnit() { sql::EndUnit(); }
