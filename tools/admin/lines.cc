// pps2bde-admin lines: terminal buffer files decoded into named fields.
//
// A download line has 552 characters: a fixed head naming the terminal, the
// write time, the record type, the run's date and time and the download
// function, then a 438-character payload, "*" and CR LF.  The payload's
// layout depends on the record type; each ends in the end mark "X".
#include <fmt/core.h>

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "tools/admin/admin.h"

namespace {

constexpr size_t kLineLength = 552;

// One field: its name, its first position (from 1) and its width.  A name
// in quotes is a fixed text the line must carry there.
struct Field {
  const char* name;
  int pos;
  int width;
};

const Field kHead[] = {
    {"\"$\"", 1, 1},          {"CfgIP", 2, 15},          {"CfgPrt", 17, 5},
    {"written", 22, 14},      {"\"999\"", 36, 3},        {"CfgIP(right)", 39, 15},
    {"CfgPrt(right)", 54, 5}, {"\"\"", 59, 28},          {"\"0460\"", 87, 4},
    {"DnlSkz", 91, 3},        {"run date", 94, 6},       {"run time", 100, 6},
    {"\"BDE\"", 106, 3},      {"DnlFun", 109, 3},        {"\"*\"", 550, 1},
};
constexpr int kPayloadStart = 112;
constexpr int kPayloadWidth = 438;

struct Layout {
  const char* type;
  std::vector<Field> fields;
  int endMark;  // position of "X" in the payload
};

const Layout kLayouts[] = {
    {"APK",
     {{"ApkApk", 1, 12}, {"ApkBz1", 13, 30}, {"ApkBz2", 43, 30}, {"ApkTxt", 73, 8},
      {"ApkTnr", 81, 20}, {"ApkTb1", 101, 30}, {"ApkTb2", 131, 30}, {"ApkSme", 161, 11},
      {"ApkMee", 172, 3}, {"ApkBgs", 175, 6}, {"ApkEns", 181, 6}, {"ApkAfo", 187, 5},
      {"ApkSts", 192, 1}, {"ApkZf1", 193, 10}, {"ApkZf2", 203, 20}, {"ApkZf3", 223, 30}},
     253},
    {"APP",
     {{"AppApk", 1, 12}, {"AppApp", 13, 5}, {"AppBz1", 18, 30}, {"AppBz2", 48, 30},
      {"AppTxt", 78, 8}, {"AppApg", 86, 10}, {"AppSme", 96, 11}, {"AppMee", 107, 3},
      {"AppStr", 110, 7}, {"AppSte", 117, 7}, {"AppSza", 124, 7}, {"AppBds", 131, 6},
      {"AppEds", 137, 6}, {"AppVaf", 143, 5}, {"AppNaf", 148, 5}, {"AppSts", 153, 1},
      {"AppZf1", 154, 10}, {"AppZf2", 164, 20}, {"AppZf3", 184, 30}, {"AppIme", 214, 11},
      {"AppAme", 225, 11}},
     247},
    {"MAG",
     {{"ApgApg", 1, 10}, {"ApgBez", 11, 30}, {"ApgTxt", 41, 8}, {"ApgFbe", 49, 10},
      {"KsgKst", 59, 7}, {"ApgZf1", 76, 10}, {"ApgZf2", 86, 20}, {"ApgZf3", 106, 30}},
     137},
    {"MAS",
     {{"AplApl", 1, 10}, {"AplBez", 11, 30}, {"AplTxt", 41, 8}, {"AplFbe", 49, 10},
      {"KsgKst", 59, 7}, {"AplApg", 66, 10}, {"AplApr", 96, 5}, {"AplSts", 101, 1},
      {"AplZf1", 102, 10}, {"AplZf2", 112, 20}, {"AplZf3", 132, 23}},
     155},
    {"UBG",
     {{"UbgKnz", 1, 1}, {"UbgUbg", 2, 4}, {"UbgBez", 6, 30}, {"UbgBez(2)", 36, 30},
      {"UbgTxt", 66, 8}},
     74},
    {"PNR", {{"PrvPnr", 1, 8}, {"PrvKst", 9, 7}, {"PrvBer", 16, 1}}, 17},
    {"AWN", {{"PrvAwn", 1, 8}, {"PrvPnr", 9, 8}}, 17},
    {"KST", {{"KstNum", 1, 7}, {"text", 8, 25}}, 38},
};

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::string At(const std::string& line, int pos, int width) {
  if (static_cast<size_t>(pos - 1) >= line.size()) return "";
  return line.substr(pos - 1, width);
}

struct Decoded {
  std::string file;
  size_t offset = 0;
  std::string type, function;
  std::vector<std::pair<std::string, std::string>> head, fields;
  std::vector<std::string> problems;
};

Decoded Decode(const std::string& file, size_t offset, const std::string& line) {
  Decoded d;
  d.file = file;
  d.offset = offset;
  if (line.size() != kLineLength)
    d.problems.push_back(fmt::format("length {} instead of {}", line.size(), kLineLength));
  if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0)
    d.problems.push_back("no CR LF at the end");
  for (const Field& f : kHead) {
    std::string v = At(line, f.pos, f.width);
    if (f.name[0] == '"') {
      std::string want(f.name + 1, std::strlen(f.name) - 2);
      if (want.empty()) want.assign(f.width, ' ');
      if (v != want)
        d.problems.push_back(fmt::format("position {}: \"{}\" expected", f.pos, want));
      continue;
    }
    d.head.emplace_back(f.name, Admin_Utf8(Trim(v)));
  }
  d.type = Trim(At(line, 91, 3));
  d.function = Trim(At(line, 109, 3));
  const std::string payload = At(line, kPayloadStart, kPayloadWidth);
  const Layout* layout = nullptr;
  for (const Layout& l : kLayouts)
    if (d.type == l.type) layout = &l;
  if (layout == nullptr) {
    d.problems.push_back("unknown record type \"" + Admin_Utf8(d.type) + "\"");
    d.fields.emplace_back("payload", Admin_Utf8(Trim(payload)));
    return d;
  }
  for (const Field& f : layout->fields)
    d.fields.emplace_back(f.name, Admin_Utf8(Trim(At(payload, f.pos, f.width))));
  if (At(payload, layout->endMark, 1) != "X")
    d.problems.push_back(fmt::format("no end mark \"X\" at payload position {}", layout->endMark));
  return d;
}

