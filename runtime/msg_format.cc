// The text of one log entry.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "runtime/msg_internal.h"
#include "runtime/text.h"

namespace {

// The body's fixed text: 47 characters around message, function and code.
constexpr char kBodyFormat[] =
    "\r\nMessage____: %.*s\r\nFunktion___: %.*s\r\nErrorCode__: %s\r\n";
constexpr size_t kBodyFixed = 3 * 15 + 2;

struct Kind {
  int32_t bit;
  const char* text;
};
constexpr Kind kKinds[] = {{DMSG, "DMSG "}, {SMSG, "SMSG "}, {FMSG, "FMSG "},
                           {WMSG, "WMSG "}, {CMSG, "CMSG "}};

// The length snprintf produced in a buffer of cap bytes.
size_t Produced(int r, size_t cap) {
  if (r < 0) return 0;
  return std::min(static_cast<size_t>(r), cap - 1);
}

size_t FormatHead(const MsgRecord& rec, const struct tm& now, char* out,
                  size_t cap) {
  char kinds[32] = "";
  for (const Kind& k : kKinds)
    if (rec.MsgArt & k.bit) std::strcat(kinds, k.text);  // 25 bytes at most
  int r = std::snprintf(out, cap,
                        "\xFE\r\nSystem-Date: %02d.%02d.%02d\r\n"
                        "System-Time: %02d:%02d:%02d\r\nMsgArt_____: %s",
                        now.tm_mday, now.tm_mon + 1, (now.tm_year % 100 + 100) % 100,
                        now.tm_hour, now.tm_min, now.tm_sec, kinds);
  return Produced(r, cap);
}

size_t FormatBody(const MsgRecord& rec, char* out, size_t cap) {
  char code[16];
  int r = std::snprintf(code, sizeof code, "%d", static_cast<int>(rec.ErrorCode));
  size_t codeLen = Produced(r, sizeof code);
  const char* msg = rec.Message != nullptr ? rec.Message : "";
  const char* fun = rec.Funktion != nullptr ? rec.Funktion : "";
  size_t room = kMsgBodyCap - 1 - kBodyFixed - codeLen;
  size_t msgLen = strnlen(msg, kMsgBodyCap);
  size_t funLen = strnlen(fun, kMsgBodyCap);
  // Function first, but never more than half when the message needs room.
  size_t funCut = std::min(funLen, std::max(room / 2, room > msgLen ? room - msgLen : 0));
  size_t msgCut = std::min(msgLen, room - funCut);
  // The texts may come from the database: a control byte in them would
  // break the entry's lines, so it is written as a blank.
  char msgText[kMsgBodyCap];
  char funText[kMsgBodyCap];
  std::memcpy(msgText, msg, msgCut);
  std::memcpy(funText, fun, funCut);
  Text_Blank(msgText, msgCut);
  Text_Blank(funText, funCut);
  r = std::snprintf(out, cap, kBodyFormat, static_cast<int>(msgCut), msgText,
                    static_cast<int>(funCut), funText, code);
  return Produced(r, cap);
}

}  // namespace

size_t Msg_FormatEntry(const MsgRecord& rec, const struct tm& now, char* out,
                       size_t cap) {
  if (out == nullptr || cap == 0) return 0;
  out[0] = '\0';
  size_t head = FormatHead(rec, now, out, std::min(cap, kMsgHeadCap));
  return head + FormatBody(rec, out + head, std::min(cap - head, kMsgBodyCap));
}
