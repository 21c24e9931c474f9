#include "platform/decimal.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

namespace kx {

namespace {

using Int = Decimal::Coefficient;
using UInt = unsigned __int128;

constexpr UInt kIntMax = (UInt{1} << 127) - 1;

// 10^0 .. 10^38; 10^38 is the largest power of ten below 2^127.
constexpr std::array<UInt, 39> make_powers() {
  std::array<UInt, 39> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}
constexpr std::array<UInt, 39> kPow10 = make_powers();

[[noreturn]] void overflow() { throw std::overflow_error("decimal coefficient overflow"); }

void check_scale(int scale) {
  if (scale < 0 || scale > Decimal::kMaxScale) throw std::invalid_argument("decimal scale out of range");
}

UInt magnitude(Int c) { return c < 0 ? ~static_cast<UInt>(c) + 1 : static_cast<UInt>(c); }

// A signed coefficient from sign and magnitude; the magnitude must stay within
// +-(2^127 - 1) so that negation never overflows.
Int signed_coef(bool negative, UInt mag) {
  if (mag > kIntMax) overflow();
  const Int v = static_cast<Int>(mag);
  return negative ? -v : v;
}

Int checked_mul(Int a, Int b) {
  Int r;
  if (__builtin_mul_overflow(a, b, &r)) overflow();
  return r;
}

Int checked_add(Int a, Int b) {
  Int r;
  if (__builtin_add_overflow(a, b, &r)) overflow();
  return r;
}

Int checked_sub(Int a, Int b) {
  Int r;
  if (__builtin_sub_overflow(a, b, &r)) overflow();
  return r;
}

// c * 10^n, n >= 0.
Int scale_up(Int c, int n) {
  if (c == 0) return 0;
  if (n > 38) overflow();
  return checked_mul(c, static_cast<Int>(kPow10[n]));
}

// c / 10^n rounded half away from zero (round) or toward zero (!round), n >= 0.
Int scale_down(Int c, int n, bool round) {
  if (n == 0) return c;
  const bool negative = c < 0;
  const UInt mag = magnitude(c);
  if (n > 38) return 0;  // |c| < 2^127 < 10^39 / 2
  const UInt p = kPow10[n];
  UInt q = mag / p;
  const UInt r = mag % p;
  if (round && r >= p - r) ++q;
  return signed_coef(negative, q);
}

// ---- 256-bit unsigned arithmetic for products and quotients ----------------
// Intermediate values of * and / may need more than 128 bits even when the
// rounded result fits.

struct U256 {
  std::array<std::uint64_t, 4> w{};  // little-endian 64-bit words

  static U256 from(UInt v) {
    U256 r;
    r.w[0] = static_cast<std::uint64_t>(v);
    r.w[1] = static_cast<std::uint64_t>(v >> 64);
    return r;
  }
  bool fits128() const { return w[2] == 0 && w[3] == 0; }
  UInt low128() const { return (static_cast<UInt>(w[1]) << 64) | w[0]; }
  bool bit(int i) const { return (w[static_cast<std::size_t>(i / 64)] >> (i % 64)) & 1U; }
  bool is_zero() const { return (w[0] | w[1] | w[2] | w[3]) == 0; }
};

int compare(const U256& a, const U256& b) {
  for (int i = 3; i >= 0; --i) {
    const auto k = static_cast<std::size_t>(i);
    if (a.w[k] != b.w[k]) return a.w[k] < b.w[k] ? -1 : 1;
  }
  return 0;
}

U256 sub(const U256& a, const U256& b) {  // a >= b
  U256 r;
  std::uint64_t borrow = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::uint64_t x = a.w[i] - b.w[i];
    const std::uint64_t nb = (a.w[i] < b.w[i]) || (x < borrow) ? 1 : 0;
    r.w[i] = x - borrow;
    borrow = nb;
  }
  return r;
}

U256 shl1(const U256& a) {
  U256 r;
  for (std::size_t i = 4; i-- > 0;) {
    r.w[i] = a.w[i] << 1;
    if (i > 0) r.w[i] |= a.w[i - 1] >> 63;
  }
  return r;
}

U256 mul256(UInt a, UInt b) {
  const std::array<std::uint64_t, 2> x{static_cast<std::uint64_t>(a), static_cast<std::uint64_t>(a >> 64)};
  const std::array<std::uint64_t, 2> y{static_cast<std::uint64_t>(b), static_cast<std::uint64_t>(b >> 64)};
  U256 r;
  for (std::size_t i = 0; i < 2; ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < 2; ++j) {
      const UInt t = static_cast<UInt>(x[i]) * y[j] + r.w[i + j] + carry;
      r.w[i + j] = static_cast<std::uint64_t>(t);
      carry = static_cast<std::uint64_t>(t >> 64);
    }
    r.w[i + 2] = carry;
  }
  return r;
}

