// pps2bde-admin download: sends one kind of master data to the terminals,
// run in the job's working folder like the job itself.
#include <cstdio>
#include <cstring>

#include "db/DbDb/buffer.h"
#include "db/DbDb/master_download.h"
#include "runtime/date.h"
#include "runtime/msg.h"
#include "runtime/session.h"
#include "runtime/text.h"
#include "tools/admin/admin.h"

namespace {

// Longest selector: the download markers have at most 8 characters.
constexpr size_t kSelectorMax = 8;

struct Kind {
  const char* name;
  bool needsSelector;
  int (*download)(const char* date, const char* time, const char* selector, DnlCount* count);
};

const Kind kKinds[] = {
    {"workgroups", true, Apg_Dnl}, {"workplaces", true, Apl_Dnl}, {"ubg", true, Ubg_Dnl},
    {"prv", true, Prv_Dnl},        {"costcentres", false, Ksg_Dnl},
};

void DownloadUsage() {
  std::fprintf(stderr,
               "usage: pps2bde-admin download workgroups|workplaces|ubg|prv SELECTOR\n"
               "       pps2bde-admin download costcentres\n"
               "SELECTOR is the download marker of the rows to send (at most %zu characters),\n"
               "e.g. ZuzErOro; run it in the job's working folder.\n",
               kSelectorMax);
}

}  // namespace

int Admin_Download(int argc, char** argv) {
  const Kind* kind = nullptr;
  if (argc >= 1) {
    for (const Kind& k : kKinds)
      if (std::strcmp(argv[0], k.name) == 0) kind = &k;
  }
  if (kind == nullptr) {
    if (argc >= 1) std::fprintf(stderr, "pps2bde-admin: unknown download kind\n");
    DownloadUsage();
    return 2;
  }
  if (argc != (kind->needsSelector ? 2 : 1)) {
    DownloadUsage();
    return 2;
  }
  char selector[kSelectorMax + 1] = {};
  if (kind->needsSelector) {
    if (argv[1][0] == '\0' || strnlen(argv[1], kSelectorMax + 1) > kSelectorMax) {
      std::fprintf(stderr, "pps2bde-admin: SELECTOR must have 1 to %zu characters\n",
                   kSelectorMax);
      DownloadUsage();
      return 2;
    }
    Text_Copy(selector, sizeof selector, argv[1]);
  }

  Msg_Init(7, ".\\Msg\\Ostrak.Txt");
  int rc = Db_Connect();
  if (rc != 0) {
    Msg_Error("dbConnect", "Fehlerhafter Connect mit der DB ", rc);
    std::fprintf(stderr,
                 "pps2bde-admin: cannot connect to the database (status %d); "
                 "see ..\\..\\..\\..\\files\\velmaris.ini\n",
                 rc);
    return 1;
  }
  // The same run lock as the job's: a download never runs beside a run.
  rc = Db_RunLock("master-data download");
  if (rc != 0) {
    Msg_Error("dbRunLock", "Laufsperre nicht erhalten", rc);
    std::fprintf(stderr,
                 "pps2bde-admin: another run holds the database (status %d); try again later\n",
                 rc);
    return 1;
  }
  char date[15] = {};
  char time[7] = {};
  Date_Now(date, time, 3);
  const int32_t entriesBefore = Msg_EntryCount();
  DnlCount count;
  rc = kind->download(date, time, selector, &count);
  Db_Commit();
  Put_DnlBufferClose();
  const int32_t entries = Msg_EntryCount() - entriesBefore;

  std::printf("download %s%s%s: status %d, %d rows sent, %d rows not sent, %d log entries in "
              ".\\Msg\\Ostrak.Txt\n",
              kind->name, kind->needsSelector ? " " : "", selector, rc,
              static_cast<int>(count.sent), static_cast<int>(count.failed),
              static_cast<int>(entries));
  std::fflush(stdout);  // the summary first, before any reason on stderr
  if (rc != 0) {
    std::fprintf(stderr, "pps2bde-admin: the download could not run (status %d)\n", rc);
    return 1;
  }
  if (count.failed > 0) {
    std::fprintf(stderr,
                 "pps2bde-admin: %d rows could not be sent; they stay marked, see the log\n",
                 static_cast<int>(count.failed));
    return 1;
  }
  return 0;
}
