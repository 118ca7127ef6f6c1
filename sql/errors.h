// Status codes of the database client layer: Oracle's codes, negative.
#ifndef PPS2BDE_SQL_ERRORS_H_
#define PPS2BDE_SQL_ERRORS_H_

namespace sql {

constexpr int kOk = 0;
constexpr int kNoData = 1403;          // no row found / no more rows / none touched
constexpr int kUniqueViolated = -1;    // ORA-00001 unique constraint violated
constexpr int kBusy = -54;             // ORA-00054 resource busy (database locked)
constexpr int kInvalidSql = -900;      // ORA-00900 invalid SQL statement (syntax)
constexpr int kInconsistentTypes = -932;  // ORA-00932 inconsistent datatypes
constexpr int kNoSuchTable = -942;     // ORA-00942 table or view does not exist
constexpr int kInvalidCursor = -1001;  // ORA-01001 invalid cursor (not open)
constexpr int kNoSavepoint = -1086;    // ORA-01086 savepoint never established
constexpr int kNotNull = -1400;        // ORA-01400 cannot insert NULL
constexpr int kTruncated = -1406;      // ORA-01406 fetched column value was truncated
constexpr int kOverflow = -1455;       // ORA-01455 converting column overflows integer datatype
constexpr int kTooManyRows = -2112;    // SQL-02112 SELECT..INTO returns too many rows
constexpr int kBadDateFormat = -1821;  // ORA-01821 date format not recognized
constexpr int kFormatEnds = -1830;     // ORA-01830 date format picture ends before input
constexpr int kYear = -1841;           // ORA-01841 year must be between -4713 and 9999, not 0
constexpr int kNotValidMonth = -1843;  // ORA-01843 not a valid month
constexpr int kDayOfMonth = -1847;     // ORA-01847 day of month must be 1..last day
constexpr int kHour = -1850;           // ORA-01850 hour must be between 0 and 23
constexpr int kMinute = -1851;         // ORA-01851 minutes must be between 0 and 59
constexpr int kSecond = -1852;         // ORA-01852 seconds must be between 0 and 59
constexpr int kNonNumeric = -1858;     // ORA-01858 non-numeric character found
constexpr int kFormatMismatch = -1861; // ORA-01861 literal does not match format
constexpr int kIoError = -1114;        // ORA-01114 IO error writing (disk full, I/O)
constexpr int kNotConnected = -3114;   // ORA-03114 not connected to ORACLE
constexpr int kNoService = -12154;     // ORA-12154 could not resolve the connect identifier
constexpr int kLoginDenied = -1017;    // ORA-01017 invalid username/password; logon denied
constexpr int kConnectionLost = -3113; // ORA-03113 end-of-file on communication channel
constexpr int kValueTooLarge = -12899; // ORA-12899 value too large for column
constexpr int kInvalidName = -904;     // ORA-00904 invalid identifier (column, function)
constexpr int kPrecision = -1438;      // ORA-01438 value larger than specified precision
constexpr int kInvalidNumber = -1722;  // ORA-01722 invalid number
constexpr int kDeadlock = -60;         // ORA-00060 deadlock detected while waiting for resource
constexpr int kSerialize = -8177;      // ORA-08177 can't serialize access for this transaction
constexpr int kInternal = -600;        // ORA-00600 every error not mapped above

// True for the status of a row that was delivered although one of its
// values does not fit its output (-1455 a number, -1406 a key): the caller
// names the row and does not act on it.
constexpr bool NoFit(int rc) { return rc == kOverflow || rc == kTruncated; }

}  // namespace sql

#endif  // PPS2BDE_SQL_ERRORS_H_
