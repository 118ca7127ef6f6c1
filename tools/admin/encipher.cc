#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/crypt.h"
#include "runtime/ini.h"
#include "tools/admin/admin.h"

int Admin_Encipher(const char* text) {
  // The job takes a value of at most 51 characters and refuses a longer one.
  if (strnlen(text, kIniCredentialCap) >= kIniCredentialCap) {
    std::fprintf(stderr,
                 "pps2bde-admin: TEXT has more than %zu characters; the job refuses such a "
                 "configuration value\n",
                 kIniCredentialCap - 1);
    return 2;
  }
  char cipher[kCryptCipherCap];
  if (Crypt_Encode(text, cipher, sizeof cipher, kCryptKeyText, 0) != 0) {
    std::fprintf(stderr, "pps2bde-admin: cannot encipher\n");
    return 1;
  }
  std::printf("%s\n", cipher);
  return 0;
}

int Admin_WriteConfig(const std::string& path, const char* login, const char* pass,
                      const char* net8) {
  const char* keys[] = {"LOGIN", "PASS", "NET8"};
  const char* values[] = {login, pass, net8};
  std::string text;
  for (int i = 0; i < 3; ++i) {
    if (strnlen(values[i], kIniCredentialCap) >= kIniCredentialCap) return EINVAL;
    char cipher[kCryptCipherCap];
    if (Crypt_Encode(values[i], cipher, sizeof cipher, kCryptKeyText, 0) != 0) return EINVAL;
    // A pair of lines: "anything;section;anything", then "number;key;value".
    text += std::string("[") + keys[i] + "];" + "Login" + ";\r\n";
    text += std::to_string(i + 1) + ";" + keys[i] + ";" + cipher + "\r\n";
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return errno;
  size_t n = std::fwrite(text.data(), 1, text.size(), f);
  int rc = (n == text.size()) ? 0 : EIO;
  if (std::fclose(f) != 0 && rc == 0) rc = errno;
  return rc;
}
