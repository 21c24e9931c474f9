// Index key expressions, held as a structure that renders its xBase text.
//
// The forms the tables use: a field, `+` of character parts, UPPER(x),
// STR(n, len[, dec]), LEFT(c, len), DTOS(d), and MONTH/DAY/YEAR(d) for temporary orders.
// parse() reads the texts of the catalogue ("CPF+STR(I7_0,4)",
// "UPPER(NOMECONTR)", "CPF+ATV_BRASIL+DTOS(DT_LC)"); text() renders the
// canonical text kept in index headers (capitals, no blanks).
//
// Key bytes sort as the keys do with a plain byte comparison (memcmp):
//   character: the CP850 bytes, padded to the key length;
//   numeric:   8 bytes, the value scaled to the field's decimals as a signed
//              64-bit integer with the sign bit flipped, big-endian;
//   date:      yyyymmdd (blank for the empty date, before every date);
//   logical:   "F" or "T".
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "platform/value.h"
#include "store/dbf_format.h"

namespace kx {

class KeyExpr {
 public:
  enum class Kind { Field, Upper, Str, Dtos, Month, Day, Year, Concat, Left };

  static KeyExpr field(std::string name);
  static KeyExpr upper(KeyExpr of);
  static KeyExpr str(KeyExpr of, int len, int dec = 0);
  static KeyExpr dtos(KeyExpr of);
  static KeyExpr month(KeyExpr of);
  static KeyExpr day(KeyExpr of);
  static KeyExpr year(KeyExpr of);
  // LEFT(text, n): the first n characters (a key on a long description).
  static KeyExpr left(KeyExpr of, int len);
  friend KeyExpr operator+(KeyExpr a, KeyExpr b);

  // Invalid (naming the text) for anything outside the forms above.
  static Result<KeyExpr> parse(std::string_view text);
  std::string text() const;

  Kind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  const std::vector<KeyExpr>& args() const { return args_; }
  int len() const { return len_; }
  int dec() const { return dec_; }

  friend bool operator==(const KeyExpr& a, const KeyExpr& b) { return a.text() == b.text(); }

 private:
  Kind kind_ = Kind::Field;
  std::string name_;
  int len_ = 0, dec_ = 0;
  std::vector<KeyExpr> args_;
};

// A key expression bound to a table's fields: evaluates records to key bytes.
class BoundKey {
 public:
  // Invalid for an unknown field or a type mismatch (naming the expression).
  static Result<BoundKey> bind(const KeyExpr& expr, const dbf::Header& h);

  const KeyExpr& expr() const { return expr_; }
  char type() const { return type_; }  // C N D L
  std::size_t length() const { return length_; }
  // The key bytes of a record (flag byte first).
  std::string eval(std::string_view record) const;
  void eval_into(std::string_view record, std::string& out) const;
  // The bytes to seek for a value: a text (any length up to the key's;
  // seeking matches on the length given), a number, a date or a logical
  // as the key's type needs.  Invalid for a value of another type.
  Result<std::string> seek_bytes(const Value& v) const;

  struct Node;  // the expression with its fields resolved

 private:
  KeyExpr expr_;
  char type_ = 'C';
  std::size_t length_ = 0;
  std::shared_ptr<const Node> root_;
};

// Order-preserving bytes of a number at a field's decimals (8 bytes).
std::string numeric_key(const Decimal& n, int decimals);

}  // namespace kx
