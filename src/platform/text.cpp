#include "platform/text.h"

#include <algorithm>
#include <cstdint>

namespace kx {
namespace {

// Sizes of texts are far below INT_MAX; positions are computed in 64 bits so
// that extreme arguments (INT_MIN, INT_MAX) clamp instead of overflowing.
std::int64_t length_of(std::string_view s) { return static_cast<std::int64_t>(s.size()); }

std::string_view cut(std::string_view s, std::int64_t pos, std::int64_t count) {
  const std::int64_t n = length_of(s);
  pos = std::clamp<std::int64_t>(pos, 0, n);
  count = std::clamp<std::int64_t>(count, 0, n - pos);
  return s.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(count));
}

std::string digits_of(unsigned __int128 u) {
  std::string out;
  do {
    out += static_cast<char>('0' + static_cast<int>(u % 10));
    u /= 10;
  } while (u != 0);
  std::reverse(out.begin(), out.end());
  return out;
}

// The digits of `n` with exactly `dec` decimals (rounded half away from zero),
// and whether the rounded value is negative.  Zero is never negative.
struct Digits {
  bool negative = false;
  std::string whole;  // at least "0"
  std::string fraction;
};

Digits digits_with_decimals(const Decimal& n, int dec) {
  // Rounding only ever lowers the scale; extra decimals are added as text so
  // that a large coefficient cannot overflow.
  const Decimal r = dec < n.scale() ? n.with_scale(dec) : n;
  const Decimal::Coefficient c = r.coefficient();
  const auto u = c < 0 ? -static_cast<unsigned __int128>(c) : static_cast<unsigned __int128>(c);
  std::string all = digits_of(u);
  const auto scale = static_cast<std::size_t>(r.scale());
  if (all.size() < scale + 1) all.insert(0, scale + 1 - all.size(), '0');
  Digits d;
  d.negative = c < 0;
  d.whole = all.substr(0, all.size() - scale);
  d.fraction = all.substr(all.size() - scale);
  d.fraction.append(static_cast<std::size_t>(dec) - scale, '0');
  return d;
}

}  // namespace

std::string trim(std::string_view s) { return ltrim(rtrim(s)); }

std::string rtrim(std::string_view s) {
  const auto end = s.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(s.substr(0, end + 1));
}

std::string ltrim(std::string_view s) {
  const auto begin = s.find_first_not_of(' ');
  return begin == std::string_view::npos ? std::string() : std::string(s.substr(begin));
}

