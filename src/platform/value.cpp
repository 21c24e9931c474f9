#include "platform/value.h"

#include <stdexcept>

#include "platform/text.h"

namespace kx {
namespace {

[[noreturn]] void wrong_type(Type have, char want) {
  throw std::logic_error(std::string("value of type ") + static_cast<char>(have) +
                         " used as type " + want);
}

}  // namespace

Value::Value(std::string text, Type type) : type_(type), v_(std::move(text)) {
  if (type != Type::C && type != Type::M) wrong_type(type, 'C');
}

Value Value::blank(Type type) {
  switch (type) {
    case Type::C:
    case Type::M:
      return Value(std::string{}, type);
    case Type::N:
      return Value(Decimal{});
    case Type::D:
      return Value(Date::empty());
    case Type::L:
      return Value(false);
  }
  return Value();
}

const std::string& Value::text() const {
  if (!is_text()) wrong_type(type_, 'C');
  return std::get<std::string>(v_);
}
std::string& Value::text() {
  if (!is_text()) wrong_type(type_, 'C');
  return std::get<std::string>(v_);
}
const Decimal& Value::number() const {
  if (type_ != Type::N) wrong_type(type_, 'N');
  return std::get<Decimal>(v_);
}
Date Value::date() const {
  if (type_ != Type::D) wrong_type(type_, 'D');
  return std::get<Date>(v_);
}
bool Value::logical() const {
  if (type_ != Type::L) wrong_type(type_, 'L');
  return std::get<bool>(v_);
}

bool Value::is_empty() const {
  switch (type_) {
    case Type::C:
    case Type::M:
      return is_blank(text());
    case Type::N:
      return number().is_zero();
    case Type::D:
      return date().is_empty();
    case Type::L:
      return !logical();
  }
  return true;
}

bool operator==(const Value& a, const Value& b) {
  if (a.is_text() && b.is_text()) return a.text() == b.text();
  return a.type_ == b.type_ && a.v_ == b.v_;
}

std::ostream& operator<<(std::ostream& os, const Value& v) {
  switch (v.type()) {
    case Type::C:
    case Type::M:
      return os << '"' << cp850::to_utf8(v.text()) << '"';
    case Type::N:
      return os << v.number();
    case Type::D:
      return os << v.date();
    case Type::L:
      return os << (v.logical() ? ".T." : ".F.");
  }
  return os;
}

}  // namespace kx
