// Fuzz target: the credential cipher with arbitrary texts.
//
// The input is split into a cipher text, a key text and a plain-text
// capacity.  Checked for both written forms: Crypt_Decode stays within the
// capacity it was given (guard bytes behind it), always terminates its
// output, returns 0 or -1 as documented (mode 1 refuses a character that is
// no digit-pair letter, with an empty output), and enciphering a text of at
// most kCryptMaxWords characters deciphers back to the same text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/crypt.h"

namespace {

constexpr size_t kGuard = 16;
constexpr char kGuardByte = 0x5A;

void Check(bool ok) {
  if (!ok) std::abort();
}

// Deciphers into a buffer of cap bytes followed by guard bytes and checks
// the bounds; returns the status.
int DecodeChecked(const char* cipher, const char* key, int mode, size_t cap, std::string* plain) {
  char buf[kCryptPlainCap + 8 + kGuard];
  std::memset(buf, kGuardByte, sizeof buf);
  int rc = Crypt_Decode(cipher, buf, cap, key, mode);
  for (size_t i = cap; i < sizeof buf; ++i) Check(buf[i] == kGuardByte);
  if (cap == 0) {
    Check(rc == -1);
    return rc;
  }
  Check(rc == 0 || rc == -1);
  const size_t len = strnlen(buf, cap);
  Check(len < cap);
  if (rc == -1) Check(len == 0);
  // One character per cipher word at most.
  Check(len <= static_cast<size_t>(kCryptMaxWords));
  *plain = std::string(buf, len);
  return rc;
}

bool AllPairLetters(const std::string& s) {
  const size_t n = s.size() < kCryptMaxWords * 5 / 2 ? s.size() : kCryptMaxWords * 5 / 2;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 65 || c > 164) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const size_t cap = in.ConsumeIntegralInRange<size_t>(0, kCryptPlainCap + 8);
  const std::string key = in.ConsumeRandomLengthString(16);
  const std::string cipher = in.ConsumeRemainingBytesAsString();
  // The texts as the job holds them: up to their first zero byte.
  const char* c = cipher.c_str();
  const char* k = key.c_str();

  std::string plain;
  Check(DecodeChecked(c, k, 0, cap, &plain) == (cap == 0 ? -1 : 0));
  int rc1 = DecodeChecked(c, k, 1, cap, &plain);
  if (cap > 0) Check((rc1 == 0) == AllPairLetters(std::string(c)));
  Check(Crypt_Decode(c, nullptr, cap, k, 0) == -1);

  // Round trip: a plain text (no zero byte) enciphered in either form
  // deciphers to itself when the output holds it whole.
  std::string text(c, strnlen(c, kCryptMaxWords));
  for (int mode = 0; mode <= 1; ++mode) {
    char enc[kCryptCipherCap];
    Check(Crypt_Encode(text.c_str(), enc, sizeof enc, k, mode) == 0);
    Check(strnlen(enc, sizeof enc) < sizeof enc);
    std::string back;
    Check(DecodeChecked(enc, k, mode, kCryptPlainCap, &back) == 0);
    Check(back == text);
  }
  return 0;
}
