// Fuzz target: the configuration reader over arbitrary file bytes.
//
// The file is served by an Env whose reads hand out the fuzz input, so
// every line length, missing separator, CR without LF, zero byte and
// enciphered value that is not digits reaches Ini_Find and Ini_ReadLogin.
// Checked: nothing is read or written out of bounds (the sanitizers), every
// text of the lookup result is terminated within its field, a failed lookup
// leaves the cleared result, and the credentials stay within 51 characters.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/crypt.h"
#include "runtime/ini.h"
#include "runtime/os/env.h"
#include "runtime/os/test_env.h"

namespace {

// Serves the fuzz input as the content of every file.
class InputEnv : public ForwardingEnv {
 public:
  const uint8_t* data = nullptr;
  size_t size = 0;

  size_t at = 0;

  int OpenRead(const char*, int* fd) override {
    at = 0;
    *fd = 99;
    return 0;
  }
  int Read(int, char* buf, size_t cap, size_t* len) override {
    *len = size - at < cap ? size - at : cap;
    if (*len > 0) std::memcpy(buf, data + at, *len);
    at += *len;
    return 0;
  }
  int Close(int) override { return 0; }
};

void Check(bool ok) {
  if (!ok) std::abort();
}

template <size_t N>
bool Terminated(const Text<N>& t) {
  return strnlen(t.s, N) < N;
}

void CheckResult(int rc) {
  const IniResult& r = Ini_Result();
  Check(Terminated(r.section) && Terminated(r.key) && Terminated(r.value));
  Check(rc == 0 || rc == 1403);
  if (rc != 0) Check(r.number == 0 && r.section.empty() && r.key.empty() && r.value.empty());
  // A deciphered value never holds more characters than the cipher has words.
  if (rc == 0) Check(r.value.size() < kCryptPlainCap);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static InputEnv env;
  env.data = data;
  env.size = size;
  ScopedEnv scoped(&env);

  CheckResult(Ini_Find("", "LOGIN", 0, kIniFileName));
  CheckResult(Ini_Find("Login", "PASS", 3, kIniFileName));
  CheckResult(Ini_Find(nullptr, nullptr, -1, kIniFileName));

  // Guard bytes after each credential buffer catch a write past its end.
  char out[3][kIniCredentialCap + 8];
  std::memset(out, 0x5A, sizeof out);
  int rc = Ini_ReadLogin(out[0], out[1], out[2]);
  Check(rc >= 0 && (rc <= 3 || rc == 1403));
  for (auto& o : out) {
    Check(strnlen(o, kIniCredentialCap) < kIniCredentialCap);
    for (size_t i = kIniCredentialCap; i < sizeof o; ++i) Check(o[i] == 0x5A);
  }
  return 0;
}
