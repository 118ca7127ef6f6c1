#include <dirent.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/admin/admin.h"
#include "tools/layout/layout.h"

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Runs program with args in cwd; returns its exit code or -1.
int Run(const std::string& program, const std::vector<std::string>& args,
        const std::string& cwd) {
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (chdir(cwd.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Prints the rows of a query, columns separated by " | " (db empty: on the
// demo's PostgreSQL server).
void ShowQuery(const std::string& db, const char* title, const char* query) {
  std::printf("\n== %s\n", title);
  if (db.empty()) return AdminPg_ShowQuery(query);
  sqlite3* h = nullptr;
  if (sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    std::printf("(cannot open %s)\n", db.c_str());
    sqlite3_close(h);
    return;
  }
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(h, query, -1, &st, nullptr) != SQLITE_OK) {
    std::printf("(%s)\n", sqlite3_errmsg(h));
    sqlite3_close(h);
    return;
  }
  int rows = 0;
  while (sqlite3_step(st) == SQLITE_ROW) {
    ++rows;
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
      const unsigned char* t = sqlite3_column_text(st, i);
      std::printf("%s%s", i ? " | " : "", t ? reinterpret_cast<const char*>(t) : "NULL");
    }
    std::printf("\n");
  }
  if (rows == 0) std::printf("(no rows)\n");
  sqlite3_finalize(st);
  sqlite3_close(h);
}

// Prints a text file with CR LF shown as line ends and other control bytes
// (the log's entry marker 0xFE) as "<FE>".
void ShowFile(const std::string& path) {
  std::printf("\n== %s\n", path.c_str());
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    std::printf("(no file)\n");
    return;
  }
  int c;
  while ((c = std::fgetc(f)) != EOF) {
    if (c == '\r') continue;
    if (c == '\n' || (c >= 0x20 && c < 0x7F)) {
      std::putchar(c);
    } else {
      std::printf("<%02X>", c);
    }
  }
  std::fclose(f);
}

bool LoadSampleData(const std::string& db) {
  sqlite3* h = nullptr;
  char* err = nullptr;
  int rc = sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(h, Admin_DemoData(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::fprintf(stderr, "pps2bde-admin: cannot load the sample data: %s\n",
                 err ? err : sqlite3_errmsg(h));
  }
  sqlite3_free(err);
  sqlite3_close(h);
  return rc == SQLITE_OK;
}

}  // namespace

int Admin_Demo(const char* dirArg, const std::string& program, bool postgres) {
  std::string root = dirArg;
  if (!root.empty() && root[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) return 1;
    root = std::string(cwd) + "/" + root;
  }
  const Layout layout{root};
  const std::string buff = layout.buff();
  const std::string run = layout.run();
  std::string db = layout.db();
  std::string net8 = kLayoutDefaultNet8;
  if (int rc = Layout_MakeFolders(layout)) {
    std::fprintf(stderr, "pps2bde-admin: cannot lay out %s: %s\n", root.c_str(),
                 std::strerror(rc));
    return 1;
  }
  if (postgres) {
    if (AdminPg_Start(root, &net8) != 0) return 1;
    db.clear();
  } else if (!Exists(db)) {
    if (Admin_InitDb(db.c_str(), nullptr, nullptr) != 0) return 1;
    if (!LoadSampleData(db)) return 1;
  }
  // The job reads its configuration four levels above its working folder.
  if (int rc = Layout_WriteConfig(layout.config(), kAdminDemoLogin, kAdminDemoPass,
                                  net8.c_str())) {
    std::fprintf(stderr, "pps2bde-admin: cannot write velmaris.ini: %s\n", std::strerror(rc));
    return 1;
  }
  std::printf("demo installation in %s\n", root.c_str());
  std::printf("\n== full run: %s (in %s)\n", program.c_str(), run.c_str());
  int rc = Run(program, {}, run);
  std::printf("exit code %d\n", rc);
  std::printf("\n== queue run: %s 20261201 060000\n", program.c_str());
  int rcQueue = Run(program, {"20261201", "060000"}, run);
  std::printf("exit code %d\n", rcQueue);

  ShowQuery(db, "BDE orders (Kvn501Apk)",
            "select ApkApk, ApkSts, ApkAfo, ApkFbe, ApkKst, ApkDna, ApkDwn, ApkErf "
            "from Kvn501Apk order by ApkApk");
  ShowQuery(db, "BDE operations (Kvn504App)",
            "select AppApk, AppApp, AppSts, AppApg, AppApl, AppFbe, AppDna, AppDwn "
            "from Kvn504App order by AppApk, AppApp");
  ShowQuery(db, "planning rows left (Kvn500Auk, Kvn503Afo)",
            "select 'Kvn500Auk', AukApk from Kvn500Auk union all "
            "select 'Kvn503Afo', AfoApk || '/' || AfoApp from Kvn503Afo");
  ShowQuery(db, "statistics rows (Kvn542Dwn)",
            postgres ? "select DwnDta, DwnApk, DwnApp, DwnAuk, DwnAfo, DwnNeu, DwnAen, DwnLoe, "
                       "DwnDat, DwnErf from Kvn542Dwn order by ctid"
                     : "select DwnDta, DwnApk, DwnApp, DwnAuk, DwnAfo, DwnNeu, DwnAen, DwnLoe, "
                       "DwnDat, DwnErf from Kvn542Dwn order by rowid");
  ShowFile(run + "/Msg/Ostrak.Txt");
  std::printf("\n== buffer files in %s\n", buff.c_str());
  if (DIR* d = opendir(buff.c_str())) {
    int n = 0;
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] == '.') continue;
      ++n;
      ShowFile(buff + "/" + e->d_name);
    }
    closedir(d);
    if (n == 0) std::printf("(none)\n");
  }
  if (postgres) AdminPg_Stop(root);
  return rc == 0 && rcQueue == 0 ? 0 : 1;
}
