// What a run leaves behind, taken so that two runs can be compared: the
// BDE order and operation tables, the planning rows still waiting, and the
// lines of every terminal buffer file.
#ifndef PPS2BDE_TESTS_E2E_OUTCOME_H_
#define PPS2BDE_TESTS_E2E_OUTCOME_H_

#include <dirent.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "tests/support/install.h"

namespace e2e {

constexpr size_t kLine = 552;

// Every row of a table ordered by orderBy, without the change time stamps
// (columns whose name ends in "Dat"), which differ from run to run.
inline std::string Dump(testing_support::Installation& inst, const std::string& table,
                        const std::string& orderBy) {
  std::string cols = testing_support::ColumnNames(inst.db(), table, "Dat");
  return inst.Query("select " + cols + " from " + table + " order by " + orderBy);
}

// The lines of buffer file bytes in file order, with the write time
// (positions 22-35) and the run date and time (94-105) blanked.  Adds a
// failure for a torn line: a size that is not a multiple of 552 or a line
// that does not end in "*\r\n".
inline std::vector<std::string> MaskedLines(const std::string& bytes, const std::string& what) {
  EXPECT_EQ(0u, bytes.size() % kLine) << what << " holds a torn line";
  std::vector<std::string> lines;
  for (size_t pos = 0; pos + kLine <= bytes.size(); pos += kLine) {
    std::string line = bytes.substr(pos, kLine);
    EXPECT_EQ("*\r\n", line.substr(kLine - 3)) << what << " line " << pos / kLine + 1;
    line.replace(21, 14, 14, ' ');
    line.replace(93, 12, 12, ' ');
    lines.push_back(std::move(line));
  }
  return lines;
}

// The distinct lines of buffer file bytes, masked as by MaskedLines.
inline std::set<std::string> Lines(const std::string& bytes, const std::string& what) {
  std::vector<std::string> lines = MaskedLines(bytes, what);
  return std::set<std::string>(lines.begin(), lines.end());
}

// The buffer files of an installation by name, with their bytes.
inline std::map<std::string, std::string> BufferFiles(testing_support::Installation& inst) {
  std::map<std::string, std::string> files;
  DIR* d = opendir(inst.buff().c_str());
  if (d == nullptr) return files;
  while (struct dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.rfind("SndDnl", 0) == 0)
      files[name] = testing_support::ReadAll(inst.buff() + "/" + name);
  }
  closedir(d);
  return files;
}

struct Outcome {
  std::string orders;      // Kvn501Apk
  std::string operations;  // Kvn504App
  std::string planning;    // keys left in Kvn500Auk and Kvn503Afo
  std::map<std::string, std::set<std::string>> lines;  // per buffer file
  size_t lineCount = 0;    // lines written, repeats included
};

inline Outcome TakeOutcome(testing_support::Installation& inst) {
  Outcome o;
  o.orders = Dump(inst, "Kvn501Apk", "ApkApk");
  o.operations = Dump(inst, "Kvn504App", "AppApk,AppApp");
  o.planning = inst.Query(
      "select 'Auk '||AukApk from Kvn500Auk union all "
      "select 'Afo '||AfoApk||'/'||AfoApp from Kvn503Afo order by 1");
  for (const auto& [name, bytes] : BufferFiles(inst)) {
    o.lines[name] = Lines(bytes, name);
    o.lineCount += bytes.size() / kLine;
  }
  return o;
}

// Checks that inst ended where the reference run ended: the same BDE rows,
// the same planning rows left, every line of the reference in its file at
// least once and no line the reference does not have, every line whole, and
// a message log that consists of whole entries.
inline void ExpectSameEnd(const Outcome& reference, testing_support::Installation& inst,
                          const std::string& what) {
  SCOPED_TRACE(what);
  Outcome o = TakeOutcome(inst);
  EXPECT_EQ(reference.orders, o.orders) << "Kvn501Apk";
  EXPECT_EQ(reference.operations, o.operations) << "Kvn504App";
  EXPECT_EQ(reference.planning, o.planning) << "planning rows left";
  EXPECT_EQ(reference.lines.size(), o.lines.size()) << "buffer files";
  for (const auto& [name, lines] : reference.lines) {
    auto it = o.lines.find(name);
    if (it == o.lines.end()) {
      ADD_FAILURE() << name << " missing";
      continue;
    }
    for (const std::string& line : lines)
      EXPECT_EQ(1u, it->second.count(line)) << name << " lacks:\n" << line;
    for (const std::string& line : it->second)
      EXPECT_EQ(1u, lines.count(line)) << name << " has a line the reference has not:\n" << line;
  }
  testing_support::ParseLog(testing_support::ReadAll(inst.log()));
}

}  // namespace e2e

#endif  // PPS2BDE_TESTS_E2E_OUTCOME_H_
