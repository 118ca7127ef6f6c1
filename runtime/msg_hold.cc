#include "runtime/msg_hold.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The texts of a kept entry are copied (the caller's may be gone when it is
// written), each bounded: the entry layout cuts them further anyway.
constexpr size_t kKeptTextMax = 256;
// A unit of work makes a handful of entries; past this many the rest are
// counted, not kept, so a fault cannot grow memory without bound.
constexpr size_t kKeptMax = 256;

struct Kept {
  std::string funktion;
  std::string message;
  int32_t kinds;
  int32_t code;
};

int g_holds = 0;
std::vector<Kept> g_kept;
size_t g_dropped = 0;

std::string Bounded(const char* s) {
  return s == nullptr ? std::string() : std::string(s, strnlen(s, kKeptTextMax));
}

}  // namespace

void Msg_Hold() { ++g_holds; }

void Msg_Release() {
  if (g_holds == 0 || --g_holds > 0) return;
  std::vector<Kept> kept;
  kept.swap(g_kept);
  size_t dropped = g_dropped;
  g_dropped = 0;
  for (const Kept& k : kept) Msg_Report(k.code, k.funktion.c_str(), k.message.c_str(), k.kinds);
  if (dropped > 0)
    Msg_Report(static_cast<int32_t>(dropped), "Msg_Hold", "Meldungen verworfen", FMSG);
}

bool Msg_Keep(const MsgRecord& rec) {
  if (g_holds == 0) return false;
  // Dumps are never made inside a unit; one would be written at once.
  if (rec.DumpData != nullptr) return false;
  if (g_kept.size() >= kKeptMax) {
    ++g_dropped;
    return true;
  }
  g_kept.push_back(Kept{Bounded(rec.Funktion), Bounded(rec.Message), rec.MsgArt, rec.ErrorCode});
  return true;
}
