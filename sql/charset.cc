#include "sql/charset.h"

#include <cstdint>
#include <cstring>

namespace sql {
namespace {

// Length of the UTF-8 sequence at p[0..n-1] and its code point; 0 when the
// bytes there are not a valid sequence.
size_t Sequence(const unsigned char* p, size_t n, uint32_t* cp) {
  const unsigned char b = p[0];
  if (b < 0x80) {
    *cp = b;
    return 1;
  }
  size_t len;
  uint32_t v;
  uint32_t least;  // the smallest code point this length may carry
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2, v = b & 0x1F, least = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3, v = b & 0x0F, least = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4, v = b & 0x07, least = 0x10000;
  } else {
    return 0;  // a continuation byte, C0/C1 (overlong) or F5..FF
  }
  if (n < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    v = (v << 6) | (p[i] & 0x3F);
  }
  if (v < least || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  *cp = v;
  return len;
}

bool IsUtf8(const unsigned char* p, size_t n) {
  uint32_t cp;
  for (size_t i = 0; i < n;) {
    size_t len = Sequence(p + i, n - i, &cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

}  // namespace

bool Charset_IsAscii(const char* p, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
  return true;
}

size_t Charset_ToUtf8(const char* in, size_t n, char* out, size_t cap) {
  size_t o = 0;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
      if (o + 1 > cap) break;
      out[o++] = static_cast<char>(c);
    } else {
      if (o + 2 > cap) break;
      out[o++] = static_cast<char>(0xC0 | (c >> 6));
      out[o++] = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return o;
}

void Charset_FromUtf8(const char* in, size_t n, char* out, size_t cap,
                      size_t* written, size_t* chars) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(in);
  if (Charset_IsAscii(in, n) || !IsUtf8(p, n)) {
    // The same bytes in both character sets, or no UTF-8 at all.
    *written = n < cap ? n : cap;
    if (*written > 0) std::memcpy(out, in, *written);
    *chars = n;
    return;
  }
  size_t o = 0;
  size_t count = 0;
  uint32_t cp = 0;
  for (size_t i = 0; i < n; ++count) {
    i += Sequence(p + i, n - i, &cp);  // valid: checked above
    if (o < cap) out[o++] = cp <= 0xFF ? static_cast<char>(cp) : '?';
  }
  *written = o;
  *chars = count;
}

}  // namespace sql
