// The order and operation statements are not built yet: every read finds
// no row, every write touches none.
#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"
#include "sql/errors.h"

int Apk_PKeyReadk(OrderRecord& rec) {
  Text<13> key = rec.ApkApk;
  rec = OrderRecord{};
  rec.ApkApk = key;
  return sql::kNoData;
}
int Apk_PKeyUpd(const OrderRecord&) { return sql::kNoData; }
int App_PKeyReadk(OperationRecord& rec) {
  Text<13> order = rec.AppApk;
  Text<6> op = rec.AppApp;
  rec = OperationRecord{};
  rec.AppApk = order;
  rec.AppApp = op;
  return sql::kNoData;
}
int App_PKeyUpd(const OperationRecord&) { return sql::kNoData; }
