#include "runtime/ini.h"

#include <cstring>
#include <memory>
#include <new>

#include "runtime/crypt.h"
#include "runtime/os/env.h"

namespace {

IniResult g_result;

// The bytes of the file, read line by line.
struct LineReader {
  const char* data;
  size_t len;
  size_t pos;
};

// Reads the next physical line into out[cap]: at most cap-2 characters (the
// line end and the terminator take the rest of the buffer); the rest of a
// longer line is skipped.  LF ends a line, and a CR right before the LF
// belongs to the line end.  *ended tells whether the line had its LF.
// Returns false at the end of the file (no byte left).
bool ReadLine(LineReader* r, char* out, size_t cap, bool* ended) {
  if (r->pos >= r->len) return false;
  const char* start = r->data + r->pos;
  const size_t rest = r->len - r->pos;
  const void* lf = std::memchr(start, '\n', rest);
  size_t lineLen = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : rest;
  *ended = lf != nullptr;
  r->pos += lineLen + (lf ? 1 : 0);
  if (lf && lineLen > 0 && start[lineLen - 1] == '\r') --lineLen;
  const size_t keep = lineLen < cap - 2 ? lineLen : cap - 2;
  std::memcpy(out, start, keep);
  out[keep] = '\0';
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

}  // namespace

const IniResult& Ini_Result() { return g_result; }

int Ini_Find(const char* sectionText, const char* keyText, int32_t number,
             const char* fileName) {
  ClearResult();
  if (fileName == nullptr) return 1403;
  std::unique_ptr<char[]> file(new (std::nothrow) char[kIniFileCap]);
  if (!file) return 1403;
  size_t fileLen = 0;
  if (Env_Get()->ReadFile(fileName, file.get(), kIniFileCap, &fileLen) != 0)
    return 1403;
  if (fileLen > kIniFileCap) fileLen = kIniFileCap;

  LineReader reader{file.get(), fileLen, 0};
  char first[kIniFirstLineCap];
  char second[kIniSecondLineCap];
  for (;;) {
    bool ended = false;
    if (!ReadLine(&reader, first, sizeof first, &ended)) return 1403;
    // A second line that ends the file without its line break counts as
    // the end of the file.
    if (!ReadLine(&reader, second, sizeof second, &ended) || !ended) return 1403;

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

int Ini_ReadLogin(char* account, char* password, char* service) {
  const char* keys[3] = {"LOGIN", "PASS", "NET8"};
  char* outs[3] = {account, password, service};
  int status = 0;
  for (int i = 0; i < 3; ++i) {
    if (Ini_Find("", keys[i], 0, kIniFileName) != 0) status = 1403;
    Text_Copy(outs[i], kIniCredentialCap, g_result.value.c_str());
  }
  return status;
}
