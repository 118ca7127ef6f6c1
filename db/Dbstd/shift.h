// Shift models of the work groups (Kvn532Aem), the shifts of a model
// (Kvn533Emo) and their breaks (Kvn536Pmz, Kvn535Pms), read against the
// works calendar (Kvn133Kal) and the table of days (Kvn133Bak).
//
// Every function returns the database status (0, 1403 no row / no more
// rows, negative Oracle code) and logs nothing.  Each cursor exists once:
// open, fetch until the status is not 0, close.  An open closes its cursor
// first if it is open.  A fetch writes the caller's record only on 0, and a
// NULL column gives "" or 0.  Text arguments longer than their column name
// no row: they are bound as NULL, never cut.  Days are yyyymmdd texts.
#ifndef PPS2BDE_DB_DBSTD_SHIFT_H_
#define PPS2BDE_DB_DBSTD_SHIFT_H_

#include <cstdint>

#include "runtime/text.h"

// One row of the shift-model cursor: a shift model of a work group valid on
// the day, with that day's type in its calendar and the day's row of
// Kvn133Bak.
struct AemRecord {
  Text<11> AemApg;       // work group
  Text<11> AemEmo;       // shift model
  Text<9> AemGvo;        // valid from, yyyymmdd
  Text<31> AemBez;
  Text<11> AemTxt;
  int32_t AemKal = 0;    // works calendar
  int32_t AemLkz = 0;
  double AemVzt = 0;
  double AemEzt = 0;
  double AemPrz = 0;
  double AemAfz = 0;
  double AemApz = 0;
  double AemPrp = 0;
  double AemAfp = 0;
  double AemApp = 0;
  Text<4> KalBtp;        // day type of the day in the calendar
  Text<9> KalDtm;        // the day, yyyymmdd
  int32_t BakJhr = 0;    // year
  int32_t BakMon = 0;    // month
  int32_t BakWch = 0;    // week
  int32_t BakWtg = 0;    // weekday
  int32_t BakJtg = 0;    // day of the year
  double AemMaz = 0;
};

// One shift of a shift model (Kvn533Emo).
struct EmoRecord {
  Text<11> EmoEmo;       // shift model
  Text<4> EmoTtp;        // day type
  Text<31> EmoTxt;
  int32_t EmoBeg = 0;    // minute of the day
  int32_t EmoEnd = 0;    // minute of the day
  int32_t EmoArt = 0;
};

// One break of a shift valid on a day: the shift and the break.
struct PmsRecord {
  Text<11> EmoEmo;
  Text<4> EmoTtp;
  Text<31> EmoTxt;
  int32_t EmoBeg = 0;
  int32_t EmoEnd = 0;
  int32_t PmsNum = 0;    // break
  int32_t PmsBeg = 0;    // minute of the day
  int32_t PmsEnd = 0;    // minute of the day; below PmsBeg past midnight
  int32_t PmsInt = 0;
  int32_t PmsPse = 0;
  int32_t PmsBzt = 0;
  double PmsPrz = 0;
};

// The break minutes of a shift model and day type on one day.
struct PmsSumRecord {
  Text<11> EmoEmo;       // shift model
  Text<4> EmoTtp;        // day type
  int32_t PmsSum = 0;    // minutes
};

// Opens the cursor over the shift models of workGroup with AemKng = kind
// valid on day (AemGvo up to day, AemGbi from day on or empty), joined with
// the day's row of their calendar AemKal in Kvn133Kal, the day's row of
// Kvn133Bak and the shifts of the model for the calendar's day type; one row
// per shift, by EmoBeg.
int Aem_Open(const char* workGroup, int32_t kind, const char* day);
// Fetches the next row into rec.
int Aem_Fetch(AemRecord& rec);
// Closes the cursor; closing a closed cursor is 0.
int Aem_Close();

// Counts the shift models of workGroup with AemKng 2 into *count (written
// only on 0).
int Aem_Count(const char* workGroup, int32_t* count);

// Opens the cursor over the breaks of the shifts of model and dayType whose
// break assignment in Kvn536Pmz is valid on day (PmzGvo up to day, PmzGbi
// from day on; an assignment without PmzGbi does not count), by EmoBeg.
int Pms_Open(const char* model, const char* dayType, const char* day);
// Fetches the next break with its shift into rec.
int Pms_Fetch(PmsRecord& rec);
// Closes the cursor; closing a closed cursor is 0.
int Pms_Close();

// Sums into rec.PmsSum the minutes of the breaks that Pms_Open would
// deliver for rec.EmoEmo, rec.EmoTtp and day: PmsEnd-PmsBeg for a break
// within the day, PmsEnd+1440-PmsBeg for one past midnight (1380 to 60 is
// 120 minutes).  No such break counts 0.  Returns the status of the second
// sum.  PmsSum is left as it was when the first sum fails, and holds the
// first sum alone when the second fails.
int Pms_SumMinutes(PmsSumRecord& rec, const char* day);

// Opens the cursor over the shifts of model and dayType, by EmoBeg.
int Emo_Open(const char* model, const char* dayType);
// Fetches the next shift into rec.
int Emo_Fetch(EmoRecord& rec);
// Closes the cursor; closing a closed cursor is 0.
int Emo_Close();

#endif  // PPS2BDE_DB_DBSTD_SHIFT_H_
