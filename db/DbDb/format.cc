// The order and operation payloads and the download line.
#include "db/DbDb/format.h"

#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "sql/errors.h"

namespace {

// A payload under construction: a row of blanks that the fields are laid
// into from left to right.  Every field is cut to its width and the
// position never passes the end of the buffer.  fits turns false when a
// number does not fit its field.
template <size_t N>
struct Payload {
  char s[N + 1];
  size_t pos = 0;
  bool fits = true;

  Payload() {
    std::memset(s, ' ', N);
    s[N] = '\0';
  }
  // Places up to width characters of v, left-aligned; the rest of the
  // field stays blank.
  void Put(const char* v, size_t width) {
    assert(pos + width <= N);
    size_t n = 0;
    if (v != nullptr)
      while (n < width && v[n] != '\0') ++n;
    if (n > 0) std::memcpy(s + pos, v, n);
    pos += width;
  }
  void Blank(size_t width) {
    assert(pos + width <= N);
    pos += width;
  }
};

// The 11-character quantity text: "%012.3f" without its first '.', cut to
// 11 characters (eight integer digits and three decimals for values from 0
// up to 99999999.999, seven and the sign below 0).  Returns whether the
// value fits: a longer text would lose digits at its end, which the
// terminal reads as a number ten or more times smaller.
bool Quantity(double v, char out[kQuantityWidth + 1]) {
  // Large enough for every finite double in "%.3f", so nothing is lost
  // before the first '.' is removed.
  char full[400];
  std::snprintf(full, sizeof full, "%012.3f", v);
  char joined[400];
  Del_Point(full, joined, sizeof joined);
  Text_Copy(out, kQuantityWidth + 1, joined);
  return std::isfinite(v) && strnlen(joined, kQuantityWidth + 1) <= kQuantityWidth;
}

template <size_t N>
void PutQuantity(Payload<N>& p, double v) {
  char q[kQuantityWidth + 1];
  if (!Quantity(v, q)) p.fits = false;
  p.Put(q, kQuantityWidth);
}

// A time: positions 4 to 10 of the quantity text, five integer digits and
// two decimals.  It fits when the three characters before are zeros: from
// 0 up to 99999.999 (a sign would be lost).
template <size_t N>
void PutTime(Payload<N>& p, double v) {
  char q[kQuantityWidth + 1];
  if (!Quantity(v, q) || std::strncmp(q, "000", 3) != 0) p.fits = false;
  p.Put(strnlen(q, sizeof q) > 3 ? q + 3 : "", kTimeWidth);
}

// A date yyyymmdd as yymmdd; an empty or short date leaves blanks.
template <size_t N, size_t M>
void PutDate(Payload<N>& p, const Text<M>& date) {
  p.Put(date.size() > 2 ? date.c_str() + 2 : "", kDateWidth);
}

// The first character of the status in decimal; 10 is sent as 0.
template <size_t N>
void PutStatus(Payload<N>& p, int32_t status) {
  char d[16];
  std::snprintf(d, sizeof d, "%d", status == 10 ? 0 : static_cast<int>(status));
  p.Put(d, 1);
}

// A count in decimal, left-aligned in 5; it fits from -9999 to 99999.
template <size_t N>
void PutCount(Payload<N>& p, int32_t count) {
  char d[16];
  if (std::snprintf(d, sizeof d, "%d", static_cast<int>(count)) > static_cast<int>(kCountWidth))
    p.fits = false;
  p.Put(d, kCountWidth);
}

}  // namespace

void Del_Point(const char* in, char* out, size_t cap) {
  if (out == nullptr || cap == 0) return;
  size_t o = 0;
  bool removed = false;
  if (in != nullptr) {
    for (size_t i = 0; in[i] != '\0' && o + 1 < cap; ++i) {
      if (in[i] == '.' && !removed) {
        removed = true;
        continue;
      }
      out[o++] = in[i];
    }
  }
  out[o] = '\0';
}

