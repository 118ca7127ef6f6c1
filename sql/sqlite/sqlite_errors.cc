#include "sql/sqlite/sqlite_errors.h"

#include <sqlite3.h>

#include <cstring>

#include "sql/errors.h"

namespace sql {
namespace {

bool Contains(const char* message, const char* part) {
  return message != nullptr && std::strstr(message, part) != nullptr;
}

// "ORA-01843: ..." gives -1843; anything else 0.
int OraCode(const char* message) {
  if (message == nullptr || std::strncmp(message, "ORA-", 4) != 0) return 0;
  int code = 0;
  for (int i = 4; i < 9; ++i) {
    char c = message[i];
    if (c < '0' || c > '9') return 0;
    code = code * 10 + (c - '0');
  }
  return code == 0 ? 0 : -code;
}

}  // namespace

int Sqlite_Status(int rc, const char* message) {
  switch (rc) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return kOk;
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
      return kUniqueViolated;
    case SQLITE_CONSTRAINT_NOTNULL:
      return kNotNull;
    case SQLITE_CONSTRAINT_CHECK:
      // The schema's DATE columns refuse a text that is no date and time
      // by constraints named "<column>_is_date": the server's DATE type
      // would refuse such a value as not numeric where a digit belongs.
      if (Contains(message, "_is_date")) return kNonNumeric;
      return kInternal;
  }
  switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return kBusy;
    case SQLITE_IOERR:
    case SQLITE_FULL:
      return kIoError;
    case SQLITE_MISMATCH:
      return kInconsistentTypes;
    case SQLITE_ERROR: {
      int ora = OraCode(message);
      if (ora != 0) return ora;
      if (Contains(message, "no such table")) return kNoSuchTable;
      if (Contains(message, "syntax error") || Contains(message, "incomplete input") ||
          Contains(message, "unrecognized token"))
        return kInvalidSql;
      return kInternal;
    }
  }
  return kInternal;
}

const char* Sqlite_OraMessage(int code) {
  switch (code) {
    case kBadDateFormat: return "ORA-01821: date format not recognized";
    case kFormatEnds: return "ORA-01830: date format picture ends before converting entire input string";
    case kYear: return "ORA-01841: (full) year must be between -4713 and +9999, and not be 0";
    case kNotValidMonth: return "ORA-01843: not a valid month";
    case kDayOfMonth: return "ORA-01847: day of month must be between 1 and last day of month";
    case kHour: return "ORA-01850: hour must be between 0 and 23";
    case kMinute: return "ORA-01851: minutes must be between 0 and 59";
    case kSecond: return "ORA-01852: seconds must be between 0 and 59";
    case kNonNumeric: return "ORA-01858: a non-numeric character was found where a numeric was expected";
    case kFormatMismatch: return "ORA-01861: literal does not match format string";
    case kInconsistentTypes: return "ORA-00932: inconsistent datatypes";
  }
  return "ORA-00600: internal error";
}

}  // namespace sql
