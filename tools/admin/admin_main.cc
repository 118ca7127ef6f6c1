// pps2bde-admin: enciphers configuration values, creates databases, lays
// out installations, sends master data to the terminals and shows what an
// installation holds, waits for and did.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/admin/admin.h"

#ifndef PPS2BDE_VERSION
#define PPS2BDE_VERSION "unknown"
#endif

namespace {

// The folder this executable lives in ("" when unknown).
std::string SelfDir() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  buf[n] = '\0';
  std::string p(buf);
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? "" : p.substr(0, slash);
}

// The first line of a file (without its line end), at most 255 bytes.
bool ReadFirstLine(const std::string& path, std::string* line) {
  std::FILE* f = std::fopen(path.c_str(), "r");
  if (f == nullptr) return false;
  char buf[256] = {};
  bool ok = std::fgets(buf, sizeof buf, f) != nullptr;
  std::fclose(f);
  buf[std::strcspn(buf, "\r\n")] = '\0';
  *line = buf;
  return ok;
}

// Adds --root to a subcommand that looks at an installation.
void AddRoot(CLI::App* sub, std::string* root) {
  sub->add_option("--root", *root,
                  "the installation's root folder (default: run in its working folder "
                  "ROOT/a/b/c/run)");
}

// The download hands everything after its kind over as it is, so a --root
// given after the kind is taken out here ("--root ROOT" or "--root=ROOT").
// Returns 0, or 2 with a message when it has no value or was given twice.
int TakeRootOption(std::vector<std::string>* args, std::string* root) {
  for (size_t i = 0; i < args->size();) {
    std::string& a = (*args)[i];
    size_t n = 0;
    std::string value;
    if (a == "--root" && i + 1 < args->size()) {
      value = (*args)[i + 1];
      n = 2;
    } else if (a.rfind("--root=", 0) == 0) {
      value = a.substr(7);
      n = 1;
    } else if (a == "--root") {
      std::fprintf(stderr, "pps2bde-admin download: --root needs a folder\n");
      return 2;
    } else {
      ++i;
      continue;
    }
    if (!root->empty()) {
      std::fprintf(stderr, "pps2bde-admin download: --root given twice\n");
      return 2;
    }
    *root = value;
    args->erase(args->begin() + static_cast<std::ptrdiff_t>(i),
                args->begin() + static_cast<std::ptrdiff_t>(i + n));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"pps2bde-admin: the operator's tool of the pps2bde job"};
  app.set_version_flag("--version", "pps2bde-admin " PPS2BDE_VERSION);
  app.require_subcommand(1, 1);

  std::string text, path, root;
  auto* encipher = app.add_subcommand("encipher", "print TEXT enciphered for velmaris.ini");
  encipher->add_option("TEXT", text, "the plain value")->required();
  auto* initDb = app.add_subcommand(
      "init-db", "create a new SQLite database with the schema, or the schema in an empty "
                 "PostgreSQL database");
  initDb->add_option("FILE", path,
                     "the new database file (never overwritten), or a PostgreSQL URI or "
                     "libpq key/value text")
      ->required();
  std::string dbUser, passwordFile;
  initDb->add_option("--user", dbUser, "PostgreSQL user (default: libpq's, PGUSER)");
  initDb->add_option("--password-file", passwordFile,
                     "PostgreSQL password: the first line of this file (default: libpq's, "
                     "PGPASSWORD or ~/.pgpass)");
  auto* demo = app.add_subcommand("demo", "lay out a demo installation in DIR and run it");
  demo->add_option("DIR", path, "folder of the demo installation")->required();
  bool demoPostgres = false;
  demo->add_flag("--postgres", demoPostgres,
                 "on a throwaway PostgreSQL server started in DIR/pg (and stopped at the end)");

  // The download checks its own arguments (and prints its own usage): all
  // after the first one that is not an option are handed over as they are.
  auto* download = app.add_subcommand(
      "download",
      "send master data to the terminals: workgroups|workplaces|ubg|prv SELECTOR, or "
      "costcentres (--root ROOT before or after them)");
  download->prefix_command();
  AddRoot(download, &root);

  AdminLogOptions log;
  auto* logCmd = app.add_subcommand(
      "log", "the message log (Msg/Ostrak.old, Msg/Ostrak.Txt) as readable text, oldest first");
  logCmd->add_option("--since", log.since, "entries from this time on (YYYY-MM-DD[ HH:MM:SS])");
  logCmd->add_option("--function", log.function, "entries of this function only");
  logCmd->add_option("--grep", log.grep, "entries whose message contains TEXT");
  logCmd->add_option("--last", log.last, "only the last N entries")->check(CLI::Range(1, 100000000));
  logCmd->add_flag("--json", log.json, "one JSON array");
  AddRoot(logCmd, &root);

  AdminLinesOptions lines;
  auto* linesCmd = app.add_subcommand(
      "lines", "decode terminal buffer files (SndDnl<n>.buf) into named fields");
  linesCmd->add_option("FILE", lines.files, "buffer files")->required();
  linesCmd->add_option("--record", lines.record, "only lines of this record type (APK, APP, ...)");
  linesCmd->add_flag("--json", lines.json, "one JSON array");

  bool json = false, prometheus = false;
  auto* status = app.add_subcommand(
      "status", "what waits (planning rows, rows marked for download, queue batches) and what "
                "the last runs did");
  auto* statusJson = status->add_flag("--json", json, "JSON for scripts");
  status->add_flag("--prometheus", prometheus, "node-exporter text file format")
      ->excludes(statusJson);
  AddRoot(status, &root);

  auto* check = app.add_subcommand(
      "check", "check the installation: configuration, database and schema, folders, "
               "terminals of waiting rows, run lock");
  AddRoot(check, &root);

  auto* preview = app.add_subcommand(
      "preview", "what a full run would do now, without writing anything");
  preview->add_flag("--json", json, "JSON for scripts");
  AddRoot(preview, &root);

  AdminInstallOptions install;
  auto* installCmd = app.add_subcommand(
      "install", "lay out an empty installation in ROOT with a new database, then check it");
  installCmd->add_option("ROOT", install.root, "the new installation's root folder")->required();
  installCmd->add_option("--db", install.db,
                         "the new SQLite database file (a PostgreSQL service or URI where "
                         "that engine is built in)")
      ->required();
  installCmd->add_option("--login", install.login, "database login (default pps2bde)");
  installCmd->add_flag("--password-stdin", install.passwordStdin,
                       "read the database password from the first line of stdin");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version end here with 0; a wrong command line with 2.
    return app.exit(e) == 0 ? 0 : 2;
  }

  if (*encipher) return Admin_Encipher(text.c_str());
  if (*initDb) {
    // The password comes from a file, so that it never shows in a process
    // listing.
    std::string password;
    if (!passwordFile.empty() && !ReadFirstLine(passwordFile, &password)) {
      std::fprintf(stderr, "pps2bde-admin: cannot read the password file\n");
      return 1;
    }
    return Admin_InitDb(path.c_str(), dbUser.c_str(), password.c_str());
  }
  if (*demo) return Admin_Demo(path.c_str(), SelfDir() + "/pps2bde", demoPostgres);
  if (*linesCmd) return Admin_Lines(lines);
  if (*installCmd) return Admin_Install(install);
  std::vector<std::string> downloadArgs;
  if (*download) {
    downloadArgs = download->remaining();
    if (int rc = TakeRootOption(&downloadArgs, &root)) return rc;
  }
  if (int rc = Admin_EnterRoot(root)) return rc;
  if (*download) {
    std::vector<char*> args;
    for (std::string& a : downloadArgs) args.push_back(a.data());
    return Admin_Download(static_cast<int>(args.size()), args.data());
  }
  if (*logCmd) return Admin_Log(log);
  if (*status) return Admin_Status(json ? "json" : prometheus ? "prometheus" : "");
  if (*check) return Admin_Check();
  if (*preview) return Admin_Preview(json);
  return 2;
}
