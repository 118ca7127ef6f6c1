// The status of a failure that its function has already logged.
//
// Database calls return the database's codes (negative, 1403, ...) and
// leave the logging to the caller; file operations of the download log
// their own failure with the system's message and return kLogged, so the
// caller knows that nothing is left to log and that the value is no
// database code.
#ifndef PPS2BDE_RUNTIME_LOGGED_H_
#define PPS2BDE_RUNTIME_LOGGED_H_

// A failure logged where it happened.
constexpr int kLogged = -1;

#endif  // PPS2BDE_RUNTIME_LOGGED_H_
