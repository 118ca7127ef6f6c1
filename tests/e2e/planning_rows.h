// SQL for planning rows, work groups and workplaces, for end-to-end tests.
#ifndef PPS2BDE_TESTS_E2E_PLANNING_ROWS_H_
#define PPS2BDE_TESTS_E2E_PLANNING_ROWS_H_

#include <string>

namespace e2e {

// The UTF-8 form of an ISO-8859-1 text, as the database holds it.
inline std::string Utf8(const std::string& latin1) {
  std::string s;
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      s += static_cast<char>(c);
    } else {
      s += static_cast<char>(0xC0 | (c >> 6));
      s += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return s;
}

// A Kvn500Auk row; the texts are derived from the order number so that
// every field of every row is distinct.
inline std::string AukRow(const std::string& apk, int sts, const std::string& fbe = "FB01",
                          const std::string& bgs = "20240301", const std::string& kst = "K100") {
  std::string t = apk.substr(apk.size() > 4 ? apk.size() - 4 : 0);
  return "insert into Kvn500Auk (AukApk,AukBz1,AukBz2,AukTxt,AukSts,AukAfo,AukKun,AukKb1,AukKb2,"
         "AukBgs,AukEns,AukTnr,AukTb1,AukTb2,AukSme,AukMee,AukZf1,AukZf2,AukZf3,AukFbe,AukKst) "
         "values ('" + apk + "','Bez1 " + t + "','Bez2 " + t + "','Txt" + t + "'," +
         std::to_string(sts) + ",3,'K" + t + "','Kunde " + t + "','Ort " + t + "','" + bgs +
         "','20240315','Teil-" + t + "','TB1 " + t + "','TB2 " + t +
         "',1234.5,'STK','Z1 " + t + "','Z2 " + t + "','Z3 " + t + "','" + fbe + "','" + kst +
         "');\n";
}

// A Kvn503Afo row of order apk.
inline std::string AfoRow(const std::string& apk, const std::string& app, int sts,
                          const std::string& apg = "AG01", const std::string& apl = "AP01",
                          const std::string& fbe = "FB01") {
  return "insert into Kvn503Afo (AfoApk,AfoApp,AfoVaf,AfoNaf,AfoBz1,AfoBz2,AfoTxt,AfoSts,AfoBgs,"
         "AfoBgz,AfoEns,AfoEnz,AfoAgs,AfoSme,AfoMee,AfoSta,AfoStr,AfoSte,AfoApg,AfoApl,AfoZf1,"
         "AfoZf2,AfoZf3,AfoKst,AfoFbe) values ('" + apk + "','" + app + "','V" + app.substr(1) + "','N" +
         app.substr(1) + "','Op " + app + "','Op2 " + app + "','T" + app + "'," + std::to_string(sts) +
         ",'20240302','073000','20240303','161500',5,100.25,'KG',12.5,1.75,2.5,'" + apg + "','" +
         apl + "','OZ1','OZ2','OZ3','OK" + app + "','" + fbe + "');\n";
}

// A work group and one of its workplaces.
inline std::string MasterRows(const std::string& apg, const std::string& apl,
                              const std::string& fbe = "FB01") {
  return "insert into Kvn530Apg (ApgApg,ApgBez,ApgFbe) values ('" + apg + "','Gruppe " + apg +
         "','" + fbe + "');\n"
         "insert into Kvn531Apl (AplApl,AplBez,AplApg,AplFbe) values ('" + apl + "','Platz " +
         apl + "','" + apg + "','" + fbe + "');\n";
}

// A terminal serving the area keys from..to (and from2..to2 when given).
inline std::string TerminalRow(int dta, const std::string& ip, const std::string& port,
                               const std::string& from, const std::string& to,
                               const std::string& from2 = "", const std::string& to2 = "") {
  auto text = [](const std::string& v) { return v.empty() ? std::string("null") : "'" + v + "'"; };
  return "insert into Kvn557Cfg (CfgDta,CfgIP,CfgPrt,CfgBez,CfgVn1,CfgBi1,CfgVn2,CfgBi2) values (" +
         std::to_string(dta) + "," + text(ip) + "," + text(port) + ",'Terminal " +
         std::to_string(dta) + "'," + text(from) + "," + text(to) + "," + text(from2) + "," +
         text(to2) + ");\n";
}

}  // namespace e2e

#endif  // PPS2BDE_TESTS_E2E_PLANNING_ROWS_H_
