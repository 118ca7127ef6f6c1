// Payload building of the terminal download: the fixed-width texts of an
// order and an operation, and the whole download line around them (their
// layouts in layout.h).
#ifndef PPS2BDE_DB_DBDB_FORMAT_H_
#define PPS2BDE_DB_DBDB_FORMAT_H_

#include <cstddef>

#include "db/DbDb/layout.h"
#include "db/DbDnl/cfg.h"
#include "db/DbDnl/dnl.h"
#include "db/Dbstd/apk.h"
#include "db/Dbstd/app.h"

// Fills rec for one order: DnlSkz "APK", DnlFun the order's ApkDna and
// DnlDnl the 255-character order payload.  DnlDta and the other fields are
// left as the caller set them.  Texts are cut to their fields.  Returns 0,
// or -1455 when a quantity, time or count does not fit its field (a
// quantity from 100000000 or below -9999999.999 would lose digits, a time
// outside 0..99999.999 its leading digits or its sign, a count outside
// -9999..99999 its last digits): rec is filled all the same, and the row
// must not be sent.
int Apk_DnlFormat(QueueRecord& rec, const OrderRecord& order);
// The same for one operation: DnlSkz "APP", DnlFun AppDna, DnlDnl the
// 257-character operation payload.  0 or -1455 as Apk_DnlFormat.
int App_DnlFormat(QueueRecord& rec, const OperationRecord& op);

// Copies in into out[cap] without its first '.', joining the part behind it
// to the part before it; a text without '.' is copied unchanged.  The copy
// is cut to cap-1 characters and always terminated; a null in is empty, a
// null out or cap 0 writes nothing.
void Del_Point(const char* in, char* out, size_t cap);

// Formats the download line of rec for terminal cfg with the write time
// stamp (yyyymmddHHMMSS) into out[cap]: exactly kDnlLineLength characters
// plus a terminator.  Every value is cut to its field, and every control
// byte (0x00-0x1F, 0x7F) of a value becomes a blank, so the line's only
// line end is its last two bytes.  Returns the length written
// (kDnlLineLength), or 0 with out emptied when cap is too small.
int Dnl_FormatLine(const QueueRecord& rec, const CfgRecord& cfg,
                   const char* stamp, char* out, size_t cap);

#endif  // PPS2BDE_DB_DBDB_FORMAT_H_
