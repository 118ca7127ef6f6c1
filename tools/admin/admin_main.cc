// pps2bde-admin: enciphers configuration values, creates databases, lays
// out a demo installation and sends master data to the terminals.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/admin/admin.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: pps2bde-admin encipher TEXT     print TEXT enciphered for velmaris.ini\n"
               "       pps2bde-admin init-db FILE      create a new database with the schema\n"
               "       pps2bde-admin demo DIR          lay out a demo installation and run it\n"
               "       pps2bde-admin download workgroups|workplaces|ubg|prv SELECTOR\n"
               "       pps2bde-admin download costcentres\n"
               "                                       send master data to the terminals (run in\n"
               "                                       the job's working folder)\n");
}

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

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "encipher") == 0) return Admin_Encipher(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "init-db") == 0) return Admin_InitDb(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "demo") == 0)
    return Admin_Demo(argv[2], SelfDir() + "/pps2bde");
  if (argc >= 2 && std::strcmp(argv[1], "download") == 0) return Admin_Download(argc - 2, argv + 2);
  Usage();
  return 2;
}
