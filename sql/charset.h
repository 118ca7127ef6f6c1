// Texts at the database boundary: the database holds UTF-8, the job works in
// ISO-8859-1 (one byte a character, as the terminals' lines and the message
// log).  Bound texts are encoded on the way in, fetched texts decoded on the
// way out.
#ifndef PPS2BDE_SQL_CHARSET_H_
#define PPS2BDE_SQL_CHARSET_H_

#include <cstddef>

namespace sql {

// True when p[0..n-1] holds no byte above 0x7F (the text reads the same in
// both character sets).
bool Charset_IsAscii(const char* p, size_t n);

// Writes the ISO-8859-1 text in[0..n-1] as UTF-8 into out[0..cap-1] and
// returns the bytes written.  Stops before a character that would not fit
// whole, so the result never ends in half a character; cap >= 2n always
// takes the whole text.  No terminator is written.
size_t Charset_ToUtf8(const char* in, size_t n, char* out, size_t cap);

// Decodes the UTF-8 text in[0..n-1] into ISO-8859-1: a character above
// U+00FF becomes '?'.  Writes at most cap bytes into out (no terminator) and
// sets *written to them; *chars gets the length of the whole decoded text,
// so a caller sees whether it was cut.  A text that is not valid UTF-8
// (a stray continuation byte, a cut or overlong sequence, a surrogate, a
// value above U+10FFFF) is taken byte for byte.
void Charset_FromUtf8(const char* in, size_t n, char* out, size_t cap,
                      size_t* written, size_t* chars);

}  // namespace sql

#endif  // PPS2BDE_SQL_CHARSET_H_
