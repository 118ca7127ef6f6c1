// What the looking subcommands share: the working folder, the connect, the
// character set, the rows marked for download and their terminals.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "db/DbDnl/cfg.h"
#include "runtime/session.h"
#include "sql/charset.h"
#include "sql/sql.h"
#include "tools/admin/admin.h"
#include "tools/layout/layout.h"

int Admin_EnterRoot(const std::string& root) {
  if (root.empty()) return 0;
  const std::string run = Layout{root}.run();
  if (chdir(run.c_str()) != 0) {
    std::fprintf(stderr, "pps2bde-admin: cannot enter the working folder %s: %s\n", run.c_str(),
                 std::strerror(errno));
    return 1;
  }
  return 0;
}

int Admin_Connect() {
  int rc = Db_Connect();
  if (rc == 0) return 0;
  std::fprintf(stderr,
               "pps2bde-admin: cannot connect to the database (status %d); run "
               "pps2bde-admin check\n",
               rc);
  return 1;
}

int Admin_ReadFailed(int rc) {
  std::fprintf(stderr,
               "pps2bde-admin: cannot read the tables (status %d); run pps2bde-admin check\n", rc);
  return 1;
}

std::string Admin_Utf8(const char* s, size_t n) {
  // Each byte becomes at most two.
  std::string out(2 * n, '\0');
  out.resize(sql::Charset_ToUtf8(s, n, out.data(), out.size()));
  return out;
}

int Admin_Terminal(const std::string& area, int* terminal, std::string* address) {
  CfgRecord cfg;
  int rc = Cfg_Open(area.c_str());
  if (rc != 0) return rc;
  rc = Cfg_Fetch(cfg);
  (void)Cfg_Close();
  if (rc != 0) return rc;
  *terminal = cfg.CfgDta;
  *address = std::string(cfg.CfgIP.c_str()) + ":" + cfg.CfgPrt.c_str();
  return 0;
}

namespace {

// The download tables: rows whose marker is set are due for download.
struct MarkedQuery {
  const char* table;
  sql::Stmt stmt;
};
MarkedQuery kMarked[] = {
    {"Kvn501Apk", {"select ApkDwn,ApkFbe,count(*) from Kvn501Apk where ApkDwn is not null "
                   "group by ApkDwn,ApkFbe order by ApkDwn,ApkFbe"}},
    {"Kvn504App", {"select AppDwn,AppFbe,count(*) from Kvn504App where AppDwn is not null "
                   "group by AppDwn,AppFbe order by AppDwn,AppFbe"}},
    {"Kvn530Apg", {"select ApgDwn,ApgFbe,count(*) from Kvn530Apg where ApgDwn is not null "
                   "group by ApgDwn,ApgFbe order by ApgDwn,ApgFbe"}},
    {"Kvn531Apl", {"select AplDwn,AplFbe,count(*) from Kvn531Apl where AplDwn is not null "
                   "group by AplDwn,AplFbe order by AplDwn,AplFbe"}},
    {"Kvn521Ubg", {"select UbgDwn,UbgFbe,count(*) from Kvn521Ubg where UbgDwn is not null "
                   "group by UbgDwn,UbgFbe order by UbgDwn,UbgFbe"}},
    {"Kvn510Prv", {"select PrvDwn,PrvFbe,count(*) from Kvn510Prv where PrvDwn is not null "
                   "group by PrvDwn,PrvFbe order by PrvDwn,PrvFbe"}},
};

}  // namespace

int Admin_ReadMarked(std::vector<AdminMarked>* out) {
  for (MarkedQuery& q : kMarked) {
    sql::Cursor c;
    int rc = sql::Open(c, q.stmt, nullptr, 0);
    if (rc != 0) return rc;
    char marker[9], area[11];
    int32_t rows = 0;
    const sql::Out outs[] = {sql::OText(marker, sizeof marker), sql::OText(area, sizeof area),
                             sql::OI32(rows)};
    while ((rc = sql::Fetch(c, outs, 3)) == 0) {
      AdminMarked m;
      m.table = q.table;
      m.marker = Admin_Utf8(marker, strnlen(marker, sizeof marker));
      m.area = area;
      m.rows = rows;
      if (Admin_Terminal(area, &m.terminal, &m.address) != 0) m.terminal = 0;
      m.area = Admin_Utf8(area, strnlen(area, sizeof area));
      out->push_back(m);
    }
    (void)sql::Close(c);
    if (rc != 1403) return rc;
  }
  return 0;
}
