// Download lines and payloads built from the terminal line layout, field by
// field, for end-to-end tests that compare buffer files byte for byte.
#ifndef PPS2BDE_TESTS_E2E_TERMINAL_LINES_H_
#define PPS2BDE_TESTS_E2E_TERMINAL_LINES_H_

#include <cstdio>
#include <string>

namespace e2e {

// Left-aligned in width, padded with blanks, cut when longer.
inline std::string Left(const std::string& v, size_t width) {
  std::string s = v.substr(0, width);
  return s + std::string(width - s.size(), ' ');
}
// Right-aligned in width (values that fit).
inline std::string Right(const std::string& v, size_t width) {
  return std::string(width > v.size() ? width - v.size() : 0, ' ') + v;
}
// Quantity: "%012.3f" without its point, the first 11 characters.
inline std::string Quantity(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%012.3f", v);
  std::string s = buf;
  s.erase(s.find('.'), 1);
  return s.substr(0, 11);
}
// Time: characters 4 to 10 of the quantity text.
inline std::string Time7(double v) { return Quantity(v).substr(3, 7); }
// Date: yymmdd of a yyyymmdd text, six blanks for none.
inline std::string Date6(const std::string& yyyymmdd) {
  return yyyymmdd.empty() ? std::string(6, ' ') : yyyymmdd.substr(2, 6);
}
// Status digit: the first digit of the status, 10 sent as 0.
inline std::string StatusDigit(int sts) {
  return sts == 10 ? "0" : std::to_string(sts).substr(0, 1);
}

struct OrderFields {
  std::string apk, bz1, bz2, txt, tnr, tb1, tb2;
  double sme = 0;
  std::string mee, bgs, ens;
  int afo = 0, sts = 0;
  std::string zf1, zf2, zf3;
};

// The 255-character order payload.
inline std::string OrderPayload(const OrderFields& o) {
  return Left(o.apk, 12) + Left(o.bz1, 30) + Left(o.bz2, 30) + Left(o.txt, 8) +
         Left(o.tnr, 20) + Left(o.tb1, 30) + Left(o.tb2, 30) + Quantity(o.sme) +
         Left(o.mee, 3) + Date6(o.bgs) + Date6(o.ens) + Left(std::to_string(o.afo), 5) +
         StatusDigit(o.sts) + Left(o.zf1, 10) + Left(o.zf2, 20) + Left(o.zf3, 30) + "X  ";
}

struct OperationFields {
  std::string apk, app, bz1, bz2, txt, apg;
  double sme = 0;
  std::string mee;
  double str = 0, ste = 0, sza = 0;
  std::string bds, eds, vaf, naf;
  int sts = 0;
  std::string zf1, zf2, zf3;
  double ime = 0, ame = 0;
};

// The 257-character operation payload.
inline std::string OperationPayload(const OperationFields& a) {
  return Left(a.apk, 12) + Left(a.app, 5) + Left(a.bz1, 30) + Left(a.bz2, 30) +
         Left(a.txt, 8) + Left(a.apg, 10) + Quantity(a.sme) + Left(a.mee, 3) + Time7(a.str) +
         Time7(a.ste) + Time7(a.sza) + Date6(a.bds) + Date6(a.eds) + Left(a.vaf, 5) +
         Left(a.naf, 5) + StatusDigit(a.sts) + Left(a.zf1, 10) + Left(a.zf2, 20) +
         Left(a.zf3, 30) + Quantity(a.ime) + Quantity(a.ame) + std::string(11, ' ') + "X" +
         std::string(10, ' ');
}

// One 552-character download line.
inline std::string DownloadLine(const std::string& ip, const std::string& port,
                                const std::string& writeStamp, const std::string& skz,
                                const std::string& runDate, const std::string& runTime,
                                const std::string& fun, const std::string& payload) {
  return "$" + Left(ip, 15) + Left(port, 5) + writeStamp + "999" + Right(ip, 15) +
         Right(port, 5) + std::string(28, ' ') + "0460" + Right(skz, 3) +
         Right(runDate.substr(2), 6) + Right(runTime, 6) + "BDE" + Right(fun, 3) +
         Left(payload, 438) + "*\r\n";
}

}  // namespace e2e

#endif  // PPS2BDE_TESTS_E2E_TERMINAL_LINES_H_
