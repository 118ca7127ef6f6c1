// Tests of the SQLite schema: it loads, holds every table the job and its
// modules name, enforces the keys, keeps texts and dates as texts, and every
// statement text of the statement modules prepares against it (a statement
// that names a missing column or table does not prepare).
#include <sqlite3.h>

#include <cctype>
#include <cstring>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "schema/schema_text.h"
#include "tests/support/support.h"

namespace {

using testing_support::CreateDatabase;
using testing_support::ExecSql;
using testing_support::QuerySql;
using testing_support::TempDir;

// The database clock of these tests.
constexpr const char* kNow = "2024-05-06 07:08:09";

// --- Stand-ins for the engine's date functions, enough to run statements.

// 'YYYY-MM-DD HH:MM:SS' -> the digits of the mask yyyymmdd, HH24MISS or
// yyyymmddHH24MISS.
void ToChar(sqlite3_context* ctx, int, sqlite3_value** v) {
  if (sqlite3_value_type(v[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const char* d = reinterpret_cast<const char*>(sqlite3_value_text(v[0]));
  const char* m = reinterpret_cast<const char*>(sqlite3_value_text(v[1]));
  if (d == nullptr || m == nullptr || std::strlen(d) < 19) return sqlite3_result_null(ctx);
  std::string date = std::string(d, 4) + std::string(d + 5, 2) + std::string(d + 8, 2);
  std::string time = std::string(d + 11, 2) + std::string(d + 14, 2) + std::string(d + 17, 2);
  std::string mask(m);
  for (char& c : mask) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string out = mask == "yyyymmdd" ? date : mask == "hh24miss" ? time : date + time;
  sqlite3_result_text(ctx, out.c_str(), -1, SQLITE_TRANSIENT);
}

// Digits yyyymmdd[HHMMSS] -> 'YYYY-MM-DD HH:MM:SS'; NULL and '' give NULL.
void ToDate(sqlite3_context* ctx, int, sqlite3_value** v) {
  const unsigned char* t = sqlite3_value_text(v[0]);
  if (t == nullptr || *t == '\0') return sqlite3_result_null(ctx);
  std::string s(reinterpret_cast<const char*>(t));
  s.resize(14, '0');
  std::string out = s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + " " +
                    s.substr(8, 2) + ":" + s.substr(10, 2) + ":" + s.substr(12, 2);
  sqlite3_result_text(ctx, out.c_str(), -1, SQLITE_TRANSIENT);
}

// The day of a date at midnight.
void Trunc(sqlite3_context* ctx, int, sqlite3_value** v) {
  const unsigned char* t = sqlite3_value_text(v[0]);
  if (t == nullptr || std::strlen(reinterpret_cast<const char*>(t)) < 10) {
    return sqlite3_result_null(ctx);
  }
  std::string out = std::string(reinterpret_cast<const char*>(t), 10) + " 00:00:00";
  sqlite3_result_text(ctx, out.c_str(), -1, SQLITE_TRANSIENT);
}

// The statement text as the engine hands it to SQLite: the "into :bN[:bM]"
// clause of an embedded select is dropped and the bare word sysdate becomes
// the clock.
std::string EngineText(const std::string& text) {
  static const std::regex into(R"(\s+into\s+:b\d+(:b\d+)?(\s*,\s*:b\d+(:b\d+)?)*\s+)",
                               std::regex::icase);
  static const std::regex sysdate(R"(\bsysdate\b)", std::regex::icase);
  std::string s = std::regex_replace(text, into, " ");
  return std::regex_replace(s, sysdate, std::string("'") + kNow + "'");
}

class SchemaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_ / "bde.db";
    CreateDatabase(path_);
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr));
    std::string attach = "attach database '" + path_ + "' as KvnSystem";
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db_, attach.c_str(), nullptr, nullptr, nullptr))
        << sqlite3_errmsg(db_);
    const int f = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    ASSERT_EQ(SQLITE_OK, sqlite3_create_function(db_, "TO_CHAR", 2, f, nullptr, ToChar,
                                                 nullptr, nullptr));
    ASSERT_EQ(SQLITE_OK, sqlite3_create_function(db_, "TO_DATE", 2, f, nullptr, ToDate,
                                                 nullptr, nullptr));
    ASSERT_EQ(SQLITE_OK, sqlite3_create_function(db_, "TRUNC", 1, f, nullptr, Trunc,
                                                 nullptr, nullptr));
  }
  void TearDown() override { sqlite3_close(db_); }

  // "" when the statement prepares, else SQLite's message.
  std::string PrepareError(const std::string& text) {
    sqlite3_stmt* st = nullptr;
    std::string s = EngineText(text);
    int rc = sqlite3_prepare_v2(db_, s.c_str(), -1, &st, nullptr);
    std::string err = rc == SQLITE_OK ? "" : sqlite3_errmsg(db_);
    sqlite3_finalize(st);
    return err;
  }

  // Runs raw SQL on the test connection; the extended result code.
  int Run(const std::string& sql) {
    sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    return sqlite3_extended_errcode(db_);
  }

  // The rows of a statement text after the engine's rewriting, each row's
  // columns joined by '|'; binds are texts for :b0, :b1, ... in order.
  std::string Rows(const std::string& text, const std::vector<std::string>& binds) {
    sqlite3_stmt* st = nullptr;
    std::string s = EngineText(text);
    if (sqlite3_prepare_v2(db_, s.c_str(), -1, &st, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << "\n in: " << s;
      return "";
    }
    for (size_t i = 0; i < binds.size(); ++i) {
      std::string name = ":b" + std::to_string(i);
      int idx = sqlite3_bind_parameter_index(st, name.c_str());
      if (idx > 0) sqlite3_bind_text(st, idx, binds[i].c_str(), -1, SQLITE_TRANSIENT);
    }
    std::string out;
    while (sqlite3_step(st) == SQLITE_ROW) {
      if (!out.empty()) out += '\n';
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        if (c) out += '|';
        const unsigned char* t = sqlite3_column_text(st, c);
        out += t ? reinterpret_cast<const char*>(t) : "<null>";
      }
    }
    sqlite3_finalize(st);
    return out;
  }

  // SQLite's plan for a query, its detail lines joined by '\n'.
  std::string Plan(const std::string& text) {
    return Rows("explain query plan " + text, {"x"});
  }

  TempDir dir_;
  std::string path_;
  sqlite3* db_ = nullptr;
};

// --- Tables and column types.

const char* const kTables[] = {
    "Kvn500Auk", "Kvn503Afo", "Kvn501Apk", "Kvn504App", "Kvn530Apg",      "Kvn531Apl",
    "Kvn542Dwn", "Kvn540Dnl", "Kvn557Cfg", "Kvn543Upd", "Kvn521Ubg",      "Kvn510Prv",
    "Kvn559Fbe", "Kvn537Ksg", "Kvn553Fzu", "Kvn532Aem", "Kvn533Emo",      "Kvn535Pms",
    "Kvn536Pmz", "Kvn555Vrg", "Kvn329Ztg", "Kvn300Pnr", "Kvn310Bsv",      "Kvn591Nzp",
    "Kvn133Bak", "Kvn133Kal", "Kvn301Asw", "o1003Kststelle",
};

TEST(SchemaTextTest, LoadsIntoAFreshDatabaseOnlyOnce) {
  TempDir dir;
  std::string path = dir / "bde.db";
  ASSERT_GT(std::strlen(Schema_SqliteText()), 1000u);
  CreateDatabase(path);  // fails the test on any error
  // Loading it again into a filled database must fail: no statement of the
  // schema silently skips an existing table.
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
  EXPECT_NE(SQLITE_OK, sqlite3_exec(db, Schema_SqliteText(), nullptr, nullptr, nullptr));
  sqlite3_close(db);
}

