#include "bench/layout.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "tools/layout/layout.h"

namespace {

// Runs one statement with the given texts and integers bound in order.
struct Insert {
  sqlite3_stmt* st = nullptr;
  int Run(std::initializer_list<const char*> texts, std::initializer_list<long long> ints) {
    int i = 1;
    for (const char* t : texts) sqlite3_bind_text(st, i++, t, -1, SQLITE_TRANSIENT);
    for (long long v : ints) sqlite3_bind_int64(st, i++, v);
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    return rc == SQLITE_DONE ? 0 : -1;
  }
};

int Fill(sqlite3* db, const BenchData& data) {
  Insert cfg, apg, apl, auk, afo;
  const char* cfgSql =
      "insert into Kvn557Cfg (CfgIP,CfgPrt,CfgBez,CfgVn1,CfgBi1,CfgDta) values (?,?,?,?,?,?)";
  const char* apgSql = "insert into Kvn530Apg (ApgApg,ApgBez,ApgFbe) values (?,?,?)";
  const char* aplSql = "insert into Kvn531Apl (AplApl,AplBez,AplApg,AplFbe) values (?,?,?,?)";
  const char* aukSql =
      "insert into Kvn500Auk (AukApk,AukBz1,AukBz2,AukTxt,AukKun,AukKb1,AukKb2,AukBgs,AukEns,"
      "AukTnr,AukTb1,AukTb2,AukMee,AukZf1,AukZf2,AukZf3,AukFbe,AukKst,AukSts,AukAfo,AukSme) "
      "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
  const char* afoSql =
      "insert into Kvn503Afo (AfoApk,AfoApp,AfoVaf,AfoNaf,AfoBz1,AfoBz2,AfoTxt,AfoBgs,AfoBgz,"
      "AfoEns,AfoEnz,AfoMee,AfoApg,AfoApl,AfoZf1,AfoZf2,AfoZf3,AfoKst,AfoFbe,AfoSts,AfoAgs,"
      "AfoSme,AfoSta,AfoStr,AfoSte) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
  for (auto [ins, text] : {std::pair{&cfg, cfgSql}, std::pair{&apg, apgSql},
                           std::pair{&apl, aplSql}, std::pair{&auk, aukSql},
                           std::pair{&afo, afoSql}}) {
    if (sqlite3_prepare_v2(db, text, -1, &ins->st, nullptr) != SQLITE_OK) {
      std::fprintf(stderr, "pps2bde-bench: %s\n", sqlite3_errmsg(db));
      return -1;
    }
  }
  int rc = 0;
  // The area keys FB00..FB99 split evenly between the terminals.
  const int terminals = data.terminals < 1 ? 1 : data.terminals > 100 ? 100 : data.terminals;
  for (int t = 0; t < terminals; ++t) {
    char ip[16], port[6], bez[31], from[11], to[11];
    std::snprintf(ip, sizeof ip, "10.0.0.%d", t + 1);
    std::snprintf(port, sizeof port, "%d", 4001 + t);
    std::snprintf(bez, sizeof bez, "Terminal %d", t + 1);
    std::snprintf(from, sizeof from, "FB%02d", t * 100 / terminals);
    std::snprintf(to, sizeof to, "FB%02d", (t + 1) * 100 / terminals - 1);
    rc |= cfg.Run({ip, port, bez, from, to}, {t + 1});
  }
  constexpr int kGroups = 10;
  for (int g = 0; g < kGroups; ++g) {
    char group[11], place[11], bez[31], area[11];
    std::snprintf(group, sizeof group, "AG%02d", g);
    std::snprintf(place, sizeof place, "AP%02d", g);
    std::snprintf(bez, sizeof bez, "Gruppe %d", g);
    std::snprintf(area, sizeof area, "FB%02d", g * 10);
    rc |= apg.Run({group, bez, area}, {});
    rc |= apl.Run({place, bez, group, area}, {});
  }
  for (int o = 0; o < data.orders && rc == 0; ++o) {
    char apk[13], t30[31], t10[11], area[11], t7[8];
    std::snprintf(apk, sizeof apk, "%012lld", 100000000000LL + o);
    std::snprintf(t30, sizeof t30, "Bezeichnung des Auftrags %05d", o % 100000);
    std::snprintf(t10, sizeof t10, "Txt%07d", o % 10000000);
    std::snprintf(t7, sizeof t7, "K%06d", o % 1000000);
    std::snprintf(area, sizeof area, "FB%02d", o % 100);
    rc |= auk.Run({apk, t30, t30, t10, t7, t30, t30, "20240301", "20240315", "Teil-12345-67890",
                   t30, t30, "STK", t30, t30, t30, area, "K100"},
                  {1, data.operations, 1234});
    for (int p = 0; p < data.operations && rc == 0; ++p) {
      char app[6], vaf[6], naf[6], group[11], place[11];
      std::snprintf(app, sizeof app, "%05d", (p + 1) * 10 % 100000);
      std::snprintf(vaf, sizeof vaf, "%05d", p * 10 % 100000);
      std::snprintf(naf, sizeof naf, "%05d", (p + 2) * 10 % 100000);
      std::snprintf(group, sizeof group, "AG%02d", (o + p) % kGroups);
      std::snprintf(place, sizeof place, "AP%02d", (o + p) % kGroups);
      rc |= afo.Run({apk, app, vaf, naf, t30, t30, t10, "20240302", "073000", "20240303",
                     "161500", "KG", group, place, t30, t30, t30, "K100", area},
                    {1, 5, 100, 12, 2, 3});
    }
  }
  for (Insert* ins : {&cfg, &apg, &apl, &auk, &afo}) sqlite3_finalize(ins->st);
  if (rc != 0) std::fprintf(stderr, "pps2bde-bench: cannot fill the database: %s\n",
                            sqlite3_errmsg(db));
  return rc;
}

int Exec(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) == SQLITE_OK) return 0;
  std::fprintf(stderr, "pps2bde-bench: %s\n", err != nullptr ? err : sqlite3_errmsg(db));
  sqlite3_free(err);
  return -1;
}

}  // namespace

