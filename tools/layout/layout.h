// The installation layout of the job: the folders it runs in, its
// enciphered configuration and a new database with the whole schema.
//
//   ROOT/files/velmaris.ini   enciphered LOGIN, PASS, NET8
//   ROOT/files/bde.db         the SQLite database (NET8 "../../../../files/bde.db")
//   ROOT/a/b/c/Comm/Buff/     terminal buffer files SndDnl<n>.buf
//   ROOT/a/b/c/run/           working folder of pps2bde
//   ROOT/a/b/c/run/Msg/       message log Ostrak.Txt (+ Ostrak.old)
//
// Used by the operator's tool (install, demo), the end-to-end tests and the
// benchmark, so that all of them lay out the same thing.
#ifndef PPS2BDE_TOOLS_LAYOUT_LAYOUT_H_
#define PPS2BDE_TOOLS_LAYOUT_LAYOUT_H_

#include <string>

// NET8 of the default database, as seen from the working folder.
constexpr const char* kLayoutDefaultNet8 = "../../../../files/bde.db";

// The paths of one installation under root.
struct Layout {
  std::string root;
  std::string files() const { return root + "/files"; }
  std::string config() const { return files() + "/velmaris.ini"; }
  std::string db() const { return files() + "/bde.db"; }
  std::string buff() const { return root + "/a/b/c/Comm/Buff"; }
  std::string run() const { return root + "/a/b/c/run"; }
  std::string msg() const { return run() + "/Msg"; }
  std::string log() const { return msg() + "/Ostrak.Txt"; }
  std::string logOld() const { return msg() + "/Ostrak.old"; }
};

// Creates path and every missing parent folder (mode 0755).  Returns 0 or
// the errno of the folder that could not be made.
int Layout_MakeDirs(const std::string& path);

// Creates the folders files/, a/b/c/Comm/Buff/ and a/b/c/run/Msg/ under
// layout.root (existing ones are kept).  Returns 0 or an errno value.
int Layout_MakeFolders(const Layout& layout);

// Writes the configuration file at path (replacing it) with LOGIN, PASS and
// NET8 enciphered, one pair of lines each ("[KEY];Login;" and
// "n;KEY;cipher", CR LF).  Returns 0, EINVAL when a value cannot be
// enciphered (longer than the cipher takes), or the errno of the write.
int Layout_WriteConfig(const std::string& path, const char* login, const char* pass,
                       const char* net8);

// Creates a new SQLite database at path in WAL mode with the whole schema.
// An existing file is never touched: EEXIST.  Returns 0, EEXIST, another
// errno value, or -1 when SQLite failed (its message in *error when error
// is not null; the half-made file is removed).
int Layout_CreateSqlite(const std::string& path, std::string* error);

#endif  // PPS2BDE_TOOLS_LAYOUT_LAYOUT_H_