TEST(SchemaTextTest, AFailedLoadLeavesNoTableBehind) {
  TempDir dir;
  std::string path = dir / "bde.db";
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
  // The last table already exists, so the load fails near its end.
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, "create table Kvn301Asw (x)", nullptr, nullptr, nullptr));
  EXPECT_NE(SQLITE_OK, sqlite3_exec(db, Schema_SqliteText(), nullptr, nullptr, nullptr));
  sqlite3_close(db);
  EXPECT_EQ("Kvn301Asw", QuerySql(path, "select name from sqlite_master"));
}

TEST(SchemaTextTest, LoadsInsideTheCallersTransaction) {
  // The admin tool wraps the load in BEGIN ... COMMIT.
  TempDir dir;
  std::string path = dir / "bde.db";
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr));
  EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, Schema_SqliteText(), nullptr, nullptr, nullptr))
      << sqlite3_errmsg(db);
  EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
  sqlite3_close(db);
  EXPECT_EQ("28", QuerySql(path, "select count(*) from sqlite_master where type='table'"));
}

TEST_F(SchemaTest, HoldsExactlyTheNamedTablesSpelledAsNamed) {
  std::set<std::string> want(std::begin(kTables), std::end(kTables));
  std::set<std::string> have;
  std::string rows = QuerySql(path_, "select name from sqlite_master where type='table' "
                                     "order by name");
  size_t start = 0;
  while (start <= rows.size()) {
    size_t end = rows.find('\n', start);
    if (end == std::string::npos) end = rows.size();
    if (end > start) have.insert(rows.substr(start, end - start));
    start = end + 1;
  }
  EXPECT_EQ(want, have);
}

TEST_F(SchemaTest, ColumnsAreTextIntegerOrReal) {
  // Other declared types would bring other affinities: "DATE" or "NUMBER"
  // would turn the text '073000' into the number 73000.
  for (const char* t : kTables) {
    std::string types = QuerySql(path_, std::string("select name || ':' || type from "
                                                     "pragma_table_info('") + t + "')");
    ASSERT_FALSE(types.empty()) << t;
    std::regex ok(R"(^\w+:(TEXT|INTEGER|REAL)$)");
    size_t start = 0;
    while (start < types.size()) {
      size_t end = types.find('\n', start);
      if (end == std::string::npos) end = types.size();
      std::string line = types.substr(start, end - start);
      EXPECT_TRUE(std::regex_match(line, ok)) << t << " " << line;
      start = end + 1;
    }
  }
}

TEST_F(SchemaTest, TextsKeepLeadingZerosAndDatesStayText) {
  ASSERT_EQ(SQLITE_OK,
            Run("insert into Kvn503Afo (AfoApk,AfoApp,AfoBgs,AfoBgz,AfoEns,AfoEnz) values "
                "('000000000042','00010','20240102','073000','20240103','000500')"));
  EXPECT_EQ("000000000042|00010|20240102|073000|20240103|000500|text|text",
            QuerySql(path_, "select AfoApk,AfoApp,AfoBgs,AfoBgz,AfoEns,AfoEnz,"
                            "typeof(AfoBgz),typeof(AfoApp) from Kvn503Afo"));
  ASSERT_EQ(SQLITE_OK, Run("insert into Kvn501Apk (ApkApk,ApkBgs,ApkDat,ApkSts,ApkSme) values "
                           "('000000000042','2024-01-02 00:00:00','2024-05-06 07:08:09',"
                           "'10','12.5')"));
  EXPECT_EQ("text|text|integer|real",
            QuerySql(path_, "select typeof(ApkBgs),typeof(ApkDat),typeof(ApkSts),"
                            "typeof(ApkSme) from Kvn501Apk"));
}

// --- Keys.

struct Key {
  const char* table;
  std::vector<const char*> columns;
};

// A value for a key column: dates in the stored form, numbers, texts.
std::string KeyValue(const std::string& column, int variant) {
  static const std::set<std::string> dates = {"DnlDta", "KsgGvo", "ZtgVon", "NzpGvn",
                                              "NzpGbi", "BakDtm", "AswGvo"};
  static const std::set<std::string> numbers = {"DnlLfn", "CfgDta", "PmsNum", "NzpAkz"};
  if (dates.count(column)) return "'2024-01-0" + std::to_string(1 + variant) + " 00:00:00'";
  if (numbers.count(column)) return std::to_string(7 + variant);
  return "'K" + std::to_string(variant) + "'";
}

std::string Insert(const Key& k, const std::vector<std::string>& values) {
  std::string cols, vals;
  for (size_t i = 0; i < k.columns.size(); ++i) {
    cols += (i ? "," : "") + std::string(k.columns[i]);
    vals += (i ? "," : "") + values[i];
  }
  return std::string("insert into ") + k.table + " (" + cols + ") values (" + vals + ")";
}

TEST_F(SchemaTest, PrimaryKeysRejectDuplicatesAndNulls) {
  const std::vector<Key> keys = {
      {"Kvn500Auk", {"AukApk"}},
      {"Kvn503Afo", {"AfoApk", "AfoApp"}},
      {"Kvn501Apk", {"ApkApk"}},
      {"Kvn504App", {"AppApk", "AppApp"}},
      {"Kvn530Apg", {"ApgApg"}},
      {"Kvn531Apl", {"AplApl"}},
      {"Kvn540Dnl", {"DnlDta", "DnlErf", "DnlLfn"}},
      {"Kvn557Cfg", {"CfgDta"}},
      {"Kvn543Upd", {"UpdKey"}},
      {"Kvn521Ubg", {"UbgUbg"}},
      {"Kvn510Prv", {"PrvPnr"}},
      {"Kvn559Fbe", {"FbeFbe"}},
      {"Kvn537Ksg", {"KsgApg", "KsgGvo"}},
      {"Kvn553Fzu", {"FzuFcd", "FzuAec"}},
      {"Kvn535Pms", {"PmsNum"}},
      {"Kvn555Vrg", {"VrgBer", "VrgFld"}},
      {"Kvn329Ztg", {"ZtgPnr", "ZtgVon"}},
      {"Kvn300Pnr", {"PnrNum"}},
      {"Kvn591Nzp", {"NzpAkz", "NzpGvn", "NzpGbi"}},
      {"o1003Kststelle", {"KstNum"}},
      {"Kvn133Bak", {"BakDtm"}},
      {"Kvn301Asw", {"AswNum", "AswGvo"}},
  };
  for (const Key& k : keys) {
    SCOPED_TRACE(k.table);
    std::vector<std::string> first;
    for (const char* c : k.columns) first.push_back(KeyValue(c, 0));
    ASSERT_EQ(SQLITE_OK, Run(Insert(k, first))) << sqlite3_errmsg(db_);
    EXPECT_EQ(SQLITE_CONSTRAINT_PRIMARYKEY, Run(Insert(k, first)));
    // Each key part takes part: changing any one of them gives a new row.
    for (size_t i = 0; i < k.columns.size(); ++i) {
      std::vector<std::string> other = first;
      other[i] = KeyValue(k.columns[i], 1 + static_cast<int>(i));
      EXPECT_EQ(SQLITE_OK, Run(Insert(k, other))) << k.columns[i];
      // A key part may not be NULL (Oracle's primary keys are NOT NULL; the
      // client binds an empty text as NULL).
      other[i] = "NULL";
      EXPECT_EQ(SQLITE_CONSTRAINT_NOTNULL, Run(Insert(k, other))) << k.columns[i];
    }
  }
}

