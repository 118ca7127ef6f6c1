// Binds and outputs built from a record's column description.
#include "sql/record.h"

#include <cstring>

namespace sql {

void BindsOf(const void* rec, const Field* fields, const uint8_t* list, int n,
             Bind* binds) {
  const char* base = static_cast<const char*>(rec);
  for (int i = 0; i < n; ++i) {
    const Field& f = fields[list[i]];
    // A key binds as the text it is.
    binds[i] = Bind{f.type == kKey ? kText : f.type, base + f.offset, f.width,
                    f.type == kTextPair ? base + f.offset2 : nullptr,
                    f.type == kTextPair ? f.width2 : uint16_t{0}};
  }
}

void OutsOf(void* rec, const Field* fields, const uint8_t* list, int n,
            Out* outs) {
  char* base = static_cast<char*>(rec);
  // A kTextPair field keeps its type: the fetch refuses it (-600), so the
  // mistake shows at once instead of filling only the date part.
  for (int i = 0; i < n; ++i) {
    const Field& f = fields[list[i]];
    outs[i] = Out{f.type, base + f.offset, f.width};
  }
}

void MarkKeys(const uint8_t* list, int n, const uint8_t* keys, int nkeys,
              Out* outs) {
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < nkeys; ++k)
      if (list[i] == keys[k] && outs[i].type == kText) outs[i].type = kKey;
}

void ClearFields(void* rec, const Field* fields, int nfields,
                 const uint8_t* keep, int nkeep) {
  char* base = static_cast<char*>(rec);
  for (int i = 0; i < nfields; ++i) {
    bool kept = false;
    for (int k = 0; k < nkeep && !kept; ++k) kept = keep[k] == i;
    if (kept) continue;
    const Field& f = fields[i];
    // Zero bytes are an empty text, integer 0 and double 0.0 alike.
    std::memset(base + f.offset, 0, f.width);
    if (f.type == kTextPair) std::memset(base + f.offset2, 0, f.width2);
  }
}

}  // namespace sql
