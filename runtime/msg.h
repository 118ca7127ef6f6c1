// The message log: the job's only report channel.
//
// Each entry is appended whole to the log file (opened and closed per entry,
// exclusive, write-through), in ISO-8859-1 with CR LF line ends:
//
//   0xFE CR LF
//   "System-Date: " DD.MM.YY CR LF
//   "System-Time: " HH:MM:SS CR LF
//   "MsgArt_____: " kind texts ("FMSG " ...) CR LF
//   "Message____: " message CR LF
//   "Funktion___: " function CR LF
//   "ErrorCode__: " code CR LF
//
// Writing never fails towards the caller: an entry that cannot be written is
// dropped.  A lock held by another writer is waited out (retry every 333 ms);
// after 3000 entries of one process the log is moved to the rotation file
// (extension ".old") and a new log begins.
#ifndef PPS2BDE_RUNTIME_MSG_H_
#define PPS2BDE_RUNTIME_MSG_H_

#include <cstdint>

// Message kinds (bits of MsgArt and of the kind mask).
constexpr int32_t DMSG = 1;   // dump: DumpData follows the entry
constexpr int32_t SMSG = 2;   // an empty line follows the entry
constexpr int32_t FMSG = 4;   // error
constexpr int32_t WMSG = 8;   // warning
constexpr int32_t CMSG = 16;  // comment

struct MsgRecord {
  const char* Funktion = nullptr;   // reporting operation
  const char* Message = nullptr;    // message text
  int32_t MsgArt = 0;               // kinds
  int32_t ErrorCode = 0;            // status or system error code
  const void* DumpData = nullptr;   // written after a DMSG entry
  uint32_t DumpLength = 0;
  const char* ExtraText = nullptr;  // accepted, never written
};

// Sets the kind mask and the log file (null: "msg.dat"); the rotation file
// is the log file with the extension of its last component replaced by
// ".old".  Names longer than 64 characters are cut.
void Msg_Init(int32_t mask, const char* fileName);
// Writes one entry if MsgArt & mask is positive.  Never reports a failure.
void Msg_Write(const MsgRecord& rec);
// Builds a record of the four values and writes it.
void Msg_Report(int32_t errorCode, const char* funktion, const char* message,
                int32_t kinds);
// Appends length bytes and CR LF to fileName (same open rules as the log).
// Returns 0 or the system error code of the step that failed.
int Msg_AppendFile(const char* fileName, const void* data, uint32_t length);

// Writes one FMSG entry: the form every report of the job takes.
void Msg_Error(const char* funktion, const char* message, int32_t errorCode);
// Writes the entry for a row that is left as it is because one of its
// values does not fit its field: message "Wert passt nicht ins Feld: "
// followed by key (the row's key, its parts joined by "/"), code -1455 for
// a number or -1406 for a text.
void Msg_NoFit(const char* funktion, const char* key, int32_t errorCode);

// Entries written by this process since start or the last rotation (tests).
int32_t Msg_EntryCount();
// Resets the log state to its process-start values (tests).
void Msg_ResetForTest();

#endif  // PPS2BDE_RUNTIME_MSG_H_
