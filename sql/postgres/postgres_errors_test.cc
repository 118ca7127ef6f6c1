#include "sql/postgres/postgres_errors.h"

#include <cstring>

#include "gtest/gtest.h"
#include "sql/errors.h"
#include "sql/postgres/postgres_engine.h"

namespace sql {
namespace {

TEST(PostgresStatus, SqlstatesMapToOraclesCodes) {
  const struct {
    const char* state;
    int code;
  } cases[] = {
      {"23505", -1},    {"23502", -1400}, {"22001", -12899}, {"42P01", -942},
      {"42703", -904},  {"22003", -1438}, {"55P03", -54},    {"40P01", -60},
      {"40001", -8177}, {"O1843", -1843}, {"O1861", -1861},  {"O18x3", -600},
      {"P0001", -600},  {"2350", -600},   {nullptr, -600},
  };
  for (const auto& c : cases) EXPECT_EQ(c.code, Postgres_Status(c.state)) << c.state;
}

TEST(PostgresStatus, ARefusedLoginIsNotAnUnreachableServer) {
  EXPECT_TRUE(Postgres_LoginRefused(
      "FATAL:  password authentication failed for user \"bde\""));
  EXPECT_TRUE(Postgres_LoginRefused("fe_sendauth: no password supplied"));
  EXPECT_TRUE(Postgres_LoginRefused("FATAL:  role \"x\" does not exist"));
  EXPECT_FALSE(Postgres_LoginRefused("FATAL:  database \"x\" does not exist"));
  EXPECT_FALSE(Postgres_LoginRefused("could not connect to server: No such file"));
  EXPECT_FALSE(Postgres_LoginRefused(nullptr));
}

TEST(PostgresService, TheServiceTextChoosesTheEngine) {
  for (const char* pg : {"postgresql://h/db", "POSTGRES://h", "service=pps2bde", "dbname=x"})
    EXPECT_TRUE(Postgres_IsService(pg, std::strlen(pg))) << pg;
  for (const char* file : {"../../../../files/bde.db", "/data/bde.db", "postgresql:/x", ""})
    EXPECT_FALSE(Postgres_IsService(file, std::strlen(file))) << file;
}

}  // namespace
}  // namespace sql
