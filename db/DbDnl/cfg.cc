// The terminal cursor over Kvn557Cfg: the terminals whose first or second
// range of area keys contains a key, lowest terminal number first.
#include "db/DbDnl/cfg.h"

#include <cstdint>
#include <cstring>

#include "sql/record.h"
#include "sql/sql.h"

namespace {

// The columns of Kvn557Cfg, in record order (which is also the select
// order).
enum : uint8_t {
  kCfgDta, kCfgIP, kCfgPrt, kCfgBez, kCfgTxt, kCfgKr1,
  kCfgVn1, kCfgBi1, kCfgBz1, kCfgVn2, kCfgBi2, kCfgBz2,
  kCfgVn3, kCfgBi3, kCfgBz3, kCfgVn4, kCfgBi4, kCfgBz4,
  kCfgVn5, kCfgBi5, kCfgBz5, kCfgSta, kCfgDat, kCfgErf,
};
#define F(name, type) SQL_FIELD(CfgRecord, name, type)
const sql::Field kFields[] = {
    F(CfgDta, sql::kI32),  F(CfgIP, sql::kText),  F(CfgPrt, sql::kText),
    F(CfgBez, sql::kText), F(CfgTxt, sql::kText), F(CfgKr1, sql::kI32),
    F(CfgVn1, sql::kText), F(CfgBi1, sql::kText), F(CfgBz1, sql::kText),
    F(CfgVn2, sql::kText), F(CfgBi2, sql::kText), F(CfgBz2, sql::kText),
    F(CfgVn3, sql::kText), F(CfgBi3, sql::kText), F(CfgBz3, sql::kText),
    F(CfgVn4, sql::kText), F(CfgBi4, sql::kText), F(CfgBz4, sql::kText),
    F(CfgVn5, sql::kText), F(CfgBi5, sql::kText), F(CfgBz5, sql::kText),
    F(CfgSta, sql::kI32),  F(CfgDat, sql::kText), F(CfgErf, sql::kText),
};
#undef F

// The 24 columns of the cursor, in select order.
constexpr uint8_t kSelectOrder[] = {
    kCfgDta, kCfgIP,  kCfgPrt, kCfgBez, kCfgTxt, kCfgKr1,
    kCfgVn1, kCfgBi1, kCfgBz1, kCfgVn2, kCfgBi2, kCfgBz2,
    kCfgVn3, kCfgBi3, kCfgBz3, kCfgVn4, kCfgBi4, kCfgBz4,
    kCfgVn5, kCfgBi5, kCfgBz5, kCfgSta, kCfgDat, kCfgErf,
};
constexpr int kSelectCount = sizeof kSelectOrder;
static_assert(kSelectCount == 24);

// TO_CHAR(CfgDat,'yyyymmddHH24MISS') is read through a 30-byte host buffer.
constexpr int kCfgDatPos = 22;
static_assert(kSelectOrder[kCfgDatPos] == kCfgDat);

}  // namespace

static sql::Cursor g_cfg;

int Cfg_Open(const char* areaKey) {
  // The key is one value: the layer binds the repeated :b0 once.
  static sql::Stmt s{
      "select CfgDta ,CfgIP ,CfgPrt ,CfgBez ,CfgTxt ,CfgKr1 ,CfgVn1 ,CfgBi1 ,"
      "CfgBz1 ,CfgVn2 ,CfgBi2 ,CfgBz2 ,CfgVn3 ,CfgBi3 ,CfgBz3 ,CfgVn4 ,CfgBi4 ,"
      "CfgBz4 ,CfgVn5 ,CfgBi5 ,CfgBz5 ,CfgSta ,"
      "TO_CHAR(CfgDat,'yyyymmddHH24MISS') ,CfgErf  from Kvn557Cfg where "
      "((:b0>=CfgVn1 and :b0<=CfgBi1) or (:b0>=CfgVn2 and :b0<=CfgBi2)) "
      "order by CfgDta"};
  // A key longer than 10 characters is bound as NULL, which lies in no
  // range; cut to fit it could fall into a range it is not in.
  Text<11> key;
  if (areaKey != nullptr && strnlen(areaKey, 11) < 11) key = areaKey;
  sql::Bind binds[] = {sql::BText(key)};
  return sql::Open(g_cfg, s, binds, 1);
}

int Cfg_Fetch(CfgRecord& rec) {
  CfgRecord row;
  Text<30> dat;
  sql::Out outs[kSelectCount];
  sql::OutsOf(&row, kFields, kSelectOrder, kSelectCount, outs);
  outs[kCfgDatPos] = sql::OText(dat);
  int rc = sql::Fetch(g_cfg, outs, kSelectCount);
  if (rc != 0) return rc;
  row.CfgDat.Set(dat);
  rec = row;
  return 0;
}

int Cfg_Close() { return sql::Close(g_cfg); }
