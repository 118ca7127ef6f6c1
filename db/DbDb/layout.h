// The layout of a download line and of the payloads it carries.  The
// builders (format.cc for the line and the order and operation payloads,
// master_format.cc for the master-data payloads) lay the fields out in the
// order of these tables; the widths they share are named below.
//
// Positions count from 1.  A text is left-aligned and padded with blanks
// unless marked "right"; every value is cut to its field.
//
// DOWNLOAD LINE (kDnlLineLength = 552 bytes, one line of a buffer file)
//
//    Pos  Len  Content
//      1    1  "$"
//      2   15  terminal address CfgIP
//     17    5  terminal port CfgPrt
//     22   14  write time stamp yyyymmddHHMMSS
//     36    3  "999"
//     39   15  CfgIP again, right
//     54    5  CfgPrt again, right
//     59   28  blanks
//     87    4  "0460"
//     91    3  record type DnlSkz ("APK", "APP", "MAG", ...), right
//     94    6  run date yymmdd (DnlDtaDate from its third character), right
//    100    6  run time HHMMSS (DnlDtaTime), right
//    106    3  "BDE"
//    109    3  download function DnlFun ("NEU", "AEN", "LOE"), right
//    112  438  payload DnlDnl (kDnlPayloadWidth), blank-padded
//    550    1  "*"
//    551    2  CR LF
//
// Field rules of the order and operation payloads:
//   quantity (11): "%012.3f" without its first '.', cut to 11 characters
//   time      (7): characters 4 to 10 of the quantity text
//   date      (6): yyyymmdd from its third character (yymmdd); empty: blanks
//   status    (1): first digit of the status, 10 sent as 0
//   count     (5): decimal, left-aligned
//
// ORDER PAYLOAD (kApkPayloadLength = 255)     OPERATION PAYLOAD (kAppPayloadLength = 257)
//
//    Pos  Len  Content                          Pos  Len  Content
//      1   12  ApkApk                             1   12  AppApk
//     13   30  ApkBz1                            13    5  AppApp
//     43   30  ApkBz2                            18   30  AppBz1
//     73    8  ApkTxt                            48   30  AppBz2
//     81   20  ApkTnr                            78    8  AppTxt
//    101   30  ApkTb1                            86   10  AppApg
//    131   30  ApkTb2                            96   11  AppSme     quantity
//    161   11  ApkSme     quantity              107    3  AppMee
//    172    3  ApkMee                           110    7  AppStr     time
//    175    6  ApkBgs     date                  117    7  AppSte     time
//    181    6  ApkEns     date                  124    7  AppSza     time
//    187    5  ApkAfo     count                 131    6  AppBdsDate date
//    192    1  ApkSts     status                137    6  AppEdsDate date
//    193   10  ApkZf1                           143    5  AppVaf
//    203   20  ApkZf2                           148    5  AppNaf
//    223   30  ApkZf3                           153    1  AppSts     status
//    253    1  "X"                              154   10  AppZf1
//    254    2  blanks                           164   20  AppZf2
//                                               184   30  AppZf3
//                                               214   11  AppIme     quantity
//                                               225   11  AppAme     quantity
//                                               236   11  blanks
//                                               247    1  "X"
//                                               248   10  blanks
//
// MASTER-DATA PAYLOADS.  The values are formatted one after the other into
// a text (widths below, "r" right-aligned); at most the copy length of it is
// placed on blanks, and "X" is written at its position, over the text where
// the text reaches that far.  The payload ends after the "X", or after the
// placed text where that is longer.
//
//    Skz  Copy  "X"  Text
//    MAG   136  137  ApgApg 10, ApgBez 30, ApgTxt 8, ApgFbe 10, cost centre 7,
//                    blanks r10, ApgZf1 r10, ApgZf2 r20, ApgZf3 r30   (135)
//    MAS   154  155  AplApl 10, AplBez 30, AplTxt 8, AplFbe 10, cost centre 7,
//                    AplApg 10, blanks r10, blanks r10, AplApr r5, AplSts r1,
//                    AplZf1 r10, AplZf2 r20, AplZf3 r30   (161: the last 7 cut)
//    UBG   182   74  "U" or "S" 1, UbgUbg 4, UbgBez 30, UbgBez 30, UbgTxt r8 (73)
//    PNR   182   17  PrvPnr 8, PrvKst 7, "A", "M" or blank 1   (16)
//    AWN   182   17  PrvAwn 8, PrvPnr 8   (16)
//    KST   218   38  KstNum 7, "Kostenstelle" 25, blanks 5   (37)
#ifndef PPS2BDE_DB_DBDB_LAYOUT_H_
#define PPS2BDE_DB_DBDB_LAYOUT_H_

#include <cstddef>

// Length of a download line, CR LF included.
constexpr int kDnlLineLength = 552;
// Width of the payload field of the line, and its length before the line's
// end ("*" CR LF).
constexpr int kDnlPayloadWidth = 438;
constexpr int kDnlLineEndLength = 3;

// Length of the payload of an order and of an operation.
constexpr int kApkPayloadLength = 255;
constexpr int kAppPayloadLength = 257;

// Widths of the number fields of the order and operation payloads.
constexpr size_t kQuantityWidth = 11;
constexpr size_t kTimeWidth = 7;
constexpr size_t kDateWidth = 6;
constexpr size_t kCountWidth = 5;

// Where a master-data payload's text goes: its copy length, and the
// position of its end mark "X".
struct DnlPlacement {
  size_t copy;
  size_t mark;
};
constexpr DnlPlacement kMagPlacement{136, 137};
constexpr DnlPlacement kMasPlacement{154, 155};
constexpr DnlPlacement kUbgPlacement{182, 74};
constexpr DnlPlacement kPnrPlacement{182, 17};
constexpr DnlPlacement kAwnPlacement{182, 17};
constexpr DnlPlacement kKstPlacement{218, 38};

#endif  // PPS2BDE_DB_DBDB_LAYOUT_H_
