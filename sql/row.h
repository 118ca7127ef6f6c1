// One result row in a flat byte form that belongs to no engine: what a
// cursor keeps in its spool and what a single-row select holds while it
// looks for a second row.  Filling the outputs from it (UTF-8 to ISO-8859-1,
// cutting, zero-fill, NULL as "" or 0, numbers that do not fit, number/text
// conversions) lives here once, for every engine.
//
// Form: per column one type byte, then 8 bytes for an integer or a double,
// or a 4-byte length and the bytes for a text.
#ifndef PPS2BDE_SQL_ROW_H_
#define PPS2BDE_SQL_ROW_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sql/sql.h"

namespace sql {

// The longest text kept of one column: no output is wider (widths are
// 16-bit and include the terminator), so the rest could never be delivered.
constexpr size_t kMaxColumnText = 65535;

class RowWriter {
 public:
  void Clear() { buf_.clear(); }
  void AddNull();
  void AddInt(int64_t v);
  void AddDouble(double v);
  // Keeps at most kMaxColumnText bytes of p[0..n-1]; a longer text is cut
  // before a UTF-8 character, never inside one.
  void AddText(const char* p, size_t n);
  const char* data() const { return buf_.data(); }
  size_t size() const { return buf_.size(); }

 private:
  std::vector<char> buf_;
};

// Writes the columns of row[0..len-1] into outs[0..nouts-1], in order, by
// the rules of sql::Out.  Returns 0; or, with every output written, -1455
// or -1406 when a value does not fit its output (the code of the first such
// output); or -600 (nothing written) when there are more outputs than
// columns, an output has no type of its own (kTextPair) or the row is
// malformed.  Columns beyond the outputs are not delivered.
[[nodiscard]] int Row_Fill(const char* row, size_t len, const Out* outs, int nouts);

}  // namespace sql

#endif  // PPS2BDE_SQL_ROW_H_
