// Column descriptions of plain record structs.
//
// A record's columns are described once, as an array of Field in the order of
// a field enum; each statement then names the fields it binds or fetches, in
// its own order, as a list of enum values.  The binds and outputs are built
// from the description, so no statement spells out its binds by hand:
//
//   enum { kApkApk, kApkBz1, ..., kApkFieldCount };
//   static const sql::Field kApkFields[] = {
//       SQL_FIELD(OrderRecord, ApkApk, sql::kText), ...};
//   static const uint8_t kReadOrder[] = {kApkApk, kApkBz1, ...};
//   sql::Out outs[sizeof kReadOrder];
//   sql::OutsOf(&rec, kApkFields, kReadOrder, sizeof kReadOrder, outs);
#ifndef PPS2BDE_SQL_RECORD_H_
#define PPS2BDE_SQL_RECORD_H_

#include <cstddef>
#include <cstdint>

#include "sql/sql.h"

namespace sql {

struct Field {
  Type type;
  uint16_t offset;   // of the field in the record
  uint16_t width;    // bytes (texts: terminator included)
  uint16_t offset2;  // kTextPair: the time part
  uint16_t width2;
};

// Binds the listed fields of rec, in list order, into binds[0..n-1].
void BindsOf(const void* rec, const Field* fields, const uint8_t* list, int n,
             Bind* binds);
// Output targets for the listed fields of rec, in list order.  A kTextPair
// field is not allowed here: fetch its two parts as two text fields.
void OutsOf(void* rec, const Field* fields, const uint8_t* list, int n,
            Out* outs);
// Makes kKey the text outputs of outs[0..n-1] (built by OutsOf from
// list) whose field is one of keys[0..nkeys-1]: a statement whose rows name
// something by those fields gets -1406 for a value that does not fit,
// where another statement on the same record cuts it.
void MarkKeys(const uint8_t* list, int n, const uint8_t* keys, int nkeys,
              Out* outs);
// Clears every described field of rec (texts zero over their whole width,
// numbers 0) except the fields whose index is in keep[0..nkeep-1].
void ClearFields(void* rec, const Field* fields, int nfields,
                 const uint8_t* keep, int nkeep);

}  // namespace sql

// Field of a record: SQL_FIELD(OrderRecord, ApkApk, sql::kText).
#define SQL_FIELD(Rec, member, type)                              \
  sql::Field {                                                    \
    type, static_cast<uint16_t>(offsetof(Rec, member)),           \
        static_cast<uint16_t>(sizeof(static_cast<Rec*>(nullptr)->member)), 0, 0 \
  }
// A date-time column written from a date part and a time part.
#define SQL_PAIR(Rec, date, time)                                            \
  sql::Field {                                                               \
    sql::kTextPair, static_cast<uint16_t>(offsetof(Rec, date)),              \
        static_cast<uint16_t>(sizeof(static_cast<Rec*>(nullptr)->date)),     \
        static_cast<uint16_t>(offsetof(Rec, time)),                          \
        static_cast<uint16_t>(sizeof(static_cast<Rec*>(nullptr)->time))      \
  }

#endif  // PPS2BDE_SQL_RECORD_H_
