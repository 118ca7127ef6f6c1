#include "runtime/session.h"

#include <cstdio>
#include <cstring>

#include "runtime/ini.h"
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
  char connect[101] = {};
  std::snprintf(connect, sizeof connect, "%s/%s@%s", account, password, service);
  int rc = sql::Connect(connect);
  Wipe(account, sizeof account);
  Wipe(password, sizeof password);
  Wipe(connect, sizeof connect);
  return rc;
}

void Db_Commit() { (void)sql::Commit(); }

int Db_Rollback() { return sql::Rollback(); }
