#include "sql/postgres/postgres_dates.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace sql {
namespace pg {
namespace {

// Each call of the two masks on a placeholder of its own becomes a cast;
// anything else stays as written.
TEST(PostgresDates, OnlyTheJobsDatesOnPlaceholdersOfTheirOwnBecomeCasts) {
  const struct {
    const char* text;
    const char* quick;  // "" when there is no quick form
    std::vector<std::pair<int, bool>> dates;
  } cases[] = {
      {"update t set a=ora_TO_DATE($1,'yyyymmdd'),b=ora_to_date($12,'YYYYMMDDHH24MISS') "
       "where k=$2",
       "update t set a=$1::timestamp(0),b=$12::timestamp(0) where k=$2",
       {{0, false}, {11, true}}},
      // $1 is used again (as $1, not as the $12 that begins like it).
      {"select 1 from t where d=ora_TO_DATE($1,'yyyymmdd') and k=$1", "", {}},
      {"select 1 from t where d=ora_TO_DATE($1,'yyyymmdd') and k=$12",
       "select 1 from t where d=$1::timestamp(0) and k=$12", {{0, false}}},
      // Other masks, spacing and arguments go to the strict function.
      {"select ora_TO_DATE($1,'dd.mm.yyyy'), ora_TO_DATE( $2,'yyyymmdd'), "
       "ora_TO_DATE($3||'01','yyyymmdd'), ora_TO_DATE('20240101','yyyymmdd')",
       "", {}},
      {"select ora_TO_DATE($1,'yyyymmdd'", "", {}},
  };
  for (const auto& c : cases) {
    std::string quick;
    std::vector<DateParam> dates;
    EXPECT_EQ(*c.quick != '\0', Dates_QuickForm(c.text, &quick, &dates)) << c.text;
    EXPECT_EQ(c.quick, quick) << c.text;
    std::vector<std::pair<int, bool>> got;
    for (const DateParam& d : dates) got.emplace_back(d.index, d.withTime);
    EXPECT_EQ(c.dates, got) << c.text;
  }
}

TEST(PostgresDates, OnlyCompleteValidDatesAreQuick) {
  const struct {
    const char* value;
    bool withTime;
    const char* iso;  // null: not quick
  } cases[] = {
      {"20240229", false, "2024-02-29 00:00:00"},
      {"20000229235959", true, "2000-02-29 23:59:59"},
      {"00010101", false, "0001-01-01 00:00:00"},
      {"19000229", false, nullptr},        {"20230229", false, nullptr},
      {"20240431", false, nullptr},        {"20241301", false, nullptr},
      {"20240100", false, nullptr},        {"00000101", false, nullptr},
      {"20240101240000", true, nullptr},   {"20240101236000", true, nullptr},
      {"20240101235960", true, nullptr},   {"2024010", false, nullptr},
      {"20240101", true, nullptr},         {"2024010112", true, nullptr},
      {"2024-1-01", false, nullptr},       {"2024010a", false, nullptr},
      {"202401011200001", true, nullptr},
  };
  for (const auto& c : cases) {
    std::string iso = "untouched";
    EXPECT_EQ(c.iso != nullptr, Dates_Quick(c.value, c.withTime, &iso)) << c.value;
    EXPECT_EQ(c.iso != nullptr ? c.iso : "untouched", iso) << c.value;
  }
}

}  // namespace
}  // namespace pg
}  // namespace sql
