// The release of one downloaded row, shared by the order and the
// master-data downloads: the row is read again by its key into a fresh
// record, then deleted when it was sent as deleted, or written back with
// its download marker and function cleared, so changes made since the
// fetch survive.  Each release is described by a FreiPlan.
#ifndef PPS2BDE_DB_DBDB_RELEASE_ROW_H_
#define PPS2BDE_DB_DBDB_RELEASE_ROW_H_

#include "runtime/msg.h"
#include "sql/sql.h"

// One release.  Row is the record of the downloaded table.
template <typename Row>
struct FreiPlan {
  // Function name and message of each failure logged (kind FMSG, the status
  // as error code).  A null readMessage: a failed read again is returned
  // unlogged.
  const char* readFunktion;
  const char* readMessage;
  const char* delFunktion;
  const char* delMessage;
  const char* updFunktion;
  const char* updMessage;
  int (*read)(Row& row);
  int (*del)(const char* key);
  int (*upd)(const Row& row);
  // Whether the row is deleted: fetched as the cursor delivered it, row as
  // read again.
  bool (*gone)(const Row& fetched, const Row& row);
  // Empties more of a row that is written back; null: nothing more.
  void (*more)(Row& row) = nullptr;
};

// Deleted when sent as "LOE": as read again, or as fetched.
template <auto Dna, typename Row>
bool Frei_LoeNow(const Row& /*fetched*/, const Row& row) { return row.*Dna == "LOE"; }
template <auto Dna, typename Row>
bool Frei_LoeFetched(const Row& fetched, const Row& /*row*/) { return fetched.*Dna == "LOE"; }

// Releases the row fetched, named by its field Key, with download marker
// Dwn and function Dna.  Returns the status of the last statement.
template <auto Key, auto Dwn, auto Dna, typename Row>
[[nodiscard]] int Frei_Row(const FreiPlan<Row>& plan, const Row& fetched) {
  Row row;
  (row.*Key).Set(fetched.*Key);
  int rc = plan.read(row);
  if (rc != 0) {
    if (plan.readMessage != nullptr) Msg_Error(plan.readFunktion, plan.readMessage, rc);
    return rc;
  }
  const bool gone = plan.gone(fetched, row);
  auto write = [&](Row& r) {
    if (gone) return plan.del((r.*Key).c_str());
    if (plan.more != nullptr) plan.more(r);
    (r.*Dwn).Clear();
    (r.*Dna).Clear();
    return plan.upd(r);
  };
  // Inside a unit of work the release is its last write: the write and
  // the unit's commit go in one round trip on a server (noted on a copy).
  if (sql::WriteAhead ahead; ahead) {
    Row copy = row;
    (void)write(copy);
    ahead.EndsUnit();
  }
  rc = write(row);
  if (rc != 0)
    Msg_Error(gone ? plan.delFunktion : plan.updFunktion,
              gone ? plan.delMessage : plan.updMessage, rc);
  return rc;
}

#endif  // PPS2BDE_DB_DBDB_RELEASE_ROW_H_
