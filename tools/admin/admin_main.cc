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
               "       pps2bde-admin init-db [--user NAME] [--password-file FILE] SERVICE\n"
               "                                       create the schema in an empty PostgreSQL\n"
               "                                       database (URI or libpq key/value text)\n"
               "       pps2bde-admin demo DIR [--postgres]\n"
               "                                       lay out a demo installation and run it\n"
               "                                       (--postgres: on a server it starts in DIR)\n"
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

// init-db [--user NAME] [--password-file FILE] TARGET.  The password is
// read from a file (its first line) so that it never shows in a process
// listing.
int InitDb(int argc, char** argv) {
  const char* user = nullptr;
  std::string password;
  int i = 0;
  for (; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--user") == 0) {
      user = argv[i + 1];
    } else if (std::strcmp(argv[i], "--password-file") == 0) {
      std::FILE* f = std::fopen(argv[i + 1], "r");
      char line[256] = {};
      if (f == nullptr || std::fgets(line, sizeof line, f) == nullptr) {
        std::fprintf(stderr, "pps2bde-admin: cannot read the password file\n");
        if (f != nullptr) std::fclose(f);
        return 1;
      }
      std::fclose(f);
      line[std::strcspn(line, "\r\n")] = '\0';
      password = line;
    } else {
      break;
    }
  }
  if (i + 1 != argc) {
    Usage();
    return 2;
  }
  return Admin_InitDb(argv[i], user, password.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "encipher") == 0) return Admin_Encipher(argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "init-db") == 0) return InitDb(argc - 2, argv + 2);
  if (argc == 3 && std::strcmp(argv[1], "demo") == 0)
    return Admin_Demo(argv[2], SelfDir() + "/pps2bde", false);
  if (argc == 4 && std::strcmp(argv[1], "demo") == 0 && std::strcmp(argv[3], "--postgres") == 0)
    return Admin_Demo(argv[2], SelfDir() + "/pps2bde", true);
  if (argc >= 2 && std::strcmp(argv[1], "download") == 0) return Admin_Download(argc - 2, argv + 2);
  Usage();
  return 2;
}
