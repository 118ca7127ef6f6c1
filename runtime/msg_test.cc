#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/msg_hold.h"
#include "runtime/msg_internal.h"
#include "runtime/msg_test_util.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadAll;

// The lines of a log text (split at CR LF).
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t at = 0, end;
  while ((end = text.find("\r\n", at)) != std::string::npos) {
    out.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  if (at < text.size()) out.push_back(text.substr(at));
  return out;
}

TEST_F(LogTest, ErrorEntriesAreWrittenByteForByte) {
  Msg_Error("Auk_To_Apk", "Fehler bei Apk_PKeyDel", -1400);
  Msg_Report(1403, "Apk_Dnl", "Fehler beim Senden von ApkS\xE4tze", FMSG);
  // Control bytes of a text (a key read from the database) are written as
  // blanks: the entry keeps its lines.
  Msg_NoFit("Apk\r\nDnl", "1000\r\n\x01\x7f" "0001\xDF", -1406);
  EXPECT_EQ(ExpectedEntry("FMSG ", "Fehler bei Apk_PKeyDel", "Auk_To_Apk", "-1400") +
                ExpectedEntry("FMSG ", "Fehler beim Senden von ApkS\xE4tze", "Apk_Dnl", "1403") +
                ExpectedEntry("FMSG ", "Wert passt nicht ins Feld: 1000    0001\xDF", "Apk  Dnl",
                              "-1406"),
            Log());
  EXPECT_EQ(3, Msg_EntryCount());
}

TEST_F(LogTest, KindsOutsideTheMaskWriteNothing) {
  Msg_Report(1, "f", "m", WMSG);
  Msg_Report(1, "f", "m", CMSG);
  Msg_Report(1, "f", "m", 0);
  Msg_Report(1, "f", "m", INT32_MIN | WMSG);  // sign bit and WMSG: masked to 0
  Msg_Init(-1, ".\\Msg\\Ostrak.Txt");
  Msg_Report(1, "f", "m", -8);  // passes the mask but is negative
  EXPECT_FALSE(FileExists(dir_ / "Msg/Ostrak.Txt"));
  EXPECT_EQ(0, Msg_EntryCount());

  Msg_ResetForTest();  // before Msg_Init the mask lets nothing through
  Msg_Error("f", "m", 1);
  EXPECT_FALSE(FileExists(dir_ / "Msg/Ostrak.Txt"));
  EXPECT_FALSE(FileExists(dir_ / "msg.dat"));

  // The kind line lists every bit of MsgArt, also those the mask let not
  // through.
  Msg_Init(7, ".\\Msg\\Ostrak.Txt");
  Msg_Report(-1, "App_Plausi", "Arbeitsgruppe nicht relevant", FMSG | WMSG);
  EXPECT_EQ(ExpectedEntry("FMSG WMSG ", "Arbeitsgruppe nicht relevant", "App_Plausi", "-1"),
            Log());
  EXPECT_EQ(1, Msg_EntryCount());
}

TEST_F(LogTest, DumpAndEmptyLineFollowOnlyForKindsThatPassTheMask) {
  MsgRecord rec;
  rec.Funktion = "f";
  rec.Message = "m";
  rec.MsgArt = DMSG | SMSG;
  rec.ErrorCode = 7;
  rec.DumpData = "AB\0C";
  rec.DumpLength = 4;
  rec.ExtraText = "never written";
  Msg_Write(rec);
  std::string dumped = ExpectedEntry("DMSG SMSG ", "m", "f", "7") +
                       std::string("AB\0C\r\n", 6) + "\r\n\r\n";
  EXPECT_EQ(dumped, Log());

  Msg_Init(FMSG, ".\\Msg\\Ostrak.Txt");
  rec.MsgArt = DMSG | SMSG | FMSG;
  Msg_Write(rec);
  EXPECT_EQ(dumped + ExpectedEntry("DMSG SMSG FMSG ", "m", "f", "7"), Log());

  // A dump without data still ends its line.
  Msg_Init(7, ".\\Msg\\Ostrak.Txt");
  rec.MsgArt = DMSG;
  rec.DumpData = nullptr;
  rec.DumpLength = 100;
  Msg_Write(rec);
  EXPECT_EQ(dumped + ExpectedEntry("DMSG SMSG FMSG ", "m", "f", "7") +
                ExpectedEntry("DMSG ", "m", "f", "7") + "\r\n",
            Log());
  EXPECT_EQ(3, Msg_EntryCount());
}

TEST_F(LogTest, NullTextsPrintAsEmpty) {
  Msg_Error(nullptr, nullptr, 0);
  EXPECT_EQ(ExpectedEntry("FMSG ", "", "", "0"), Log());
}

