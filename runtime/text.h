// Fixed-capacity, zero-terminated text fields.
//
// Every text column of a record is a Text<N>: N bytes including the
// terminator, so it holds at most N-1 characters.  Assignment cuts the value
// to fit, never writes past the field, and always leaves a terminator.  The
// bytes after the terminator are kept zero by Set/Clear so that two fields
// with equal text are equal byte for byte as well.
#ifndef PPS2BDE_RUNTIME_TEXT_H_
#define PPS2BDE_RUNTIME_TEXT_H_

#include <cstddef>
#include <cstring>

template <size_t N>
struct Text {
  static_assert(N >= 1, "a text field needs room for its terminator");
  static constexpr size_t kWidth = N;  // bytes, terminator included

  char s[N] = {};

  // Copies at most N-1 bytes of v (up to its terminator); null means empty.
  void Set(const char* v) {
    size_t n = 0;
    if (v != nullptr) {
      while (n < N - 1 && v[n] != '\0') ++n;
      std::memcpy(s, v, n);
    }
    std::memset(s + n, 0, N - n);
  }
  // Copies at most min(len, N-1) bytes of v, stopping early at a zero byte.
  void SetN(const char* v, size_t len) {
    size_t n = 0;
    if (v != nullptr) {
      while (n < len && n < N - 1 && v[n] != '\0') ++n;
      std::memcpy(s, v, n);
    }
    std::memset(s + n, 0, N - n);
  }
  template <size_t M>
  void Set(const Text<M>& v) { SetN(v.s, M); }

  Text& operator=(const char* v) { Set(v); return *this; }

  void Clear() { std::memset(s, 0, N); }
  const char* c_str() const { return s; }
  char* data() { return s; }
  size_t size() const { return strnlen(s, N); }
  bool empty() const { return s[0] == '\0'; }

  // Compares as zero-terminated texts, byte for byte.
  bool operator==(const char* v) const {
    return std::strncmp(s, v == nullptr ? "" : v, N) == 0 &&
           (v == nullptr || strnlen(v, N) < N);
  }
  bool operator!=(const char* v) const { return !(*this == v); }
  template <size_t M>
  bool operator==(const Text<M>& v) const {
    return std::strcmp(s, v.s) == 0;
  }
};

// Copies src into dst[0..cap-1] with a terminator; returns the length copied.
// A null or zero-capacity destination copies nothing.
inline size_t Text_Copy(char* dst, size_t cap, const char* src) {
  if (dst == nullptr || cap == 0) return 0;
  size_t n = 0;
  if (src != nullptr)
    while (n + 1 < cap && src[n] != '\0') ++n;
  if (n) std::memcpy(dst, src, n);
  dst[n] = '\0';
  return n;
}

// True for a control byte: 0x00-0x1F and 0x7F.
inline bool Text_IsControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// Turns every control byte of p[0..n-1] into a blank: a value placed into a
// download line or a log entry must not bring its own line ends.
inline void Text_Blank(char* p, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (Text_IsControl(p[i])) p[i] = ' ';
}

#endif  // PPS2BDE_RUNTIME_TEXT_H_