// n * 10^k for 0 <= k <= 76, or nothing past 256 bits.
std::optional<U256> mul_pow10(const U256& n, int k) {
  U256 r = n;
  while (k > 0) {
    const int step = std::min(k, 38);
    // r = lo + hi * 2^128; hi * 10^step must stay within 128 bits.
    const U256 hi = mul256((static_cast<UInt>(r.w[3]) << 64) | r.w[2], kPow10[step]);
    if (!hi.fits128()) return std::nullopt;
    const U256 lo = mul256(r.low128(), kPow10[step]);
    U256 sum = lo;
    std::uint64_t carry = 0;
    for (std::size_t i = 2; i < 4; ++i) {
      const UInt t = static_cast<UInt>(sum.w[i]) + hi.w[i - 2] + carry;
      sum.w[i] = static_cast<std::uint64_t>(t);
      carry = static_cast<std::uint64_t>(t >> 64);
    }
    if (carry != 0) return std::nullopt;
    r = sum;
    k -= step;
  }
  return r;
}

// n / d rounded half away from zero (d > 0), by binary long division.
U256 div_round(const U256& n, const U256& d) {
  if (n.fits128() && d.fits128()) {  // the usual case: native division
    const UInt a = n.low128();
    const UInt b = d.low128();
    const UInt r = a % b;
    return U256::from(a / b + (r >= b - r ? 1 : 0));
  }
  U256 q;
  U256 r;
  for (int i = 255; i >= 0; --i) {
    r = shl1(r);
    if (n.bit(i)) r.w[0] |= 1;
    if (compare(r, d) >= 0) {
      r = sub(r, d);
      q.w[static_cast<std::size_t>(i / 64)] |= std::uint64_t{1} << (i % 64);
    }
  }
  // Round up when the remainder is at least half the divisor: r >= d - r.
  if (!r.is_zero() && compare(r, sub(d, r)) >= 0) {
    for (std::size_t i = 0; i < 4; ++i) {
      if (++q.w[i] != 0) break;
    }
  }
  return q;
}

Int to_coef(bool negative, const U256& mag) {
  if (!mag.fits128()) overflow();
  return signed_coef(negative, mag.low128());
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string digits_of(UInt v) {
  if (v == 0) return "0";
  std::string s;
  while (v != 0) {
    s.push_back(static_cast<char>('0' + static_cast<int>(v % 10)));
    v /= 10;
  }
  std::reverse(s.begin(), s.end());
  return s;
}

}  // namespace

Decimal Decimal::of(Coefficient coefficient, int scale) {
  check_scale(scale);
  Decimal d;
  d.coef_ = coefficient;
  d.scale_ = scale;
  return d;
}

