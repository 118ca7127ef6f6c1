#include "runtime/session.h"

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
  // The parts go apart: a PostgreSQL service may hold '@' and '/'.
  int rc = sql::Connect(account, password, service);
  Wipe(account, sizeof account);
  Wipe(password, sizeof password);
  return rc;
}

void Db_Commit() { (void)sql::Commit(); }

int Db_Rollback() { return sql::Rollback(); }

void Db_BeginUnit(sql::Stmt& savepoint) { sql::BeginUnit(savepoint); }

void Db_EndUnit() { sql::EndUnit(); }
