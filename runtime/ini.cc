#include "runtime/ini.h"

#include <cstring>
#include <memory>
#include <new>

#include "runtime/crypt.h"
#include "runtime/os/env.h"
#include "runtime/text.h"

namespace {

IniResult g_result;

// The file, read line by line through the Env in chunks, so a file of any
// size is read with a fixed buffer.
struct LineReader {
  Env* env = nullptr;
  int fd = -1;
  char chunk[4096];
  size_t len = 0;
  size_t pos = 0;
  bool end = false;  // the end of the file (or a read error) was met

  // The next byte, or -1 at the end of the file.
  int Next() {
    if (pos == len) {
      if (end) return -1;
      size_t got = 0;
      if (env->Read(fd, chunk, sizeof chunk, &got) != 0 || got == 0) {
        end = true;
        return -1;
      }
      len = got;
      pos = 0;
    }
    return static_cast<unsigned char>(chunk[pos++]);
  }
};

// Reads the next physical line into out[cap]: at most cap-2 characters (the
// line end and the terminator take the rest of the buffer); the rest of a
// longer line is skipped.  LF ends a line, and a CR right before the LF
// belongs to the line end.  *ended tells whether the line had its LF.
// Returns false at the end of the file (no byte left).
bool ReadLine(LineReader* r, char* out, size_t cap, bool* ended) {
  int c = r->Next();
  if (c < 0) return false;
  size_t lineLen = 0;  // bytes of the line before its LF
  int last = -1;
  *ended = false;
  for (; c >= 0; c = r->Next()) {
    if (c == '\n') {
      *ended = true;
      break;
    }
    if (lineLen < cap - 2) out[lineLen] = static_cast<char>(c);
    ++lineLen;
    last = c;
  }
  if (*ended && last == '\r') --lineLen;
  out[lineLen < cap - 2 ? lineLen : cap - 2] = '\0';
  return true;
}

// The text between the first and second ';' of line, and where the text
// after the second ';' starts.  False when line holds fewer than two ';'.
bool Fields(const char* line, const char** between, size_t* betweenLen,
            const char** after) {
  const char* first = std::strchr(line, ';');
  if (first == nullptr) return false;
  const char* second = std::strchr(first + 1, ';');
  if (second == nullptr) return false;
  *between = first + 1;
  *betweenLen = static_cast<size_t>(second - first - 1);
  *after = second + 1;
  return true;
}

// atoi: leading white space, a sign, digits; saturates instead of
// overflowing.
int32_t LeadingNumber(const char* s) {
  while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
  bool negative = false;
  if (*s == '-' || *s == '+') negative = *s++ == '-';
  int64_t value = 0;
  for (; *s >= '0' && *s <= '9'; ++s) {
    value = value * 10 + (*s - '0');
    if (value > INT32_MAX) {
      value = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
      break;
    }
  }
  return static_cast<int32_t>(negative ? -value : value);
}

void ClearResult() {
  g_result.number = 0;
  g_result.section.Clear();
  g_result.key.Clear();
  g_result.value.Clear();
}

bool SameText(const char* a, const char* b) {
  return std::strcmp(a, b == nullptr ? "" : b) == 0;
}

// Reads pair by pair and leaves the first matching pair in the result.
int ScanPairs(LineReader* reader, const char* sectionText, const char* keyText,
              int32_t number) {
  char first[kIniFirstLineCap];
  char second[kIniSecondLineCap];
  for (;;) {
    bool ended = false;
    if (!ReadLine(reader, first, sizeof first, &ended)) return 1403;
    // A second line that ends the file without its line break counts as
    // the end of the file.
    if (!ReadLine(reader, second, sizeof second, &ended) || !ended) return 1403;

    const char* between;
    size_t betweenLen;
    const char* after;
    if (Fields(first, &between, &betweenLen, &after))
      g_result.section.SetN(between, betweenLen);
    g_result.number = LeadingNumber(second);
    if (Fields(second, &between, &betweenLen, &after)) {
      g_result.key.SetN(between, betweenLen);
      g_result.value.Set(after);
    }

    if (SameText(g_result.section.c_str(), sectionText) ||
        SameText(g_result.key.c_str(), keyText) || g_result.number == number) {
      char plain[kCryptPlainCap];
      Crypt_Decode(g_result.value.c_str(), plain, sizeof plain, kCryptKeyText, 0);
      g_result.value.Set(plain);
      return 0;
    }
    ClearResult();
  }
}

}  // namespace

const IniResult& Ini_Result() { return g_result; }

int Ini_Find(const char* sectionText, const char* keyText, int32_t number,
             const char* fileName) {
  ClearResult();
  if (fileName == nullptr) return 1403;
  Env* env = Env_Get();
  int fd = -1;
  if (env->OpenRead(fileName, &fd) != 0) return 1403;
  LineReader reader;
  reader.env = env;
  reader.fd = fd;
  int rc = ScanPairs(&reader, sectionText, keyText, number);
  env->Close(fd);
  return rc;
}

int Ini_ReadLogin(char* account, char* password, char* service) {
  const char* keys[3] = {"LOGIN", "PASS", "NET8"};
  char* outs[3] = {account, password, service};
  int status = 0;
  int overlong = 0;
  for (int i = 0; i < 3; ++i) {
    if (Ini_Find("", keys[i], 0, kIniFileName) != 0) status = 1403;
    // A value that does not fit is never cut: cut, it could name another
    // database or account.
    if (g_result.value.size() >= kIniCredentialCap) {
      outs[i][0] = '\0';
      if (overlong == 0) overlong = i + 1;
      continue;
    }
    Text_Copy(outs[i], kIniCredentialCap, g_result.value.c_str());
  }
  return overlong != 0 ? overlong : status;
}
