#include "runtime/session.h"

#include <cstring>
#include <initializer_list>

#include "runtime/ini.h"
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
  // account "/" password "@" service, cut at 100 characters.
  char connect[101] = {};
  size_t n = 0;
  for (const char* part : {static_cast<const char*>(account), "/",
                           static_cast<const char*>(password), "@",
                           static_cast<const char*>(service)}) {
    n += Text_Copy(connect + n, sizeof connect - n, part);
  }
  int rc = sql::Connect(connect);
  Wipe(account, sizeof account);
  Wipe(password, sizeof password);
  Wipe(connect, sizeof connect);
  return rc;
}

void Db_Commit() { (void)sql::Commit(); }

int Db_Rollback() { return sql::Rollback(); }

void Db_BeginUnit(sql::Stmt& savepoint) { sql::BeginUnit(savepoint); }

void Db_EndUnit() { sql::EndUnit(); }
