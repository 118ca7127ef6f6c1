// pps2bde-admin log: the message log as one readable line per entry.
#include <fmt/core.h>

#include <nlohmann/json.hpp>

#include "tools/admin/admin.h"

namespace {

bool Selected(const AdminLogEntry& e, const AdminLogOptions& o) {
  if (!o.since.empty() && e.time < o.since) return false;
  if (!o.function.empty() && e.function != o.function) return false;
  if (!o.grep.empty() && e.message.find(o.grep) == std::string::npos) return false;
  return true;
}

}  // namespace

int Admin_Log(const AdminLogOptions& o) {
  std::vector<AdminLogEntry> all;
  size_t skipped = 0;
  if (Admin_ReadLog(&all, &skipped) == 0) {
    fmt::print(stderr, "pps2bde-admin: no message log in Msg/ (nothing logged yet?)\n");
  }
  std::vector<const AdminLogEntry*> sel;
  for (const AdminLogEntry& e : all)
    if (Selected(e, o)) sel.push_back(&e);
  if (o.last > 0 && sel.size() > static_cast<size_t>(o.last))
    sel.erase(sel.begin(), sel.end() - o.last);
  if (o.json) {
    nlohmann::json a = nlohmann::json::array();
    for (const AdminLogEntry* e : sel)
      a.push_back({{"time", e->time}, {"kind", e->kinds}, {"function", e->function},
                   {"message", e->message}, {"code", e->code}, {"file", e->file},
                   {"offset", e->offset}});
    fmt::print("{}\n", a.dump(2));
  } else {
    for (const AdminLogEntry* e : sel)
      fmt::print("{}  {:<4}  {:<14}  {}  [{}]\n", e->time, e->kinds, e->function, e->message,
                 e->code);
  }
  if (skipped > 0) {
    fmt::print(stderr, "pps2bde-admin: {} damaged part(s) of the log skipped\n", skipped);
    return 1;
  }
  return 0;
}
