// The queue-mode arguments: the date and time of a queue batch.
#ifndef PPS2BDE_DRIVER_QUEUE_STAMP_H_
#define PPS2BDE_DRIVER_QUEUE_STAMP_H_

// Checks the two queue-mode arguments before they are used.  Returns null
// when date is a calendar date yyyymmdd (8 digits, year from 0001, month
// 01-12, a day the month has) and time a time of day HHMMSS (6 digits,
// 00-23, 00-59, 00-59); otherwise the message of the one entry that refuses
// them: "Datum oder Zeit zu lang" when either is longer than 8 or 6
// characters, else "Datum oder Zeit ungueltig".  Reads at most 9 and 7
// bytes of them.
const char* Queue_StampError(const char* date, const char* time);

#endif  // PPS2BDE_DRIVER_QUEUE_STAMP_H_
