// The message log: state, entry writing and rotation.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/msg.h"
#include "runtime/msg_hold.h"
#include "runtime/msg_internal.h"
#include "runtime/os/env.h"
#include "runtime/text.h"

namespace {

constexpr char kDefaultName[] = "msg.dat";
constexpr int32_t kEntryLimit = 3000;

struct MsgState {
  int32_t mask = 0;  // nothing passes before Msg_Init
  char name[kMsgNameMax + 1] = "msg.dat";
  char rotation[kMsgRotationCap] = "msg.old";
  int32_t limit = kEntryLimit;
  int32_t count = 0;
};

MsgState g_msg;

// Runs op until it succeeds or fails with a lasting error, pausing while
// another writer holds the file.
template <typename Op>
int Retry(Env* env, Op op) {
  int rc;
  while (Msg_IsTransient(rc = op())) env->SleepMs(kMsgRetryMs);
  return rc;
}

// Moves the log to the rotation name so that a new log begins.  Returns 0
// when the next entry may be written (the counter is then 0).
int Rotate(Env* env) {
  // A log named like its rotation file (say "x.old") cannot be moved onto
  // itself: deleting the "old" file would delete the log.  It just grows.
  if (std::strcmp(g_msg.name, g_msg.rotation) != 0) {
    // A missing rotation file (the first rotation) is no obstacle.
    Retry(env, [&] { return env->Remove(g_msg.rotation); });
    int rc = Retry(env, [&] { return env->Rename(g_msg.name, g_msg.rotation); });
    // A log that is gone (deleted by hand, moved by another process) has
    // nothing to move; the entry starts a new one.  Any other failure keeps
    // the counter, so the next entry tries again.
    if (rc != 0 && rc != ENOENT) return rc;
  }
  g_msg.count = 0;
  return 0;
}

}  // namespace

void Msg_Init(int32_t mask, const char* fileName) {
  g_msg.mask = mask;
  g_msg.limit = kEntryLimit;
  Text_Copy(g_msg.name, sizeof g_msg.name, fileName != nullptr ? fileName : kDefaultName);
  Msg_RotationName(g_msg.name, g_msg.rotation, sizeof g_msg.rotation);
}

void Msg_Write(const MsgRecord& rec) {
  int32_t kinds = rec.MsgArt & g_msg.mask;
  if (kinds <= 0) return;
  if (Msg_Keep(rec)) return;

  struct tm now;
  Env_LocalTime(&now);
  char entry[kMsgHeadCap + kMsgBodyCap];
  size_t len = Msg_FormatEntry(rec, now, entry, sizeof entry);

  Env* env = Env_Get();
  if (g_msg.count > g_msg.limit && Rotate(env) != 0) return;

  int fd;
  if (Msg_OpenWait(env, g_msg.name, &fd) != 0) return;
  int rc = env->SeekEnd(fd, nullptr);
  if (rc == 0) rc = Msg_WriteAll(env, fd, entry, len);
  if (rc == 0 && (kinds & DMSG)) {
    // A dump without data writes only its line end.
    if (rec.DumpData != nullptr && rec.DumpLength > 0)
      rc = Msg_WriteAll(env, fd, rec.DumpData, rec.DumpLength);
    if (rc == 0) rc = Msg_WriteAll(env, fd, "\r\n", 2);
  }
  if (rc == 0 && (kinds & SMSG)) rc = Msg_WriteAll(env, fd, "\r\n\r\n", 4);
  int closed = env->Close(fd);
  if (rc == 0 && closed == 0) ++g_msg.count;
}

void Msg_Report(int32_t errorCode, const char* funktion, const char* message,
                int32_t kinds) {
  MsgRecord rec;
  rec.Funktion = funktion;
  rec.Message = message;
  rec.MsgArt = kinds;
  rec.ErrorCode = errorCode;
  Msg_Write(rec);
}

void Msg_Error(const char* funktion, const char* message, int32_t errorCode) {
  Msg_Report(errorCode, funktion, message, FMSG);
}

void Msg_NoFit(const char* funktion, const char* key, int32_t errorCode) {
  char message[kMsgBodyCap];
  std::snprintf(message, sizeof message, "Wert passt nicht ins Feld: %s",
                key != nullptr ? key : "");
  Msg_Error(funktion, message, errorCode);
}

int32_t Msg_EntryCount() { return g_msg.count; }

void Msg_ResetForTest() { g_msg = MsgState{}; }
