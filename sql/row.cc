#include "sql/row.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// A double as an integer, truncated toward zero and held within range.
int64_t DoubleToInt(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 9.2e18) return INT64_MAX;
  if (d <= -9.2e18) return INT64_MIN;
  return static_cast<int64_t>(d);
}

// The leading number of a text, as SQLite reads "12abc" as 12.
double TextToDouble(const char* p, size_t n) {
  char buf[64];
  if (n >= sizeof buf) n = sizeof buf - 1;
  std::memcpy(buf, p, n);
  buf[n] = '\0';
  return std::strtod(buf, nullptr);
}

int64_t AsInt(const Column& c) {
  switch (c.type) {
    case kInt: return c.i;
    case kDouble: return DoubleToInt(c.d);
    case kString: return DoubleToInt(TextToDouble(c.p, c.n));
    default: return 0;
  }
}

double AsDouble(const Column& c) {
  switch (c.type) {
    case kInt: return static_cast<double>(c.i);
    case kDouble: return c.d;
    case kString: return TextToDouble(c.p, c.n);
    default: return 0;
  }
}

void PutText(const Column& c, char* out, size_t width) {
  if (width == 0) return;
  char num[40];
  const char* p = "";
  size_t n = 0;
  if (c.type == kString) {
    p = c.p;
    n = c.n;
  } else if (c.type == kInt) {
    n = std::snprintf(num, sizeof num, "%lld", static_cast<long long>(c.i));
    p = num;
  } else if (c.type == kDouble) {
    n = std::snprintf(num, sizeof num, "%.15g", c.d);
    p = num;
  }
  if (n > width - 1) n = width - 1;
  if (n > 0) std::memcpy(out, p, n);
  std::memset(out + n, 0, width - n);
}

void Put(const Column& c, const Out& o) {
  switch (o.type) {
    case kText:
      PutText(c, static_cast<char*>(o.p), o.width);
      break;
    case kI16: {
      // Cut to the low 16 bits and widened with the sign.
      int32_t v = static_cast<int16_t>(static_cast<uint16_t>(AsInt(c) & 0xFFFF));
      std::memcpy(o.p, &v, sizeof v);
      break;
    }
    case kI32: {
      int32_t v = static_cast<int32_t>(static_cast<uint32_t>(AsInt(c) & 0xFFFFFFFF));
      std::memcpy(o.p, &v, sizeof v);
      break;
    }
    case kF64: {
      double v = AsDouble(c);
      std::memcpy(o.p, &v, sizeof v);
      break;
    }
    case kTextPair:
      break;
  }
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
  if (n > kMaxColumnText) n = kMaxColumnText;
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
  for (int i = 0; i < nouts; ++i) {
    ReadColumn(row, len, &pos, &c);
    Put(c, outs[i]);
  }
  return kOk;
}

}  // namespace sql
