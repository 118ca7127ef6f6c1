// The values of a statement as the engine takes them: texts in UTF-8.
#ifndef PPS2BDE_SQL_BIND_ENCODER_H_
#define PPS2BDE_SQL_BIND_ENCODER_H_

#include <vector>

#include "sql/sql.h"

namespace sql {

// Encodes the ISO-8859-1 texts of a bind list in UTF-8.  Its scratch space
// grows to the largest list seen and is reused, so a call allocates
// nothing once the session's statements have run.
class BindEncoder {
 public:
  // Returns binds itself when every text is plain ASCII and none is a kKey;
  // otherwise a copy, valid until the next call, whose kKey values are kText
  // and whose other texts point at their UTF-8 form (a text longer than a
  // bind can carry is cut before a character).  nbinds <= 0 or null binds
  // are returned as they are.
  const Bind* Encode(const Bind* binds, int nbinds);

 private:
  std::vector<Bind> binds_;
  std::vector<char> text_;
};

}  // namespace sql

#endif  // PPS2BDE_SQL_BIND_ENCODER_H_