// Reads the next line of f (up to and including CR LF) into *line, at most
// kLineLength*2 bytes: a longer run of bytes without a line end is cut
// there and is reported by its length.  False at the end of the file.
bool NextLine(FILE* f, std::string* line) {
  line->clear();
  int c;
  while (line->size() < kLineLength * 2 && (c = std::getc(f)) != EOF) {
    line->push_back(static_cast<char>(c));
    if (c == '\n' && line->size() >= 2 && (*line)[line->size() - 2] == '\r') break;
  }
  return !line->empty();
}

void Print(const Decoded& d) {
  fmt::print("{}@{} {} {}{}\n", d.file, d.offset, d.type.empty() ? "?" : Admin_Utf8(d.type),
             Admin_Utf8(d.function), d.problems.empty() ? "" : "  MALFORMED");
  for (const std::string& p : d.problems) fmt::print("  ! {}\n", p);
  for (const auto& [name, value] : d.head) fmt::print("  {:<14} {}\n", name, value);
  for (const auto& [name, value] : d.fields) fmt::print("  {:<14} {}\n", name, value);
}

}  // namespace

int Admin_Lines(const AdminLinesOptions& o) {
  nlohmann::json all = nlohmann::json::array();
  bool bad = false;
  for (const std::string& file : o.files) {
    FILE* f = std::fopen(file.c_str(), "rb");
    if (f == nullptr) {
      fmt::print(stderr, "pps2bde-admin: cannot read {}\n", file);
      bad = true;
      continue;
    }
    // Lines end in CR LF; a payload holds none, so the ends cut the file.
    std::string line;
    for (size_t pos = 0; NextLine(f, &line); pos += line.size()) {
      Decoded d = Decode(file, pos, line);
      if (!o.record.empty() && d.type != o.record) continue;
      bad |= !d.problems.empty();
      if (!o.json) {
        Print(d);
        continue;
      }
      nlohmann::json j = {{"file", d.file},   {"offset", d.offset},
                          {"type", Admin_Utf8(d.type)}, {"function", Admin_Utf8(d.function)},
                          {"ok", d.problems.empty()}, {"problems", d.problems}};
      for (const auto& [name, value] : d.head) j["head"][name] = value;
      for (const auto& [name, value] : d.fields) j["fields"][name] = value;
      all.push_back(j);
    }
    std::fclose(f);
  }
  if (o.json) fmt::print("{}\n", all.dump(2));
  return bad ? 1 : 0;
}
