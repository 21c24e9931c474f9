// Terminal input bytes to key numbers: a pure decoder.
//
// Terminals send a key as one byte, a UTF-8 character, or an escape sequence
// (CSI "ESC [ ... final", SS3 "ESC O x", the Linux console's "ESC [ [ A"),
// with the modifiers in a parameter (xterm "ESC [ 1;5D" is Ctrl+Left).  Alt
// is sent as an ESC before the key, so a lone ESC is only the Esc key once
// no byte followed within a short delay: the adapter calls decode_key with
// `more_may_come` true first and, when the answer is Incomplete and nothing
// arrives in time, again with false.  Mouse reports (SGR "ESC [ < b;x;y M"
// and the old "ESC [ M bxy") give the left-button press with its cell.
#pragma once

#include <ostream>
#include <string_view>

namespace kx {

struct DecodedKey {
  enum class Status {
    Key,         // `key` (and the cell for a click) from the first `length` bytes
    Skip,        // `length` bytes that mean nothing to us (a release, an unknown sequence)
    Incomplete,  // the bytes so far start a sequence: wait for more
  };
  Status status = Status::Incomplete;
  int key = 0;
  int length = 0;
  int row = -1, col = -1;
};
std::ostream& operator<<(std::ostream& os, const DecodedKey& d);

// Decodes the first key of `bytes` (never empty).  With `more_may_come`
// false an incomplete sequence is resolved: its ESC becomes the Esc key.
DecodedKey decode_key(std::string_view bytes, bool more_may_come);

// The delay after an ESC within which a following byte makes it an Alt prefix.
inline constexpr int kEscDelayMs = 40;

}  // namespace kx
