// pps2bde-admin: the operator's tool.  Each subcommand returns the process
// exit code: 0 success, 1 problems found or failed, 2 wrong usage; it
// writes its report to stdout and its failures to stderr.
//
// The subcommands that look at an installation run in the job's working
// folder (ROOT/a/b/c/run), like the job; Admin_EnterRoot moves there when
// the operator names ROOT.  None of them initialises the message log, so
// nothing they do is logged into the job's log.
#ifndef PPS2BDE_TOOLS_ADMIN_ADMIN_H_
#define PPS2BDE_TOOLS_ADMIN_ADMIN_H_

#include <cstddef>
#include <string>
#include <vector>

// Prints the enciphered digit form of text (built-in key text, mode 0).
// Returns 0, or 2 (message on stderr) for a text longer than the 51
// characters a configuration value may have.
int Admin_Encipher(const char* text);
// Creates a new SQLite database at path with the whole schema; refuses (and
// changes nothing) when the file exists.  A PostgreSQL service (a URI or a
// libpq key/value text) instead gets the schema in its existing, empty
// database, with user and password when not empty or null (else libpq's
// environment: PGUSER, PGPASSWORD, ~/.pgpass); a database that already has
// the tables is refused unchanged.
int Admin_InitDb(const char* path, const char* user, const char* password);
// Lays out a demo installation under dir, runs the job and shows what it
// produced.  program is the path of pps2bde.  With postgres the database is
// on a throwaway PostgreSQL server in dir/pg (started, and stopped at the
// end), not dir/files/bde.db.
int Admin_Demo(const char* dir, const std::string& program, bool postgres);

// The demo's login (LOGIN and PASS of its velmaris.ini; the demo server's
// user).
constexpr char kAdminDemoLogin[] = "bde";
constexpr char kAdminDemoPass[] = "demo";

// The demo's PostgreSQL server (demo_postgres.cc).  Start creates the
// cluster in root/pg on first use (as the user postgres when run as root),
// starts it on a Unix socket there, points PGHOST and PGPORT at it, and on
// first use creates the database pps2bde with the schema and the sample
// data; *net8 gets the demo's NET8.  0 or 1 (message on stderr).
int AdminPg_Start(const std::string& root, std::string* net8);
void AdminPg_Stop(const std::string& root);
// Prints the rows of a query on the demo database, as the SQLite demo does.
void AdminPg_ShowQuery(const char* query);

// Sends one kind of master data to the terminals from the job's working
// folder: argv[0] is "workgroups", "workplaces", "ubg", "prv" (each followed
// by the selector, at most 8 characters) or "costcentres" (no selector);
// argc counts them.  Connects with the job's configuration, logs to
// ".\Msg\Ostrak.Txt", stamps the lines with the current local time,
// commits and prints a one-line summary with the rows sent and the rows
// not sent.  Returns 0; 2 (usage on stderr) for wrong arguments; 1 (message
// on stderr) when the connect fails, the download cursor cannot be opened
// or closed, or any row could not be sent.  Credentials are never printed.
int Admin_Download(int argc, char** argv);

// The SQL of the demo's sample data.
const char* Admin_DemoData();

// ---- looking at an installation -------------------------------------------

// Moves into ROOT/a/b/c/run when root is not empty.  0, or 1 with a message
// on stderr.
int Admin_EnterRoot(const std::string& root);
// Connects with the job's configuration (never printed, never logged).
// Returns 0, or 1 with a message on stderr.
int Admin_Connect();
// Says on stderr that the tables cannot be read (database code rc); 1.
int Admin_ReadFailed(int rc);

// ISO-8859-1 bytes (the job's character set) as UTF-8.
std::string Admin_Utf8(const char* latin1, size_t n);
inline std::string Admin_Utf8(const std::string& s) { return Admin_Utf8(s.data(), s.size()); }

// One entry of the message log, decoded.
struct AdminLogEntry {
  std::string time;      // "YYYY-MM-DD HH:MM:SS" (the log's two-digit year as 20YY)
  std::string kinds;     // "FMSG" ...
  std::string function;  // UTF-8
  std::string message;   // UTF-8
  std::string code;
  std::string file;      // file it came from
  size_t offset = 0;     // of its 0xFE marker in that file
};
// Decodes Msg/Ostrak.old and Msg/Ostrak.Txt of the working folder, oldest
// first, into *out.  Bytes that do not form an entry are skipped and counted
// in *skipped.  Returns the number of files read.
int Admin_ReadLog(std::vector<AdminLogEntry>* out, size_t* skipped);

// Rows marked for download, per table, marker and area key, with the
// terminal the download would send them to (0 when none serves the key).
struct AdminMarked {
  std::string table;  // "Kvn501Apk" ...
  std::string marker;
  std::string area;
  int rows = 0;
  int terminal = 0;   // CfgDta, 0: no terminal
  std::string address;  // "ip:port" of the terminal
};
// Reads the groups of every download table.  0 or the database code.
int Admin_ReadMarked(std::vector<AdminMarked>* out);
// The terminal that serves area (the download's lookup): 0 with *terminal
// and *address set, 1403 when none, or a database code.
int Admin_Terminal(const std::string& area, int* terminal, std::string* address);

struct AdminLogOptions {
  std::string since, function, grep;
  int last = 0;
  bool json = false;
};
int Admin_Log(const AdminLogOptions& o);

struct AdminLinesOptions {
  std::vector<std::string> files;
  std::string record;
  bool json = false;
};
int Admin_Lines(const AdminLinesOptions& o);

// format: "" text, "json", "prometheus".
int Admin_Status(const std::string& format);
int Admin_Check();
int Admin_Preview(bool json);

struct AdminInstallOptions {
  std::string root, db, login = "pps2bde";
  bool passwordStdin = false;
};
int Admin_Install(const AdminInstallOptions& o);

#endif  // PPS2BDE_TOOLS_ADMIN_ADMIN_H_
