// pps2bde-admin preview: what a full run would do now, read in one snapshot
// that is rolled back; nothing is written, logged or locked.
//
// The run's decisions are the job's own: Transfer_Decide on the planning
// row and the BDE row as read, the plausibility findings of
// App_PlausiFindings, and the download's terminal lookup.  The download is
// predicted from the rows the run would leave marked "ZuzErOro".
#include <fmt/core.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "db/DbDnl/afo.h"
#include "db/DbDnl/auk.h"
#include "db/DbDnl/dnl_cursors.h"
#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"
#include "driver/markers.h"
#include "driver/plausi.h"
#include "driver/transfer_action.h"
#include "sql/errors.h"
#include "sql/sql.h"
#include "tools/admin/admin.h"

namespace {

// The transfers' key range: the two bounds themselves are never read.
constexpr const char kLowestOrder[] = "000000000000";
constexpr const char kHighestOrder[] = "999999999999";
constexpr int kAscending = 1;

const char* ActionName(TransferAction a) {
  switch (a) {
    case TransferAction::kIns: return "insert";
    case TransferAction::kUpd: return "update";
    case TransferAction::kDel: return "logical deletion";
    case TransferAction::kDrop: return "drop";
  }
  return "?";
}

// What the run leaves a planning row to beside the four transfer actions.
constexpr const char kUnfit[] = "skipped: a value does not fit its field";
constexpr const char kUnfitUnsent[] = "a value does not fit its field";
constexpr const char kWaits[] = "waits: its order stays in Kvn500Auk";

struct Decision {
  std::string key;  // "order" or "order/operation"
  std::string action;
  std::string function;  // NEU, AEN, LOE or "" for a drop
  std::string area;
  std::vector<std::pair<std::string, int>> findings;
};

// A row the run's download would send: key -> area key.
using Sends = std::map<std::string, std::string>;

std::string Key(const char* apk, const char* app) { return std::string(apk) + "/" + app; }

// The download function a transfer writes.
std::string FunctionOf(TransferAction a, bool neverSent) {
  switch (a) {
    case TransferAction::kIns: return "NEU";
    case TransferAction::kUpd: return neverSent ? "NEU" : "AEN";
    case TransferAction::kDel: return "LOE";
    default: return "";
  }
}

// The rows marked now; a row with a value that does not fit is never sent
// (the download names it and leaves it marked), so it goes to unfit.
int ReadMarkedOrders(Sends* orders, Sends* unfit) {
  OrderRecord apk;
  int rc = Apk_OpenDnl(kRecorder);
  if (rc != 0) return rc;
  while ((rc = Apk_FetchDnl(apk)) == 0 || sql::NoFit(rc))
    (rc == 0 ? *orders : *unfit)[apk.ApkApk.c_str()] = apk.ApkFbe.c_str();
  (void)Apk_CloseDnl();
  return rc == 1403 ? 0 : rc;
}

int ReadMarkedOperations(Sends* ops, Sends* unfit) {
  OperationRecord app;
  int rc = App_OpenDnl(kRecorder);
  if (rc != 0) return rc;
  while ((rc = App_FetchDnl(app)) == 0 || sql::NoFit(rc))
    (rc == 0 ? *ops : *unfit)[Key(app.AppApk.c_str(), app.AppApp.c_str())] = app.AppFbe.c_str();
  (void)App_CloseDnl();
  return rc == 1403 ? 0 : rc;
}

// A deleted order marks every operation of it for deletion too.
int MarkOperationsOf(const char* order, Sends* ops) {
  static sql::Stmt s{"select AppApp,AppFbe from Kvn504App where AppApk=:b0"};
  sql::Cursor c;
  const sql::Bind b[] = {sql::BText(order, 13)};
  int rc = sql::Open(c, s, b, 1);
  if (rc != 0) return rc;
  char app[6], fbe[11];
  const sql::Out outs[] = {sql::OText(app, sizeof app), sql::OText(fbe, sizeof fbe)};
  while ((rc = sql::Fetch(c, outs, 2)) == 0) (*ops)[Key(order, app)] = fbe;
  (void)sql::Close(c);
  return rc == 1403 ? 0 : rc;
}

// The order transfer.  inserted gets the orders it inserts, staying those
// it leaves in Kvn500Auk.
int DecideOrders(std::vector<Decision>* out, Sends* orders, Sends* ops,
                 std::set<std::string>* inserted, std::set<std::string>* staying) {
  PpsOrderRecord auk;
  int rc = Auk_Open(kLowestOrder, kHighestOrder);
  if (rc != 0) return rc;
  for (;;) {
    rc = Auk_Fetch(auk);
    if (rc != 0 && !sql::NoFit(rc)) break;
    OrderRecord apk;
    apk.ApkApk.Set(auk.AukApk);
    int read = rc == 0 ? Apk_PKeyReadk(apk) : rc;
    if (sql::NoFit(read)) {
      // The planning row or the BDE order holds a value its record cannot.
      out->push_back({auk.AukApk.c_str(), kUnfit, "", "", {}});
      staying->insert(auk.AukApk.c_str());
      continue;
    }
    const TransferAction a = Transfer_Decide(read, auk.AukSts, apk.ApkSts);
    Decision d{auk.AukApk.c_str(), ActionName(a), FunctionOf(a, read == 0 && apk.ApkDna == "NEU"),
               a == TransferAction::kDel ? apk.ApkFbe.c_str() : auk.AukFbe.c_str(), {}};
    if (a != TransferAction::kDrop) (*orders)[d.key] = d.area;
    if (a == TransferAction::kIns) inserted->insert(d.key);
    if (a == TransferAction::kDel) {
      if (int e = MarkOperationsOf(d.key.c_str(), ops)) rc = e;
    }
    out->push_back(d);
    if (rc != 0) break;
  }
  (void)Auk_Close();
  return rc == 1403 ? 0 : rc;
}

// The operation transfer, after the order transfer of DecideOrders.
int DecideOperations(std::vector<Decision>* out, Sends* ops,
                     const std::set<std::string>& insertedOrders,
                     const std::set<std::string>& stayingOrders) {
  PpsOperationRecord afo;
  int rc = Afo_Open(kLowestOrder, kHighestOrder, kAscending);
  if (rc != 0) return rc;
  for (;;) {
    rc = Afo_Fetch(afo, kAscending);
    const std::string key = Key(afo.AfoApk.c_str(), afo.AfoApp.c_str());
    if (rc != 0 && !sql::NoFit(rc)) break;
    if (rc == 0 && stayingOrders.count(afo.AfoApk.c_str())) {
      out->push_back({key, kWaits, "", "", {}});
      continue;
    }
    OperationRecord app;
    app.AppApk.Set(afo.AfoApk);
    app.AppApp.Set(afo.AfoApp);
    int read = rc == 0 ? App_PKeyReadk(app) : rc;
    if (sql::NoFit(read)) {
      out->push_back({key, kUnfit, "", "", {}});
      continue;
    }
    const TransferAction a = Transfer_Decide(read, afo.AfoSts, app.AppSts);
    Decision d{key, ActionName(a), FunctionOf(a, read == 0 && app.AppDna == "NEU"),
               a == TransferAction::kDel ? app.AppFbe.c_str() : afo.AfoFbe.c_str(), {}};
    PlausiFinding f[kPlausiMaxFindings];
    const int n = App_PlausiFindings(afo, f);
    for (int i = 0; i < n; ++i) {
      // The order transfer runs first: an order it inserts exists by then.
      if (std::string(f[i].message) == "kein Apk_Satz gefunden" &&
          insertedOrders.count(afo.AfoApk.c_str()))
        continue;
      d.findings.emplace_back(Admin_Utf8(f[i].message, std::strlen(f[i].message)), f[i].code);
    }
    if (a != TransferAction::kDrop) (*ops)[d.key] = d.area;
    out->push_back(d);
  }
  (void)Afo_Close(kAscending);
  return rc == 1403 ? 0 : rc;
}

struct TerminalLines {
  std::string address;
  int orders = 0, operations = 0;
};
struct Unsent {
  std::string table, key, area, why;
};

// The download: orders go in area-key order and stop at the first one no
// terminal serves; operations without a terminal are passed over.
int PlanDownload(const Sends& orders, const Sends& ops, std::map<int, TerminalLines>* lines,
                 std::vector<Unsent>* unsent) {
  std::map<std::string, std::pair<int, std::string>> terminals;  // area -> terminal
  auto lookup = [&](const std::string& area) -> std::pair<int, std::string> {
    auto it = terminals.find(area);
    if (it != terminals.end()) return it->second;
    std::pair<int, std::string> t{0, ""};
    if (Admin_Terminal(area, &t.first, &t.second) != 0) t.first = 0;
    return terminals[area] = t;
  };
  std::vector<std::pair<std::string, std::string>> byArea;  // area, key
  for (const auto& [key, area] : orders) byArea.emplace_back(area, key);
  std::sort(byArea.begin(), byArea.end());
  bool stopped = false;
  for (const auto& [area, key] : byArea) {
    auto t = stopped ? std::pair<int, std::string>{0, ""} : lookup(area);
    if (stopped) {
      unsent->push_back({"Kvn501Apk", key, area, "not reached: the order download stopped"});
    } else if (t.first == 0) {
      unsent->push_back({"Kvn501Apk", key, area, "no terminal; the order download stops here"});
      stopped = true;
    } else {
      (*lines)[t.first].address = t.second;
      ++(*lines)[t.first].orders;
    }
  }
  for (const auto& [key, area] : ops) {
    auto t = lookup(area);
    if (t.first == 0) {
      unsent->push_back({"Kvn504App", key, area, "no terminal"});
    } else {
      (*lines)[t.first].address = t.second;
      ++(*lines)[t.first].operations;
    }
  }
  return 0;
}

nlohmann::json ToJson(const std::vector<Decision>& ds) {
  nlohmann::json a = nlohmann::json::array();
  for (const Decision& d : ds) {
    nlohmann::json f = nlohmann::json::array();
    for (const auto& [m, c] : d.findings) f.push_back({{"message", m}, {"code", c}});
    a.push_back({{"key", d.key}, {"action", d.action}, {"function", d.function},
                 {"area", Admin_Utf8(d.area)}, {"findings", f}});
  }
  return a;
}

void PrintDecisions(const char* title, const std::vector<Decision>& ds) {
  fmt::print("{}\n", title);
  if (ds.empty()) fmt::print("  none waiting\n");
  for (const Decision& d : ds) {
    fmt::print("  {:<18} {:<16} {:<3}  area {}\n", d.key, d.action, d.function,
               Admin_Utf8(d.area));
    for (const auto& [m, c] : d.findings) fmt::print("      plausibility: {} ({})\n", m, c);
  }
}

}  // namespace

