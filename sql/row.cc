#include "sql/row.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sql/charset.h"
#include "sql/errors.h"

namespace sql {
namespace {

enum ColumnType : uint8_t { kNull = 0, kInt = 1, kDouble = 2, kString = 3 };

struct Column {
  ColumnType type;
  int64_t i;
  double d;
  const char* p;
  size_t n;
};

// Reads the column at *pos; false when the row ends or is malformed.
bool ReadColumn(const char* row, size_t len, size_t* pos, Column* c) {
  if (*pos >= len) return false;
  c->type = static_cast<ColumnType>(static_cast<uint8_t>(row[(*pos)++]));
  switch (c->type) {
    case kNull:
      return true;
    case kInt:
      if (len - *pos < 8) return false;
      std::memcpy(&c->i, row + *pos, 8);
      *pos += 8;
      return true;
    case kDouble:
      if (len - *pos < 8) return false;
      std::memcpy(&c->d, row + *pos, 8);
      *pos += 8;
      return true;
    case kString: {
      uint32_t n = 0;
      if (len - *pos < 4) return false;
      std::memcpy(&n, row + *pos, 4);
      *pos += 4;
      if (n > kMaxColumnText || len - *pos < n) return false;
      c->p = row + *pos;
      c->n = n;
      *pos += n;
      return true;
    }
  }
  return false;
}

// The leading number of a text, as SQLite reads "12abc" as 12.
double TextToDouble(const char* p, size_t n) {
  char buf[64];
  if (n >= sizeof buf) n = sizeof buf - 1;
  std::memcpy(buf, p, n);
  buf[n] = '\0';
  return std::strtod(buf, nullptr);
}

double AsDouble(const Column& c) {
  switch (c.type) {
    case kInt: return static_cast<double>(c.i);
    case kDouble: return c.d;
    case kString: return TextToDouble(c.p, c.n);
    default: return 0;
  }
}

// Writes the column as a text of width bytes (terminator included): a
// fetched text decoded from UTF-8 into ISO-8859-1, a number in decimal; cut
// to width-1 characters and zero-filled.  Returns 0, or -1406 when a key
// (strict) does not fit; a key with a zero byte inside does not either (it
// would end early and name another row).
int PutText(const Column& c, char* out, size_t width, bool strict) {
  if (width == 0) return kOk;
  char num[40];
  size_t n = 0;
  size_t chars = 0;
  if (c.type == kString) {
    Charset_FromUtf8(c.p, c.n, out, width - 1, &n, &chars);
  } else if (c.type == kInt || c.type == kDouble) {
    chars = c.type == kInt
                ? std::snprintf(num, sizeof num, "%lld", static_cast<long long>(c.i))
                : std::snprintf(num, sizeof num, "%.15g", c.d);
    n = chars < width - 1 ? chars : width - 1;
    std::memcpy(out, num, n);
  }
  const bool whole = chars <= width - 1 && std::memchr(out, '\0', n) == nullptr;
  std::memset(out + n, 0, width - n);
  return strict && !whole ? kTruncated : kOk;
}

// An integer output of the range lo..hi.  A value outside it (or a number
// that is no number) does not fit: the output gets 0 and the result is
// -1455.
int PutInt(const Column& c, void* out, int64_t lo, int64_t hi) {
  int32_t v = 0;
  bool fits;
  if (c.type == kInt || c.type == kNull) {
    int64_t i = c.type == kInt ? c.i : 0;
    fits = i >= lo && i <= hi;
    if (fits) v = static_cast<int32_t>(i);
  } else {
    // Truncated toward zero, as a number column is read into an integer.
    double d = AsDouble(c);
    fits = d > static_cast<double>(lo) - 1.0 && d < static_cast<double>(hi) + 1.0;
    if (fits) v = static_cast<int32_t>(d);
  }
  std::memcpy(out, &v, sizeof v);
  return fits ? kOk : kOverflow;
}

// Writes the column into o; returns 0 or the code of a value that does not
// fit (-1455 a number, -1406 a key text).
int Put(const Column& c, const Out& o) {
  switch (o.type) {
    case kText:
    case kKey:
      return PutText(c, static_cast<char*>(o.p), o.width, o.type == kKey);
    case kI16:
      return PutInt(c, o.p, INT16_MIN, INT16_MAX);
    case kI32:
      return PutInt(c, o.p, INT32_MIN, INT32_MAX);
    case kF64: {
      double v = AsDouble(c);
      bool fits = std::isfinite(v);
      if (!fits) v = 0;
      std::memcpy(o.p, &v, sizeof v);
      return fits ? kOk : kOverflow;
    }
    case kTextPair:
      break;
  }
  return kOk;
}

void Append(std::vector<char>* buf, const void* p, size_t n) {
  const char* c = static_cast<const char*>(p);
  buf->insert(buf->end(), c, c + n);
}

}  // namespace

void RowWriter::AddNull() { buf_.push_back(static_cast<char>(kNull)); }

void RowWriter::AddInt(int64_t v) {
  buf_.push_back(static_cast<char>(kInt));
  Append(&buf_, &v, 8);
}

void RowWriter::AddDouble(double v) {
  buf_.push_back(static_cast<char>(kDouble));
  Append(&buf_, &v, 8);
}

void RowWriter::AddText(const char* p, size_t n) {
  if (p == nullptr) n = 0;
  if (n > kMaxColumnText) {
    // Back to the start of the character that would be cut (at most three
    // continuation bytes), so the text stays valid UTF-8.
    n = kMaxColumnText;
    for (int k = 0; k < 3 && (static_cast<unsigned char>(p[n]) & 0xC0) == 0x80; ++k) --n;
  }
  uint32_t n32 = static_cast<uint32_t>(n);
  buf_.push_back(static_cast<char>(kString));
  Append(&buf_, &n32, 4);
  if (n > 0) Append(&buf_, p, n);
}

int Row_Fill(const char* row, size_t len, const Out* outs, int nouts) {
  if (nouts < 0 || (nouts > 0 && outs == nullptr)) return kInternal;
  // First check every output against its column, then write: the outputs
  // are written only when the whole row can be delivered.
  size_t pos = 0;
  Column c{};
  for (int i = 0; i < nouts; ++i) {
    if (outs[i].type == kTextPair || outs[i].p == nullptr) return kInternal;
    if (!ReadColumn(row, len, &pos, &c)) return kInternal;
  }
  pos = 0;
  int status = kOk;
  for (int i = 0; i < nouts; ++i) {
    ReadColumn(row, len, &pos, &c);
    int rc = Put(c, outs[i]);
    if (status == kOk) status = rc;
  }
  return status;
}

}  // namespace sql
