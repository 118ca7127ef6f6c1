// Fuzz target: the order and operation payloads and the download line.
//
// Records are filled from the fuzz input: texts of arbitrary bytes and any
// length (cut by their fields as every record field is), doubles of any bit
// pattern (NaN, infinities, huge, negative, subnormal) and any integers.
// Checked against the payload layout, field by field, and against the line
// layout: an order payload is exactly 255 characters, an operation payload
// 257, a line exactly 552 ending "*\r\n" with its fixed texts in place and
// no other control byte, and a line buffer that is too small gets nothing
// but an empty text.  A payload is refused (-1455) exactly when one of its
// numbers lies beyond what its field can carry.
#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "db/DbDb/buffer.h"
#include "db/DbDb/format.h"

namespace {

// Below these values the rounded "%.3f" text still has eight (a time: five)
// integer digits, so the field gives the value back.
constexpr double kQuantityTop = 99999999.999;
constexpr double kTimeTop = 99999.999;

void Check(bool ok) {
  if (!ok) std::abort();
}

template <size_t N>
void Fill(FuzzedDataProvider& in, Text<N>& t) {
  t = in.ConsumeRandomLengthString(N + 4).c_str();
}

double AnyDouble(FuzzedDataProvider& in) {
  static const double kEdgeValues[] = {
      NAN, -NAN, INFINITY, -INFINITY, DBL_MAX, -DBL_MAX, DBL_MIN, -0.0, 1e30, -1e30,
      99999999.9995, 99999.995, 100000000.0, -0.0005, 0.0005, 1234.5, 12.5};
  const uint8_t pick = in.ConsumeIntegral<uint8_t>();
  if (pick < sizeof kEdgeValues / sizeof kEdgeValues[0]) return kEdgeValues[pick];
  if (pick < 128) return in.ConsumeFloatingPoint<double>();
  const uint64_t bits = in.ConsumeIntegral<uint64_t>();
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

int32_t AnyInt(FuzzedDataProvider& in) {
  const uint8_t pick = in.ConsumeIntegral<uint8_t>();
  if (pick < 16) return 10;  // the status sent as 0
  return in.ConsumeIntegral<int32_t>();
}

// A text field: the value cut to width, padded with blanks.  In a line
// (blanked) every control byte of the value stands as a blank.
void ExpectText(const char* field, const char* value, size_t width, bool blanked = false) {
  size_t n = strnlen(value, width);
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(value[i]);
    const bool control = c < 0x20 || c == 0x7F;
    Check(field[i] == (blanked && control ? ' ' : value[i]));
  }
  for (size_t i = n; i < width; ++i) Check(field[i] == ' ');
}

// Whether the quantities, times and count of a payload lie within what
// their fields carry: a quantity from -9999999.999 to 99999999.999, a time
// from 0 to 99999.999, a count from -9999 to 99999.  Values within a
// rounding step of a limit may go either way (unknown: -1).
int WithinFields(const double* quantities, int nq, const double* times, int nt, int32_t count) {
  bool in = count >= -9999 && count <= 99999;
  bool edge = false;
  auto range = [&](double v, double lo, double hi) {
    if (!(v >= lo - 0.001 && v <= hi + 0.001)) in = false;
    else if (v < lo + 0.001 || v > hi - 0.001) edge = true;
  };
  for (int i = 0; i < nq; ++i) range(quantities[i], -9999999.999, 99999999.999);
  for (int i = 0; i < nt; ++i) range(times[i], 0, 99999.999);
  if (!in) return 0;
  return edge ? -1 : 1;
}

// A quantity (width 11) or a time (width 7): never a point; within the
// range the layout covers, digits that give back the value.
void ExpectNumber(const char* field, size_t width, double v, double limit, double scale) {
  bool ok = true;
  for (size_t i = 0; i < width; ++i) ok = ok && field[i] != '.' && field[i] != '\0';
  double read = 0;
  // A negative zero keeps its sign, as "%f" writes it.
  if (ok && !std::signbit(v) && v < limit) {
    for (size_t i = 0; i < width; ++i) {
      ok = ok && field[i] >= '0' && field[i] <= '9';
      read = read * 10 + (field[i] - '0');
    }
    // "%.3f" rounds to the third decimal; a time drops that decimal as well.
    ok = ok && std::fabs(read / scale - v) <= 1.0 / scale + v * 1e-15;
  }
  if (!ok) {
    std::fprintf(stderr, "value %.17g gave \"%.*s\"\n", v, static_cast<int>(width), field);
    std::abort();
  }
}

template <size_t M>
void ExpectDate(const char* field, const Text<M>& date) {
  ExpectText(field, date.size() > 2 ? date.c_str() + 2 : "", 6);
}

void ExpectStatus(const char* field, int32_t sts) {
  char d[16];
  std::snprintf(d, sizeof d, "%d", static_cast<int>(sts == 10 ? 0 : sts));
  Check(field[0] == d[0]);
}

void ExpectCount(const char* field, int32_t count) {
  char d[16];
  std::snprintf(d, sizeof d, "%d", static_cast<int>(count));
  ExpectText(field, d, 5);
}

void CheckOrder(FuzzedDataProvider& in, QueueRecord& rec) {
  OrderRecord a;
  Fill(in, a.ApkApk); Fill(in, a.ApkBz1); Fill(in, a.ApkBz2); Fill(in, a.ApkTxt);
  Fill(in, a.ApkTnr); Fill(in, a.ApkTb1); Fill(in, a.ApkTb2); Fill(in, a.ApkMee);
  Fill(in, a.ApkBgs); Fill(in, a.ApkEns); Fill(in, a.ApkZf1); Fill(in, a.ApkZf2);
  Fill(in, a.ApkZf3); Fill(in, a.ApkDna); Fill(in, a.ApkFbe);
  a.ApkSme = AnyDouble(in);
  a.ApkIme = AnyDouble(in);
  a.ApkAfo = AnyInt(in);
  a.ApkSts = AnyInt(in);

  const double q[] = {a.ApkSme};
  const int fits = WithinFields(q, 1, nullptr, 0, a.ApkAfo);
  const int rc = Apk_DnlFormat(rec, a);
  Check(rc == 0 || rc == -1455);
  if (fits != -1) Check((rc == 0) == (fits == 1));
  Check(rec.DnlDnl.size() == static_cast<size_t>(kApkPayloadLength));
  Check(rec.DnlSkz == "APK");
  Check(rec.DnlFun == a.ApkDna.c_str());
  const char* p = rec.DnlDnl.c_str();
  ExpectText(p + 0, a.ApkApk.c_str(), 12);
  ExpectText(p + 12, a.ApkBz1.c_str(), 30);
  ExpectText(p + 42, a.ApkBz2.c_str(), 30);
  ExpectText(p + 72, a.ApkTxt.c_str(), 8);
  ExpectText(p + 80, a.ApkTnr.c_str(), 20);
  ExpectText(p + 100, a.ApkTb1.c_str(), 30);
  ExpectText(p + 130, a.ApkTb2.c_str(), 30);
  ExpectNumber(p + 160, 11, a.ApkSme, kQuantityTop, 1000);
  ExpectText(p + 171, a.ApkMee.c_str(), 3);
  ExpectDate(p + 174, a.ApkBgs);
  ExpectDate(p + 180, a.ApkEns);
  ExpectCount(p + 186, a.ApkAfo);
  ExpectStatus(p + 191, a.ApkSts);
  ExpectText(p + 192, a.ApkZf1.c_str(), 10);
  ExpectText(p + 202, a.ApkZf2.c_str(), 20);
  ExpectText(p + 222, a.ApkZf3.c_str(), 30);
  ExpectText(p + 252, "X  ", 3);
}

void CheckOperation(FuzzedDataProvider& in, QueueRecord& rec) {
  OperationRecord a;
  Fill(in, a.AppApk); Fill(in, a.AppApp); Fill(in, a.AppBz1); Fill(in, a.AppBz2);
  Fill(in, a.AppTxt); Fill(in, a.AppApg); Fill(in, a.AppMee); Fill(in, a.AppBdsDate);
  Fill(in, a.AppEdsDate); Fill(in, a.AppVaf); Fill(in, a.AppNaf); Fill(in, a.AppZf1);
  Fill(in, a.AppZf2); Fill(in, a.AppZf3); Fill(in, a.AppDna); Fill(in, a.AppFbe);
  a.AppSme = AnyDouble(in);
  a.AppStr = AnyDouble(in);
  a.AppSte = AnyDouble(in);
  a.AppSza = AnyDouble(in);
  a.AppIme = AnyDouble(in);
  a.AppAme = AnyDouble(in);
  a.AppSts = AnyInt(in);

  const double q[] = {a.AppSme, a.AppIme, a.AppAme};
  const double t[] = {a.AppStr, a.AppSte, a.AppSza};
  const int fits = WithinFields(q, 3, t, 3, 0);
  const int rc = App_DnlFormat(rec, a);
  Check(rc == 0 || rc == -1455);
  if (fits != -1) Check((rc == 0) == (fits == 1));
  Check(rec.DnlDnl.size() == static_cast<size_t>(kAppPayloadLength));
  Check(rec.DnlSkz == "APP");
  Check(rec.DnlFun == a.AppDna.c_str());
  const char* p = rec.DnlDnl.c_str();
  ExpectText(p + 0, a.AppApk.c_str(), 12);
  ExpectText(p + 12, a.AppApp.c_str(), 5);
  ExpectText(p + 17, a.AppBz1.c_str(), 30);
  ExpectText(p + 47, a.AppBz2.c_str(), 30);
  ExpectText(p + 77, a.AppTxt.c_str(), 8);
  ExpectText(p + 85, a.AppApg.c_str(), 10);
  ExpectNumber(p + 95, 11, a.AppSme, kQuantityTop, 1000);
  ExpectText(p + 106, a.AppMee.c_str(), 3);
  ExpectNumber(p + 109, 7, a.AppStr, kTimeTop, 100);
  ExpectNumber(p + 116, 7, a.AppSte, kTimeTop, 100);
  ExpectNumber(p + 123, 7, a.AppSza, kTimeTop, 100);
  ExpectDate(p + 130, a.AppBdsDate);
  ExpectDate(p + 136, a.AppEdsDate);
  ExpectText(p + 142, a.AppVaf.c_str(), 5);
  ExpectText(p + 147, a.AppNaf.c_str(), 5);
  ExpectStatus(p + 152, a.AppSts);
  ExpectText(p + 153, a.AppZf1.c_str(), 10);
  ExpectText(p + 163, a.AppZf2.c_str(), 20);
  ExpectText(p + 183, a.AppZf3.c_str(), 30);
  ExpectNumber(p + 213, 11, a.AppIme, kQuantityTop, 1000);
  ExpectNumber(p + 224, 11, a.AppAme, kQuantityTop, 1000);
  ExpectText(p + 235, "", 11);
  ExpectText(p + 246, "X", 11);
}

void CheckLine(FuzzedDataProvider& in, QueueRecord& rec) {
  CfgRecord cfg;
  Fill(in, cfg.CfgIP);
  Fill(in, cfg.CfgPrt);
  cfg.CfgDta = in.ConsumeIntegral<int32_t>();
  Fill(in, rec.DnlDtaDate);
  Fill(in, rec.DnlDtaTime);
  if (in.ConsumeBool()) Fill(in, rec.DnlFun);
  const std::string stamp = in.ConsumeRandomLengthString(20);

  constexpr size_t kGuard = 16;
  char line[kDnlLineLength + 1 + kGuard];
  std::memset(line, 0x5A, sizeof line);
  Check(Dnl_FormatLine(rec, cfg, stamp.c_str(), line, kDnlLineLength + 1) == kDnlLineLength);
  for (size_t i = kDnlLineLength + 1; i < sizeof line; ++i) Check(line[i] == 0x5A);
  Check(strnlen(line, sizeof line) == static_cast<size_t>(kDnlLineLength));
  Check(line[0] == '$');
  for (int i = 0; i < kDnlLineLength - 2; ++i)
    Check(static_cast<unsigned char>(line[i]) >= 0x20 && line[i] != 0x7F);
  ExpectText(line + 1, cfg.CfgIP.c_str(), 15, true);
  ExpectText(line + 16, cfg.CfgPrt.c_str(), 5, true);
  Check(std::memcmp(line + 35, "999", 3) == 0);
  ExpectText(line + 58, "", 28);
  Check(std::memcmp(line + 86, "0460", 4) == 0);
  Check(std::memcmp(line + 105, "BDE", 3) == 0);
  ExpectText(line + 111, rec.DnlDnl.c_str(), 438, true);
  Check(std::memcmp(line + 549, "*\r\n", 3) == 0);

  // A buffer without room for the whole line and its terminator.
  const size_t small = in.ConsumeIntegralInRange<size_t>(0, kDnlLineLength);
  std::memset(line, 0x5A, sizeof line);
  Check(Dnl_FormatLine(rec, cfg, stamp.c_str(), line, small) == 0);
  if (small > 0) Check(line[0] == '\0');
  for (size_t i = small > 0 ? 1 : 0; i < sizeof line; ++i) Check(line[i] == 0x5A);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  QueueRecord rec;
  if (in.ConsumeBool())
    CheckOrder(in, rec);
  else
    CheckOperation(in, rec);
  CheckLine(in, rec);
  return 0;
}
