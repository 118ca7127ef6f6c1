// Holding back log entries while the job holds the database's write lock.
//
// Writing an entry may wait (333 ms at a time while another process holds
// the log), and nothing that waits may happen inside a unit of work: the
// planning system cannot write while the unit holds the lock.  Between
// Msg_Hold and Msg_Release every entry is kept in memory, in order, and
// Msg_Release writes them.
#ifndef PPS2BDE_RUNTIME_MSG_HOLD_H_
#define PPS2BDE_RUNTIME_MSG_HOLD_H_

#include "runtime/msg.h"

// From now on entries are kept instead of written.  Holds nest.
void Msg_Hold();
// Ends one hold; when the last one ends, writes the kept entries in the
// order they were made.
void Msg_Release();
// For Msg_Write: keeps rec when a hold is in force and returns true.
bool Msg_Keep(const MsgRecord& rec);

#endif  // PPS2BDE_RUNTIME_MSG_HOLD_H_