TEST_F(SchemaTest, OperationKeyIsOrderAndOperationTogether) {
  ASSERT_EQ(SQLITE_OK, Run("insert into Kvn504App (AppApk,AppApp) values ('A1','00010')"));
  EXPECT_EQ(SQLITE_OK, Run("insert into Kvn504App (AppApk,AppApp) values ('A2','00010')"));
  EXPECT_EQ(SQLITE_OK, Run("insert into Kvn504App (AppApk,AppApp) values ('A1','00020')"));
  EXPECT_EQ(SQLITE_CONSTRAINT_PRIMARYKEY,
            Run("insert into KVN504APP (AppApk,AppApp) values ('A2','00010')"));
}

TEST_F(SchemaTest, StatisticsTableTakesIdenticalRows) {
  const char* row = "insert into Kvn542Dwn (DwnDta,DwnApk,DwnErf) values "
                    "('2024-05-06 07:08:09',0,'ZuzErOro')";
  ASSERT_EQ(SQLITE_OK, Run(row));
  EXPECT_EQ(SQLITE_OK, Run(row));
  EXPECT_EQ("2", QuerySql(path_, "select count(*) from Kvn542Dwn"));
}

// --- Download cursors are served by an index, sorted without a temporary
// tree, also with NULL after every value (the engine gives every ascending
// ORDER BY term "nulls last").

TEST_F(SchemaTest, DownloadCursorsUseTheirIndexes) {
  const struct {
    const char* query;
    const char* index;
  } cursors[] = {
      {"select ApkApk from Kvn501Apk where ApkDwn=:b0 order by ApkDwn nulls last,ApkFbe nulls last",
       "Kvn501Apk_Dwn"},
      {"select AppApk from Kvn504App where AppDwn=:b0 order by AppDwn nulls last,AppFbe nulls last",
       "Kvn504App_Dwn"},
      {"select ApgApg from Kvn530Apg where ApgDwn=:b0 order by ApgFbe nulls last",
       "Kvn530Apg_Dwn"},
      {"select AplApl from Kvn531Apl where AplDwn=:b0 order by AplFbe nulls last",
       "Kvn531Apl_Dwn"},
      {"select UbgUbg from Kvn521Ubg where UbgDwn=:b0 order by UbgFbe nulls last",
       "Kvn521Ubg_Dwn"},
      {"select PrvPnr from Kvn510Prv where PrvDwn=:b0 order by PrvFbe nulls last",
       "Kvn510Prv_Dwn"},
      {"select AplBez from Kvn531Apl where AplApg=:b0 order by AplApl nulls last",
       "Kvn531Apl_Apg"},
  };
  for (const auto& c : cursors) {
    std::string plan = Plan(c.query);
    EXPECT_NE(std::string::npos, plan.find(std::string("INDEX ") + c.index))
        << c.query << "\n" << plan;
    EXPECT_EQ(std::string::npos, plan.find("TEMP B-TREE")) << c.query << "\n" << plan;
  }
}

// --- Dates as texts and the second name of the file.

TEST_F(SchemaTest, DateTextsCompareInTimeOrder) {
  // Valid from 31 Jan to 6 May (end exclusive) and from 6 May on: today,
  // 6 May, the second row is the valid one.  Month and day must compare as
  // numbers would, which the zero-padded text form gives.
  ASSERT_EQ(SQLITE_OK,
            Run("insert into Kvn537Ksg (KsgApg,KsgKst,KsgGvo,KsgGbi) values "
                "('G1','OLD','2024-01-31 00:00:00','2024-05-06 00:00:00'),"
                "('G1','NEW','2024-05-06 00:00:00',NULL),"
                "('G1','LATER','2024-10-01 00:00:00',NULL)"));
  EXPECT_EQ("G1|NEW",
            Rows("select KsgApg ,KsgKst into :b0:b1,:b2:b3  from Kvn537Ksg where "
                 "((KsgApg=:b0 and KsgGvo<=trunc(sysdate)) and (KsgGbi>trunc(sysdate) or "
                 "KsgGbi is null ))",
                 {"G1"}));
}

TEST_F(SchemaTest, KvnSystemNamesTheSameTables) {
  ASSERT_EQ(SQLITE_OK, Run("insert into Kvn133Bak (BakDtm,BakJhr) values "
                           "('2024-05-06 00:00:00',2024)"));
  EXPECT_EQ("2024", Rows("select BakJhr from KvnSystem.Kvn133Bak where "
                         "BakDtm=TO_DATE(:b0,'yyyymmdd')",
                         {"20240506"}));
}

// --- Every statement text prepares.

struct Statement {
  const char* name;
  std::string text;
};

// Column lists that several statements share.
const std::string kApkCols =
    "ApkApk ,ApkBz1 ,ApkBz2 ,ApkTxt ,ApkSts ,ApkSis ,ApkKun ,ApkKb1 ,ApkKb2 ,"
    "TO_CHAR(ApkBgs,'yyyymmdd') ,TO_CHAR(ApkEns,'yyyymmdd') ,ApkAfo ,ApkEaf ,ApkTnr ,ApkTb1 ,"
    "ApkTb2 ,ApkSme ,ApkIme ,ApkMee ,TO_CHAR(ApkBdi,'yyyymmdd') ,TO_CHAR(ApkBdi,'HH24MISS') ,"
    "TO_CHAR(ApkEdi,'yyyymmdd') ,TO_CHAR(ApkEdi,'HH24MISS') ,ApkFbe ,ApkKst ,ApkZf1 ,ApkZf2 ,"
    "ApkZf3 ,ApkKnz ,ApkSsn ,";
const std::string kApkRead = "select " + kApkCols +
                             "ApkDna ,ApkDwn ,ApkSta ,ApkErf ,ApkAba  from Kvn501Apk ";
const std::string kApkCursor = "select " + kApkCols +
                               "ApkDwn ,ApkDna ,ApkSta ,ApkErf ,ApkAba  from Kvn501Apk ";
const std::string kApkDnl =
    "select " + kApkCols +
    "ApkDna ,ApkDwn ,ApkSta ,TO_CHAR(ApkDat,'yyyymmddHH24MISS') ,ApkErf ,ApkAba  from "
    "Kvn501Apk ";

std::string AppDatePairs() {
  std::string s;
  for (const char* c : {"AppBdi", "AppBds", "AppSbd", "AppEdi", "AppEds", "AppSed", "AppRad",
                        "AppRed"}) {
    s += std::string("TO_CHAR(") + c + ",'yyyymmdd') ,TO_CHAR(" + c + ",'HH24MISS') ,";
  }
  return s;
}
const std::string kAppRead =
    "select AppApk ,AppApp ,AppVaf ,AppNaf ,AppBz1 ,AppBz2 ,AppTxt ,AppSts ,AppSis ," +
    AppDatePairs() +
    "AppAgs ,AppAbs ,AppAes ,AppSme ,AppIme ,AppAme ,AppMee ,AppSza ,AppStr ,AppSte ,AppIta ,"
    "AppItr ,AppIte ,AppApg ,AppApl ,AppKt1 ,AppKz1 ,AppKt2 ,AppKz2 ,AppKt3 ,AppKz3 ,AppKt4 ,"
    "AppKz4 ,AppFbe ,AppKst ,AppZf1 ,AppZf2 ,AppZf3 ,AppKnz ,AppSsn ,AppDna ,AppDwn ,AppSta ,"
    "TO_CHAR(AppDat,'yyyymmddHH24MISS') ,AppErf  from Kvn504App ";

const std::string kAukCols =
    "select AukApk ,AukBz1 ,AukBz2 ,AukTxt ,AukSts ,AukBgs ,AukEns ,AukAfo ,AukTnr ,AukTb1 ,"
    "AukTb2 ,AukSme ,AukMee ,AukZf1 ,AukZf2 ,AukZf3 ,AukKun ,AukKb1 ,AukKb2 ,AukFbe ,AukKst  "
    "from Kvn500Auk ";
