// The payloads of the master-data downloads.
#include "db/DbDb/master_format.h"

#include <cassert>
#include <cstdio>
#include <cstring>

namespace {

// Longest payload the queue record carries.
constexpr size_t kPayloadMax = decltype(QueueRecord::DnlDnl)::kWidth - 1;

// Room for every formatted text below: each value is cut to its field by
// the precision of its conversion, so the longest text (a workplace) has
// 161 characters.
constexpr size_t kTextCap = 256;

// Lays text out as a payload: at most copyLength of its characters on
// blanks, "X" at markPos (1-based), the payload ending after the mark or
// after the placed text where that is longer.
void PlacePayload(QueueRecord& rec, const char* text, size_t copyLength, size_t markPos) {
  static_assert(kPayloadMax >= 218, "the cost-centre payload must fit");
  assert(copyLength <= kPayloadMax && markPos >= 1 && markPos <= kPayloadMax);
  char p[kPayloadMax + 1];
  std::memset(p, ' ', kPayloadMax);
  p[kPayloadMax] = '\0';
  size_t placed = strnlen(text, copyLength);
  std::memcpy(p, text, placed);
  p[markPos - 1] = 'X';
  size_t end = placed > markPos ? placed : markPos;
  rec.DnlDnl.SetN(p, end);
}

// The decimal text of v.
struct Decimal {
  char s[12];
  explicit Decimal(int32_t v) { std::snprintf(s, sizeof s, "%d", static_cast<int>(v)); }
};

}  // namespace

int Apg_DnlFormat(QueueRecord& rec, const WorkGroupRecord& a) {
  char text[kTextCap];
  std::snprintf(text, sizeof text,
                "%-10.10s%-30.30s%-8.8s%-10.10s%-7.7s%10.10s%10.10s%20.20s%30.30s",
                a.ApgApg.c_str(), a.ApgBez.c_str(), a.ApgTxt.c_str(), a.ApgFbe.c_str(),
                a.ApgKst.c_str(), "", a.ApgZf1.c_str(), a.ApgZf2.c_str(), a.ApgZf3.c_str());
  PlacePayload(rec, text, 136, 137);
  rec.DnlSkz = "MAG";
  rec.DnlFun.Set(a.ApgDna);
  return 0;
}

int Apl_DnlFormat(QueueRecord& rec, const WorkplaceRecord& a, const char* costCentre) {
  char text[kTextCap];
  Decimal apr(a.AplApr);
  Decimal sts(a.AplSts);
  std::snprintf(text, sizeof text,
                "%-10.10s%-30.30s%-8.8s%-10.10s%-7.7s%-10.10s%10.10s%10.10s%5.5s%1.1s%10.10s"
                "%20.20s%30.30s",
                a.AplApl.c_str(), a.AplBez.c_str(), a.AplTxt.c_str(), a.AplFbe.c_str(),
                costCentre != nullptr ? costCentre : "", a.AplApg.c_str(), "", "", apr.s,
                sts.s, a.AplZf1.c_str(), a.AplZf2.c_str(), a.AplZf3.c_str());
  PlacePayload(rec, text, 154, 155);
  rec.DnlSkz = "MAS";
  rec.DnlFun.Set(a.AplDna);
  return 0;
}

int Ubg_DnlFormat(QueueRecord& rec, const UbgRecord& u) {
  char text[kTextCap];
  std::snprintf(text, sizeof text, "%-1.1s%-4.4s%-30.30s%-30.30s%8.8s",
                u.UbgKnz == 1 ? "U" : "S", u.UbgUbg.c_str(), u.UbgBez.c_str(),
                u.UbgBez.c_str(), u.UbgTxt.c_str());
  PlacePayload(rec, text, 182, 74);
  rec.DnlSkz = "UBG";
  rec.DnlFun.Set(u.UbgDna);
  return 0;
}

int Prv_DnlFormat(QueueRecord& rec, const PrvRecord& p) {
  const char* code = p.PrvBer == 1 ? "A" : p.PrvBer == 2 ? "M" : " ";
  char text[kTextCap];
  std::snprintf(text, sizeof text, "%-8.8s%-7.7s%-1.1s", p.PrvPnr.c_str(), p.PrvKst.c_str(),
                code);
  PlacePayload(rec, text, 182, 17);
  rec.DnlSkz = "PNR";
  rec.DnlFun = (p.PrvDna == "LOE" && p.PrvAwa == 3) ? "LOE" : "AEN";
  return 0;
}

int Prv_DnlFormatAwn(QueueRecord& rec, const PrvRecord& p) {
  char text[kTextCap];
  std::snprintf(text, sizeof text, "%-8.8s%-8.8s", p.PrvAwn.c_str(), p.PrvPnr.c_str());
  PlacePayload(rec, text, 182, 17);
  rec.DnlSkz = "AWN";
  rec.DnlFun.Set(p.PrvDna);
  return 0;
}

int Ksg_DnlFormat(QueueRecord& rec, const KsgDnlRecord& k) {
  char text[kTextCap];
  std::snprintf(text, sizeof text, "%-7.7s%-25.25s%-5.5s", k.KstNum.c_str(), "Kostenstelle",
                "");
  PlacePayload(rec, text, 218, 38);
  rec.DnlSkz = "KST";
  rec.DnlFun = "NEU";
  return 0;
}
