// The buffer writer: terminal lookup and the append of one download line
// to the open buffer file of that terminal.
#include "db/DbDb/buffer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "db/DbDb/format.h"
#include "runtime/logged.h"
#include "runtime/msg.h"
#include "runtime/os/env.h"
#include "sql/sql.h"

namespace {

// The writer keeps the file of the last terminal open.  Whether a file is
// open is kept apart from the terminal number, so terminal 0 is an ordinary
// terminal.
struct WriterState {
  bool open = false;
  int32_t terminal = 0;  // CfgDta of the open file
  int fd = -1;
  int64_t end = 0;       // the file's size before the next line
  char path[64] = {};    // the name the file was opened by
};

WriterState g_writer;

void CloseCurrent(Env* env) {
  // Every line reached the file when its write returned (write-through); a
  // failed close has nothing left to lose.
  if (g_writer.open) (void)env->Close(g_writer.fd);
  g_writer.open = false;
  g_writer.fd = -1;
  g_writer.end = 0;
}

// A download line cut off in its write (the process died in it, or the
// cut-back of a failed write failed too) leaves the file with the start of
// a line after its last whole line.  That line was never released and is
// sent again; were its start kept, it and every later line would be
// shifted against the 552-byte grid the terminal communication reads.  So
// a tail that starts a download line ("$", on the grid, right after a whole
// line, without a line end) is cut away.  Other content (a file this job
// did not write) stays as it is.  *size is the end the next line goes to.
int CutTornLine(Env* env, int fd, int64_t* size) {
  const int64_t tail = *size % kDnlLineLength;
  if (tail == 0) return 0;
  const int64_t start = *size - tail;
  // The tail and the three bytes before it, which end the line before.
  char bytes[kDnlLineLength + kDnlLineEndLength];
  const int64_t from = start >= kDnlLineEndLength ? start - kDnlLineEndLength : 0;
  size_t len = 0;
  int rc = env->ReadAt(fd, from, bytes, static_cast<size_t>(*size - from), &len);
  if (rc != 0) return rc;
  if (len != static_cast<size_t>(*size - from)) return 0;  // changed meanwhile: leave it
  const char* frag = bytes + (start - from);
  const bool afterLine = start == 0 || std::memcmp(bytes, "*\r\n", 3) == 0;
  if (!afterLine || frag[0] != '$' || std::memchr(frag, '\n', static_cast<size_t>(tail)) != nullptr)
    return 0;
  rc = env->Truncate(fd, start);
  if (rc == 0) *size = start;
  return rc;
}

// Opens the buffer file of terminal and moves to its end.  Returns 0 or
// kLogged; on failure no file is open.
int OpenTerminal(Env* env, int32_t terminal) {
  char number[16];
  std::snprintf(number, sizeof number, "%d", static_cast<int>(terminal));
  char* path = g_writer.path;
  std::snprintf(path, sizeof g_writer.path, "..\\Comm\\Buff\\SndDnl%-1s.buf", number);

  int fd = -1;
  int rc = env->OpenExclusive(path, &fd);
  if (rc != 0) {
    Msg_Error("CreateFile", "Datei oeffnen", rc);
    return kLogged;
  }
  int64_t size = 0;
  rc = env->SeekEnd(fd, &size);
  if (rc == 0) rc = CutTornLine(env, fd, &size);
  if (rc != 0) {
    (void)env->Close(fd);  // nothing written yet; the seek's failure is logged
    Msg_Error("SetFilePointer", "Ende der Datei", rc);
    return kLogged;
  }
  g_writer.open = true;
  g_writer.terminal = terminal;
  g_writer.fd = fd;
  g_writer.end = size;
  return 0;
}

// The local time of the write as yyyymmddHHMMSS.
void WriteStamp(char out[15]) {
  struct tm now;
  Env_LocalTime(&now);
  if (std::strftime(out, 15, "%Y%m%d%H%M%S", &now) == 0)
    Text_Copy(out, 15, "00000000000000");
}

// Makes sure the open file is still the one its name names and takes its
// size as it is now.  A consumer may have moved the file away (then the next
// line goes to a new file under the name, never into the moved one) or
// emptied it (the line then goes to its new end).  Returns 0 or kLogged
// (no file open then).
int FollowName(Env* env) {
  if (env->CheckNamed(g_writer.path, g_writer.fd) != 0) {
    const int32_t terminal = g_writer.terminal;
    CloseCurrent(env);
    return OpenTerminal(env, terminal);
  }
  int rc = env->SeekEnd(g_writer.fd, &g_writer.end);
  if (rc != 0) {
    CloseCurrent(env);
    Msg_Error("SetFilePointer", "Ende der Datei", rc);
    return kLogged;
  }
  return 0;
}

// Appends the line whole or not at all: a failed or short write is cut
// back to the size before it, so a reader never sees a torn line.  Returns
// 0 or kLogged.
int AppendLine(Env* env, const char* line, size_t n) {
  size_t written = 0;
  int rc = env->Write(g_writer.fd, line, n, &written);
  if (rc == 0 && written == n) {
    g_writer.end += static_cast<int64_t>(n);
    return 0;
  }
  // A write that made no progress without an error code is a full disk.
  if (rc == 0) rc = ENOSPC;
  if (written > 0 && env->Truncate(g_writer.fd, g_writer.end) != 0) {
    // The part cannot be taken back; reopening positions the next line at
    // whatever end the file then has.
    CloseCurrent(env);
  }
  Msg_Error("WrittenFile", "", rc);
  return kLogged;
}

}  // namespace

int Get_CfgIP(CfgRecord& cfg, const char* areaKey) {
  int rc = Cfg_Open(areaKey != nullptr ? areaKey : "");
  if (rc != 0) {
    Msg_Error("ReadFile", "IP-Ermitteln", rc);
    return rc;
  }
  int fetched = Cfg_Fetch(cfg);
  if (fetched != 0) Msg_Error("ReadFile", "IP-Ermitteln", fetched);
  int closed = Cfg_Close();
  return closed != 0 ? closed : fetched;
}

bool Get_CfgIPCanAhead() { return static_cast<bool>(sql::OpenAhead()); }

void Get_CfgIPAhead(const char* areaKey) {
  if (sql::OpenAhead ahead; ahead) (void)Cfg_Open(areaKey);  // noted, not opened
}

int Put_DnlBuffer(const QueueRecord& rec, const char* areaKey) {
  CfgRecord cfg;
  int rc = Get_CfgIP(cfg, areaKey);
  if (rc != 0) return rc;

  char stamp[15];
  WriteStamp(stamp);
  char line[kDnlLineLength + 1];
  // Cannot fail: line has room for the whole line.
  if (Dnl_FormatLine(rec, cfg, stamp, line, sizeof line) != kDnlLineLength) return -1;

  Env* env = Env_Get();
  if (!g_writer.open || g_writer.terminal != cfg.CfgDta) {
    CloseCurrent(env);
    if (OpenTerminal(env, cfg.CfgDta) != 0) return kLogged;
  } else if (FollowName(env) != 0) {
    return kLogged;
  }
  return AppendLine(env, line, kDnlLineLength);
}

void Put_DnlBufferClose() { CloseCurrent(Env_Get()); }
