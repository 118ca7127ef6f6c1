// The time-stamp key that binds a date text and a time text as one value.
#ifndef PPS2BDE_DB_DBDNL_STAMP_KEY_H_
#define PPS2BDE_DB_DBDNL_STAMP_KEY_H_

// Writes date right-justified in 8 characters followed by time right-
// justified in 6 ("%8s%6s", blanks on the left of a shorter value) into the
// cleared 15-byte buffer out: yyyymmddHHMMSS for well-formed input.  Longer
// values are cut to 8 and 6 characters.  Null texts count as empty.
void Dnl_StampKey(const char* date, const char* time, char out[15]);

#endif  // PPS2BDE_DB_DBDNL_STAMP_KEY_H_
