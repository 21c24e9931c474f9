// The pop-up calculator (CALCULADORA), in exact decimals.
//
// Calculator is the machine without the screen: keys in, the display line
// out.  An entry holds at most 10 integer digits and 4 decimals; "+", "-",
// "*", "/" work on the running result; Enter or "=" completes it; "I"
// changes the sign; Backspace clears the entry; "C" clears all but the memory; "M"
// then "+", "-", "R" or "C" adds the value to the memory, subtracts it,
// recalls the memory as the entry, clears the memory.  A division by zero
// beeps and marks the result as an error.
#pragma once

#include <optional>
#include <string>

#include "platform/decimal.h"
#include "platform/ui_hotkeys.h"

namespace kx {

class Session;

class Calculator {
 public:
  enum class Outcome {
    Continue,
    Beep,     // the key was refused (a longer entry, an unknown key, a division by zero)
    Cancel,   // X or Esc: left without a result
    Deliver,  // Ctrl+Enter: left, handing the result over (when there is no error)
  };
  Outcome key(int k);

  // The value shown: the entry while one is typed, else the result.
  Decimal value() const;
  const Decimal& result() const { return result_; }
  const Decimal& memory() const { return memory_; }
  bool error() const { return error_; }
  char pending() const { return pending_; }
  // Whether a decimal point or a division was used (4 decimals shown).
  bool decimals_shown() const { return decimals_shown_; }
  // The 26-column display line: "M" at column 2 while the memory is not
  // zero, the value right-aligned, the pending operator at column 25.
  std::string display() const;

 private:
  void start_entry();
  bool apply();  // result = result op entry; false on a division by zero

  std::string int_digits_, dec_digits_;
  bool point_ = false, negative_ = false;
  bool entering_ = false;
  bool memory_prefix_ = false;
  char pending_ = 0;
  Decimal result_, memory_;
  bool error_ = false;
  bool decimals_shown_ = false;
};

// CALCULADORA(slot, row, column): the calculator in a 14 x 26 window (row at
// most 11, column at most 48); the arrow keys move it and keep the place in
// LCAL/CCAL.  Gives the result when left with Ctrl+Enter without an error.
std::optional<Decimal> calculadora(Session& s, int slot = 9, int row = 11, int col = 11);

// The calculator as a hot key of a field read (slot 9 at LCAL, CCAL): a
// result goes into the field being typed.  A number field takes it; a text
// field gets its trimmed text + " " + the result shown with
// "@EZ 9,999,999,999.99" and trimmed, cut or blank-padded to its length.
HotKeys::Handler calculator_hot_key(Session& s);

}  // namespace kx