std::optional<Decimal> Decimal::parse(std::string_view text) {
  text = trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  UInt mag = 0;
  int scale = 0;
  int digits = 0;
  bool point = false;
  bool round_up = false;  // set by the first digit beyond kMaxScale decimals
  bool past_scale = false;
  for (const char c : text) {
    if (c == '.' || c == ',') {
      if (point) return std::nullopt;
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    ++digits;
    const int digit = c - '0';
    if (point && scale == kMaxScale) {
      // Decimals past the widest scale are rounded away.
      if (!past_scale) round_up = digit >= 5;
      past_scale = true;
      continue;
    }
    if (mag > (kIntMax - static_cast<UInt>(digit)) / 10) return std::nullopt;
    mag = mag * 10 + static_cast<UInt>(digit);
    if (point) ++scale;
  }
  if (digits == 0) return std::nullopt;
  if (round_up) {
    if (mag == kIntMax) return std::nullopt;
    ++mag;
  }
  return of(signed_coef(negative, mag), scale);
}

Decimal Decimal::with_scale(int scale) const {
  check_scale(scale);
  if (scale >= scale_) return of(scale_up(coef_, scale - scale_), scale);
  return of(scale_down(coef_, scale_ - scale, true), scale);
}

Decimal Decimal::round(int decimals) const {
  if (decimals >= 0) return with_scale(std::min(decimals, kMaxScale));
  // Negative decimals: round to a multiple of 10^-decimals, as an integer.
  const int tens = std::min(-decimals, 39);
  const Int q = scale_down(coef_, scale_ + tens, true);
  return of(scale_up(q, tens), 0);
}

Decimal Decimal::truncate(int decimals) const {
  if (decimals >= scale_) return with_scale(std::min(decimals, kMaxScale));
  if (decimals >= 0) return of(scale_down(coef_, scale_ - decimals, false), decimals);
  const int tens = std::min(-decimals, 39);
  const Int q = scale_down(coef_, scale_ + tens, false);
  return of(scale_up(q, tens), 0);
}

Decimal Decimal::despreza() const { return round(4).truncate(2); }

Decimal Decimal::operator-() const { return of(checked_sub(0, coef_), scale_); }

Decimal operator+(const Decimal& a, const Decimal& b) {
  const int s = std::max(a.scale_, b.scale_);
  return Decimal::of(checked_add(scale_up(a.coef_, s - a.scale_), scale_up(b.coef_, s - b.scale_)), s);
}

Decimal operator-(const Decimal& a, const Decimal& b) {
  const int s = std::max(a.scale_, b.scale_);
  return Decimal::of(checked_sub(scale_up(a.coef_, s - a.scale_), scale_up(b.coef_, s - b.scale_)), s);
}

Decimal operator*(const Decimal& a, const Decimal& b) {
  return Decimal::mul(a, b, std::min(a.scale_ + b.scale_, Decimal::kMaxScale));
}

Decimal Decimal::mul(const Decimal& a, const Decimal& b, int scale) {
  check_scale(scale);
  const bool negative = (a.coef_ < 0) != (b.coef_ < 0);
  const U256 product = mul256(magnitude(a.coef_), magnitude(b.coef_));
  const int exact = a.scale_ + b.scale_;
  if (scale >= exact) {
    const auto up = mul_pow10(product, scale - exact);
    if (!up) overflow();
    return of(to_coef(negative, *up), scale);
  }
  return of(to_coef(negative, div_round(product, U256::from(kPow10[exact - scale]))), scale);
}

std::optional<Decimal> Decimal::div(const Decimal& a, const Decimal& b, int scale) {
  check_scale(scale);
  if (b.coef_ == 0) return std::nullopt;
  const bool negative = (a.coef_ < 0) != (b.coef_ < 0);
  // (ca / 10^sa) / (cb / 10^sb) * 10^scale = ca * 10^(scale + sb - sa) / cb
  U256 num = U256::from(magnitude(a.coef_));
  U256 den = U256::from(magnitude(b.coef_));
  const int e = scale + b.scale_ - a.scale_;
  const auto shifted = e >= 0 ? mul_pow10(num, e) : mul_pow10(den, -e);
  if (!shifted) overflow();  // cannot happen: both operands stay below 2^127 * 10^36
  (e >= 0 ? num : den) = *shifted;
  return of(to_coef(negative, div_round(num, den)), scale);
}

bool operator==(const Decimal& a, const Decimal& b) { return (a <=> b) == 0; }

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
  const int sa = a.sign();
  const int sb = b.sign();
  if (sa != sb) return sa <=> sb;
  if (sa == 0) return std::strong_ordering::equal;
  const int s = std::max(a.scale_, b.scale_);
  const auto ma = mul_pow10(U256::from(magnitude(a.coef_)), s - a.scale_);
  const auto mb = mul_pow10(U256::from(magnitude(b.coef_)), s - b.scale_);
  const int c = compare(*ma, *mb);  // at most 2^127 * 10^18: always fits
  const int signed_c = sa < 0 ? -c : c;
  return signed_c <=> 0;
}

std::int64_t Decimal::to_int64() const {
  const Int i = scale_down(coef_, scale_, false);
  if (i > std::numeric_limits<std::int64_t>::max()) return std::numeric_limits<std::int64_t>::max();
  if (i < std::numeric_limits<std::int64_t>::min()) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(i);
}

std::string Decimal::to_string() const {
  std::string digits = digits_of(magnitude(coef_));
  if (scale_ > 0) {
    const auto need = static_cast<std::size_t>(scale_) + 1;
    if (digits.size() < need) digits.insert(0, need - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(scale_), 1, '.');
  }
  return coef_ < 0 ? "-" + digits : digits;
}

std::ostream& operator<<(std::ostream& os, const Decimal& d) { return os << d.to_string(); }

std::optional<std::string> to_field_text(const Decimal& value, int width, int decimals) {
  if (width <= 0 || decimals < 0 || decimals > Decimal::kMaxScale) return std::nullopt;
  const Decimal r = value.round(decimals);
  std::string text = (r.sign() < 0 ? "-" : "") + r.abs().to_string();
  const std::size_t zero = r.sign() < 0 ? 1 : 0;
  if (text.size() > static_cast<std::size_t>(width) && decimals > 0 && text[zero] == '0') {
    text.erase(zero, 1);  // "0.50" -> ".50" when the zero has no room
  }
  if (text.size() > static_cast<std::size_t>(width)) return std::nullopt;
  text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

std::optional<Decimal> from_field_text(std::string_view text) {
  if (trim(text).empty()) return Decimal{};
  return Decimal::parse(text);
}

}  // namespace kx
