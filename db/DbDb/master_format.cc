// The payloads of the master-data downloads.
#include "db/DbDb/master_format.h"

#include <cassert>
#include <cstdio>
#include <cstring>

#include "db/DbDb/layout.h"
#include "sql/errors.h"

namespace {

// Longest payload the queue record carries.
constexpr size_t kPayloadMax = decltype(QueueRecord::DnlDnl)::kWidth - 1;

// Room for every formatted text below: each value is cut to its field by
// the precision of its conversion, so the longest text (a workplace) has
// 161 characters.
constexpr size_t kTextCap = 256;

// Lays text out as a payload: at most at.copy of its characters on blanks,
// "X" at at.mark (1-based), the payload ending after the mark or after the
// placed text where that is longer.
void PlacePayload(QueueRecord& rec, const char* text, DnlPlacement at) {
  static_assert(kPayloadMax >= kKstPlacement.copy, "the cost-centre payload must fit");
  assert(at.copy <= kPayloadMax && at.mark >= 1 && at.mark <= kPayloadMax);
  char p[kPayloadMax + 1];
  std::memset(p, ' ', kPayloadMax);
  p[kPayloadMax] = '\0';
  size_t placed = strnlen(text, at.copy);
  std::memcpy(p, text, placed);
  p[at.mark - 1] = 'X';
  size_t end = placed > at.mark ? placed : at.mark;
  rec.DnlDnl.SetN(p, end);
}

// The decimal text of v.
struct Decimal {
  char s[12];
  explicit Decimal(int32_t v) { std::snprintf(s, sizeof s, "%d", static_cast<int>(v)); }
};

// The status of a payload: 0 while every value that must not be cut (a
// key, an area key, a cost centre, a badge number, a number) fits its
// field, otherwise the code of the first one that does not: -1406 for a
// text, -1455 for a number.
struct Fit {
  int status = 0;
  Fit& Exact(const char* v, size_t width) { return Check(v, width, sql::kTruncated); }
  Fit& Number(const Decimal& d, size_t width) { return Check(d.s, width, sql::kOverflow); }

 private:
  Fit& Check(const char* v, size_t width, int code) {
    if (status == 0 && v != nullptr && strnlen(v, width + 1) > width) status = code;
    return *this;
  }
};

}  // namespace

int Apg_DnlFormat(QueueRecord& rec, const WorkGroupRecord& a) {
  char text[kTextCap];
  std::snprintf(text, sizeof text,
                "%-10.10s%-30.30s%-8.8s%-10.10s%-7.7s%10.10s%10.10s%20.20s%30.30s",
                a.ApgApg.c_str(), a.ApgBez.c_str(), a.ApgTxt.c_str(), a.ApgFbe.c_str(),
                a.ApgKst.c_str(), "", a.ApgZf1.c_str(), a.ApgZf2.c_str(), a.ApgZf3.c_str());
  PlacePayload(rec, text, kMagPlacement);
  rec.DnlSkz = "MAG";
  rec.DnlFun.Set(a.ApgDna);
  return Fit()
      .Exact(a.ApgApg.c_str(), 10)
      .Exact(a.ApgFbe.c_str(), 10)
      .Exact(a.ApgKst.c_str(), 7)
      .status;
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
  PlacePayload(rec, text, kMasPlacement);
  rec.DnlSkz = "MAS";
  rec.DnlFun.Set(a.AplDna);
  return Fit()
      .Exact(a.AplApl.c_str(), 10)
      .Exact(a.AplFbe.c_str(), 10)
      .Exact(costCentre, 7)
      .Exact(a.AplApg.c_str(), 10)
      .Number(apr, 5)
      .Number(sts, 1)
      .status;
}

int Ubg_DnlFormat(QueueRecord& rec, const UbgRecord& u) {
  char text[kTextCap];
  std::snprintf(text, sizeof text, "%-1.1s%-4.4s%-30.30s%-30.30s%8.8s",
                u.UbgKnz == 1 ? "U" : "S", u.UbgUbg.c_str(), u.UbgBez.c_str(),
                u.UbgBez.c_str(), u.UbgTxt.c_str());
  PlacePayload(rec, text, kUbgPlacement);
  rec.DnlSkz = "UBG";
  rec.DnlFun.Set(u.UbgDna);
  return Fit().Exact(u.UbgUbg.c_str(), 4).status;
}

int Prv_DnlFormat(QueueRecord& rec, const PrvRecord& p) {
  const char* code = p.PrvBer == 1 ? "A" : p.PrvBer == 2 ? "M" : " ";
  char text[kTextCap];
  std::snprintf(text, sizeof text, "%-8.8s%-7.7s%-1.1s", p.PrvPnr.c_str(), p.PrvKst.c_str(),
                code);
  PlacePayload(rec, text, kPnrPlacement);
  rec.DnlSkz = "PNR";
  rec.DnlFun = (p.PrvDna == "LOE" && p.PrvAwa == 3) ? "LOE" : "AEN";
  return Fit().Exact(p.PrvPnr.c_str(), 8).Exact(p.PrvKst.c_str(), 7).status;
}

int Prv_DnlFormatAwn(QueueRecord& rec, const PrvRecord& p) {
  char text[kTextCap];
  std::snprintf(text, sizeof text, "%-8.8s%-8.8s", p.PrvAwn.c_str(), p.PrvPnr.c_str());
  PlacePayload(rec, text, kAwnPlacement);
  rec.DnlSkz = "AWN";
  rec.DnlFun.Set(p.PrvDna);
  return Fit().Exact(p.PrvAwn.c_str(), 8).Exact(p.PrvPnr.c_str(), 8).status;
}

int Ksg_DnlFormat(QueueRecord& rec, const KsgDnlRecord& k) {
  char text[kTextCap];
  std::snprintf(text, sizeof text, "%-7.7s%-25.25s%-5.5s", k.KstNum.c_str(), "Kostenstelle",
                "");
  PlacePayload(rec, text, kKstPlacement);
  rec.DnlSkz = "KST";
  rec.DnlFun = "NEU";
  return Fit().Exact(k.KstNum.c_str(), 7).status;
}
