// Persons and what hangs on them: badges (Kvn301Asw), names and addresses
// (Kvn300Pnr), authorisations (Kvn310Bsv), the cost centre of the day
// (Kvn329Ztg), and the parameter values by area and field (Kvn555Vrg).
//
// Every function returns the database status (0, 1403 no row / no more
// rows, negative Oracle code; -2112 when a single-row read finds more than
// one row) and logs nothing.  Reads write their record or out-arguments
// only on 0.  Each cursor exists once: open, fetch until the status is not
// 0, close; an open closes its cursor first if it is open.  A NULL column
// gives "" or 0.  Text arguments longer than their column name no row: they
// are bound as NULL, never cut.  "Today" is the database's current day.
#ifndef PPS2BDE_DB_DBSTD_PERSONNEL_H_
#define PPS2BDE_DB_DBSTD_PERSONNEL_H_

#include <cstdint>

#include "base/text.h"

// One badge of Kvn301Asw, with the name and address of its person.  Each
// statement fills the fields it selects and leaves the others as they are.
struct AswRecord {
  Text<11> AswNum;       // badge number, key
  Text<9> AswGvo;        // valid from, yyyymmdd, key
  Text<9> AswPnr;        // person
  Text<9> AswGbi;        // valid to, yyyymmdd (empty: open-ended)
  Text<9> AswErf;        // recorder
  Text<15> AswDat;       // time of the last change, yyyymmddHHMMSS
  Text<31> PnrNam;       // of the person in Kvn300Pnr
  Text<31> PnrStr;
  Text<31> PnrOrt;
};

// Reads the badge rec.AswNum issued on the day rec.AswGvo (yyyymmdd) with
// its person's name and address: AswPnr, AswGbi, AswErf, AswDat, PnrNam,
// PnrStr, PnrOrt.  A badge whose person is not in Kvn300Pnr is not found.
// On any status but 0 only AswNum and AswGvo stay; every other field is
// emptied.
[[nodiscard]] int Asw_ReadDay(AswRecord& rec);
// Reads into *pnr the person of badge number on day (yyyymmdd): the badge
// row valid that day, both ends included, an empty AswGbi open-ended.
[[nodiscard]] int Asw_ReadPnr(const char* number, const char* day, Text<9>* pnr);

// Opens the cursor over the rows of badge number whose validity began by
// today, latest start first.
[[nodiscard]] int Asw_OpenNum(const char* number);
// Fetches AswPnr, AswGvo, AswGbi, AswErf, AswDat of the next row.
[[nodiscard]] int Asw_FetchNum(AswRecord& rec);
// Closes the cursor; closing a closed cursor is 0.
[[nodiscard]] int Asw_CloseNum();

// Opens the cursor over the badges of person pnr whose validity began by
// today, latest start first.
[[nodiscard]] int Asw_OpenPnr(const char* pnr);
// Fetches AswNum, AswGvo, AswGbi, AswErf, AswDat of the next row.
[[nodiscard]] int Asw_FetchPnr(AswRecord& rec);
// Closes the cursor; closing a closed cursor is 0.
[[nodiscard]] int Asw_ClosePnr();

// Opens the cursor over every badge valid today (start up to today, end
// from today on or empty) that names a person of Kvn300Pnr, by person and
// latest start first.
[[nodiscard]] int Asw_OpenAll();
// Fetches every field of the next row.
[[nodiscard]] int Asw_FetchAll(AswRecord& rec);
// Closes the cursor; closing a closed cursor is 0.
[[nodiscard]] int Asw_CloseAll();

// Reads the name, street and town of person pnr.
[[nodiscard]] int Pnr_Read(const char* pnr, Text<31>* nam, Text<31>* str, Text<31>* ort);

// 0 when person pnr has an authorisation in Kvn310Bsv valid today (start up
// to today, end from today on or empty), 1403 when not.
[[nodiscard]] int Bsv_Check(const char* pnr);

// Reads into *kst the cost centre of person pnr whose row in Kvn329Ztg
// starts today.
[[nodiscard]] int Ztg_ReadKst(const char* pnr, Text<11>* kst);

// Reads into *value the parameter value of area and field.
[[nodiscard]] int Vrg_Read(const char* area, const char* field, Text<81>* value);

#endif  // PPS2BDE_DB_DBSTD_PERSONNEL_H_
