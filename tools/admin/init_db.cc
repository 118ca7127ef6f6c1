#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/admin/admin.h"
#include "tools/layout/layout.h"

int Admin_InitDb(const char* path) {
  std::string error;
  int rc = Layout_CreateSqlite(path, &error);
  if (rc == EEXIST) {
    std::fprintf(stderr, "pps2bde-admin: %s exists; it is not overwritten\n", path);
  } else if (rc > 0) {
    std::fprintf(stderr, "pps2bde-admin: cannot create %s: %s\n", path, std::strerror(rc));
  } else if (rc < 0) {
    std::fprintf(stderr, "pps2bde-admin: cannot create the schema in %s: %s\n", path,
                 error.c_str());
  }
  if (rc != 0) return 1;
  std::printf("created %s\n", path);
  return 0;
}
