// Pictures: the input/output masks of fields ("@Ez 999,999,999.99",
// "@R 999.999.999-99", "@!", "@S40").
//
// A picture is a function part, started by "@" and ended by the first blank,
// and a template after it.  Functions (letters in either case):
//   E  numbers with "," as decimal point and "." between thousands
//   Z  numbers: all blanks when zero
//   R  text: template literals are inserted (not laid over the value)
//   !  text: every character upper-cased
//   S<n> a window of n columns that scrolls over a longer text
//   K  editing: the first character typed clears the field
//   D  dates as dd/mm/yyyy (the only date layout there is)
//   B  numbers left-aligned;  C  " CR" after a positive number;
//   X  " DB" after a negative number
// Template characters: 9 digit (and, for numbers, the sign), # digit, blank
// or sign, ! any character upper-cased, X/x any character, A letter, L/Y
// logical, N letter or digit, . decimal point, , thousands separator;
// anything else is a literal.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/value.h"

namespace kx {

struct Picture {
  bool european = false;     // @E
  bool blank_zero = false;   // @Z
  bool insert = false;       // @R
  bool upper = false;        // @!
  bool clear_first = false;  // @K
  bool left_align = false;   // @B
  bool credit = false;       // @C
  bool debit = false;        // @X
  bool date = false;         // @D
  // @S: present when given; 0 when no width followed the S ("@KS").
  std::optional<int> scroll;
  std::string mask;  // the template; empty when there is none

  // Never fails: unknown function characters are ignored.  Irregular forms
  // in use are read as meant: "@Z999.99" (template glued to a function
  // letter), "@ 9999999" (no functions), "@99" (digits without a function
  // letter are ignored: no template), "@k " (empty template).
  static Picture parse(std::string_view picture);
};

// Template characters.
bool is_mask_slot(char m);  // 9 # ! X x A N L Y: a position that holds a value character
// Whether byte c may be typed into a text slot m (after @! upper-casing).
bool mask_accepts(char m, unsigned char c);

// The shape of an N field (width includes the point and the sign).
struct NumberShape {
  int width = 10;
  int decimals = 0;
};

// The digit positions of a numeric template.  Without a template one is made
// of 9s from the caller's shape, or else like STR: 10 integer positions and
// the value's own decimals.
class NumberMask {
 public:
  NumberMask(const Picture& picture, std::optional<NumberShape> shape, int value_scale);

  const std::string& mask() const { return mask_; }
  int width() const { return static_cast<int>(mask_.size()); }
  int decimals() const { return static_cast<int>(dec_slots_.size()); }
  const std::vector<int>& int_slots() const { return int_slots_; }
  const std::vector<int>& dec_slots() const { return dec_slots_; }

  // Lays out a number given as digits: `int_digits` the integer part (leading
  // zeros are dropped; an empty or zero integer part shows "0" in the last
  // integer position), `dec_digits` exactly decimals() digits.  "-" stands
  // just before the first digit; "," shows only with a digit to its left.
  // Nothing when the number does not fit.  "." and "," are not swapped here.
  std::optional<std::string> render(bool negative, std::string_view int_digits,
                                    std::string_view dec_digits) const;

 private:
  std::string mask_;
  std::vector<int> int_slots_;
  std::vector<int> dec_slots_;
};

// TRANSFORM(value, picture): the text a field shows.  `shape` is the default
// layout of a number whose picture has no template (a field's width and
// decimals).
std::string transform(const Value& value, const Picture& picture,
                      std::optional<NumberShape> shape = std::nullopt);
std::string transform(const Value& value, std::string_view picture,
                      std::optional<NumberShape> shape = std::nullopt);

// The name the procedures use.
inline std::string TRANSFORM(const Value& value, std::string_view picture,
                             std::optional<NumberShape> shape = std::nullopt) {
  return transform(value, picture, shape);
}

// The logical value shown with a template: "Y"/"N" when it starts with Y,
// else "T"/"F".
char logical_char(bool value, const Picture& picture);

}  // namespace kx
