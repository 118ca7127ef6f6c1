// pps2bde-admin: the operator's tool.  Each subcommand returns the process
// exit code (0 success) and writes its messages to stdout/stderr.
#ifndef PPS2BDE_TOOLS_ADMIN_ADMIN_H_
#define PPS2BDE_TOOLS_ADMIN_ADMIN_H_

#include <string>

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

// Writes ROOT/files/velmaris.ini with LOGIN, PASS and NET8 enciphered.
// Returns 0 or an errno value (EINVAL for a value over 51 characters).
int Admin_WriteConfig(const std::string& path, const char* login, const char* pass,
                      const char* net8);

#endif  // PPS2BDE_TOOLS_ADMIN_ADMIN_H_
