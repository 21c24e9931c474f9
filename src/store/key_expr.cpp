#include "store/key_expr.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/cp850.h"
#include "platform/text.h"

namespace kx {

// ---- Building and text ----------------------------------------------------

KeyExpr KeyExpr::field(std::string name) {
  KeyExpr e;
  e.kind_ = Kind::Field;
  e.name_ = cp850::upper(name);
  return e;
}

KeyExpr KeyExpr::upper(KeyExpr of) {
  KeyExpr e;
  e.kind_ = Kind::Upper;
  e.args_.push_back(std::move(of));
  return e;
}
KeyExpr KeyExpr::str(KeyExpr of, int len, int dec) {
  KeyExpr e;
  e.kind_ = Kind::Str;
  e.len_ = len;
  e.dec_ = dec;
  e.args_.push_back(std::move(of));
  return e;
}
KeyExpr KeyExpr::dtos(KeyExpr of) {
  KeyExpr e;
  e.kind_ = Kind::Dtos;
  e.args_.push_back(std::move(of));
  return e;
}
KeyExpr KeyExpr::month(KeyExpr of) {
  KeyExpr e;
  e.kind_ = Kind::Month;
  e.args_.push_back(std::move(of));
  return e;
}
KeyExpr KeyExpr::day(KeyExpr of) {
  KeyExpr e = month(std::move(of));
  e.kind_ = Kind::Day;
  return e;
}
KeyExpr KeyExpr::year(KeyExpr of) {
  KeyExpr e = month(std::move(of));
  e.kind_ = Kind::Year;
  return e;
}
KeyExpr KeyExpr::left(KeyExpr of, int len) {
  KeyExpr e;
  e.kind_ = Kind::Left;
  e.len_ = len;
  e.args_.push_back(std::move(of));
  return e;
}
KeyExpr operator+(KeyExpr a, KeyExpr b) {
  KeyExpr e;
  e.kind_ = KeyExpr::Kind::Concat;
  for (KeyExpr* part : {&a, &b}) {
    if (part->kind_ == KeyExpr::Kind::Concat)
      for (auto& x : part->args_) e.args_.push_back(std::move(x));
    else
      e.args_.push_back(std::move(*part));
  }
  return e;
}

std::string KeyExpr::text() const {
  switch (kind_) {
    case Kind::Field: return name_;
    case Kind::Upper: return "UPPER(" + args_[0].text() + ")";
    case Kind::Dtos: return "DTOS(" + args_[0].text() + ")";
    case Kind::Month: return "MONTH(" + args_[0].text() + ")";
    case Kind::Day: return "DAY(" + args_[0].text() + ")";
    case Kind::Year: return "YEAR(" + args_[0].text() + ")";
    case Kind::Str: {
      std::string t = "STR(" + args_[0].text() + "," + std::to_string(len_);
      if (dec_ != 0) t += "," + std::to_string(dec_);
      return t + ")";
    }
    case Kind::Left: return "LEFT(" + args_[0].text() + "," + std::to_string(len_) + ")";
    case Kind::Concat: {
      std::string t;
      for (const auto& a : args_) {
        if (!t.empty()) t += '+';
        t += a.text();
      }
      return t;
    }
  }
  return {};
}

// ---- Parsing --------------------------------------------------------------

namespace {

struct Parser {
  std::string_view s;
  std::size_t i = 0;
  bool failed = false;