const std::string kAfoCols =
    "select AfoApk ,AfoApp ,AfoVaf ,AfoNaf ,AfoBz1 ,AfoBz2 ,AfoTxt ,AfoSts ,AfoBgs ,AfoBgz ,"
    "AfoEns ,AfoEnz ,AfoAgs ,AfoSme ,AfoMee ,AfoSta ,AfoStr ,AfoSte ,AfoApg ,AfoApl ,AfoZf1 ,"
    "AfoZf2 ,AfoZf3 ,AfoFbe ,AfoKst  from Kvn503Afo ";

const std::string kApgTail =
    "ApgApl ,ApgTag ,ApgKap ,ApgPrd ,ApgRst ,ApgPau ,ApgUnt ,ApgIak ,ApgSt1 ,ApgSt2 ,ApgSt3 ,"
    "ApgSf1 ,ApgSf2 ,ApgSf3 ,ApgZf1 ,ApgZf2 ,ApgZf3 ,ApgDna ,ApgDwn ,ApgSta ,ApgErf  ";
const std::string kApgCols =
    "select ApgApg ,ApgBez ,ApgTxt ,ApgFbe ,ApgKst ," + kApgTail + "from Kvn530Apg ";
const std::string kAplCols =
    "select AplApl ,AplBez ,AplTxt ,AplApg ,AplFbe ,AplSts ,AplSis ,AplApr ,AplAaf ,AplUbg ,"
    "TO_CHAR(AplUdt,'yyyymmddHH24MISS') ,AplTag ,AplVrf ,AplRsp ,AplRsi ,AplAfp ,AplAfi ,"
    "AplPau ,AplUnt ,AplIak ,AplAvt ,AplKap ,AplAvr ,AplAvp ,AplSt1 ,AplSt2 ,AplSt3 ,AplSf1 ,"
    "AplSf2 ,AplSf3 ,AplZf1 ,AplZf2 ,AplZf3 ,AplDna ,AplDwn ,AplSta ,AplErf  from Kvn531Apl ";
const std::string kUbgCols =
    "select UbgUbg ,UbgKnz ,UbgFbe ,UbgBez ,UbgTxt ,UbgZf1 ,UbgZf2 ,UbgZf3 ,UbgAst ,UbgRst ,"
    "UbgAsf ,UbgSt1 ,UbgSt2 ,UbgSt3 ,UbgSf1 ,UbgSf2 ,UbgSf3 ,UbgDna ,UbgDwn ,UbgSta ,UbgErf  "
    "from Kvn521Ubg ";
const std::string kPrvRead =
    "select PrvPnr ,TO_CHAR(PrvGvo,'yyyymmdd') ,TO_CHAR(PrvGbi,'yyyymmdd') ,PrvBer ,PrvKst ,"
    "PrvFbe ,PrvMmb ,PrvZf1 ,PrvZf2 ,PrvZf3 ,PrvSta ,PrvErf ,PrvDna ,PrvDwn ,PrvAwn ,PrvAwa ,"
    "PrvAnw ,PrvApl ,PrvApp ,PrvPzm ,TO_CHAR(PrvAvn,'yyyymmddHH24MISS') ,"
    "TO_CHAR(PrvAbi,'yyyymmddHH24MISS') ,PrvNam ,PrvStr ,PrvOrt  from Kvn510Prv ";
const std::string kPrvCursor =
    "select PrvPnr ,TO_CHAR(PrvGvo,'yyyymmdd') ,TO_CHAR(PrvGbi,'yyyymmdd') ,PrvBer ,PrvKst ,"
    "PrvFbe ,PrvMmb ,PrvZf1 ,PrvZf2 ,PrvZf3 ,PrvDna ,PrvDwn ,PrvAwa ,PrvAwn ,PrvAnw ,"
    "TO_CHAR(PrvAvn,'yyyymmddHH24MISS') ,TO_CHAR(PrvAbi,'yyyymmddHH24MISS') ,PrvApl ,PrvApp ,"
    "PrvPzm ,PrvSta ,PrvErf ,PrvNam ,PrvStr ,PrvOrt  from Kvn510Prv ";
const std::string kKsgCols =
    "select KsgApg ,KsgKst ,TO_CHAR(KsgGvo,'yyyymmdd') ,TO_CHAR(KsgGbi,'yyyymmdd') ,KsgFbe ,"
    "KsgZf1 ,KsgZf2 ,KsgZf3 ,KsgSta ,KsgErf  from Kvn537Ksg ";
const std::string kCfgCols =
    "select CfgDta ,CfgIP ,CfgPrt ,CfgBez ,CfgTxt ,CfgKr1 ,CfgVn1 ,CfgBi1 ,CfgBz1 ,CfgVn2 ,"
    "CfgBi2 ,CfgBz2 ,CfgVn3 ,CfgBi3 ,CfgBz3 ,CfgVn4 ,CfgBi4 ,CfgBz4 ,CfgVn5 ,CfgBi5 ,CfgBz5 ,"
    "CfgSta ,TO_CHAR(CfgDat,'yyyymmddHH24MISS') ,CfgErf  from Kvn557Cfg ";

// "set A=:b0,B=:b1,..." with the listed expressions in place of a bind.
std::string Assignments(const std::vector<std::string>& columns,
                        const std::vector<std::pair<std::string, std::string>>& exprs) {
  std::string s;
  for (size_t i = 0; i < columns.size(); ++i) {
    std::string value = ":b" + std::to_string(i);
    for (const auto& e : exprs) {
      if (e.first == columns[i]) value = e.second;
    }
    s += (i ? "," : "") + columns[i] + "=" + value;
  }
  return s;
}

// "(A,B,...) values (:b0,:b1,...)" with the listed expressions in place of a
// bind.
std::string InsertList(const std::vector<std::string>& columns,
                       const std::vector<std::pair<std::string, std::string>>& exprs) {
  std::string cols, vals;
  for (size_t i = 0; i < columns.size(); ++i) {
    std::string value = ":b" + std::to_string(i);
    for (const auto& e : exprs) {
      if (e.first == columns[i]) value = e.second;
    }
    cols += (i ? "," : "") + columns[i];
    vals += (i ? "," : "") + value;
  }
  return "(" + cols + ") values (" + vals + ")";
}

