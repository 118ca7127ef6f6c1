// Payload building of the master-data downloads: work groups, workplaces,
// rows of Kvn521Ubg and Kvn510Prv, and cost centres.
//
// Every payload is made the same way: the row's values are formatted into a
// text, each value cut to its field; at most the copy length of that text is
// placed at the start of a payload of blanks; the end mark "X" is written at
// its position (over a character of the text where the text reaches that
// far).  The payload ends after the end mark, or after the placed text where
// that is longer.  Positions count from 1.
//
// Free texts (descriptions, short texts, the Zf fields) are cut to their
// fields.  A value that must not be cut, because the terminal would take it
// for another one (a key, an area key, a cost centre, a badge number, a
// number), makes the payload unfit to send: each function returns 0, or
// -1406 (a text) or -1455 (a number) for the first such value that does not
// fit its field; rec is filled all the same.
#ifndef PPS2BDE_DB_DBDB_MASTER_FORMAT_H_
#define PPS2BDE_DB_DBDB_MASTER_FORMAT_H_

#include "db/DbDnl/dnl.h"
#include "db/DbDnl/master_cursors.h"
#include "db/Dbstd/apg.h"
#include "db/Dbstd/apl.h"
#include "db/Dbstd/prv.h"
#include "db/Dbstd/ubg.h"

// Fills rec for one work group as its download cursor delivers it (ApgKst
// holding the cost centre valid today): DnlSkz "MAG", DnlFun ApgDna, DnlDnl
// ApgApg, ApgBez, the first 8 characters of ApgTxt, ApgFbe, the cost centre
// (7), 10 blanks, ApgZf1 (10), ApgZf2 (20), ApgZf3 (30), the last three
// right-aligned: 135 characters, a blank and "X" at 137.  DnlDta and the
// other fields are left as the caller set them.  Must fit: ApgApg, ApgFbe
// (10), the cost centre (7).
int Apg_DnlFormat(QueueRecord& rec, const WorkGroupRecord& apg);

// Fills rec for one workplace: DnlSkz "MAS", DnlFun AplDna, DnlDnl AplApl,
// AplBez, the first 8 characters of AplTxt, AplFbe, costCentre (7; null is
// blank), AplApg, 20 blanks, AplApr (5) and AplSts (1) in decimal, AplZf1
// (10), AplZf2 (20), AplZf3 (30), the last five right-aligned.  Of that
// 161-character text the first 154 are placed, so the last 7 positions of
// AplZf3 are cut off; "X" at 155.  Must fit: AplApl, AplFbe, AplApg (10),
// costCentre (7), AplApr (5) and AplSts (1).
int Apl_DnlFormat(QueueRecord& rec, const WorkplaceRecord& apl, const char* costCentre);

// Fills rec for one Kvn521Ubg row: DnlSkz "UBG", DnlFun UbgDna, DnlDnl "U"
// when UbgKnz is 1 and "S" otherwise, UbgUbg (4), UbgBez (30) twice and
// UbgTxt (8, right-aligned): 73 characters, "X" at 74.  Must fit: UbgUbg.
int Ubg_DnlFormat(QueueRecord& rec, const UbgRecord& ubg);

// Fills rec with the first line of one Kvn510Prv row: DnlSkz "PNR", DnlFun
// "LOE" when PrvDna is "LOE" and PrvAwa is 3, otherwise "AEN"; DnlDnl PrvPnr
// (8), PrvKst (7) and the code letter "A" (PrvBer 1), "M" (PrvBer 2) or a
// blank (any other value): 16 characters, "X" at 17.  Must fit: PrvPnr,
// PrvKst.
int Prv_DnlFormat(QueueRecord& rec, const PrvRecord& prv);

// Fills rec with the second line of one Kvn510Prv row: DnlSkz "AWN", DnlFun
// PrvDna, DnlDnl PrvAwn (8) and PrvPnr (8), "X" at 17.  Must fit: both.
int Prv_DnlFormatAwn(QueueRecord& rec, const PrvRecord& prv);

// Fills rec for one cost centre: DnlSkz "KST", DnlFun "NEU", DnlDnl KstNum
// (7), "Kostenstelle" in 25 and 5 blanks: 37 characters, "X" at 38.  Must
// fit: KstNum.
int Ksg_DnlFormat(QueueRecord& rec, const KsgDnlRecord& ksg);

#endif  // PPS2BDE_DB_DBDB_MASTER_FORMAT_H_
