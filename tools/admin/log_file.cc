// Reading the message log: entries of 0xFE, CR LF and six "Name: value"
// lines, in ISO-8859-1.
#include <cstdio>
#include <cstring>

#include "tools/admin/admin.h"

namespace {

constexpr const char* kLogFiles[] = {"Msg/Ostrak.old", "Msg/Ostrak.Txt"};
// A log larger than this is read only up to it.
constexpr size_t kLogCap = 256u << 20;

bool ReadFile(const char* path, std::string* out) {
  FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && out->size() < kLogCap) out->append(buf, n);
  std::fclose(f);
  return true;
}

// Takes "prefix value CR LF" at pos.
bool Take(const std::string& b, size_t& pos, const char* prefix, std::string* value) {
  const size_t len = std::strlen(prefix);
  if (b.compare(pos, len, prefix) != 0) return false;
  size_t end = b.find("\r\n", pos);
  if (end == std::string::npos) return false;
  *value = b.substr(pos + len, end - pos - len);
  pos = end + 2;
  return true;
}

// "DD.MM.YY" and "HH:MM:SS" as "20YY-MM-DD HH:MM:SS".
std::string IsoTime(const std::string& d, const std::string& t) {
  if (d.size() != 8 || d[2] != '.' || d[5] != '.') return d + " " + t;
  return "20" + d.substr(6, 2) + "-" + d.substr(3, 2) + "-" + d.substr(0, 2) + " " + t;
}

std::string Trim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

int Admin_ReadLog(std::vector<AdminLogEntry>* out, size_t* skipped) {
  int files = 0;
  *skipped = 0;
  for (const char* name : kLogFiles) {
    std::string b;
    if (!ReadFile(name, &b)) continue;
    ++files;
    size_t pos = 0;
    while (pos < b.size()) {
      const size_t start = pos;
      AdminLogEntry e;
      std::string empty, date, time, kinds, message, function;
      bool ok = b[pos] == '\xFE' && Take(b, ++pos, "", &empty) && empty.empty() &&
                Take(b, pos, "System-Date: ", &date) && Take(b, pos, "System-Time: ", &time) &&
                Take(b, pos, "MsgArt_____: ", &kinds) &&
                Take(b, pos, "Message____: ", &message) &&
                Take(b, pos, "Funktion___: ", &function) &&
                Take(b, pos, "ErrorCode__: ", &e.code);
      if (!ok) {
        // Skip to the next entry marker.
        ++*skipped;
        pos = b.find("\xFE\r\nSystem-Date: ", start + 1);
        if (pos == std::string::npos) break;
        continue;
      }
      // A dump or an SMSG's empty lines follow some kinds; they end before
      // the next marker.
      size_t next = b.find("\xFE\r\nSystem-Date: ", pos);
      pos = next == std::string::npos ? b.size() : next;
      e.time = IsoTime(date, time);
      e.kinds = Trim(kinds);
      e.message = Admin_Utf8(message);
      e.function = Admin_Utf8(function);
      e.file = name;
      e.offset = start;
      out->push_back(std::move(e));
    }
  }
  return files;
}
