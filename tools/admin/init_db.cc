#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "schema/schema_text.h"
#include "tools/admin/admin.h"

int Admin_InitDb(const char* path) {
  // O_EXCL makes the refusal atomic: an existing file is never touched.
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == EEXIST) {
      std::fprintf(stderr, "pps2bde-admin: %s exists; it is not overwritten\n", path);
    } else {
      std::fprintf(stderr, "pps2bde-admin: cannot create %s: %s\n", path, std::strerror(errno));
    }
    return 1;
  }
  close(fd);
  sqlite3* db = nullptr;
  char* err = nullptr;
  int rc = sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, &err);
  if (rc == SQLITE_OK) {
    sqlite3_free(err);
    err = nullptr;
    rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, &err);
  }
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, Schema_SqliteText(), nullptr, nullptr, &err);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::fprintf(stderr, "pps2bde-admin: cannot create the schema in %s: %s\n", path,
                 err ? err : sqlite3_errmsg(db));
    sqlite3_free(err);
    sqlite3_close(db);
    unlink(path);
    return 1;
  }
  sqlite3_close(db);
  std::printf("created %s\n", path);
  return 0;
}