int Admin_Preview(bool json) {
  if (int rc = Admin_Connect()) return rc;
  std::vector<Decision> orders, operations;
  Sends orderSends, opSends, unfit;
  std::set<std::string> inserted, staying;
  std::map<int, TerminalLines> lines;
  std::vector<Unsent> unsent;
  int rc = sql::BeginRead();
  if (rc == 0) rc = ReadMarkedOrders(&orderSends, &unfit);
  if (rc == 0) rc = ReadMarkedOperations(&opSends, &unfit);
  if (rc == 0) rc = DecideOrders(&orders, &orderSends, &opSends, &inserted, &staying);
  if (rc == 0) rc = DecideOperations(&operations, &opSends, inserted, staying);
  if (rc == 0) rc = PlanDownload(orderSends, opSends, &lines, &unsent);
  for (const auto& [key, area] : unfit)
    unsent.push_back({key.find('/') == std::string::npos ? "Kvn501Apk" : "Kvn504App", key, area,
                      kUnfitUnsent});
  (void)sql::EndRead();
  sql::Disconnect();
  if (rc != 0) return Admin_ReadFailed(rc);
  if (json) {
    nlohmann::json j = {{"orders", ToJson(orders)}, {"operations", ToJson(operations)}};
    j["download"] = nlohmann::json::array();
    for (const auto& [t, l] : lines)
      j["download"].push_back({{"terminal", t}, {"address", l.address}, {"orders", l.orders},
                               {"operations", l.operations}});
    j["unsent"] = nlohmann::json::array();
    for (const Unsent& u : unsent)
      j["unsent"].push_back({{"table", u.table}, {"key", u.key}, {"area", Admin_Utf8(u.area)},
                             {"why", u.why}});
    fmt::print("{}\n", j.dump(2));
    return 0;
  }
  PrintDecisions("Orders (Kvn500Auk -> Kvn501Apk)", orders);
  PrintDecisions("\nOperations (Kvn503Afo -> Kvn504App)", operations);
  fmt::print("\nDownload of the run (rows marked {})\n", kRecorder);
  if (lines.empty() && unsent.empty()) fmt::print("  nothing to send\n");
  for (const auto& [t, l] : lines)
    fmt::print("  terminal {} ({}): {} order lines, {} operation lines\n", t, l.address,
               l.orders, l.operations);
  for (const Unsent& u : unsent)
    fmt::print("  NOT SENT {} {} area \"{}\": {}\n", u.table, u.key, Admin_Utf8(u.area), u.why);
  fmt::print("\nNothing was written; the next full run does this unless the tables change "
             "before it.\n");
  return 0;
}
