// Exact decimal numbers: the one number type of the program.
//
// Every amount, rate, count and numeric field value is a Decimal: a signed
// integer coefficient and a scale (digits after the point), value =
// coefficient / 10^scale.  There is no binary floating point anywhere on the
// way of money or rates.  Rounding is always half away from zero.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace kx {

class Decimal {
 public:
  using Coefficient = __int128;
  static constexpr int kMaxScale = 18;

  constexpr Decimal() = default;
  // An integer value (scale 0).
  constexpr Decimal(std::int64_t n) : coef_(n) {}  // NOLINT: implicit, as with ints
  // coefficient / 10^scale, e.g. of(123450, 2) is 1234.50.  0 <= scale <= kMaxScale.
  static Decimal of(Coefficient coefficient, int scale);

  // Parses "1234.5", "-0,25", " 12 ", "+3", ".5".  The point or comma is the
  // decimal separator; no thousands separators, no exponent.  Leading and
  // trailing blanks are allowed; an empty or blank text is nothing (callers
  // that read blank as zero, such as field decoding, say so themselves).
  static std::optional<Decimal> parse(std::string_view text);

  Coefficient coefficient() const { return coef_; }
  int scale() const { return scale_; }
  bool is_zero() const { return coef_ == 0; }
  int sign() const { return coef_ < 0 ? -1 : coef_ > 0 ? 1 : 0; }

  // The same value with exactly `scale` decimals, rounding half away from
  // zero when digits are dropped.
  Decimal with_scale(int scale) const;
  // ROUND(x, n): rounded half away from zero to n decimals (n may be negative:
  // ROUND(1250, -2) is 1300).  The result has max(n, 0) decimals.
  Decimal round(int decimals) const;
  // Cut (toward zero) to n decimals.
  Decimal truncate(int decimals) const;
  // INT(x): the integer part, toward zero.
  Decimal int_part() const { return truncate(0); }
  // DESPREZA: round to four decimals, then drop the last two (10.4999 ->
  // 10.49, 10.49999 -> 10.50).  The result has two decimals.
  Decimal despreza() const;
  Decimal abs() const { return coef_ < 0 ? -*this : *this; }

  // Exact sums, differences and products (the product's scale is the sum of
  // the scales, rounded to kMaxScale when it would exceed it).
  friend Decimal operator+(const Decimal& a, const Decimal& b);
  friend Decimal operator-(const Decimal& a, const Decimal& b);
  friend Decimal operator*(const Decimal& a, const Decimal& b);
  Decimal operator-() const;
  Decimal& operator+=(const Decimal& b) { return *this = *this + b; }
  Decimal& operator-=(const Decimal& b) { return *this = *this - b; }
  Decimal& operator*=(const Decimal& b) { return *this = *this * b; }

  // a * b rounded to `scale` decimals.
  static Decimal mul(const Decimal& a, const Decimal& b, int scale);
  // a / b rounded half away from zero to `scale` decimals; nothing when b is
  // zero (the caller decides: printouts use DIV, which gives 0).
  static std::optional<Decimal> div(const Decimal& a, const Decimal& b, int scale);

  // Value comparisons: 1.50 == 1.5; scale is not part of the value.
  friend bool operator==(const Decimal& a, const Decimal& b);
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

  // Integer part as int64 (toward zero); saturates at the int64 limits.
  std::int64_t to_int64() const;

  // Plain text with the value's own scale: "-1234.50", "0", "0.05".  Never "-0".
  std::string to_string() const;

 private:
  Coefficient coef_ = 0;
  int scale_ = 0;
};

std::ostream& operator<<(std::ostream& os, const Decimal& d);

// The names the procedures use.
inline Decimal ROUND(const Decimal& d, int decimals) { return d.round(decimals); }
inline Decimal INT(const Decimal& d) { return d.int_part(); }
inline Decimal DESPREZA(const Decimal& d) { return d.despreza(); }

// ---- The text of an N width,decimals field --------------------------------
// Right-aligned in `width` characters, exactly `decimals` digits after a
// point, "-" before the first digit of a negative value, a leading "0" before
// the point ("0.50", or ".50" only when width leaves no room for the zero).
// Returns nothing when the value (rounded to `decimals`) does not fit:
// the caller reports it; a field is never written with asterisks or cut.
std::optional<std::string> to_field_text(const Decimal& value, int width, int decimals);
// Reads a field's text: blanks read as 0; a text that is not a number (or
// holds asterisks from another program's overflow) is nothing.
std::optional<Decimal> from_field_text(std::string_view text);

}  // namespace kx