std::vector<Statement> CoreStatements() {
  const std::vector<std::string> apkUpd = {
      "ApkApk", "ApkBz1", "ApkBz2", "ApkTxt", "ApkKun", "ApkKb1", "ApkKb2", "ApkBgs", "ApkEns",
      "ApkTnr", "ApkTb1", "ApkTb2", "ApkMee", "ApkBdi", "ApkEdi", "ApkFbe", "ApkKst", "ApkZf1",
      "ApkZf2", "ApkZf3", "ApkKnz", "ApkDwn", "ApkDna", "ApkDat", "ApkErf", "ApkEaf", "ApkAba",
      "ApkAfo", "ApkSts", "ApkSis", "ApkSme", "ApkIme", "ApkSsn", "ApkSta"};
  const std::vector<std::string> apkIns = {
      "ApkApk", "ApkBz1", "ApkBz2", "ApkTxt", "ApkSts", "ApkSis", "ApkKun", "ApkKb1", "ApkKb2",
      "ApkBgs", "ApkEns", "ApkAfo", "ApkEaf", "ApkTnr", "ApkTb1", "ApkTb2", "ApkSme", "ApkIme",
      "ApkMee", "ApkBdi", "ApkEdi", "ApkFbe", "ApkKst", "ApkZf1", "ApkZf2", "ApkZf3", "ApkKnz",
      "ApkSsn", "ApkDwn", "ApkDna", "ApkSta", "ApkDat", "ApkErf", "ApkAba"};
  const std::vector<std::string> appIns = {
      "AppApk", "AppApp", "AppVaf", "AppNaf", "AppBz1", "AppBz2", "AppTxt", "AppSts", "AppSis",
      "AppBdi", "AppBds", "AppSbd", "AppEdi", "AppEds", "AppSed", "AppRad", "AppRed", "AppAgs",
      "AppAbs", "AppAes", "AppSme", "AppIme", "AppAme", "AppMee", "AppSza", "AppStr", "AppSte",
      "AppIta", "AppItr", "AppIte", "AppApg", "AppApl", "AppKt1", "AppKz1", "AppKt2", "AppKz2",
      "AppKt3", "AppKz3", "AppKt4", "AppKz4", "AppFbe", "AppKst", "AppZf1", "AppZf2", "AppZf3",
      "AppKnz", "AppSsn", "AppDna", "AppDwn", "AppSta", "AppDat", "AppErf"};
  const std::vector<std::string> appUpd = {
      "AppApk", "AppApp", "AppVaf", "AppNaf", "AppBz1", "AppBz2", "AppTxt", "AppSts", "AppSis",
      "AppBdi", "AppBds", "AppSbd", "AppEdi", "AppEds", "AppSed", "AppRad", "AppRed", "AppAgs",
      "AppAbs", "AppAes", "AppSme", "AppIme", "AppAme", "AppMee", "AppSza", "AppStr", "AppSte",
      "AppIta", "AppItr", "AppIte", "AppApg", "AppApl", "AppKt1", "AppKz1", "AppKt2", "AppKz2",
      "AppKt3", "AppKz3", "AppKt4", "AppKz4", "AppFbe", "AppKst", "AppZf1", "AppZf2", "AppZf3",
      "AppKnz", "AppSsn", "AppSta", "AppDat", "AppErf", "AppDwn", "AppDna"};
  std::vector<std::pair<std::string, std::string>> appDates;
  int b = 9;
  for (const char* c : {"AppBdi", "AppBds", "AppSbd", "AppEdi", "AppEds", "AppSed", "AppRad",
                        "AppRed"}) {
    appDates.push_back({c, "TO_DATE(:b" + std::to_string(b++) + ",'yyyymmddHH24MISS')"});
  }
  appDates.push_back({"AppDat", "sysdate"});

  return {
      // Planning-system interface.
      {"Auk_Open", kAukCols + "where (AukApk>:b0 and AukApk<:b1) order by AukApk"},
      {"Auk_PKeyDel", "delete  from Kvn500Auk  where AukApk=:b0"},
      {"Afo_Open 1", kAfoCols + "where (AfoApk>:b0 and AfoApk<:b1) order by AfoApk asc"},
      {"Afo_Open 2", kAfoCols + "where (AfoApk>:b0 and AfoApk<:b1) order by AfoApk desc"},
      {"Afo_PKeyDel", "delete  from Kvn503Afo  where (AfoApk=:b0 and AfoApp=:b1)"},
      // Orders.
      {"Apk_PKeyReadk", kApkRead + "where ApkApk=:b0"},
      {"Apk_PKeyUpd",
       "update KVN501Apk  set " +
           Assignments(apkUpd, {{"ApkBgs", "TO_DATE(:b7,'yyyymmdd')"},
                                {"ApkEns", "TO_DATE(:b8,'yyyymmdd')"},
                                {"ApkBdi", "TO_DATE(:b13,'yyyymmddHH24MISS')"},
                                {"ApkEdi", "TO_DATE(:b14,'yyyymmddHH24MISS')"},
                                {"ApkDat", "sysdate"}}) +
           " where ApkApk=:b0"},
      {"Apk_PKeyIns", "insert into Kvn501Apk " +
                          InsertList(apkIns, {{"ApkBgs", "TO_DATE(:b9,'yyyymmdd')"},
                                              {"ApkEns", "TO_DATE(:b10,'yyyymmdd')"},
                                              {"ApkBdi", "null"},
                                              {"ApkEdi", "null"},
                                              {"ApkDat", "sysdate"}})},
      {"Apk_PKeyDel", "delete  from Kvn501Apk  where ApkApk=:b0"},
      {"Apk_Open 1", kApkCursor + "where (ApkApk>:b0 and ApkApk<:b1) order by ApkApk"},
      {"Apk_Open 2", kApkCursor + "where (ApkApk>:b0 and ApkApk<:b1) order by ApkApk desc"},
      {"Apk_OpenDnl", kApkDnl + "where ApkDwn=:b0 order by ApkDwn,ApkFbe"},
      // Operations.
      {"App_PKeyReadk", kAppRead + "where (AppApk=:b0 and AppApp=:b2)"},
      {"App_PKeyIns", "insert into Kvn504App " + InsertList(appIns, appDates)},
      {"App_PKeyUpd", "update KVN504App  set " + Assignments(appUpd, appDates) +
                          " where (AppApk=:b0 and AppApp=:b1)"},
      {"App_PKeyDel", "delete  from Kvn504App  where (AppApk=:b0 and AppApp=:b1)"},
      {"Apk_AppDel", "update KVN504App  set AppDwn=:b0,AppDna=:b1 where AppApk=:b2"},
      {"App_Open 1", kAppRead +
                         "where ((AppApk>:b0 or (AppApk=:b0 and AppApp>:b1)) and (AppApk<:b2 "
                         "or (AppApk=:b2 and AppApp<:b3))) order by AppApk,AppApp"},
      {"App_Open 2",
       kAppRead + "where (AppApk>:b0 and AppApk<:b1) order by AppApk,AppApp desc"},
      {"App_OpenSts",
       kAppRead + "where (((AppApk>:b0 or (AppApk=:b0 and AppApp>=:b2)) and (AppApk<:b3 or "
                  "(AppApk=:b3 and AppApp<=:b5))) and AppSts<>:b6) order by AppApk,AppApp"},
      {"App_OpenZf2", kAppRead + "where AppZf2=:b0 order by AppZf2"},
      {"App_CountZf2", "select count(*)  into :b0  from Kvn504App where AppZf2=:b1"},
      {"App_OpenDnl", kAppRead + "where AppDwn=:b0 order by AppDwn,AppFbe"},
      // Statistics and queue.
      {"Dwn_PKeyIns",
       "insert into Kvn542Dwn (DwnDta,DwnApk,DwnApp,DwnAuk,DwnAfo,DwnNeu,DwnAen,DwnLoe,DwnZf1,"
       "DwnZf2,DwnZf3,DwnDat,DwnErf) values (TO_DATE(:b0,'yyyymmddHH24MISS'),:b1,:b2,:b3,:b4,"
       ":b5,:b6,:b7,:b8,:b9,:b10,sysdate,:b11)"},
      {"Dwn_PKeyUpd",
       "update KVN542Dwn  set DwnDta=TO_DATE(:b0,'yyyymmddHH24MISS'),DwnApk=:b1,DwnApp=:b2,"
       "DwnAuk=:b3,DwnAfo=:b4,DwnNeu=:b5,DwnAen=:b6,DwnLoe=:b7,DwnZf1=:b8,DwnZf2=:b9,"
       "DwnZf3=:b10,DwnDat=sysdate,DwnErf=:b11 where (TO_CHAR(DwnDat,'yyyymmddHH24MISS')=:b0 "
       "and DwnErf=:b11)"},
      {"Dwn_PKeyDel",
       "delete  from Kvn542Dwn  where (TO_CHAR(DwnDat,'yyyymmddHH24MISS')=:b0 and "
       "DwnErf=:b1)"},
      {"Dnl_Open",
       "select TO_CHAR(DnlDta,'yyyymmdd') ,TO_CHAR(DnlDta,'HH24MISS') ,DnlLfn ,DnlVkz ,DnlBer "
       ",DnlFun ,DnlSkz ,DnlPnr ,DnlApk ,DnlApp ,DnlApl ,DnlDnl ,DnlErf  from Kvn540Dnl where "
       "(TO_CHAR(DnlDta,'yyyymmddHH24MISS')=:b0 and DnlErf=:b1) order by DnlSkz"},
      {"Dnl_PKeyIns",
       "insert into Kvn540Dnl (DnlDta,DnlLfn,DnlVkz,DnlBer,DnlFun,DnlSkz,DnlPnr,DnlApk,DnlApp,"
       "DnlApl,DnlDnl,DnlDat,DnlErf) values (sysdate,:b0,:b1,:b2,:b3,:b4,:b5,:b6,:b7,:b8,:b9,"
       "sysdate,:b10)"},
      {"Dnl_PKeyDel",
       "delete  from Kvn540Dnl  where ((TO_CHAR(DnlDta,'yyyymmddHH24MISS')=:b0 and "
       "DnlErf=:b1) and DnlLfn=:b2)"},
      // Terminal configuration and download ranges.
      {"Cfg_Open", kCfgCols + "where ((:b0>=CfgVn1 and :b0<=CfgBi1) or (:b0>=CfgVn2 and "
                              ":b0<=CfgBi2)) order by CfgDta"},
      {"Upd_PKeyReadk",
       "select UpdAkv ,UpdAkb ,UpdAav ,UpdAab ,UpdApv ,UpdApb ,UpdAlv ,UpdAlb ,UpdAgv ,UpdAgb "
       ",UpdUgv ,UpdUgb ,UpdAuv ,UpdAub ,UpdPvv ,UpdPvb ,UpdKsv ,UpdKsb  from Kvn543Upd where "
       "UpdKey=:b36"},
      {"Upd_PKeyUpd",
       "update KVN543Upd  set UpdAkv='" + std::string(12, ' ') + "',UpdAkb='" +
           std::string(12, ' ') + "',UpdAav='" + std::string(12, ' ') + "',UpdAab='" +
           std::string(12, ' ') + "',UpdApv='     ',UpdApb='     ',UpdAlv='" +
           std::string(10, ' ') + "',UpdAlb='" + std::string(10, ' ') + "',UpdAgv='" +
           std::string(10, ' ') + "',UpdAgb='" + std::string(10, ' ') +
           "',UpdUgv='     ',UpdUgb='     ',UpdAuv='     ',UpdAub='     ',UpdPvv='" +
           std::string(8, ' ') + "',UpdPvb='" + std::string(8, ' ') +
           "',UpdKsv='     ',UpdKsb='     ',UpdDat=sysdate,UpdErf='Download' where "
           "UpdKey=:b0"},
  };
}

