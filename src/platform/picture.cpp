#include "platform/picture.h"

#include <algorithm>

#include "platform/cp850.h"

namespace kx {
namespace {

char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
// Characters that, glued to a function letter, start the template ("@Z999.99").
bool starts_glued_template(char c) { return c == '9' || c == '#' || c == '.' || c == ','; }

}  // namespace

Picture Picture::parse(std::string_view s) {
  Picture p;
  if (s.empty() || s[0] != '@') {
    p.mask = std::string(s);
    return p;
  }
  std::size_t i = 1;
  while (i < s.size()) {
    const char c = ascii_upper(s[i]);
    if (c == ' ') {
      p.mask = std::string(s.substr(i + 1));
      return p;
    }
    ++i;
    switch (c) {
      case 'S': {
        int width = 0;
        while (i < s.size() && is_digit(static_cast<unsigned char>(s[i])) && width < 10000)
          width = width * 10 + (s[i++] - '0');
        p.scroll = width;
        continue;
      }
      case 'E': p.european = true; break;
      case 'Z': p.blank_zero = true; break;
      case 'R': p.insert = true; break;
      case '!': p.upper = true; break;
      case 'K': p.clear_first = true; break;
      case 'B': p.left_align = true; break;
      case 'C': p.credit = true; break;
      case 'X': p.debit = true; break;
      case 'D': p.date = true; break;
      default: continue;  // unknown: ignored, and nothing glued to it counts
    }
    if (i < s.size() && starts_glued_template(s[i])) {
      p.mask = std::string(s.substr(i));
      return p;
    }
  }
  return p;
}

bool is_mask_slot(char m) {
  switch (m) {
    case '9': case '#': case '!': case 'X': case 'x': case 'A': case 'N': case 'L': case 'Y':
      return true;
    default:
      return false;
  }
}

bool mask_accepts(char m, unsigned char c) {
  const unsigned char u = cp850::upper(c);
  switch (m) {
    case '9': return is_digit(c);
    case '#': return is_digit(c) || c == ' ' || c == '+' || c == '-';
    case 'A': return cp850::is_alpha(c);
    case 'N': return cp850::is_alpha(c) || is_digit(c);
    case 'L': return u == 'T' || u == 'F' || u == 'Y' || u == 'N';
    case 'Y': return u == 'Y' || u == 'N';
    case '!': case 'X': case 'x': return true;
    default: return false;  // a literal takes nothing
  }
}

NumberMask::NumberMask(const Picture& picture, std::optional<NumberShape> shape, int value_scale) {
  if (!picture.mask.empty()) {
    mask_ = picture.mask;
  } else {
    const int decimals = shape ? shape->decimals : value_scale;
    const int integers = shape ? shape->width - decimals - (decimals > 0 ? 1 : 0) : 10;
    const auto d = static_cast<std::size_t>(std::clamp(decimals, 0, Decimal::kMaxScale));
    mask_ = std::string(static_cast<std::size_t>(std::max(integers, 0)), '9');
    if (d > 0) mask_ += "." + std::string(d, '9');
  }
  bool after_point = false;
  for (std::size_t i = 0; i < mask_.size(); ++i) {
    const char m = mask_[i];
    if (m == '.' && !after_point) {
      after_point = true;
    } else if (m == '9' || m == '#') {
      // Decimal::kMaxScale bounds the decimals; more are kept as literals.
      if (!after_point)
        int_slots_.push_back(static_cast<int>(i));
      else if (dec_slots_.size() < static_cast<std::size_t>(Decimal::kMaxScale))
        dec_slots_.push_back(static_cast<int>(i));
    }
  }
}

std::optional<std::string> NumberMask::render(bool negative, std::string_view int_digits,
                                              std::string_view dec_digits) const {
  std::string out = mask_;
  for (int i : int_slots_) out[static_cast<std::size_t>(i)] = ' ';
  const auto nz = int_digits.find_first_not_of('0');
  std::string_view digits = nz == std::string_view::npos ? std::string_view{} : int_digits.substr(nz);
  if (digits.empty() && !int_slots_.empty()) digits = "0";
  if (digits.size() > int_slots_.size()) return std::nullopt;

  const std::size_t first = int_slots_.size() - digits.size();
  for (std::size_t k = 0; k < digits.size(); ++k)
    out[static_cast<std::size_t>(int_slots_[first + k])] = digits[k];
  for (std::size_t k = 0; k < dec_slots_.size(); ++k)
    out[static_cast<std::size_t>(dec_slots_[k])] = k < dec_digits.size() ? dec_digits[k] : '0';

  // The leftmost character of the number proper: its first digit, or the
  // point when there are no integer positions.
  int lead = -1;
  if (!digits.empty()) {
    lead = int_slots_[first];
  } else {
    const auto point = mask_.find('.');
    lead = point != std::string::npos ? static_cast<int>(point)
                                      : dec_slots_.empty() ? -1 : dec_slots_.front();
  }
  for (std::size_t i = 0; i < mask_.size(); ++i)
    if (mask_[i] == ',') out[i] = lead >= 0 && lead < static_cast<int>(i) && !digits.empty() ? ',' : ' ';

  if (negative) {
    const int q = lead - 1;
    if (q < 0) return std::nullopt;
    const char m = mask_[static_cast<std::size_t>(q)];
    if ((m != '9' && m != '#' && m != ',') || out[static_cast<std::size_t>(q)] != ' ') return std::nullopt;
    out[static_cast<std::size_t>(q)] = '-';
  }
  return out;
}

char logical_char(bool value, const Picture& picture) {
  const bool yes_no = !picture.mask.empty() && ascii_upper(picture.mask[0]) == 'Y';
  return yes_no ? (value ? 'Y' : 'N') : (value ? 'T' : 'F');
}

}  // namespace kx
