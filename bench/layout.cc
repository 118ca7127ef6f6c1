#include "bench/layout.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "sql/sql.h"
#include "tools/layout/layout.h"

namespace {

// Runs one insert with the given texts and then the integers bound in order.
int Insert(sql::Stmt& s, std::initializer_list<const char*> texts,
           std::initializer_list<int32_t> ints) {
  sql::Bind binds[32];
  int n = 0;
  for (const char* t : texts) binds[n++] = sql::BText(t, std::strlen(t) + 1);
  for (const int32_t& v : ints) binds[n++] = sql::BI32(v);
  return sql::Exec(s, binds, n);
}

int Fill(const BenchData& data) {
  static sql::Stmt cfg{
      "insert into Kvn557Cfg (CfgIP,CfgPrt,CfgBez,CfgVn1,CfgBi1,CfgDta) "
      "values (:b0,:b1,:b2,:b3,:b4,:b5)"};
  static sql::Stmt apg{"insert into Kvn530Apg (ApgApg,ApgBez,ApgFbe) values (:b0,:b1,:b2)"};
  static sql::Stmt apl{
      "insert into Kvn531Apl (AplApl,AplBez,AplApg,AplFbe) values (:b0,:b1,:b2,:b3)"};
  static sql::Stmt auk{
      "insert into Kvn500Auk (AukApk,AukBz1,AukBz2,AukTxt,AukKun,AukKb1,AukKb2,AukBgs,AukEns,"
      "AukTnr,AukTb1,AukTb2,AukMee,AukZf1,AukZf2,AukZf3,AukFbe,AukKst,AukSts,AukAfo,AukSme) "
      "values (:b0,:b1,:b2,:b3,:b4,:b5,:b6,:b7,:b8,:b9,:b10,:b11,:b12,:b13,:b14,:b15,:b16,"
      ":b17,:b18,:b19,:b20)"};
  static sql::Stmt afo{
      "insert into Kvn503Afo (AfoApk,AfoApp,AfoVaf,AfoNaf,AfoBz1,AfoBz2,AfoTxt,AfoBgs,AfoBgz,"
      "AfoEns,AfoEnz,AfoMee,AfoApg,AfoApl,AfoZf1,AfoZf2,AfoZf3,AfoKst,AfoFbe,AfoSts,AfoAgs,"
      "AfoSme,AfoSta,AfoStr,AfoSte) values (:b0,:b1,:b2,:b3,:b4,:b5,:b6,:b7,:b8,:b9,:b10,"
      ":b11,:b12,:b13,:b14,:b15,:b16,:b17,:b18,:b19,:b20,:b21,:b22,:b23,:b24)"};
  int rc = 0;
  // The area keys FB00..FB99 split evenly between the terminals.
  const int terminals = data.terminals < 1 ? 1 : data.terminals > 100 ? 100 : data.terminals;
  for (int t = 0; t < terminals && rc == 0; ++t) {
    // Room for any int, so that no text is ever cut (t stays below 100).
    char ip[24], port[12], bez[31], from[16], to[16];
    std::snprintf(ip, sizeof ip, "10.0.0.%d", t + 1);
    std::snprintf(port, sizeof port, "%d", 4001 + t);
    std::snprintf(bez, sizeof bez, "Terminal %d", t + 1);
    std::snprintf(from, sizeof from, "FB%02d", t * 100 / terminals);
    std::snprintf(to, sizeof to, "FB%02d", (t + 1) * 100 / terminals - 1);
    rc = Insert(cfg, {ip, port, bez, from, to}, {t + 1});
  }
  constexpr int kGroups = 10;
  for (int g = 0; g < kGroups && rc == 0; ++g) {
    char group[11], place[11], bez[31], area[11];
    std::snprintf(group, sizeof group, "AG%02d", g);
    std::snprintf(place, sizeof place, "AP%02d", g);
    std::snprintf(bez, sizeof bez, "Gruppe %d", g);
    std::snprintf(area, sizeof area, "FB%02d", g * 10);
    rc = Insert(apg, {group, bez, area}, {});
    if (rc == 0) rc = Insert(apl, {place, bez, group, area}, {});
  }
  for (int o = 0; o < data.orders && rc == 0; ++o) {
    char apk[13], t30[31], t10[11], area[11], t7[8];
    std::snprintf(apk, sizeof apk, "%012lld", 100000000000LL + o);
    std::snprintf(t30, sizeof t30, "Bezeichnung des Auftrags %05d", o % 100000);
    std::snprintf(t10, sizeof t10, "Txt%07d", o % 10000000);
    std::snprintf(t7, sizeof t7, "K%06d", o % 1000000);
    std::snprintf(area, sizeof area, "FB%02d", o % 100);
    rc = Insert(auk, {apk, t30, t30, t10, t7, t30, t30, "20240301", "20240315",
                      "Teil-12345-67890", t30, t30, "STK", t30, t30, t30, area, "K100"},
                {1, data.operations, 1234});
    for (int p = 0; p < data.operations && rc == 0; ++p) {
      char app[6], vaf[6], naf[6], group[11], place[11];
      std::snprintf(app, sizeof app, "%05d", (p + 1) * 10 % 100000);
      std::snprintf(vaf, sizeof vaf, "%05d", p * 10 % 100000);
      std::snprintf(naf, sizeof naf, "%05d", (p + 2) * 10 % 100000);
      std::snprintf(group, sizeof group, "AG%02d", (o + p) % kGroups);
      std::snprintf(place, sizeof place, "AP%02d", (o + p) % kGroups);
      rc = Insert(afo, {apk, app, vaf, naf, t30, t30, t10, "20240302", "073000", "20240303",
                        "161500", "KG", group, place, t30, t30, t30, "K100", area},
                  {1, 5, 100, 12, 2, 3});
    }
  }
  return rc;
}

}  // namespace

