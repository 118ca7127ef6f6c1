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
