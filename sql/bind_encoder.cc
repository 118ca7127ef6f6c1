#include "sql/bind_encoder.h"

#include <cstdint>
#include <cstring>

#include "sql/charset.h"

namespace sql {
namespace {

// The longest UTF-8 text one bind carries: its width is 16-bit and counts
// the terminator.
constexpr size_t kMaxEncoded = UINT16_MAX - 1;

// Bytes of scratch space the text at p needs, 0 when it is ASCII.
size_t Need(const void* p, uint16_t width) {
  size_t n = BoundTextLength(p, width);
  return Charset_IsAscii(static_cast<const char*>(p), n) ? 0 : 2 * n + 1;
}

}  // namespace

const Bind* BindEncoder::Encode(const Bind* binds, int nbinds) {
  if (binds == nullptr || nbinds <= 0) return binds;
  bool copy = false;
  size_t total = 0;
  for (int i = 0; i < nbinds; ++i) {
    const Bind& b = binds[i];
    if (b.type != kText && b.type != kKey && b.type != kTextPair) continue;
    size_t need = Need(b.p, b.width) + (b.type == kTextPair ? Need(b.p2, b.width2) : 0);
    total += need;
    copy = copy || need > 0 || b.type == kKey;
  }
  if (!copy) return binds;
  if (text_.size() < total) text_.resize(total);
  binds_.assign(binds, binds + nbinds);
  char* out = text_.data();
  // Points p/width at the UTF-8 form of the text, unless it is ASCII.
  auto encode = [&out](const void*& p, uint16_t& width) {
    size_t n = BoundTextLength(p, width);
    const char* in = static_cast<const char*>(p);
    if (Charset_IsAscii(in, n)) return;
    size_t cap = 2 * n < kMaxEncoded ? 2 * n : kMaxEncoded;
    size_t len = Charset_ToUtf8(in, n, out, cap);
    out[len] = '\0';
    p = out;
    width = static_cast<uint16_t>(len + 1);
    out += len + 1;
  };
  for (Bind& b : binds_) {
    if (b.type == kKey) b.type = kText;
    if (b.type == kText || b.type == kTextPair) encode(b.p, b.width);
    if (b.type == kTextPair) encode(b.p2, b.width2);
  }
  return binds_.data();
}

}  // namespace sql
