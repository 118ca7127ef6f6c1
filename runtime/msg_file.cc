// File steps of the message log: waiting for the lock, whole writes, and
// the rotation file name.
#include <cerrno>
#include <cstring>

#include "base/text.h"
#include "runtime/msg_internal.h"
#include "runtime/os/env.h"

bool Msg_IsTransient(int rc) { return rc == EWOULDBLOCK || rc == EAGAIN; }

int Msg_OpenWait(Env* env, const char* path, int* fd) {
  int rc;
  while (Msg_IsTransient(rc = env->OpenExclusive(path, fd))) env->SleepMs(kMsgRetryMs);
  return rc;
}

int Msg_WriteAll(Env* env, int fd, const void* data, size_t n) {
  size_t written = 0;
  int rc = env->Write(fd, data, n, &written);
  if (rc == 0 && written != n) rc = EIO;
  return rc;
}

void Msg_RotationName(const char* name, char* out, size_t cap) {
  if (out == nullptr || cap == 0) return;
  if (name == nullptr) name = "";
  size_t len = strnlen(name, cap);
  size_t component = 0;
  for (size_t i = 0; i < len; ++i)
    if (name[i] == '\\' || name[i] == '/') component = i + 1;
  size_t base = len;
  for (size_t i = len; i > component; --i)
    if (name[i - 1] == '.') {
      base = i - 1;
      break;
    }
  size_t keep = base < cap - 1 ? base : cap - 1;
  std::memcpy(out, name, keep);
  Text_Copy(out + keep, cap - keep, ".old");
}
