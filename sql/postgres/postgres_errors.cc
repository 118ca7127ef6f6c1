#include "sql/postgres/postgres_errors.h"

#include <cstring>

#include "sql/errors.h"

namespace sql {

int Postgres_Status(const char* sqlstate) {
  if (sqlstate == nullptr || strnlen(sqlstate, 6) != 5) return kInternal;
  static const struct {
    const char* state;
    int code;
  } kMap[] = {
      {"23505", kUniqueViolated}, {"23502", kNotNull},      {"22001", kValueTooLarge},
      {"42P01", kNoSuchTable},    {"42703", kInvalidName},  {"42883", kInvalidName},
      {"22003", kPrecision},      {"22P02", kInvalidNumber}, {"55P03", kBusy},
      {"40P01", kDeadlock},       {"40001", kSerialize},    {"42601", kInvalidSql},
      {"53100", kIoError},        {"22007", kNonNumeric},   {"22008", kNonNumeric},
  };
  for (const auto& m : kMap)
    if (std::memcmp(sqlstate, m.state, 5) == 0) return m.code;
  if (sqlstate[0] == 'O') {
    int code = 0;
    for (int i = 1; i < 5; ++i) {
      if (sqlstate[i] < '0' || sqlstate[i] > '9') return kInternal;
      code = code * 10 + (sqlstate[i] - '0');
    }
    if (code != 0) return -code;
  }
  return kInternal;
}

bool Postgres_LoginRefused(const char* message) {
  if (message == nullptr) return false;
  static const char* const kParts[] = {
      "password authentication failed", "no password supplied",
      "authentication failed", "does not exist"};
  for (const char* part : kParts) {
    // "database ... does not exist" is an unknown service, not a login.
    if (std::strstr(message, part) == nullptr) continue;
    if (std::strcmp(part, "does not exist") == 0 && std::strstr(message, "role \"") == nullptr)
      continue;
    return true;
  }
  return false;
}

}  // namespace sql