BenchDb Bench_SqliteDb(const BenchPaths& paths) {
  BenchDb db;
  db.net8 = kLayoutDefaultNet8;
  db.service = paths.db();
  return db;
}

int Bench_Connect(const BenchDb& db) {
  return sql::Connect(db.login.c_str(), db.pass.c_str(), db.service.c_str());
}

int Bench_Layout(const BenchPaths& paths, const BenchDb& db, const BenchData& data) {
  const Layout layout{paths.root};
  if (int e = Layout_MakeFolders(layout)) {
    std::fprintf(stderr, "pps2bde-bench: cannot lay out %s: %s\n", paths.root.c_str(),
                 std::strerror(e));
    return -1;
  }
  if (Layout_WriteConfig(paths.config(), db.login.c_str(), db.pass.c_str(), db.net8.c_str()) !=
      0) {
    std::fprintf(stderr, "pps2bde-bench: cannot write %s\n", paths.config().c_str());
    return -1;
  }
  std::string error;
  if (db.sqlite && Layout_CreateSqlite(db.service, &error) != 0) {
    std::fprintf(stderr, "pps2bde-bench: cannot create %s %s\n", db.service.c_str(),
                 error.c_str());
    return -1;
  }
  // One transaction for the whole fill.
  static sql::Stmt begin{"savepoint Fill_Sp"};
  int rc = Bench_Connect(db);
  if (rc == 0) rc = sql::BeginUnit(begin);
  if (rc == 0) {
    rc = Fill(data);
    if (rc == 0) {
      rc = sql::EndUnit();
    } else {
      sql::AbortUnit();
    }
  }
  // The last session of a SQLite database checkpoints it as it closes: the
  // job starts on a checkpointed database, as after any earlier run.
  sql::Disconnect();
  if (rc != 0) std::fprintf(stderr, "pps2bde-bench: cannot fill the database: %d\n", rc);
  return rc == 0 ? 0 : -1;
}

long long Bench_Count(const BenchDb& db, const char* select) {
  sql::Stmt s{select};
  int32_t v = -1;
  const sql::Out out[] = {sql::OI32(v)};
  int rc = Bench_Connect(db);
  if (rc == 0) rc = sql::SelectOne(s, nullptr, 0, out, 1);
  sql::Disconnect();
  if (rc != 0) {
    std::fprintf(stderr, "pps2bde-bench: %s: %d\n", select, rc);
    return -1;
  }
  return v;
}
