#include "runtime/crypt.h"

#include <cstring>

namespace {

constexpr uint32_t kMulModulus = 65537;  // 2^16 + 1, a prime
constexpr size_t kDigitsPerWord = 5;
constexpr size_t kMaxDigits = kCryptMaxWords * kDigitsPerWord;

// Multiplication modulo 65537 on 16-bit words, the word 0 standing for 65536.
uint16_t Mul(uint16_t a, uint16_t b) {
  uint64_t x = a == 0 ? 65536u : a;
  uint64_t y = b == 0 ? 65536u : b;
  uint64_t r = (x * y) % kMulModulus;
  return static_cast<uint16_t>(r == 65536u ? 0 : r);  // 65536 is written 0
}

// The multiplicative inverse modulo 65537 (0, i.e. 65536, is its own
// inverse), as x^(p-2) mod p.
uint16_t MulInverse(uint16_t a) {
  uint64_t base = a == 0 ? 65536u : a;
  uint64_t result = 1;
  for (uint32_t e = kMulModulus - 2; e != 0; e >>= 1) {
    if (e & 1) result = (result * base) % kMulModulus;
    base = (base * base) % kMulModulus;
  }
  return static_cast<uint16_t>(result == 65536u ? 0 : result);
}

uint16_t AddInverse(uint16_t a) { return static_cast<uint16_t>(0u - a); }

// The key words of keyText: codes of its first eight characters, zero words
// after its terminator.
void KeyWords(const char* keyText, uint16_t key[8]) {
  size_t i = 0;
  for (; i < 8 && keyText[i] != '\0'; ++i)
    key[i] = static_cast<unsigned char>(keyText[i]);
  for (; i < 8; ++i) key[i] = 0;
}

// atoi on the five characters at p: leading blanks, a sign, digits.  The
// value is cut to 16 bits as the word it stands for.
uint16_t GroupWord(const char* p) {
  size_t i = 0;
  while (i < kDigitsPerWord && (p[i] == ' ' || (p[i] >= '\t' && p[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < kDigitsPerWord && (p[i] == '-' || p[i] == '+')) negative = p[i++] == '-';
  int32_t value = 0;
  for (; i < kDigitsPerWord && p[i] >= '0' && p[i] <= '9'; ++i)
    value = value * 10 + (p[i] - '0');
  return static_cast<uint16_t>(negative ? -value : value);
}

// Deciphers the digit form digits[len] (len <= kMaxDigits) into
// plainOut[plainCap] (plainCap > 0).
void DecodeDigits(const char* digits, size_t len, char* plainOut, size_t plainCap,
                  const char* keyText) {
  uint16_t words[kCryptMaxWords] = {};
  const size_t n = len / kDigitsPerWord;
  for (size_t w = 0; w < n; ++w) words[w] = GroupWord(digits + w * kDigitsPerWord);

  uint16_t key[8], encrypt[52], decrypt[52];
  KeyWords(keyText, key);
  Idea_ExpandKey(key, encrypt);
  Idea_InvertKey(encrypt, decrypt);
  for (size_t b = 0; b < n; b += 4) Idea_Block(words + b, words + b, decrypt);

  size_t out = 0;
  for (size_t w = 0; w < n && out + 1 < plainCap; ++w) {
    const char c = static_cast<char>(words[w] & 0xFF);
    if (c == '\0') break;
    plainOut[out++] = c;
  }
  plainOut[out] = '\0';
}

bool IsPairLetter(unsigned char c) { return c >= 65 && c <= 65 + 99; }

}  // namespace

void Idea_ExpandKey(const uint16_t key[8], uint16_t subkeys[52]) {
  // The 128-bit key as two halves, rotated left by 25 bits after every eight
  // subkeys.
  uint64_t hi = 0, lo = 0;
  for (int i = 0; i < 4; ++i) hi = (hi << 16) | key[i];
  for (int i = 4; i < 8; ++i) lo = (lo << 16) | key[i];
  for (int k = 0; k < 52; ++k) {
    const int j = k % 8;
    if (k > 0 && j == 0) {
      const uint64_t nhi = (hi << 25) | (lo >> 39);
      const uint64_t nlo = (lo << 25) | (hi >> 39);
      hi = nhi;
      lo = nlo;
    }
    const uint64_t half = j < 4 ? hi : lo;
    subkeys[k] = static_cast<uint16_t>(half >> (48 - 16 * (j % 4)));
  }
}

void Idea_InvertKey(const uint16_t e[52], uint16_t d[52]) {
  // Round r of deciphering undoes round 8-r of enciphering; the two additive
  // subkeys swap places in the inner rounds because enciphering swaps the
  // middle words after every round but the last.
  for (int r = 0; r <= 8; ++r) {
    const int src = 48 - 6 * r;  // the enciphering round's first subkey
    const bool outer = r == 0 || r == 8;
    d[6 * r + 0] = MulInverse(e[src + 0]);
    d[6 * r + 1] = AddInverse(e[src + (outer ? 1 : 2)]);
    d[6 * r + 2] = AddInverse(e[src + (outer ? 2 : 1)]);
    d[6 * r + 3] = MulInverse(e[src + 3]);
    if (r < 8) {
      d[6 * r + 4] = e[src - 2];
      d[6 * r + 5] = e[src - 1];
    }
  }
}

void Idea_Block(const uint16_t in[4], uint16_t out[4], const uint16_t z[52]) {
  uint16_t x1 = in[0], x2 = in[1], x3 = in[2], x4 = in[3];
  for (int r = 0; r < 8; ++r, z += 6) {
    x1 = Mul(x1, z[0]);
    x2 = static_cast<uint16_t>(x2 + z[1]);
    x3 = static_cast<uint16_t>(x3 + z[2]);
    x4 = Mul(x4, z[3]);
    uint16_t t2 = Mul(static_cast<uint16_t>(x1 ^ x3), z[4]);
    const uint16_t t1 = Mul(static_cast<uint16_t>(t2 + (x2 ^ x4)), z[5]);
    t2 = static_cast<uint16_t>(t1 + t2);
    x1 ^= t1;
    x4 ^= t2;
    t2 ^= x2;
    x2 = x3 ^ t1;
    x3 = t2;
  }
  // Output transformation; it undoes the swap of the middle words of the
  // last round.
  out[0] = Mul(x1, z[0]);
  out[1] = static_cast<uint16_t>(x3 + z[1]);
  out[2] = static_cast<uint16_t>(x2 + z[2]);
  out[3] = Mul(x4, z[3]);
}

int Crypt_Decode(const char* cipherText, char* plainOut, size_t plainCap,
                 const char* keyText, int mode) {
  if (plainOut == nullptr || plainCap == 0) return -1;
  plainOut[0] = '\0';
  if (cipherText == nullptr || keyText == nullptr) return -1;
  if (mode == 0) {
    DecodeDigits(cipherText, strnlen(cipherText, kMaxDigits), plainOut, plainCap,
                 keyText);
    return 0;
  }
  if (mode != 1) return -1;
  // Each letter stands for two digits; only the letters within the limit
  // are read.
  char digits[kMaxDigits];
  const size_t letters = strnlen(cipherText, kMaxDigits / 2);
  for (size_t i = 0; i < letters; ++i) {
    const unsigned char c = static_cast<unsigned char>(cipherText[i]);
    if (!IsPairLetter(c)) return -1;
    digits[2 * i] = static_cast<char>('0' + (c - 65) / 10);
    digits[2 * i + 1] = static_cast<char>('0' + (c - 65) % 10);
  }
  DecodeDigits(digits, 2 * letters, plainOut, plainCap, keyText);
  return 0;
}

int Crypt_Encode(const char* plainText, char* cipherOut, size_t cipherCap,
                 const char* keyText, int mode) {
  if (cipherOut == nullptr || cipherCap == 0) return -1;
  cipherOut[0] = '\0';
  if (plainText == nullptr || keyText == nullptr || (mode != 0 && mode != 1))
    return -1;
  const size_t len = strnlen(plainText, kCryptMaxWords + 1);
  if (len > static_cast<size_t>(kCryptMaxWords)) return -1;
  const size_t words = (len + 3) / 4 * 4;
  const size_t digits = words * kDigitsPerWord;
  const size_t need = (mode == 0 ? digits : digits / 2) + 1;
  if (need > cipherCap) return -1;

  uint16_t w[kCryptMaxWords] = {};
  for (size_t i = 0; i < len; ++i) w[i] = static_cast<unsigned char>(plainText[i]);
  uint16_t key[8], encrypt[52];
  KeyWords(keyText, key);
  Idea_ExpandKey(key, encrypt);
  for (size_t b = 0; b < words; b += 4) Idea_Block(w + b, w + b, encrypt);

  char text[kMaxDigits + 1];
  for (size_t i = 0; i < words; ++i) {
    uint32_t v = w[i];
    for (int d = kDigitsPerWord - 1; d >= 0; --d) {
      text[i * kDigitsPerWord + d] = static_cast<char>('0' + v % 10);
      v /= 10;
    }
  }
  if (mode == 0) {
    std::memcpy(cipherOut, text, digits);
    cipherOut[digits] = '\0';
    return 0;
  }
  // digits is a multiple of 20, so every digit has its partner.
  for (size_t i = 0; i < digits / 2; ++i)
    cipherOut[i] = static_cast<char>(65 + (text[2 * i] - '0') * 10 + (text[2 * i + 1] - '0'));
  cipherOut[digits / 2] = '\0';
  return 0;
}
