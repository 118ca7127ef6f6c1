#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/crypt.h"
#include "tools/admin/admin.h"

int Admin_Encipher(const char* text) {
  if (std::strlen(text) > static_cast<size_t>(kCryptMaxWords)) {
    std::fprintf(stderr, "pps2bde-admin: text longer than %d characters\n", kCryptMaxWords);
    return 1;
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
