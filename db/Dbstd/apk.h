// The BDE order table Kvn501Apk: the order record and its statements.
//
// Every function returns the database status: 0, 1403 (no row found, or no
// row touched by an update or delete), or a negative Oracle code.  Nothing
// is logged here.  Writing functions set their own savepoint, commit at once
// on success and roll back to the savepoint on failure.
#ifndef PPS2BDE_DB_DBSTD_APK_H_
#define PPS2BDE_DB_DBSTD_APK_H_

#include <cstdint>

#include "runtime/text.h"

// One row of Kvn501Apk.  Integers marked 16-bit travel to and from the
// database as 16-bit signed values.
struct OrderRecord {
  Text<13> ApkApk;       // order number, primary key
  Text<31> ApkBz1;
  Text<31> ApkBz2;
  Text<11> ApkTxt;
  int32_t ApkSts = 0;    // 16-bit: BDE status
  int32_t ApkSis = 0;    // 16-bit
  Text<8> ApkKun;
  Text<31> ApkKb1;
  Text<31> ApkKb2;
  Text<9> ApkBgs;        // date yyyymmdd
  Text<9> ApkEns;        // date yyyymmdd
  int32_t ApkAfo = 0;    // 16-bit: number of operations of the order
  int32_t ApkEaf = 0;    // 16-bit
  Text<21> ApkTnr;
  Text<31> ApkTb1;
  Text<31> ApkTb2;
  double ApkSme = 0;
  double ApkIme = 0;
  Text<4> ApkMee;
  Text<9> ApkBdiDate;    // date-time ApkBdi: date part yyyymmdd
  Text<7> ApkBdiTime;    //   time part HHMMSS
  Text<9> ApkEdiDate;    // date-time ApkEdi
  Text<7> ApkEdiTime;
  Text<11> ApkFbe;       // area key: selects the terminal
  Text<11> ApkKst;
  Text<31> ApkZf1;
  Text<31> ApkZf2;
  Text<31> ApkZf3;
  Text<2> ApkKnz;
  int32_t ApkSsn = 0;    // 16-bit
  Text<4> ApkDna;        // change marker "NEU", "AEN", "LOE"
  Text<9> ApkDwn;        // change origin "ZuzErOro", "ZalToGen"
  int32_t ApkSta = 0;    // 16-bit
  Text<15> ApkDat;       // time of the last write, yyyymmddHHMMSS (read only)
  Text<9> ApkErf;        // recorder
  int32_t ApkAba = 0;    // 32-bit
};

// Reads the order whose number the caller put into rec.ApkApk.  On 0 every
// field but ApkDat is filled; otherwise rec keeps only its key and every
// other field (ApkDat too) is empty or 0.
int Apk_PKeyReadk(OrderRecord& rec);
// Writes every field of rec to the row with rec.ApkApk; ApkDat becomes the
// database time.  Empty date parts write NULL.
int Apk_PKeyUpd(const OrderRecord& rec);
// Inserts rec as a new row; ApkBdi and ApkEdi are NULL, ApkDat the database
// time.  An existing key gives -1.
int Apk_PKeyIns(const OrderRecord& rec);
// Deletes the order with this number (at most 12 characters).  A longer
// number names no order: 1403, nothing is deleted.
int Apk_PKeyDel(const char* orderNumber);

// Range cursor over (fromKey, toKey), both exclusive: direction 1 ascending,
// 2 descending by ApkApk; any other direction does nothing and returns 0.
// A bound longer than its field selects nothing.
int Apk_Open(const char* fromKey, const char* toKey, int direction);
// Fetches the next row of that direction's cursor into every field but
// ApkDat; rec is written only on 0 (1403 after the last row, -1001 when the
// cursor is not open or the direction is neither 1 nor 2).
int Apk_Fetch(OrderRecord& rec, int direction);
// Closes that direction's cursor; a closed cursor or another direction is 0.
int Apk_Close(int direction);

#endif  // PPS2BDE_DB_DBSTD_APK_H_