int Apk_DnlFormat(QueueRecord& rec, const OrderRecord& a) {
  Payload<kApkPayloadLength> p;
  p.Put(a.ApkApk.c_str(), 12);
  p.Put(a.ApkBz1.c_str(), 30);
  p.Put(a.ApkBz2.c_str(), 30);
  p.Put(a.ApkTxt.c_str(), 8);
  p.Put(a.ApkTnr.c_str(), 20);
  p.Put(a.ApkTb1.c_str(), 30);
  p.Put(a.ApkTb2.c_str(), 30);
  PutQuantity(p, a.ApkSme);
  p.Put(a.ApkMee.c_str(), 3);
  PutDate(p, a.ApkBgs);
  PutDate(p, a.ApkEns);
  PutCount(p, a.ApkAfo);
  PutStatus(p, a.ApkSts);
  p.Put(a.ApkZf1.c_str(), 10);
  p.Put(a.ApkZf2.c_str(), 20);
  p.Put(a.ApkZf3.c_str(), 30);
  p.Put("X", 1);
  p.Blank(2);
  assert(p.pos == kApkPayloadLength);

  rec.DnlDnl.SetN(p.s, kApkPayloadLength);
  rec.DnlSkz = "APK";
  rec.DnlFun.Set(a.ApkDna);
  return p.fits ? 0 : sql::kOverflow;
}

int App_DnlFormat(QueueRecord& rec, const OperationRecord& a) {
  Payload<kAppPayloadLength> p;
  p.Put(a.AppApk.c_str(), 12);
  p.Put(a.AppApp.c_str(), 5);
  p.Put(a.AppBz1.c_str(), 30);
  p.Put(a.AppBz2.c_str(), 30);
  p.Put(a.AppTxt.c_str(), 8);
  p.Put(a.AppApg.c_str(), 10);
  PutQuantity(p, a.AppSme);
  p.Put(a.AppMee.c_str(), 3);
  PutTime(p, a.AppStr);
  PutTime(p, a.AppSte);
  PutTime(p, a.AppSza);
  PutDate(p, a.AppBdsDate);
  PutDate(p, a.AppEdsDate);
  p.Put(a.AppVaf.c_str(), 5);
  p.Put(a.AppNaf.c_str(), 5);
  PutStatus(p, a.AppSts);
  p.Put(a.AppZf1.c_str(), 10);
  p.Put(a.AppZf2.c_str(), 20);
  p.Put(a.AppZf3.c_str(), 30);
  PutQuantity(p, a.AppIme);
  PutQuantity(p, a.AppAme);
  p.Blank(11);
  p.Put("X", 1);
  p.Blank(10);
  assert(p.pos == kAppPayloadLength);

  rec.DnlDnl.SetN(p.s, kAppPayloadLength);
  rec.DnlSkz = "APP";
  rec.DnlFun.Set(a.AppDna);
  return p.fits ? 0 : sql::kOverflow;
}

int Dnl_FormatLine(const QueueRecord& rec, const CfgRecord& cfg,
                   const char* stamp, char* out, size_t cap) {
  if (out == nullptr || cap == 0) return 0;
  if (cap < static_cast<size_t>(kDnlLineLength) + 1) {
    out[0] = '\0';
    return 0;
  }
  // The run date yyyymmdd goes into the line as yymmdd.
  const char* runDate = rec.DnlDtaDate.size() > 2 ? rec.DnlDtaDate.c_str() + 2 : "";
  // The fields of the line's table, each value cut to its field by the
  // precision, so the line has its fixed length whatever the values hold.
  int n = std::snprintf(
      out, cap,
      "$%-15.15s%-5.5s%14.14s%3.3s%15.15s%5.5s%28s%4.4s%3.3s%6.6s%6.6sBDE%3.3s%-438.438s*\r\n",
      cfg.CfgIP.c_str(), cfg.CfgPrt.c_str(), stamp != nullptr ? stamp : "", "999",
      cfg.CfgIP.c_str(), cfg.CfgPrt.c_str(), "", "0460", rec.DnlSkz.c_str(), runDate,
      rec.DnlDtaTime.c_str(), rec.DnlFun.c_str(), rec.DnlDnl.c_str());
  assert(n == kDnlLineLength);
  if (n != kDnlLineLength) {
    out[0] = '\0';
    return 0;
  }
  // A control byte in a value (a line end, a tab) would break the line the
  // terminal communication reads: every one before the closing "*" CR LF
  // becomes a blank.
  Text_Blank(out, kDnlLineLength - kDnlLineEndLength);
  return n;
}
