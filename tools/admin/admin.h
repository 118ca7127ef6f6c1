// pps2bde-admin: the operator's tool.  Each subcommand returns the process
// exit code (0 success) and writes its messages to stdout/stderr.
#ifndef PPS2BDE_TOOLS_ADMIN_ADMIN_H_
#define PPS2BDE_TOOLS_ADMIN_ADMIN_H_

#include <string>

// Prints the enciphered digit form of text (built-in key text, mode 0).
int Admin_Encipher(const char* text);
// Creates a new SQLite database at path with the whole schema; refuses (and
// changes nothing) when the file exists.
int Admin_InitDb(const char* path);
// Lays out a demo installation under dir, runs the job and shows what it
// produced.  program is the path of pps2bde.
int Admin_Demo(const char* dir, const std::string& program);

// The SQL of the demo's sample data.
const char* Admin_DemoData();

// Writes ROOT/files/velmaris.ini with LOGIN, PASS and NET8 enciphered.
// Returns 0 or an errno value.
int Admin_WriteConfig(const std::string& path, const char* login, const char* pass,
                      const char* net8);

#endif  // PPS2BDE_TOOLS_ADMIN_ADMIN_H_
