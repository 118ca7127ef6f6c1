// The demo's throwaway PostgreSQL server: a cluster in DIR/pg that listens
// only on a Unix socket in that folder, its database pps2bde with the
// schema and the sample data, and the queries the demo shows.
#include <libpq-fe.h>

#include <cstdio>
#include <string>

#include "tools/admin/admin.h"
#include "tools/layout/pg_server.h"

namespace {

PgServer DemoServer(const std::string& root) {
  return PgServer{root + "/pg", "55433", kAdminDemoLogin, kAdminDemoPass, {}};
}

// On the demo database, through libpq's defaults (PGHOST, PGPORT).
PGconn* Open(const char* dbname) {
  const char* keys[] = {"dbname", "user", "password", nullptr};
  const char* values[] = {dbname, kAdminDemoLogin, kAdminDemoPass, nullptr};
  return PQconnectdbParams(keys, values, 0);
}

}  // namespace

int AdminPg_Start(const std::string& root, std::string* net8) {
  const PgServer server = DemoServer(root);
  bool fresh = false;
  if (PgServer_Start(server, &fresh) != 0) {
    std::fprintf(stderr, "pps2bde-admin: no demo server in %s\n", server.dir.c_str());
    return 1;
  }
  // The job and the queries below find the server through libpq's
  // defaults; NET8 names only the database (it holds at most 51 characters).
  PgServer_Export(server);
  *net8 = "dbname=pps2bde";
  std::printf("PostgreSQL server in %s (socket %s/.s.PGSQL.%s)\n", server.dir.c_str(),
              server.dir.c_str(), server.port.c_str());
  if (!fresh) return 0;
  PGconn* c = PgServer_Connect(server, "postgres");
  bool ok = PQstatus(c) == CONNECTION_OK &&
            PgServer_Exec(c, "CREATE DATABASE pps2bde", "pps2bde-admin");
  PQfinish(c);
  if (!ok || Admin_InitDb(net8->c_str(), kAdminDemoLogin, kAdminDemoPass) != 0) return 1;
  c = PgServer_Connect(server, "pps2bde");
  ok = PQstatus(c) == CONNECTION_OK && PgServer_Exec(c, Admin_DemoData(), "pps2bde-admin");
  PQfinish(c);
  return ok ? 0 : 1;
}

void AdminPg_Stop(const std::string& root) {
  (void)PgServer_Stop(DemoServer(root));
  std::printf("\nPostgreSQL server stopped (start it again with pps2bde-admin demo %s "
              "--postgres)\n",
              root.c_str());
}

void AdminPg_ShowQuery(const char* query) {
  PGconn* c = Open("pps2bde");
  PGresult* r = PQstatus(c) == CONNECTION_OK ? PQexec(c, query) : nullptr;
  if (PQresultStatus(r) != PGRES_TUPLES_OK) {
    std::printf("(%s)\n", PQerrorMessage(c));
  } else if (PQntuples(r) == 0) {
    std::printf("(no rows)\n");
  } else {
    for (int row = 0; row < PQntuples(r); ++row) {
      for (int i = 0; i < PQnfields(r); ++i)
        std::printf("%s%s", i ? " | " : "", PQgetisnull(r, row, i) ? "NULL" : PQgetvalue(r, row, i));
      std::printf("\n");
    }
  }
  PQclear(r);
  PQfinish(c);
}
