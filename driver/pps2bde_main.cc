// pps2bde: takes the planning system's orders and operations over into the
// shop-floor tables and sends them to the terminals.  See driver/run.h.
//
// "--help" and "--version" as the only argument print and end before the
// log, the configuration or the database is touched; every other argument
// list is the job's (two arguments: queue mode, any other count: full run).
#include <cstdio>
#include <cstring>

#include "driver/run.h"

#ifndef PPS2BDE_VERSION
#define PPS2BDE_VERSION "unknown"
#endif

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("pps2bde %s\n", PPS2BDE_VERSION);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf(
        "usage: pps2bde                    full run: planning rows into the shop-floor tables,\n"
        "                                  statistics row, download to the terminals\n"
        "       pps2bde YYYYMMDD HHMMSS    queue mode: re-send the Kvn540Dnl batch of that time\n"
        "       pps2bde --help | --version\n"
        "Run it in the working folder (ROOT/a/b/c/run): it reads ..\\..\\..\\..\\files\\velmaris.ini,\n"
        "logs to .\\Msg\\Ostrak.Txt, writes ..\\Comm\\Buff\\SndDnl<n>.buf, prints nothing and\n"
        "exits 0. Any other argument count starts the full run.\n");
    return 0;
  }
  return Pps2bde_Main(argc, argv);
}
