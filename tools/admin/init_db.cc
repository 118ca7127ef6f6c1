#include <libpq-fe.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "schema/schema_text.h"
#include "sql/postgres/postgres_engine.h"
#include "tools/admin/admin.h"
#include "tools/layout/layout.h"

namespace {

// Creates the schema in the PostgreSQL database the service names; refuses
// one that already has a table of the job (in public or kvnsystem).  The
// whole text runs as one transaction: all of it or nothing.
int InitPostgres(const char* service, const char* user, const char* password) {
  const char* keys[] = {"dbname", "client_encoding", "user", "password", nullptr};
  const char* values[] = {service, "UTF8", user, password, nullptr};
  // An empty user or password is left to libpq (PGUSER, PGPASSWORD, .pgpass).
  if (password == nullptr || *password == '\0') keys[3] = nullptr;
  if (user == nullptr || *user == '\0') {
    keys[2] = keys[3];
    values[2] = values[3];
    keys[3] = nullptr;
  }
  PGconn* c = PQconnectdbParams(keys, values, 1);
  if (PQstatus(c) != CONNECTION_OK) {
    std::fprintf(stderr, "pps2bde-admin: cannot connect: %s", PQerrorMessage(c));
    PQfinish(c);
    return 1;
  }
  PGresult* r = PQexec(c,
                       "SELECT count(*) FROM pg_tables WHERE schemaname IN ('public', 'kvnsystem') "
                       "AND tablename IN ('kvn501apk', 'kvn504app', 'kvn500auk', 'kvn133bak')");
  bool ok = PQresultStatus(r) == PGRES_TUPLES_OK;
  bool exists = ok && std::strcmp(PQgetvalue(r, 0, 0), "0") != 0;
  PQclear(r);
  if (!ok || exists) {
    std::fprintf(stderr, ok ? "pps2bde-admin: the database already has the tables; nothing changed\n"
                            : "pps2bde-admin: cannot read the catalogue: %s",
                 PQerrorMessage(c));
    PQfinish(c);
    return 1;
  }
  r = PQexec(c, Schema_PostgresText());
  ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
  PQclear(r);
  if (!ok) {
    std::fprintf(stderr, "pps2bde-admin: cannot create the schema: %s", PQerrorMessage(c));
    PQfinish(c);
    return 1;
  }
  PQfinish(c);
  std::printf("created the schema in the PostgreSQL database\n");
  return 0;
}

}  // namespace

int Admin_InitDb(const char* path, const char* user, const char* password) {
  if (sql::Postgres_IsService(path, std::strlen(path))) return InitPostgres(path, user, password);
  std::string error;
  int rc = Layout_CreateSqlite(path, &error);
  if (rc == EEXIST) {
    std::fprintf(stderr, "pps2bde-admin: %s exists; it is not overwritten\n", path);
  } else if (rc > 0) {
    std::fprintf(stderr, "pps2bde-admin: cannot create %s: %s\n", path, std::strerror(rc));
  } else if (rc < 0) {
    std::fprintf(stderr, "pps2bde-admin: cannot create the schema in %s: %s\n", path,
                 error.c_str());
  }
  if (rc != 0) return 1;
  std::printf("created %s\n", path);
  return 0;
}
