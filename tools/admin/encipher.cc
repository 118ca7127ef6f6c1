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
