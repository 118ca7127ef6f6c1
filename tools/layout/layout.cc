#include "tools/layout/layout.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "runtime/crypt.h"
#include "schema/schema_text.h"

int Layout_MakeDirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    const std::string part = path.substr(0, i);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return errno;
  }
  return 0;
}

int Layout_MakeFolders(const Layout& layout) {
  for (const std::string& d : {layout.files(), layout.buff(), layout.msg()}) {
    if (int rc = Layout_MakeDirs(d)) return rc;
  }
  return 0;
}

int Layout_WriteConfig(const std::string& path, const char* login, const char* pass,
                       const char* net8) {
  const char* keys[] = {"LOGIN", "PASS", "NET8"};
  const char* values[] = {login, pass, net8};
  std::string text;
  for (int i = 0; i < 3; ++i) {
    char cipher[kCryptCipherCap];
    if (Crypt_Encode(values[i], cipher, sizeof cipher, kCryptKeyText, 0) != 0) return EINVAL;
    // A pair of lines: "anything;section;anything", then "number;key;value".
    text += std::string("[") + keys[i] + "];Login;\r\n";
    text += std::to_string(i + 1) + ";" + keys[i] + ";" + cipher + "\r\n";
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return errno;
  int rc = std::fwrite(text.data(), 1, text.size(), f) == text.size() ? 0 : EIO;
  if (std::fclose(f) != 0 && rc == 0) rc = errno;
  return rc;
}

int Layout_CreateSqlite(const std::string& path, std::string* error) {
  // O_EXCL makes the refusal atomic: an existing file is never touched.
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno;
  close(fd);
  sqlite3* db = nullptr;
  char* err = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  for (const char* sql : {"PRAGMA journal_mode=WAL", "BEGIN", Schema_SqliteText(), "COMMIT"}) {
    if (rc != SQLITE_OK) break;
    rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
  }
  if (rc != SQLITE_OK) {
    if (error != nullptr) *error = err != nullptr ? err : sqlite3_errmsg(db);
    sqlite3_free(err);
    sqlite3_close(db);
    unlink(path.c_str());
    return -1;
  }
  sqlite3_close(db);
  return 0;
}