bool is_blank(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

std::string padr(std::string_view s, int width, char fill) {
  if (width <= 0) return {};
  std::string out(cut(s, 0, width));
  out.append(static_cast<std::size_t>(width) - out.size(), fill);
  return out;
}

std::string padl(std::string_view s, int width, char fill) {
  if (width <= 0) return {};
  const std::string_view kept = cut(s, 0, width);
  std::string out(static_cast<std::size_t>(width) - kept.size(), fill);
  out += kept;
  return out;
}

std::string padc(std::string_view s, int width, char fill) {
  if (width <= 0) return {};
  const std::string_view kept = cut(s, 0, width);
  const std::size_t extra = static_cast<std::size_t>(width) - kept.size();
  std::string out(extra / 2, fill);
  out += kept;
  out.append(extra - extra / 2, fill);
  return out;
}

std::string left(std::string_view s, int n) { return std::string(cut(s, 0, n)); }

std::string right(std::string_view s, int n) {
  const std::int64_t count = std::clamp<std::int64_t>(n, 0, length_of(s));
  return std::string(cut(s, length_of(s) - count, count));
}

std::string substr(std::string_view s, int start) { return substr(s, start, static_cast<int>(s.size())); }

std::string substr(std::string_view s, int start, int count) {
  // 1-based; 0 acts as 1; -k is the k-th character from the end, and a
  // negative start before the beginning starts at the first character.
  std::int64_t pos = start > 0 ? std::int64_t{start} - 1 : start == 0 ? 0 : length_of(s) + start;
  if (pos < 0) pos = 0;
  return std::string(cut(s, pos, count));
}

int at(std::string_view needle, std::string_view haystack) {
  if (needle.empty()) return 0;
  const auto pos = haystack.find(needle);
  return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

int rat(std::string_view needle, std::string_view haystack) {
  if (needle.empty()) return 0;
  const auto pos = haystack.rfind(needle);
  return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

std::string strtran(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  for (auto pos = s.find(from); pos != std::string_view::npos; pos = s.find(from, i)) {
    out.append(s.substr(i, pos - i));
    out.append(to);
    i = pos + from.size();
  }
  out.append(s.substr(i));
  return out;
}

std::string replicate(std::string_view s, int times) {
  if (times <= 0 || s.empty()) return {};
  std::string out;
  out.reserve(s.size() * static_cast<std::size_t>(times));
  for (int k = 0; k < times; ++k) out.append(s);
  return out;
}

std::string space(int n) { return n > 0 ? std::string(static_cast<std::size_t>(n), ' ') : std::string(); }

std::string str(const Decimal& n, int len, int dec) {
  if (len <= 0) return {};
  dec = std::max(dec, 0);
  const Digits d = digits_with_decimals(n, dec);
  const std::string sign = d.negative ? "-" : "";
  const std::string point = dec > 0 ? "." + d.fraction : "";
  std::string text = sign + d.whole + point;
  // As in the field writer, "0.50" may lose its zero (".50") when that is
  // the only way it fits.
  if (length_of(text) > len && dec > 0 && d.whole == "0") text = sign + point;
  if (length_of(text) > len) return std::string(static_cast<std::size_t>(len), '*');
  return padl(text, len);
}

std::string strzero(const Decimal& n, int len, int dec) {
  std::string out = str(n, len, dec);
  if (out.empty() || out[0] == '*') return out;
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos || first == 0) return out;
  std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(first), '0');
  if (out[first] == '-') {
    out[first] = '0';
    out[0] = '-';
  }
  return out;
}

Decimal val(std::string_view s) {
  std::size_t i = s.find_first_not_of(' ');
  if (i == std::string_view::npos) return Decimal(0);
  bool negative = false;
  if (s[i] == '-' || s[i] == '+') negative = s[i++] == '-';

  // Digits beyond what a Decimal holds are dropped: integer digits past 36
  // stop the number, decimals past kMaxScale round the last one kept.
  constexpr int kMaxDigits = 36;
  Decimal::Coefficient coef = 0;
  int digits = 0, scale = 0;
  bool point = false, round_up = false, dropped = false;
  for (; i < s.size(); ++i) {
    const char ch = s[i];
    if (ch == '.' && !point) {
      point = true;
      continue;
    }
    if (ch < '0' || ch > '9') break;
    if (dropped) continue;
    if ((point && scale == Decimal::kMaxScale) || digits == kMaxDigits) {
      if (!point) break;
      round_up = ch >= '5';
      dropped = true;
      continue;
    }
    coef = coef * 10 + (ch - '0');
    if (coef != 0) ++digits;
    if (point) ++scale;
  }
  if (round_up) ++coef;
  return Decimal::of(negative ? -coef : coef, scale);
}

int CENTER(std::string_view text, int width) {
  const std::int64_t n = length_of(text);
  return n > width ? 0 : width / 2 - static_cast<int>(n / 2);
}

int DIREITA(std::string_view text, int width) {
  const std::int64_t n = length_of(text);
  return n > width ? 1 : width - static_cast<int>(n);
}

Decimal DIV(const Decimal& a, const Decimal& b, int scale) {
  return Decimal::div(a, b, std::clamp(scale, 0, Decimal::kMaxScale)).value_or(Decimal(0));
}

}  // namespace kx
