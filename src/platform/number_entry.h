// Typing a number into a numeric picture, calculator style.
//
// Digits enter at the right end of the integer part and push the others
// left; "," or "." moves to the decimals, which are then typed left to right;
// "-" toggles the sign; Backspace removes the last digit typed.  The first
// digit (or point) typed replaces the value the field came with, so a field
// is retyped without clearing it first.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "platform/decimal.h"
#include "platform/picture.h"

namespace kx {

// What an edit buffer did with a key.
enum class KeyResult {
  Ignored,  // not an editing key: the caller handles it (Enter, Esc, F keys ...)
  Taken,    // handled
  Refused,  // not allowed here: the caller beeps
  Filled,   // handled, and the last position is now typed: the caller leaves the field
};
std::ostream& operator<<(std::ostream& os, KeyResult r);

class NumberEntry {
 public:
  NumberEntry(const Decimal& value, const Picture& picture, std::optional<NumberShape> shape);

  // Handles printable characters, Backspace, Del and Ctrl+Y (clear to zero);
  // cursor keys are taken and do nothing (the cursor shows where the next
  // digit goes).  Numbers need no @K: the first digit replaces the value anyway.
  KeyResult key(int k);

  // The text shown: the picture's layout of the digits typed (blank for @Z
  // until something is typed), "." and "," swapped under @E.
  std::string text() const;
  // Where the next digit goes: the last integer position, or the next
  // decimal position once the point was typed.
  int cursor() const;
  bool is_digit_position(int pos) const;
  // The number typed, with exactly the picture's decimals.
  Decimal value() const;
  bool changed() const { return changed_; }

 private:
  void clear();
  bool fits(bool negative, const std::string& int_digits) const;
  KeyResult type_digit(char c);

  NumberMask mask_;
  bool european_ = false;
  bool blank_zero_ = false;
  bool negative_ = false;
  std::string int_digits_;  // as typed, leading zeros included
  std::string dec_digits_;
  bool in_decimals_ = false;
  bool pristine_ = true;      // nothing typed yet: the next digit replaces the value
  bool sign_typed_ = false;   // "-" typed while pristine: kept by the replacement
  bool changed_ = false;
};

}  // namespace kx
