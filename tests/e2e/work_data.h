// A generated day's work for the reliability tests: new orders with their
// operations, planning changes and deletions of rows the BDE tables already
// hold, and planning rows that are simply dropped, spread over three
// terminals.  The same seed gives the same SQL.
#ifndef PPS2BDE_TESTS_E2E_WORK_DATA_H_
#define PPS2BDE_TESTS_E2E_WORK_DATA_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/planning_rows.h"

namespace e2e {

// splitmix64: small, fast and the same on every platform (the standard
// distributions are not).
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number in [lo, hi].
  int Between(int lo, int hi) {
    return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1));
  }

 private:
  uint64_t state_;
};

// How much of each kind of work a data set holds.
struct WorkShape {
  int newOrders = 40;       // new orders, 1 to 4 new operations each
  int updatedOrders = 4;    // existing orders changed by the planning system,
                            // one operation changed, one deleted, one added
  int deletedOrders = 3;    // existing active orders deleted (AukSts 9)
  int droppedOrders = 4;    // deletions the BDE side ignores or never had
  int droppedOperations = 3;
  bool withFailures = true; // one order whose date the database refuses (it
                            // stays in Kvn500Auk) and one order with an area
                            // key no terminal serves (it stays marked)
};

// Terminal 1 serves FB00..FB09, terminal 2 FB10..FB19, terminal 3 FB20..FB29
// and MA00..MA99.
inline std::string Terminals() {
  return TerminalRow(1, "10.0.0.1", "4001", "FB00", "FB09") +
         TerminalRow(2, "10.0.0.22", "4002", "FB10", "FB19") +
         TerminalRow(3, "10.0.1.3", "502", "FB20", "FB29", "MA00", "MA99");
}

inline std::string OrderKey(int n) {
  char key[16];
  std::snprintf(key, sizeof key, "1%011d", n);
  return key;
}

inline std::string OperationKey(int n) {
  char key[16];
  std::snprintf(key, sizeof key, "%05d", n * 10);
  return key;
}

// An order the BDE tables already hold, sent earlier (no marker), with ops
// operations of status 10.
inline std::string ExistingOrder(const std::string& apk, int sts, const std::string& fbe,
                                 int ops) {
  std::string s =
      "insert into Kvn501Apk (ApkApk,ApkBz1,ApkSts,ApkSis,ApkAfo,ApkAba,ApkKnz,ApkKst,ApkFbe,"
      "ApkSme,ApkMee,ApkBgs,ApkEns,ApkErf,ApkDat) values ('" + apk + "','Bestand " +
      apk.substr(8) + "'," + std::to_string(sts) + ",0," + std::to_string(ops) +
      ",1,' ','K200','" + fbe + "',50,'STK','2024-02-01 00:00:00','2024-02-20 00:00:00',"
      "'Kolvane','2024-02-01 08:00:00');\n";
  for (int a = 1; a <= ops; ++a) {
    s += "insert into Kvn504App (AppApk,AppApp,AppBz1,AppSts,AppApg,AppApl,AppFbe,AppSme,"
         "AppMee,AppBds,AppEds,AppErf,AppDat) values ('" + apk + "','" + OperationKey(a) +
         "','Bestand-Ag " + std::to_string(a) + "',10,'AG01','AP01','" + fbe +
         "',50,'STK','2024-02-02 06:00:00','2024-02-03 14:00:00','Kolvane',"
         "'2024-02-01 08:00:00');\n";
  }
  return s;
}

// The whole data set as one SQL text (one transaction).
inline std::string WorkData(uint64_t seed, const WorkShape& shape = WorkShape()) {
  static const char* const kAreas[] = {"FB01", "FB05", "FB12", "FB17", "FB23", "MA10"};
  Random rnd(seed);
  // The kinds of order, shuffled over the key range so that the deletions
  // (each of which sends everything marked so far) fall between the others.
  enum Kind { kNew, kUpdated, kDeleted, kDropped, kRefused, kNoTerminal };
  std::vector<Kind> kinds;
  kinds.insert(kinds.end(), shape.newOrders, kNew);
  kinds.insert(kinds.end(), shape.updatedOrders, kUpdated);
  kinds.insert(kinds.end(), shape.deletedOrders, kDeleted);
  kinds.insert(kinds.end(), shape.droppedOrders, kDropped);
  if (shape.withFailures) {
    kinds.push_back(kRefused);
    kinds.push_back(kNoTerminal);
  }
  for (size_t i = kinds.size(); i > 1; --i) std::swap(kinds[i - 1], kinds[rnd.Next() % i]);

  std::string s = "begin;\n" + Terminals() + MasterRows("AG01", "AP01", "FB01");
  int droppedOps = 0;
  for (size_t i = 0; i < kinds.size(); ++i) {
    const std::string apk = OrderKey(static_cast<int>(i) + 1);
    const std::string fbe = kAreas[rnd.Next() % 6];
    switch (kinds[i]) {
      case kNew: {
        s += AukRow(apk, 1, fbe);
        int ops = rnd.Between(1, 4);
        for (int a = 1; a <= ops; ++a)
          s += AfoRow(apk, OperationKey(a), 1, "AG01", "AP01", kAreas[rnd.Next() % 6]);
        break;
      }
      case kUpdated:
        s += ExistingOrder(apk, 10 + static_cast<int>(rnd.Next() % 3), fbe, 2);
        s += AukRow(apk, 2, fbe);
        s += AfoRow(apk, OperationKey(1), 2, "AG01", "AP01", fbe);  // changed
        s += AfoRow(apk, OperationKey(2), 9, "AG01", "AP01", fbe);  // deleted
        s += AfoRow(apk, OperationKey(3), 1, "AG01", "AP01", fbe);  // added
        break;
      case kDeleted:
        s += ExistingOrder(apk, 10, fbe, rnd.Between(1, 3));
        s += AukRow(apk, 9, fbe);
        break;
      case kDropped:
        // Every other one exists with a status that refuses the deletion.
        if (i % 2 == 0) s += ExistingOrder(apk, 11, fbe, 1);
        s += AukRow(apk, 9, fbe);
        if (droppedOps < shape.droppedOperations) {
          s += AfoRow(apk, OperationKey(7), 9, "AG01", "AP01", fbe);
          ++droppedOps;
        }
        break;
      case kRefused:
        s += AukRow(apk, 1, fbe, "20241301");
        break;
      case kNoTerminal:
        s += AukRow(apk, 1, "ZZ01");
        s += AfoRow(apk, OperationKey(1), 1, "AG01", "AP01", "ZZ01");
        break;
    }
  }
  return s + "commit;\n";
}

}  // namespace e2e

#endif  // PPS2BDE_TESTS_E2E_WORK_DATA_H_