  void blanks() {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  }
  bool eat(char c) {
    blanks();
    if (i < s.size() && s[i] == c) {
      ++i;
      return true;
    }
    return false;
  }
  std::string ident() {
    blanks();
    std::size_t b = i;
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
    return cp850::upper(s.substr(b, i - b));
  }
  std::optional<int> number() {
    blanks();
    std::size_t b = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    if (b == i || i - b > 4) return std::nullopt;
    return std::stoi(std::string(s.substr(b, i - b)));
  }
  std::optional<KeyExpr> term() {
    std::string id = ident();
    if (id.empty() || std::isdigit(static_cast<unsigned char>(id[0]))) return std::nullopt;
    if (!eat('(')) {
      if (id.size() > 10) return std::nullopt;
      return KeyExpr::field(id);
    }
    auto inner = expr();
    if (!inner) return std::nullopt;
    std::optional<KeyExpr> out;
    if (id == "STR") {
      int len = 10, dec = 0;
      if (eat(',')) {
        auto l = number();
        if (!l) return std::nullopt;
        len = *l;
        if (eat(',')) {
          auto d = number();
          if (!d) return std::nullopt;
          dec = *d;
        }
      }
      out = KeyExpr::str(std::move(*inner), len, dec);
    } else if (id == "LEFT") {
      if (!eat(',')) return std::nullopt;
      auto l = number();
      if (!l) return std::nullopt;
      out = KeyExpr::left(std::move(*inner), *l);
    } else if (id == "UPPER") {
      out = KeyExpr::upper(std::move(*inner));
    } else if (id == "DTOS") {
      out = KeyExpr::dtos(std::move(*inner));
    } else if (id == "MONTH") {
      out = KeyExpr::month(std::move(*inner));
    } else if (id == "DAY") {
      out = KeyExpr::day(std::move(*inner));
    } else if (id == "YEAR") {
      out = KeyExpr::year(std::move(*inner));
    } else {
      return std::nullopt;
    }
    if (!eat(')')) return std::nullopt;
    return out;
  }
  std::optional<KeyExpr> expr() {
    auto t = term();
    if (!t) return std::nullopt;
    while (eat('+')) {
      auto u = term();
      if (!u) return std::nullopt;
      t = std::move(*t) + std::move(*u);
    }
    return t;
  }
};

}  // namespace

Result<KeyExpr> KeyExpr::parse(std::string_view text) {
  Parser p{text};
  auto e = p.expr();
  p.blanks();
  if (!e || p.i != text.size())
    return Status(StatusCode::Invalid, "key expression", std::string(text), 0,
                  "not a key expression of the forms field, +, UPPER, STR, DTOS");
  return std::move(*e);
}

// ---- Binding and evaluation ------------------------------------------------

struct BoundKey::Node {
  KeyExpr::Kind kind = KeyExpr::Kind::Field;
  char type = 'C';          // of the result: C N D L
  std::size_t length = 0;   // key bytes for C; 8 for N and D; 1 for L
  int decimals = 0;         // of a numeric result
  dbf::FieldDef field;      // Field
  int len = 0, dec = 0;     // Str
  std::vector<Node> args;
};

namespace {

using Node = BoundKey::Node;

Result<Node> bind_node(const KeyExpr& e, const dbf::Header& h, const std::string& whole) {
  auto bad = [&](std::string why) {
    return Status(StatusCode::Invalid, "key expression", whole, 0, std::move(why));
  };
  Node n;
  n.kind = e.kind();
  for (const auto& a : e.args()) {
    auto b = bind_node(a, h, whole);
    if (!b.ok()) return b.status();
    n.args.push_back(std::move(b).value());
  }
  switch (e.kind()) {
    case KeyExpr::Kind::Field: {
      auto i = h.find(e.name());
      if (!i) return bad("no field " + e.name());
      n.field = h.fields[*i];
      switch (n.field.type) {
        case 'C': n.type = 'C'; n.length = static_cast<std::size_t>(n.field.width); break;
        case 'N': n.type = 'N'; n.length = 8; n.decimals = n.field.decimals; break;
        case 'D': n.type = 'D'; n.length = 8; break;
        case 'L': n.type = 'L'; n.length = 1; break;
        default: return bad("field " + e.name() + " cannot be a key");
      }
      break;
    }
    case KeyExpr::Kind::Upper:
      if (n.args[0].type != 'C') return bad("UPPER of a non-character value");
      n.type = 'C';
      n.length = n.args[0].length;
      break;
    case KeyExpr::Kind::Str:
      if (n.args[0].type != 'N') return bad("STR of a non-numeric value");
      if (e.len() < 1 || e.len() > 40 || e.dec() < 0 || e.dec() >= e.len()) return bad("STR length");
      n.type = 'C';
      n.len = e.len();
      n.dec = e.dec();
      n.length = static_cast<std::size_t>(e.len());
      break;
    case KeyExpr::Kind::Dtos:
      if (n.args[0].type != 'D') return bad("DTOS of a non-date value");
      n.type = 'C';
      n.length = 8;
      break;
    case KeyExpr::Kind::Month: case KeyExpr::Kind::Day: case KeyExpr::Kind::Year:
      if (n.args[0].type != 'D') return bad(e.text() + ": of a non-date value");
      n.type = 'N';
      n.length = 8;
      break;
    case KeyExpr::Kind::Left:
      if (n.args[0].type != 'C') return bad("LEFT of a non-character value");
      if (e.len() < 1) return bad("LEFT length");
      n.type = 'C';
      n.len = e.len();
      n.length = std::min(static_cast<std::size_t>(e.len()), n.args[0].length);
      break;
    case KeyExpr::Kind::Concat:
      n.type = 'C';
      for (const Node& a : n.args) {
        if (a.type != 'C') return bad("+ of a non-character value");
        n.length += a.length;
      }
      break;
  }
  return n;
}

std::string_view raw(const Node& n, std::string_view rec) {
  return rec.substr(n.field.offset, static_cast<std::size_t>(n.field.width));
}

Decimal number_of(const Node& n, std::string_view rec) {
  if (n.kind == KeyExpr::Kind::Field) return from_field_text(raw(n, rec)).value_or(Decimal(0));
  const Date d = Date::parse_stored(raw(n.args[0], rec)).value_or(Date{});
  switch (n.kind) {
    case KeyExpr::Kind::Month: return Decimal(d.month());
    case KeyExpr::Kind::Day: return Decimal(d.day());
    default: return Decimal(d.year());
  }
}

// Appends the bytes of a node to out.
void eval_node(const Node& n, std::string_view rec, std::string& out) {
  switch (n.kind) {
    case KeyExpr::Kind::Field:
      if (n.type == 'N') out += numeric_key(number_of(n, rec), n.decimals);
      else if (n.type == 'L') {
        const char c = rec[n.field.offset];
        out += (c == 'T' || c == 't' || c == 'Y' || c == 'y') ? 'T' : 'F';
      } else {
        out.append(raw(n, rec));
      }
      return;
    case KeyExpr::Kind::Upper: {
      const std::size_t at = out.size();
      eval_node(n.args[0], rec, out);
      for (std::size_t i = at; i < out.size(); ++i)
        out[i] = static_cast<char>(cp850::upper(static_cast<unsigned char>(out[i])));
      return;
    }
    case KeyExpr::Kind::Str:
      out += str(number_of(n.args[0], rec), n.len, n.dec);
      return;
    case KeyExpr::Kind::Dtos: {
      std::string_view d = raw(n.args[0], rec);
      if (Date::parse_stored(d)) out.append(d);
      else out.append(8, ' ');
      return;
    }
    case KeyExpr::Kind::Month: case KeyExpr::Kind::Day: case KeyExpr::Kind::Year:
      out += numeric_key(number_of(n, rec), 0);
      return;
    case KeyExpr::Kind::Left: {
      const std::size_t at = out.size();
      eval_node(n.args[0], rec, out);
      out.resize(at + n.length);
      return;
    }
    case KeyExpr::Kind::Concat:
      for (const Node& a : n.args) eval_node(a, rec, out);
      return;
  }
}

}  // namespace

std::string numeric_key(const Decimal& n, int decimals) {
  const Decimal::Coefficient c = n.with_scale(decimals).coefficient();
  constexpr Decimal::Coefficient lo = INT64_MIN, hi = INT64_MAX;
  const std::int64_t v = static_cast<std::int64_t>(c < lo ? lo : c > hi ? hi : c);
  const std::uint64_t u = static_cast<std::uint64_t>(v) ^ (std::uint64_t{1} << 63);
  std::string out(8, '\0');
  for (int i = 0; i < 8; ++i) out[static_cast<std::size_t>(i)] = static_cast<char>(u >> (56 - 8 * i));
  return out;
}

Result<BoundKey> BoundKey::bind(const KeyExpr& expr, const dbf::Header& h) {
  auto n = bind_node(expr, h, expr.text());
  if (!n.ok()) return n.status();
  // Parts may be longer (LEFT of a wide field); the key itself must fit pages.
  if (n->length > 240)
    return Status(StatusCode::Invalid, "key expression", expr.text(), 0, "key longer than 240 bytes");
  BoundKey k;
  k.expr_ = expr;
  k.type_ = n->type;
  k.length_ = n->length;
  k.root_ = std::make_shared<const Node>(std::move(n).value());
  return k;
}

std::string BoundKey::eval(std::string_view record) const {
  std::string out;
  out.reserve(length_ + 4);
  eval_node(*root_, record, out);
  return out;
}

void BoundKey::eval_into(std::string_view record, std::string& out) const {
  out.clear();
  eval_node(*root_, record, out);
}

Result<std::string> BoundKey::seek_bytes(const Value& v) const {
  auto wrong = [&] {
    return Status(StatusCode::Invalid, "seek", expr_.text(), 0, "value of another type than the key");
  };
  switch (type_) {
    case 'C':
      if (!v.is_text()) return wrong();
      return v.text().substr(0, length_);
    case 'N':
      if (v.type() != Type::N) return wrong();
      return numeric_key(v.number(), root_->decimals);
    case 'D':
      if (v.type() != Type::D) return wrong();
      return v.date().stored();
    default:
      if (v.type() != Type::L) return wrong();
      return std::string(1, v.logical() ? 'T' : 'F');
  }
}

}  // namespace kx