int Bench_Layout(const BenchPaths& paths, const BenchData& data) {
  const Layout layout{paths.root};
  if (int e = Layout_MakeFolders(layout)) {
    std::fprintf(stderr, "pps2bde-bench: cannot lay out %s: %s\n", paths.root.c_str(),
                 std::strerror(e));
    return -1;
  }
  if (Layout_WriteConfig(paths.config(), "bench", "bench", kLayoutDefaultNet8) != 0) {
    std::fprintf(stderr, "pps2bde-bench: cannot write %s\n", paths.config().c_str());
    return -1;
  }
  std::string error;
  if (Layout_CreateSqlite(paths.db(), &error) != 0) {
    std::fprintf(stderr, "pps2bde-bench: cannot create %s %s\n", paths.db().c_str(),
                 error.c_str());
    return -1;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(paths.db().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "pps2bde-bench: cannot open %s\n", paths.db().c_str());
    sqlite3_close(db);
    return -1;
  }
  int rc = Exec(db, "BEGIN");
  if (rc == 0) rc = Fill(db, data);
  if (rc == 0) rc = Exec(db, "COMMIT");
  // The job starts on a checkpointed database, as after any earlier run.
  if (rc == 0) rc = Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
  sqlite3_close(db);
  return rc;
}

int Bench_Sql(const std::string& dbPath, const std::string& sql, long long* firstValue) {
  sqlite3* db = nullptr;
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(st);
    if (rc == SQLITE_ROW && firstValue != nullptr) *firstValue = sqlite3_column_int64(st, 0);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  if (rc != SQLITE_OK) std::fprintf(stderr, "pps2bde-bench: %s: %s\n", sql.c_str(),
                                    sqlite3_errmsg(db));
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rc == SQLITE_OK ? 0 : -1;
}
