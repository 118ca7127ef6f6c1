// The Env in force and the local time read through it.
#include "runtime/os/env.h"

#include <cerrno>
#include <cstring>

namespace {

// Null while the POSIX Env is in force.
Env* g_env = nullptr;

}  // namespace

int Env::OpenRead(const char*, int* fd) {
  if (fd != nullptr) *fd = -1;
  return ENOSYS;
}

int Env::Read(int, char*, size_t, size_t* len) {
  if (len != nullptr) *len = 0;
  return ENOSYS;
}

int Env::ReadAt(int, int64_t, char*, size_t, size_t* len) {
  if (len != nullptr) *len = 0;
  return ENOSYS;
}

int Env::CheckNamed(const char*, int) { return 0; }

Env* Env_Get() { return g_env != nullptr ? g_env : Env_Posix(); }

Env* Env_Set(Env* env) {
  Env* previous = Env_Get();
  g_env = env;
  return previous;
}

void Env_LocalTime(struct tm* out) {
  if (out == nullptr) return;
  time_t now = Env_Get()->Now();
  // A clock value the C library cannot break down gives the zero time
  // rather than garbage.
  if (localtime_r(&now, out) == nullptr) std::memset(out, 0, sizeof *out);
}
