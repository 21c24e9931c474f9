#include "platform/number_entry.h"

#include <algorithm>

#include "platform/keys.h"

namespace kx {
namespace {

// Digits a number may hold in all (the coefficient is a 128-bit integer).
constexpr std::size_t kMaxDigits = 30;

}  // namespace

std::ostream& operator<<(std::ostream& os, KeyResult r) {
  switch (r) {
    case KeyResult::Ignored: return os << "Ignored";
    case KeyResult::Taken: return os << "Taken";
    case KeyResult::Refused: return os << "Refused";
    case KeyResult::Filled: return os << "Filled";
  }
  return os << "KeyResult(" << static_cast<int>(r) << ")";
}

NumberEntry::NumberEntry(const Decimal& value, const Picture& picture, std::optional<NumberShape> shape)
    : mask_(picture, shape, value.scale()), european_(picture.european), blank_zero_(picture.blank_zero) {
  const Decimal rounded = value.with_scale(mask_.decimals());
  negative_ = rounded.sign() < 0;
  const std::string digits = rounded.abs().to_string();
  const auto point = digits.find('.');
  int_digits_ = digits.substr(0, point);
  if (int_digits_ == "0") int_digits_.clear();
  if (point != std::string::npos) {
    dec_digits_ = digits.substr(point + 1);
    dec_digits_.erase(dec_digits_.find_last_not_of('0') + 1);
  }
  in_decimals_ = !dec_digits_.empty();
}

void NumberEntry::clear() {
  int_digits_.clear();
  dec_digits_.clear();
  in_decimals_ = false;
  if (!sign_typed_) negative_ = false;
}

bool NumberEntry::fits(bool negative, const std::string& int_digits) const {
  if (int_digits.size() > mask_.int_slots().size()) return false;
  if (int_digits.size() + static_cast<std::size_t>(mask_.decimals()) > kMaxDigits) return false;
  return mask_.render(negative, int_digits, "").has_value();
}

KeyResult NumberEntry::type_digit(char c) {
  if (in_decimals_) {
    if (dec_digits_.size() >= static_cast<std::size_t>(mask_.decimals())) return KeyResult::Refused;
    dec_digits_ += c;
    return dec_digits_.size() == static_cast<std::size_t>(mask_.decimals()) ? KeyResult::Filled
                                                                            : KeyResult::Taken;
  }
  std::string next = int_digits_ + c;
  if (!fits(negative_, next)) return KeyResult::Refused;
  int_digits_ = std::move(next);
  const bool full = !fits(negative_, int_digits_ + '1');
  return full && mask_.decimals() == 0 ? KeyResult::Filled : KeyResult::Taken;
}

KeyResult NumberEntry::key(int k) {
  const NumberEntry before = *this;
  KeyResult result = KeyResult::Taken;
  if (key::is_printable(k)) {
    const char c = static_cast<char>(k);
    if (c >= '0' && c <= '9') {
      if (pristine_) clear();
      pristine_ = false;
      result = type_digit(c);
    } else if (c == ',' || c == '.') {
      if (mask_.decimals() == 0) return KeyResult::Refused;
      if (pristine_) clear();
      pristine_ = false;
      in_decimals_ = true;
    } else if (c == '-') {
      if (!fits(!negative_, int_digits_)) return KeyResult::Refused;
      negative_ = !negative_;
      if (pristine_) sign_typed_ = !sign_typed_;
    } else {
      return KeyResult::Refused;
    }
  } else {
    switch (k) {
      case key::Backspace:
        pristine_ = false;
        if (in_decimals_ && dec_digits_.empty()) in_decimals_ = false;
        if (in_decimals_)
          dec_digits_.pop_back();
        else if (!int_digits_.empty())
          int_digits_.pop_back();
        else
          negative_ = false;
        break;
      case key::Del:
      case key::CtrlY:
        sign_typed_ = false;
        pristine_ = false;
        clear();
        break;
      case key::Left:
      case key::Right:
      case key::Home:
      case key::End:
        return KeyResult::Taken;
      default:
        return KeyResult::Ignored;
    }
  }
  if (result == KeyResult::Refused) {
    *this = before;
    return result;
  }
  changed_ = true;
  return result;
}

std::string NumberEntry::text() const {
  const auto width = static_cast<std::size_t>(mask_.width());
  const bool zero = int_digits_.find_first_not_of('0') == std::string::npos &&
                    dec_digits_.find_first_not_of('0') == std::string::npos;
  if (pristine_ && blank_zero_ && zero) return std::string(width, ' ');
  auto out = mask_.render(negative_, int_digits_, dec_digits_);
  if (!out) return std::string(width, '*');
  if (european_)
    for (char& ch : *out) ch = ch == '.' ? ',' : ch == ',' ? '.' : ch;
  return *out;
}

int NumberEntry::cursor() const {
  const auto& ints = mask_.int_slots();
  const auto& decs = mask_.dec_slots();
  if (in_decimals_ && !decs.empty()) return decs[std::min(dec_digits_.size(), decs.size() - 1)];
  if (!ints.empty()) return ints.back();
  if (!decs.empty()) return decs.front();
  return 0;
}

bool NumberEntry::is_digit_position(int pos) const {
  const auto& ints = mask_.int_slots();
  const auto& decs = mask_.dec_slots();
  return std::find(ints.begin(), ints.end(), pos) != ints.end() ||
         std::find(decs.begin(), decs.end(), pos) != decs.end();
}

Decimal NumberEntry::value() const {
  Decimal::Coefficient coef = 0;
  for (char c : int_digits_) coef = coef * 10 + (c - '0');
  for (std::size_t i = 0; i < static_cast<std::size_t>(mask_.decimals()); ++i)
    coef = coef * 10 + (i < dec_digits_.size() ? dec_digits_[i] - '0' : 0);
  return Decimal::of(negative_ ? -coef : coef, mask_.decimals());
}

}  // namespace kx
