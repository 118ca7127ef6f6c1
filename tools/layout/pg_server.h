// A throwaway PostgreSQL server in a folder: initdb in DIR/data, a server
// that listens only on a Unix socket in DIR (DIR/.s.PGSQL.<port>), its log
// in DIR/server.log.  Run as root, the server tools run as the user
// postgres (the server refuses root) and DIR is handed to that user.
//
// Used by the operator's demo (pps2bde-admin demo --postgres) and by the
// benchmark, which differ in their settings (the benchmark keeps the
// durable defaults and adds statistics).
#ifndef PPS2BDE_TOOLS_LAYOUT_PG_SERVER_H_
#define PPS2BDE_TOOLS_LAYOUT_PG_SERVER_H_

#include <libpq-fe.h>

#include <string>
#include <vector>

struct PgServer {
  std::string dir;        // the cluster's folder (absolute path)
  std::string port;       // names the socket; no TCP port is opened
  std::string superuser;  // initdb's superuser
  std::string password;   // its password (scram-sha-256 authentication)
  // Server settings beyond the defaults, each "name=value" (passed as -c).
  std::vector<std::string> settings;
  std::string data() const { return dir + "/data"; }
  std::string log() const { return dir + "/server.log"; }
};

// The newest installed server's bin folder, "" when none is installed.
std::string PgServer_Bin();

// Creates the cluster unless dir/data already holds one (*fresh says which)
// and starts the server unless it runs already (a server left by an
// interrupted run is used as it is).  Returns 0, or 1 with a message on
// stderr (no server installed, no user postgres, initdb or start failed:
// see the log).
int PgServer_Start(const PgServer& s, bool* fresh);

// Stops the server (fast shutdown, waits for it).  0, or 1 when pg_ctl
// failed.
int PgServer_Stop(const PgServer& s);

// Points libpq's defaults of this process and its children (PGHOST,
// PGPORT) at the server.
void PgServer_Export(const PgServer& s);

// Connects as the superuser to the database dbname on the server.  The
// caller checks PQstatus and calls PQfinish.
PGconn* PgServer_Connect(const PgServer& s, const char* dbname);

// Runs a text (one or more statements) on c; true when it succeeded, else
// false with libpq's message on stderr, prefixed with who.
bool PgServer_Exec(PGconn* c, const char* text, const char* who);

// The process id of the server's postmaster (from its pid file), or -1.
int PgServer_Pid(const PgServer& s);

#endif  // PPS2BDE_TOOLS_LAYOUT_PG_SERVER_H_
