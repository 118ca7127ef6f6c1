// Fuzz target: Del_Point with any text and any output capacity.
//
// Checked: the output stays within its capacity (guard bytes behind it), is
// always terminated, and is the input without its first '.', cut to
// capacity-1 characters; a text without '.' comes out unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "db/DbDb/format.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const size_t cap = in.ConsumeIntegralInRange<size_t>(0, 600);
  const std::string raw = in.ConsumeRemainingBytesAsString();
  const std::string text(raw.c_str());  // up to the first zero byte

  std::string expected = text;
  const size_t dot = expected.find('.');
  if (dot != std::string::npos) expected.erase(dot, 1);
  if (cap > 0 && expected.size() > cap - 1) expected.resize(cap - 1);

  constexpr size_t kGuard = 16;
  std::string out(cap + kGuard, '\x5A');
  Del_Point(text.c_str(), out.data(), cap);
  for (size_t i = cap; i < out.size(); ++i) Check(out[i] == '\x5A');
  if (cap == 0) return 0;
  Check(strnlen(out.data(), cap) < cap);
  Check(std::string(out.c_str()) == expected);

  // A null text is empty; a null output is left alone.
  Del_Point(nullptr, out.data(), cap);
  Check(out[0] == '\0');
  Del_Point(text.c_str(), nullptr, cap);
  return 0;
}
