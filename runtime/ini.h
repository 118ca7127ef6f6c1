// The configuration file and the stored database credentials.
//
// The file holds entries of two lines each:
//   first line:  anything ; section text ; anything
//   second line: number ; key ; enciphered value
// A first line is read into 200 bytes and a second into 400 (line end and
// terminator included): longer lines are cut there and the rest of the
// physical line is skipped.  A CR before the LF belongs to the line end.
// The value is enciphered in the digit form of the cipher (runtime/crypt.h)
// with the built-in key text.
#ifndef PPS2BDE_RUNTIME_INI_H_
#define PPS2BDE_RUNTIME_INI_H_

#include <cstddef>
#include <cstdint>

#include "runtime/text.h"

// The configuration file of the job, relative to the working directory.
constexpr const char* kIniFileName = "..\\..\\..\\..\\files\\velmaris.ini";

// Line buffers of a pair (line end and terminator included).
constexpr size_t kIniFirstLineCap = 200;
constexpr size_t kIniSecondLineCap = 400;
// Capacity of each credential buffer of Ini_ReadLogin (51 characters).
constexpr size_t kIniCredentialCap = 52;

// The result of the last lookup (one instance for the process).
struct IniResult {
  int32_t number = 0;                // leading digits of the second line
  Text<kIniFirstLineCap> section;    // between the first and second ';' of line 1
  Text<kIniSecondLineCap> key;       // between the first and second ';' of line 2
  Text<kIniSecondLineCap> value;     // the deciphered value, empty without a match
};

// The lookup result left by the last Ini_Find.
const IniResult& Ini_Result();

// Scans fileName pair by pair and leaves the first matching pair in the
// lookup result, its value deciphered (mode 0, kCryptKeyText).  A pair
// matches when its section text equals sectionText, OR its key equals
// keyText, OR its number equals number (texts compared exactly; a null text
// counts as empty).  Extraction:
//   - section: between the first and second ';' of the first line, empty
//     when the line holds fewer than two ';';
//   - number: the second line read like atoi (no digits: 0);
//   - key: between its first and second ';'; value: after the second ';' to
//     the line end; both empty when the line holds fewer than two ';'.
// A second line that ends the file without a line break counts as the end
// of the file.  The file is read line by line through the Env (Env::OpenRead:
// it never blocks and must be a regular file), at any size.
//
// Returns 0 on a match.  Returns 1403 with the cleared result (number 0,
// texts empty) when the file cannot be read or no pair matches.
int Ini_Find(const char* sectionText, const char* keyText, int32_t number,
             const char* fileName);

// Looks up "LOGIN", "PASS" and "NET8" (in this order, empty section, number
// 0) in kIniFileName and copies each deciphered value into account, password
// and service, each kIniCredentialCap bytes.  A value not found, and a value
// longer than 51 characters (it is never cut), leaves its output empty.
//
// Returns 1, 2 or 3 when the LOGIN, PASS or NET8 value (the first such) is
// longer than 51 characters; else 1403 when one was not found; else 0.
int Ini_ReadLogin(char* account, char* password, char* service);

#endif  // PPS2BDE_RUNTIME_INI_H_
