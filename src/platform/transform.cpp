// TRANSFORM: the text a value shows through a picture.
#include <algorithm>

#include "platform/cp850.h"
#include "platform/picture.h"

namespace kx {
namespace {

void swap_point_and_comma(std::string& s) {
  for (char& c : s) c = c == '.' ? ',' : c == ',' ? '.' : c;
}

std::string transform_number(const Decimal& value, const Picture& p,
                             std::optional<NumberShape> shape) {
  const NumberMask mask(p, shape, value.scale());
  const Decimal rounded = value.with_scale(mask.decimals());
  if (p.blank_zero && rounded.is_zero()) return std::string(static_cast<std::size_t>(mask.width()), ' ');

  const std::string digits = rounded.abs().to_string();  // "1234.50", "0.05", "12"
  const auto point = digits.find('.');
  const std::string_view all(digits);
  const auto int_part = all.substr(0, point);
  const auto dec_part = point == std::string::npos ? std::string_view{} : all.substr(point + 1);

  auto out = mask.render(rounded.sign() < 0, int_part, dec_part);
  if (!out) return std::string(static_cast<std::size_t>(mask.width()), '*');
  if (p.european) swap_point_and_comma(*out);
  if (p.left_align) {
    const auto lead = out->find_first_not_of(' ');
    if (lead != std::string::npos && lead > 0) *out = out->substr(lead) + std::string(lead, ' ');
  }
  if (p.credit && rounded.sign() > 0) *out += " CR";
  if (p.debit && rounded.sign() < 0) *out += " DB";
  return *out;
}

std::string transform_text(const std::string& text, const Picture& p) {
  std::string out;
  if (p.mask.empty()) {
    out = p.upper ? cp850::upper(text) : text;
  } else {
    out = p.mask;
    std::size_t next = 0;  // the value's next character under @R
    for (std::size_t i = 0; i < out.size(); ++i) {
      const char m = p.mask[i];
      if (!is_mask_slot(m)) continue;  // literal: replaces (or, with @R, sits between) characters
      const std::size_t from = p.insert ? next++ : i;
      auto c = static_cast<unsigned char>(from < text.size() ? text[from] : ' ');
      if (p.upper || m == '!') c = cp850::upper(c);
      out[i] = static_cast<char>(c);
    }
  }
  if (p.scroll && *p.scroll > 0 && out.size() > static_cast<std::size_t>(*p.scroll))
    out.resize(static_cast<std::size_t>(*p.scroll));
  return out;
}

}  // namespace

std::string transform(const Value& value, const Picture& picture, std::optional<NumberShape> shape) {
  switch (value.type()) {
    case Type::N:
      return transform_number(value.number(), picture, shape);
    case Type::D:
      return value.date().dmy();
    case Type::L:
      return std::string(1, logical_char(value.logical(), picture));
    case Type::C:
    case Type::M:
      break;
  }
  return transform_text(value.text(), picture);
}

std::string transform(const Value& value, std::string_view picture, std::optional<NumberShape> shape) {
  return transform(value, Picture::parse(picture), shape);
}

}  // namespace kx
