// The record, table and append locks with their waits (REC_LOCK, FIL_LOCK,
// ADD_REC): one attempt, then one more every half second while the seconds
// last, with a centred notice on the bottom row; Esc ends the wait at once.
// Giving up leaves a notice saying the data will not be written (the caller
// skips its write); success after a wait clears the bottom row.
//
// Each works on the current work area, or on the area given.  An empty area
// (a reference table that was missing) fails at once.
#pragma once

#include <string_view>

#include "platform/value.h"

namespace kx {

class Area;
class Session;

// REC_LOCK: locks the current record; `seconds` default 2.
bool rec_lock(Session& s, double seconds = 2);
bool rec_lock_in(Session& s, Area* a, double seconds = 2);
// FIL_LOCK: locks the whole table; 0 (and no argument) waits until the
// lock is obtained or Esc is pressed.
bool fil_lock(Session& s, double seconds = 0);
bool fil_lock_in(Session& s, Area* a, double seconds = 0);
// ADD_REC: appends a blank record and leaves it current and locked; 0
// waits until obtained or Esc.
bool add_rec(Session& s, double seconds = 0);
bool add_rec_in(Session& s, Area* a, double seconds = 0);

// "Seek, else append" of a table with one row per key (tables 1 and 9 by
// CPF, 42/56/57 by terminal): seeks `key` in the active order; when absent,
// takes the table lock, seeks again (another terminal may have added it
// meanwhile), and only then appends a row with `key_field` set to the key.
// Ends standing on the row with it locked; false when a lock was not had.
bool seek_or_append(Session& s, Area* a, const Value& key, std::string_view key_field, double seconds = 5);

}  // namespace kx
