// Pieces of the message log shared by its source files and its tests.
#ifndef PPS2BDE_RUNTIME_MSG_INTERNAL_H_
#define PPS2BDE_RUNTIME_MSG_INTERNAL_H_

#include <cstddef>
#include <ctime>

#include "runtime/msg.h"

class Env;

// The header area (0xFE line, date, time, kind line) and the body area
// (message, function, error code) of an entry, terminators included.  The
// body area is twice the classic 100 bytes, so that a message naming a row
// by its whole key ("Wert passt nicht ins Feld: 100000000001/00010") keeps
// it beside any function name.
constexpr size_t kMsgHeadCap = 1000;
constexpr size_t kMsgBodyCap = 200;
// Longest log file name kept by Msg_Init; the rotation name may add ".old".
constexpr size_t kMsgNameMax = 64;
constexpr size_t kMsgRotationCap = kMsgNameMax + 4 + 1;
// Pause between two attempts while another writer holds the file.
constexpr int kMsgRetryMs = 333;

// Writes the entry text of rec at local time *now into out[cap] (cap at
// least kMsgHeadCap + kMsgBodyCap for a whole entry) and returns its length.
// The kind line lists every kind bit of rec.MsgArt.  A body longer than the
// body area keeps all three of its lines: Message and Funktion are cut
// (each keeps at least half of the room left when both are too long) so
// that the error code line stays whole.  Null texts print as empty.
size_t Msg_FormatEntry(const MsgRecord& rec, const struct tm& now, char* out,
                       size_t cap);

// Writes into out[cap] the rotation name of name: the extension of its last
// path component ('\' or '/' separated) replaced by ".old", or ".old"
// appended when that component has no '.'.  Cut to fit cap.
void Msg_RotationName(const char* name, char* out, size_t cap);

// True for the errors that mean "another writer holds the file; try again".
bool Msg_IsTransient(int rc);

// Opens path exclusively through env, waiting kMsgRetryMs between attempts
// for as long as the open fails transiently.  Returns 0 with *fd set, or
// the first other error.
int Msg_OpenWait(Env* env, const char* path, int* fd);

// Writes all n bytes through env; a short write counts as EIO.  Returns 0 or
// the error.
int Msg_WriteAll(Env* env, int fd, const void* data, size_t n);

#endif  // PPS2BDE_RUNTIME_MSG_INTERNAL_H_
