#include "sql/sqlite/sqlite_functions.h"

#include <cmath>

#include "sql/errors.h"
#include "sql/sqlite/ora_dates.h"
#include "sql/sqlite/sqlite_errors.h"

namespace sql {
namespace {

void Raise(sqlite3_context* ctx, int code) {
  sqlite3_result_error(ctx, Sqlite_OraMessage(code), -1);
}

// The statement's time, local.
OraDate Now(sqlite3_context* ctx) {
  OraDate d;
  OraDate_FromTime(*static_cast<const time_t*>(sqlite3_user_data(ctx)), &d);
  return d;
}

void ResultDate(sqlite3_context* ctx, const OraDate& d) {
  char out[kStoredDateSize];
  OraDate_ToStored(d, out);
  sqlite3_result_text(ctx, out, -1, SQLITE_TRANSIENT);
}

// Reads a DATE argument.  False when the result is already set: NULL for a
// NULL (or '') argument, an error for anything that is not a stored date.
bool DateArg(sqlite3_context* ctx, sqlite3_value* v, OraDate* d) {
  int type = sqlite3_value_type(v);
  if (type == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return false;
  }
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
    Raise(ctx, kInconsistentTypes);
    return false;
  }
  const char* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  int n = sqlite3_value_bytes(v);
  if (p == nullptr || n == 0) {
    sqlite3_result_null(ctx);
    return false;
  }
  int rc = OraDate_FromStored(p, static_cast<size_t>(n), d);
  if (rc != kOk) {
    Raise(ctx, rc);
    return false;
  }
  return true;
}

// A NULL or '' mask (Oracle's '' is NULL) gives NULL.
bool NullMask(sqlite3_value* mask) {
  return sqlite3_value_type(mask) == SQLITE_NULL || sqlite3_value_bytes(mask) == 0;
}

void ToChar(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (NullMask(argv[1])) {
    sqlite3_result_null(ctx);
    return;
  }
  OraDate d;
  if (!DateArg(ctx, argv[0], &d)) return;
  const char* mask = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
  size_t masklen = static_cast<size_t>(sqlite3_value_bytes(argv[1]));
  char out[kMaxMask * 2 + 1];
  size_t n = 0;
  int rc = OraDate_Format(d, mask, masklen, out, sizeof out, &n);
  if (rc != kOk) {
    Raise(ctx, rc);
    return;
  }
  sqlite3_result_text(ctx, out, static_cast<int>(n), SQLITE_TRANSIENT);
}

void ToDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || NullMask(argv[1])) {
    sqlite3_result_null(ctx);
    return;
  }
  const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  int len = sqlite3_value_bytes(argv[0]);
  if (text == nullptr || len == 0) {  // Oracle's '' is NULL
    sqlite3_result_null(ctx);
    return;
  }
  const char* mask = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
  size_t masklen = static_cast<size_t>(sqlite3_value_bytes(argv[1]));
  OraDate d;
  int rc = OraDate_Parse(text, static_cast<size_t>(len), mask, masklen, Now(ctx), &d);
  if (rc != kOk) {
    Raise(ctx, rc);
    return;
  }
  ResultDate(ctx, d);
}

void Trunc(sqlite3_context* ctx, int, sqlite3_value** argv) {
  switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
      sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
      return;
    case SQLITE_FLOAT:
      sqlite3_result_double(ctx, std::trunc(sqlite3_value_double(argv[0])));
      return;
  }
  OraDate d;
  if (!DateArg(ctx, argv[0], &d)) return;
  d.hour = d.minute = d.second = 0;
  ResultDate(ctx, d);
}

void Sysdate(sqlite3_context* ctx, int, sqlite3_value**) { ResultDate(ctx, Now(ctx)); }

void DateAddDays(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* a = argv[0];
  sqlite3_value* n = argv[1];
  if (sqlite3_value_type(a) == SQLITE_NULL || sqlite3_value_type(n) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  // A number (TRUNC of a number, say) plus a number stays arithmetic.
  if (sqlite3_value_type(a) == SQLITE_INTEGER && sqlite3_value_type(n) == SQLITE_INTEGER) {
    sqlite3_result_int64(ctx, sqlite3_value_int64(a) + sqlite3_value_int64(n));
    return;
  }
  if (sqlite3_value_type(a) == SQLITE_INTEGER || sqlite3_value_type(a) == SQLITE_FLOAT) {
    sqlite3_result_double(ctx, sqlite3_value_double(a) + sqlite3_value_double(n));
    return;
  }
  OraDate d;
  if (!DateArg(ctx, a, &d)) return;
  int rc = OraDate_AddDays(&d, sqlite3_value_double(n));
  if (rc != kOk) {
    Raise(ctx, rc);
    return;
  }
  ResultDate(ctx, d);
}

}  // namespace

int SqliteFunctions_Register(sqlite3* db, const time_t* clock) {
  const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  struct Def {
    const char* name;
    int nargs;
    int flags;
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
  };
  // TO_DATE reads the clock for fields a mask leaves out, sysdate always.
  const Def defs[] = {
      {"to_char", 2, pure, ToChar},
      {"to_date", 2, SQLITE_UTF8, ToDate},
      {"trunc", 1, pure, Trunc},
      {"sysdate", 0, SQLITE_UTF8, Sysdate},
      {"date_add_days", 2, pure, DateAddDays},
  };
  for (const Def& d : defs) {
    int rc = sqlite3_create_function_v2(db, d.name, d.nargs, d.flags,
                                        const_cast<time_t*>(clock), d.fn,
                                        nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

}  // namespace sql
