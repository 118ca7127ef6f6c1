// Job paths ("..\Comm\Buff\SndDnl1.buf") to POSIX paths.
#include <cerrno>
#include <cstring>

#include "runtime/os/env.h"

int Env_PosixPath(const char* path, char* out, size_t cap) {
  if (out == nullptr || cap == 0) return ENAMETOOLONG;
  out[0] = '\0';
  if (path == nullptr) return EINVAL;
  size_t n = strnlen(path, cap);
  if (n >= cap) return ENAMETOOLONG;  // no room for the terminator
  for (size_t i = 0; i < n; ++i) out[i] = path[i] == '\\' ? '/' : path[i];
  out[n] = '\0';
  return 0;
}