TEST_F(LogTest, OverlongTextsAreCutInsideTheirLines) {
  std::string longText(300, 'M');
  std::string longName(300, 'F');
  Msg_Error("Apk_Dnl", longText.c_str(), INT32_MIN);
  Msg_Error(longName.c_str(), longText.c_str(), 1);
  Msg_Error("f", "after", 2);

  std::string log = Log();
  ASSERT_EQ(3u, EntriesIn(log));
  std::vector<std::string> lines = Lines(log);
  ASSERT_EQ(21u, lines.size());
  // The body area holds 199 characters: 47 fixed ones, the code, and the
  // rest shared by message and function.
  EXPECT_EQ("Funktion___: Apk_Dnl", lines[5]);
  EXPECT_EQ("ErrorCode__: -2147483648", lines[6]);
  EXPECT_EQ("Message____: " + std::string(199 - 47 - 11 - 7, 'M'), lines[4]);
  EXPECT_EQ("Message____: " + std::string(76, 'M'), lines[11]);
  EXPECT_EQ("Funktion___: " + std::string(75, 'F'), lines[12]);
  EXPECT_EQ("ErrorCode__: 1", lines[13]);
  EXPECT_EQ("Message____: after", lines[18]);
  EXPECT_EQ(3, Msg_EntryCount());
}

TEST_F(LogTest, MissingLogDirectoryDropsEveryEntry) {
  ASSERT_EQ(0, rmdir((dir_ / "Msg").c_str()));
  Msg_Error("dbConnect", "Fehlerhafter Connect mit der DB ", -12154);
  Msg_Error("dbConnect", "Fehlerhafter Connect mit der DB ", -12154);
  EXPECT_FALSE(FileExists(dir_ / "Msg"));
  EXPECT_EQ(0, Msg_EntryCount());
  EXPECT_TRUE(clock_.sleeps.empty());
}

TEST_F(LogTest, FileNamesAreCutTo64Characters) {
  std::string name(80, 'n');
  Msg_Init(7, name.c_str());
  Msg_Error("f", "m", 1);
  EXPECT_EQ(ExpectedEntry("FMSG ", "m", "f", "1"), ReadAll(dir_ / std::string(64, 'n')));

  Msg_Init(7, nullptr);
  Msg_Error("f", "m", 1);
  EXPECT_EQ(1u, EntriesIn(ReadAll(dir_ / "msg.dat")));
}

TEST(MsgRotationName, ReplacesTheExtensionOfTheLastComponent) {
  char out[kMsgRotationCap];
  auto name = [&](const char* in) {
    Msg_RotationName(in, out, sizeof out);
    return std::string(out);
  };
  EXPECT_EQ(".\\Msg\\Ostrak.old", name(".\\Msg\\Ostrak.Txt"));
  EXPECT_EQ("msg.old", name("msg.dat"));
  EXPECT_EQ("..\\a.b\\log.old", name("..\\a.b\\log"));
  EXPECT_EQ("dir.x/log.tar.old", name("dir.x/log.tar.gz"));
  std::string max(kMsgNameMax, 'x');
  EXPECT_EQ(max + ".old", name(max.c_str()));

  char tiny[6];
  Msg_RotationName("abcdef.txt", tiny, sizeof tiny);
  EXPECT_EQ(5u, strlen(tiny));
}

TEST_F(LogTest, AppendFileAddsBytesAndLineEnd) {
  EXPECT_EQ(0, Msg_AppendFile(".\\Msg\\dump.bin", "a\0b", 3));
  EXPECT_EQ(0, Msg_AppendFile(".\\Msg\\dump.bin", "", 0));
  EXPECT_EQ(std::string("a\0b\r\n\r\n", 7), ReadAll(dir_ / "Msg/dump.bin"));
  EXPECT_EQ(ENOENT, Msg_AppendFile(".\\NoDir\\dump.bin", "x", 1));
  EXPECT_EQ(EINVAL, Msg_AppendFile(nullptr, "x", 1));
  EXPECT_EQ(EINVAL, Msg_AppendFile("x", nullptr, 1));
  EXPECT_EQ(0, Msg_EntryCount());
}

}  // namespace

namespace {

// Entries made while the log is held (inside a unit of work) are written
// when the hold ends, in the order they were made; holds nest.
TEST_F(LogTest, HeldEntriesAreWrittenInOrderWhenTheHoldEnds) {
  Msg_Hold();
  Msg_Error("App_Plausi", "kein Apl_Satz gefunden", 1403);
  Msg_Hold();
  Msg_Error("Afo_To_App", "Fehelr bei App_PKeyIns", -1);
  Msg_Release();
  EXPECT_FALSE(FileExists(dir_ / "Msg/Ostrak.Txt")) << "nothing written while held";
  Msg_Release();
  EXPECT_EQ(ExpectedEntry("FMSG ", "kein Apl_Satz gefunden", "App_Plausi", "1403") +
                ExpectedEntry("FMSG ", "Fehelr bei App_PKeyIns", "Afo_To_App", "-1"),
            Log());
  Msg_Release();  // one release too many changes nothing
  Msg_Error("Afo_To_App", "m", 1);
  EXPECT_EQ(3, Msg_EntryCount());
}

}  // namespace
