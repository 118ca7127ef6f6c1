// Argument texts of the statement functions, bounded before they are bound.
#ifndef PPS2BDE_DB_DBSTD_ARG_TEXT_H_
#define PPS2BDE_DB_DBSTD_ARG_TEXT_H_

#include <cstddef>
#include <cstring>

#include "base/text.h"

// Copies arg into the bind field when it fits (at most N-1 characters).  A
// longer text names no row of a column that narrow, and cut to fit it could
// name another one, so it leaves the field empty: bound as NULL it matches
// nothing.  A null arg is empty too.  Returns false when arg did not fit.
template <size_t N>
[[nodiscard]] inline bool ArgText_Set(Text<N>& field, const char* arg) {
  if (arg != nullptr && strnlen(arg, N) >= N) {
    field.Clear();
    return false;
  }
  field = arg;
  return true;
}

// ArgText_Set for an argument that only selects rows: one that does not fit
// is bound as NULL and selects nothing, which is the answer the caller
// wants, so whether it fitted is not asked.
template <size_t N>
inline void ArgText_Bound(Text<N>& field, const char* arg) {
  (void)ArgText_Set(field, arg);
}

#endif  // PPS2BDE_DB_DBSTD_ARG_TEXT_H_
