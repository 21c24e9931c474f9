// A value of one of the field types: C text, N number, D date, L logical,
// M memo text.  Session variables, field contents and picture input all pass
// values of this type.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <variant>

#include "platform/date.h"
#include "platform/decimal.h"

namespace kx {

enum class Type : char { C = 'C', N = 'N', D = 'D', L = 'L', M = 'M' };

class Value {
 public:
  Value() : Value(std::string{}) {}
  Value(std::string text, Type type = Type::C);  // C or M
  Value(std::string_view text) : Value(std::string(text)) {}
  Value(const char* text) : Value(std::string(text)) {}
  Value(Decimal number) : type_(Type::N), v_(number) {}
  Value(std::int64_t number) : Value(Decimal(number)) {}
  Value(int number) : Value(Decimal(number)) {}
  Value(Date date) : type_(Type::D), v_(date) {}
  Value(bool logical) : type_(Type::L), v_(logical) {}

  // The empty value of a type: "" / 0 / empty date / false.
  static Value blank(Type type);

  Type type() const { return type_; }
  bool is_text() const { return type_ == Type::C || type_ == Type::M; }

  // Typed access; asking for the wrong type is a program error (throws
  // std::logic_error naming both types).
  const std::string& text() const;
  std::string& text();
  const Decimal& number() const;
  Date date() const;
  bool logical() const;

  // EMPTY(): blank text, zero, empty date, false.
  bool is_empty() const;

  friend bool operator==(const Value& a, const Value& b);

 private:
  Type type_;
  std::variant<std::string, Decimal, Date, bool> v_;
};

std::ostream& operator<<(std::ostream& os, const Value& v);

}  // namespace kx