std::vector<Statement> MasterDataStatements() {
  const std::vector<std::string> apgUpd = {
      "ApgApg", "ApgBez", "ApgTxt", "ApgKst", "ApgFbe", "ApgApl", "ApgZf1", "ApgZf2", "ApgZf3",
      "ApgTag", "ApgKap", "ApgPrd", "ApgPau", "ApgRst", "ApgUnt", "ApgIak", "ApgSt1", "ApgSt2",
      "ApgSt3", "ApgSf1", "ApgSf2", "ApgSf3", "ApgDna", "ApgDwn", "ApgSta", "ApgDat", "ApgErf"};
  const std::vector<std::string> aplUpd = {
      "AplApl", "AplBez", "AplTxt", "AplApg", "AplFbe", "AplSts", "AplSis", "AplApr",
      "AplAaf", "AplUbg", "AplUdt", "AplZf1", "AplZf2", "AplZf3", "AplTag", "AplVrf",
      "AplRsp", "AplRsi", "AplAfp", "AplAfi", "AplPau", "AplUnt", "AplIak", "AplAvt",
      "AplKap", "AplAvr", "AplAvp", "AplSt1", "AplSt2", "AplSt3", "AplSf1", "AplSf2",
      "AplSf3", "AplDna", "AplDwn", "AplSta", "AplDat", "AplErf"};
  const std::vector<std::string> ubgUpd = {
      "UbgUbg", "UbgBez", "UbgTxt", "UbgKnz", "UbgFbe", "UbgAst", "UbgZf1", "UbgZf2",
      "UbgZf3", "UbgRst", "UbgAsf", "UbgSt1", "UbgSt2", "UbgSt3", "UbgSf1", "UbgSf2",
      "UbgSf3", "UbgDna", "UbgDwn", "UbgSta", "UbgDat", "UbgErf"};
  const std::vector<std::string> prvIns = {
      "PrvPnr", "PrvGvo", "PrvGbi", "PrvBer", "PrvKst", "PrvFbe", "PrvMmb", "PrvZf1", "PrvZf2",
      "PrvZf3", "PrvSta", "PrvDat", "PrvErf", "PrvDna", "PrvDwn", "PrvAwn", "PrvAwa", "PrvAnw",
      "PrvApl", "PrvApp", "PrvPzm", "PrvAvn", "PrvAbi", "PrvNam", "PrvStr", "PrvOrt"};
  const std::vector<std::pair<std::string, std::string>> prvDates = {
      {"PrvGvo", "TO_DATE(:b1,'yyyymmdd')"},
      {"PrvGbi", "TO_DATE(:b2,'yyyymmdd')"},
      {"PrvDat", "sysdate"},
      {"PrvAvn", "TO_DATE(:b21,'yyyymmddHH24MISS')"},
      {"PrvAbi", "TO_DATE(:b22,'yyyymmddHH24MISS')"}};
  const std::vector<std::string> prvUpd(prvIns.begin() + 1, prvIns.end());

  const std::string aemFrom =
      "from Kvn532Aem ,KvnSystem.Kvn133Kal ,KvnSystem.Kvn133Bak ,Kvn533Emo where "
      "((((((((AemApg=:b0 and AemKng=:b1) and TO_CHAR(AemGvo,'yyyymmdd')<=:b2) and "
      "(TO_CHAR(AemGbi,'yyyymmdd')>=:b2 or AemGbi is null )) and AemKal=KalNum) and "
      "TO_CHAR(KalDtm,'yyyymmdd')=:b2) and TO_CHAR(BakDtm,'yyyymmdd')=:b2) and AemEmo=EmoEmo) "
      "and EmoTtp=KalBtp) order by EmoBeg";
  const std::string pmsWhere =
      "from Kvn533Emo ,Kvn536Pmz ,Kvn535Pms where ((((((EmoEmo=:b2 and EmoTtp=:b3) and "
      "EmoPmo=PmzPmo) and PmzPms=PmsNum) and TO_CHAR(PmzGvo,'yyyymmdd')<=:b4) and "
      "TO_CHAR(PmzGbi,'yyyymmdd')>=:b4) and ";
  const std::string aswCols =
      "AswGvo ,AswGbi ,AswErf ,AswDat  from KvnSystem.Kvn301Asw where ";

  return {
      // Work groups and workplaces.
      {"Apg_PKeyReadk", kApgCols + "where ApgApg=:b0"},
      {"Apg_PKeyUpd", "update KVN530Apg  set " + Assignments(apgUpd, {{"ApgDat", "sysdate"}}) +
                          " where ApgApg=:b0"},
      {"Apg_PKeyDel", "delete  from Kvn530Apg  where ApgApg=:b0"},
      {"Apg_Open", kApgCols + "where (ApgApg>:b0 and ApgApg<:b1) order by ApgApg"},
      {"Apg_OpenDnl",
       "select ApgApg ,ApgBez ,ApgTxt ,ApgFbe ,KsgKst ," + kApgTail +
           "from Kvn530Apg ,Kvn537Ksg where (((ApgDwn=:b0 and ApgApg=KsgApg) and "
           "KsgGvo<=trunc(sysdate)) and (KsgGbi is null  or KsgGbi>=trunc(sysdate))) order by "
           "ApgFbe"},
      {"Apl_PKeyReadk", kAplCols + "where AplApl=:b0"},
      {"Apl_PKeyUpd",
       "update KVN531Apl  set " +
           Assignments(aplUpd, {{"AplUdt", "TO_DATE(:b10,'yyyymmddHH24MISS')"},
                                {"AplDat", "sysdate"}}) +
           " where AplApl=:b0"},
      {"Apl_PKeyDel", "delete  from Kvn531Apl  where AplApl=:b0"},
      {"Apl_Open", kAplCols + "where (AplApl>:b0 and AplApl<:b1) order by AplApl"},
      {"Apl_OpenApg", kAplCols + "where AplApg=:b0 order by AplApl"},
      {"Apl_OpenDnl", kAplCols + "where AplDwn=:b0 order by AplFbe"},
      // Kvn521Ubg.
      {"Ubg_PKeyReadk", kUbgCols + "where UbgUbg=:b0"},
      {"Ubg_PKeyUpd", "update KVN521Ubg  set " + Assignments(ubgUpd, {{"UbgDat", "sysdate"}}) +
                          " where UbgUbg=:b0"},
      {"Ubg_PKeyDel", "delete  from Kvn521Ubg  where UbgUbg=:b0"},
      {"Ubg_Open", kUbgCols + "where (UbgUbg>:b0 and UbgUbg<:b1) order by UbgUbg"},
      {"Ubg_OpenDnl", kUbgCols + "where UbgDwn=:b0 order by UbgFbe"},
      // Kvn510Prv and Kvn559Fbe.
      {"Prv_PKeyReadk", kPrvRead + "where PrvPnr=:b0"},
      {"Prv_PKeyIns Fbe", "select FbeFbe into :b0:b1  from Kvn559Fbe where FbeTyp=1"},
      {"Prv_PKeyIns", "insert into Kvn510Prv " + InsertList(prvIns, prvDates)},
      {"Prv_Delete", "delete  from Kvn510Prv "},
      {"Prv_PKeyUpd",
       "update KVN510Prv  set " +
           Assignments(prvUpd, {{"PrvGvo", "TO_DATE(:b0,'yyyymmdd')"},
                                {"PrvGbi", "TO_DATE(:b1,'yyyymmdd')"},
                                {"PrvDat", "sysdate"},
                                {"PrvAvn", "TO_DATE(:b20,'yyyymmddHH24MISS')"},
                                {"PrvAbi", "TO_DATE(:b21,'yyyymmddHH24MISS')"}}) +
           " where PrvPnr=:b24"},
      {"Prv_PKeyDel", "delete  from Kvn510Prv  where PrvPnr=:b0"},
      {"Prv_Open", kPrvCursor + "where ((PrvPnr>=:b0 and PrvPnr<=:b1) and (PrvGvo<=trunc("
                                "sysdate) or PrvGvo is null )) order by PrvPnr"},
      {"Prv_ReadAwn", kPrvRead + "where ((PrvAwn=:b28 and PrvGvo<=trunc(sysdate)) and "
                                 "(PrvGbi>=trunc(sysdate) or PrvGbi is null )) order by PrvPnr"},
      {"Prv_OpenAwn", kPrvCursor + "where ((PrvAwn=:b0 and PrvGvo<=trunc(sysdate)) and "
                                   "(PrvGbi>=trunc(sysdate) or PrvGbi is null )) order by "
                                   "PrvPnr"},
      {"Prv_OpenDnl", kPrvCursor + "where PrvDwn=:b0 order by PrvFbe"},
      // Kvn537Ksg and the cost-centre download.
      {"Ksg_PKeyReadk", kKsgCols + "where (KsgApg=:b0 and TO_CHAR(KsgGvo,'yyyymmdd')=:b4)"},
      {"Ksg_ReadValid",
       "select KsgApg ,KsgKst into :b0:b1,:b2:b3  from Kvn537Ksg where ((KsgApg=:b0 and "
       "KsgGvo<=trunc(sysdate)) and (KsgGbi>trunc(sysdate) or KsgGbi is null ))"},
      {"Ksg_PKeyUpd",
       "update KVN537Ksg  set KsgGbi=TO_DATE(:b0,'yyyymmdd'),KsgFbe=:b1,KsgZf1=:b2,KsgZf2=:b3,"
       "KsgZf3=:b4,KsgSta=:b5,KsgDat=sysdate,KsgErf=:b6,KsgKst=:b7 where (KsgApg=:b8 and "
       "TO_CHAR(KsgGvo,'yyyymmdd')=:b9)"},
      {"Ksg_PKeyDel",
       "delete  from Kvn537Ksg  where (KsgApg=:b0 and TO_CHAR(KsgGvo,'yyyymmdd')=:b1)"},
      {"Ksg_Open", kKsgCols + "where (((KsgApg>=:b0 and KsgApg<=:b1) and KsgGvo<=trunc("
                              "sysdate)) and (KsgGbi>=trunc(sysdate) or KsgGbi is null )) "
                              "order by KsgGvo"},
      {"Ksg_OpenDnl",
       "select KstNum ,FbeFbe  from o1003Kststelle ,Kvn559Fbe where FbeTyp=1 order by FbeFbe"},
      // Kvn553Fzu.
      {"Fzu_PKeyReadk",
       "select FzuFcd ,FzuMld ,FzuBez ,FzuTxt ,FzuArt ,FzuObj ,FzuUpl ,FzuGen ,FzuZf1 ,FzuZf2 "
       ",FzuZf3 ,FzuSta ,FzuErf  from Kvn553Fzu where (FzuFcd=:b0 and FzuAec=:b27)"},
      {"Fzu_ReadMld",
       "select FzuFcd ,FzuMld ,FzuBez ,FzuTxt ,FzuArt ,FzuObj ,FzuUpl ,FzuGen ,FzuZf1 ,FzuZf2 "
       ",FzuZf3 ,FzuSta ,FzuErf  from Kvn553Fzu where FzuMld=:b0"},
      // Shift models, breaks and calendars.
      {"Aem_Open",
       "select AemApg ,AemEmo ,TO_CHAR(AemGvo,'yyyymmdd') ,AemBez ,AemTxt ,AemKal ,AemLkz ,"
       "AemVzt ,AemEzt ,AemPrz ,AemAfz ,AemApz ,AemPrp ,AemAfp ,AemApp ,KalBtp ,"
       "TO_CHAR(KalDtm,'yyyymmdd') ,BakJhr ,BakMon ,BakWch ,BakWtg ,BakJtg ,AemMaz  " +
           aemFrom},
      {"Aem_Count", "select count(*)  into :b0  from Kvn532Aem where (AemApg=:b1 and AemKng=2)"},
      {"Pms_Open",
       "select EmoEmo ,EmoTtp ,EmoTxt ,EmoBeg ,EmoEnd ,PmsNum ,PmsBeg ,PmsEnd ,PmsInt ,PmsPse ,"
       "PmsBzt ,PmsPrz  from Kvn533Emo ,Kvn536Pmz ,Kvn535Pms where (((((EmoEmo=:b0 and "
       "EmoTtp=:b1) and EmoPmo=PmzPmo) and PmzPms=PmsNum) and TO_CHAR(PmzGvo,'yyyymmdd')<=:b2) "
       "and TO_CHAR(PmzGbi,'yyyymmdd')>=:b2) order by EmoBeg"},
      {"Pms_SumMinutes 1",
       "select sum((PmsEnd-PmsBeg)) into :b0:b1  " + pmsWhere + "PmsEnd>=PmsBeg)"},
      {"Pms_SumMinutes 2",
       "select sum(((PmsEnd+1440)-PmsBeg)) into :b0:b1  " + pmsWhere + "PmsEnd<PmsBeg)"},
      {"Emo_Open",
       "select EmoEmo ,EmoTtp ,EmoTxt ,EmoBeg ,EmoEnd ,EmoArt  from Kvn533Emo where "
       "(EmoEmo=:b0 and EmoTtp=:b1) order by EmoBeg"},
      {"Bak_ReadOffset",
       "select TO_CHAR(BakDtm,'yyyymmdd') ,BakJhr ,BakMon ,BakTag ,BakWch ,BakWtg ,BakJtg  from "
       "KvnSystem.Kvn133Bak where BakDtm=(TO_DATE(:b14,'yyyymmdd')+:b15)"},
      {"Bak_CountDays",
       "select count(*)  into :b0  from Kvn133Bak where (BakDtm>TO_DATE(:b1,'yyyymmdd') and "
       "BakDtm<=TO_DATE(:b2,'yyyymmdd'))"},
      // Further single-row reads and cursors.
      {"Vrg_Read", "select VrgWrt into :b0:b1  from Kvn555Vrg where (VrgBer=:b2 and VrgFld=:b3)"},
      {"Ztg_ReadKst",
       "select ZTGKST into :b0:b1  from Kvn329Ztg where (ZtgPnr=:b2 and ZtgVon=trunc(SYSDATE))"},
      {"Asw_ReadDay",
       "select AswPnr ,TO_CHAR(AswGbi,'yyyymmdd') ,AswErf ,TO_CHAR(AswDat,'yyyymmddHH24MISS') ,"
       "PnrNam ,PnrStr ,PnrOrt  from KvnSystem.Kvn301Asw ,Kvn300Pnr where ((AswNum=:b14 and "
       "AswGvo=TO_DATE(:b15,'yyyymmdd')) and AswPnr=PnrNum)"},
      {"Asw_ReadPnr",
       "select AswPnr into :b0:b1  from KvnSystem.Kvn301Asw where ((AswNum=:b2 and "
       "AswGvo<=TO_DATE(:b3,'yyyymmdd')) and (AswGbi>=TO_DATE(:b3,'yyyymmdd') or AswGbi is "
       "null ))"},
      {"Asw_OpenNum", "select AswPnr ," + aswCols +
                          "(AswNum=:b0 and AswGvo<=trunc(SYSDATE)) order by AswGvo desc"},
      {"Asw_OpenPnr", "select AswNum ," + aswCols +
                          "(AswPnr=:b0 and AswGvo<=trunc(SYSDATE)) order by AswGvo desc"},
      {"Asw_OpenAll",
       "select AswPnr ,AswNum ,AswGvo ,AswGbi ,AswErf ,AswDat ,PnrNam ,PnrStr ,PnrOrt  from "
       "KvnSystem.Kvn301Asw ,Kvn300Pnr where (((AswPnr is  not null  and "
       "AswGvo<=trunc(SYSDATE)) and (AswGbi>=trunc(SYSDATE) or AswGbi is null )) and "
       "AswPnr=PnrNum) order by AswPnr,AswGvo desc"},
      {"Pnr_Read",
       "select PnrNam ,PnrStr ,PnrOrt into :b0:b1,:b2:b3,:b4:b5  from Kvn300Pnr where "
       "PnrNum=:b6"},
      {"Bsv_Check",
       "select BSVPNR into :b0:b1  from Kvn310Bsv where ((BsvPnr=:b0 and "
       "BsvGvo<=trunc(SYSDATE)) and (BsvGbi>=trunc(SYSDATE) or BsvGbi is null ))"},
      {"Nzp_Read",
       "select NzpAkz ,TO_CHAR(NzpGvn,'yyyymmdd') ,TO_CHAR(NzpGbi,'yyyymmdd') ,NzpAak ,NzpAwt ,"
       "NzpKjh ,NzpKmn ,NzpKwo ,NzpKtg ,NzpAan ,NzpVfh ,NzpNfh ,NzpAus ,NzpMrk  from Kvn591Nzp "
       "where ((NzpAkz=:b0 and NzpGvn<trunc(sysdate)) and NzpGbi>trunc(sysdate))"},
      {"Nzp_PKeyUpd",
       "update KVN591Nzp  set NzpAdt=sysdate,NzpAan=:b0,NzpVfh=:b1,NzpNfh=:b2,NzpAus=:b3 where "
       "((NzpAkz=:b4 and NzpGvn=TO_DATE(:b5,'yyyymmdd')) and NzpGbi=TO_DATE(:b6,'yyyymmdd'))"},
  };
}

