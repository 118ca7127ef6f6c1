// Appending a block of bytes to a file under the log's open rules.
#include <cerrno>

#include "runtime/msg.h"
#include "runtime/msg_internal.h"
#include "runtime/os/env.h"

int Msg_AppendFile(const char* fileName, const void* data, uint32_t length) {
  if (fileName == nullptr || (data == nullptr && length > 0)) return EINVAL;
  Env* env = Env_Get();
  int fd;
  int rc = Msg_OpenWait(env, fileName, &fd);
  if (rc != 0) return rc;
  rc = env->SeekEnd(fd, nullptr);
  if (rc == 0 && length > 0) rc = Msg_WriteAll(env, fd, data, length);
  if (rc == 0) rc = Msg_WriteAll(env, fd, "\r\n", 2);
  int closed = env->Close(fd);
  return rc != 0 ? rc : closed;
}