TEST_F(SchemaTest, AStatementNamingAMissingColumnDoesNotPrepare) {
  // The check below is only worth something if a wrong name is refused.
  EXPECT_NE("", PrepareError("select ApkXyz  from Kvn501Apk where ApkApk=:b0"));
  EXPECT_NE("", PrepareError("update KVN504App  set AppDwn=:b0,AppDnb=:b1 where AppApk=:b2"));
  EXPECT_NE("", PrepareError("select KalBtp  from KvnSystem.Kvn133Kalx"));
  EXPECT_EQ("", PrepareError("select count(*)  into :b0  from Kvn504App where AppZf2=:b1"));
}

TEST_F(SchemaTest, EveryCoreStatementPrepares) {
  std::vector<Statement> all = CoreStatements();
  ASSERT_GE(all.size(), 30u);
  for (const Statement& s : all) {
    EXPECT_EQ("", PrepareError(s.text)) << s.name << "\n  " << EngineText(s.text);
  }
}

TEST_F(SchemaTest, EveryMasterDataStatementPrepares) {
  for (const Statement& s : MasterDataStatements()) {
    EXPECT_EQ("", PrepareError(s.text)) << s.name << "\n  " << EngineText(s.text);
  }
}

TEST_F(SchemaTest, QueueCursorFindsTheBatchOfOneSecondAndRecorder) {
  // The queue rows as other jobs write them, read with the queue cursor's
  // own text: only the batch of that second and recorder, "APK" before "APP".
  ASSERT_EQ(SQLITE_OK,
            Run("insert into Kvn540Dnl (DnlDta,DnlLfn,DnlFun,DnlSkz,DnlApk,DnlApp,DnlErf) "
                "values ('2024-05-06 07:08:09',1,'AEN','APP','000000000001','00010','ZuzErOro'),"
                "('2024-05-06 07:08:09',2,'NEU','APK','000000000001',NULL,'ZuzErOro'),"
                "('2024-05-06 07:08:10',3,'LOE','APK','000000000002',NULL,'ZuzErOro'),"
                "('2024-05-06 07:08:09',4,'LOE','APK','000000000003',NULL,'Other')"));
  std::string open;
  for (const Statement& s : CoreStatements()) {
    if (std::string(s.name) == "Dnl_Open") open = s.text;
  }
  ASSERT_FALSE(open.empty());
  EXPECT_EQ("20240506|070809|2|<null>|<null>|NEU|APK|<null>|000000000001|<null>|<null>|<null>|"
            "ZuzErOro\n"
            "20240506|070809|1|<null>|<null>|AEN|APP|<null>|000000000001|00010|<null>|<null>|"
            "ZuzErOro",
            Rows(open, {"20240506070809", "ZuzErOro"}));
}

}  // namespace
