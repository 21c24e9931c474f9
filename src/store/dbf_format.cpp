#include "store/dbf_format.h"

#include <algorithm>
#include <cstring>

#include "platform/cp850.h"
#include "platform/text.h"

namespace kx::dbf {
namespace {

std::uint32_t get32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t get16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
}
void put32(std::string& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}
void put16(std::string& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<char>(v);
  b[at + 1] = static_cast<char>(v >> 8);
}

Status corrupt(const std::string& path, std::string text) {
  return Status(StatusCode::Corruption, "read header", path, 0, std::move(text));
}

bool known_version(unsigned char v) {
  return v == 0x03 || v == 0x83 || v == 0x8B || v == 0xF5 || v == 0x30 || v == 0x31 || v == 0x04 ||
         v == 0x8E;
}

int fixed_width(char type) {
  switch (type) {
    case 'D': return 8;
    case 'L': return 1;
    case 'M': return 10;
    default: return 0;
  }
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const FieldDef& f) {
  return os << f.name << ' ' << f.type << ' ' << f.width << ',' << f.decimals;
}

bool Header::has_memo() const {
  return std::any_of(fields.begin(), fields.end(), [](const FieldDef& f) { return f.type == 'M'; });
}

std::optional<std::size_t> Header::find(std::string_view name) const {
  const std::string want = cp850::upper(rtrim(name));
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i].name == want) return i;
  return std::nullopt;
}

Status layout(Header& h, const std::string& path) {
  auto bad = [&](std::string text) { return Status(StatusCode::Invalid, "create", path, 0, std::move(text)); };
  if (h.fields.empty()) return bad("a table needs at least one field");
  if (h.fields.size() > 1000) return bad("too many fields");
  std::size_t offset = 1;
  for (std::size_t i = 0; i < h.fields.size(); ++i) {
    FieldDef& f = h.fields[i];
    f.name = cp850::upper(f.name);
    if (f.name.empty() || f.name.size() > 10) return bad("field name of 1-10 characters: " + f.name);
    for (char c : f.name)
      if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return bad("field name " + f.name);
    for (std::size_t j = 0; j < i; ++j)
      if (h.fields[j].name == f.name) return bad("field " + f.name + " twice");
    switch (f.type) {
      case 'C':
        if (f.width < 1 || f.width > kMaxCharWidth) return bad("width of " + f.name);
        f.decimals = 0;
        break;
      case 'N':
        if (f.width < 1 || f.width > 20 || f.decimals < 0 || (f.decimals > 0 && f.decimals > f.width - 2))
          return bad("width or decimals of " + f.name);
        break;
      case 'D': case 'L': case 'M':
        f.width = fixed_width(f.type);
        f.decimals = 0;
        break;
      default:
        return bad(std::string("type of ") + f.name);
    }
    f.offset = offset;
    offset += static_cast<std::size_t>(f.width);
  }
  if (offset > 65535) return bad("record longer than 65535 bytes");
  h.record_size = static_cast<std::uint16_t>(offset);
  h.header_size = static_cast<std::uint16_t>(kPrologSize + kDescriptorSize * h.fields.size() + 1);
  h.version = h.has_memo() ? kVersionMemo : kVersionPlain;
  return {};
}

Result<Header> decode_prolog(std::string_view b, const std::string& path) {
  if (b.size() < kPrologSize) return corrupt(path, "file shorter than a table header");
  Header h;
  h.version = static_cast<unsigned char>(b[0]);
  if (!known_version(h.version)) return corrupt(path, "not a table (version byte)");
  const int yy = static_cast<unsigned char>(b[1]), mm = static_cast<unsigned char>(b[2]),
            dd = static_cast<unsigned char>(b[3]);
  if (auto d = Date::from_ymd(yy + 1900, mm, dd)) h.updated = *d;
  h.count = get32(b, 4);
  h.header_size = get16(b, 8);
  h.record_size = get16(b, 10);
  h.generation = get32(b, 16);
  h.code_page = static_cast<unsigned char>(b[29]);
  if (h.header_size < kPrologSize + 1 || h.record_size < 1) return corrupt(path, "header or record size");
  return h;
}

Result<Header> decode_header(std::string_view b, const std::string& path) {
  auto pr = decode_prolog(b, path);
  if (!pr.ok()) return pr.status();
  Header h = std::move(pr).value();
  if (b.size() < h.header_size) return corrupt(path, "header cut short");
  std::size_t offset = 1;
  for (std::size_t at = kPrologSize; at + kDescriptorSize <= h.header_size; at += kDescriptorSize) {
    if (b[at] == kTerminator) break;
    FieldDef f;
    std::string_view raw = b.substr(at, 11);
    f.name = std::string(raw.substr(0, raw.find('\0')));
    f.name = cp850::upper(rtrim(f.name));
    f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(b[at + 11])));
    f.width = static_cast<unsigned char>(b[at + 16]);
    f.decimals = static_cast<unsigned char>(b[at + 17]);
    if (f.type == 'C' && h.version != 0x30 && h.version != 0x31) {
      f.width += f.decimals * 256;
      f.decimals = 0;
    }
    if (f.width == 0) return corrupt(path, "field " + f.name + " of width 0");
    f.offset = offset;
    offset += static_cast<std::size_t>(f.width);
    h.fields.push_back(std::move(f));
  }
  if (h.fields.empty()) return corrupt(path, "no fields");
  if (offset != h.record_size) {
    // Some programs add hidden system fields; the sizes must still fit.
    if (offset > h.record_size) return corrupt(path, "fields longer than the record size");
  }
  return h;
}

std::string encode_prolog(const Header& h) {
  std::string b(kPrologSize, '\0');
  b[0] = static_cast<char>(h.version);
  if (!h.updated.is_empty()) {
    b[1] = static_cast<char>(h.updated.year() - 1900);
    b[2] = static_cast<char>(h.updated.month());
    b[3] = static_cast<char>(h.updated.day());
  }
  put32(b, 4, h.count);
  put16(b, 8, h.header_size);
  put16(b, 10, h.record_size);
  put32(b, 16, h.generation);
  b[29] = static_cast<char>(h.code_page);
  return b;
}

std::string encode_header(const Header& h) {
  std::string b = encode_prolog(h);
  for (const FieldDef& f : h.fields) {
    std::string d(kDescriptorSize, '\0');
    std::memcpy(d.data(), f.name.data(), std::min<std::size_t>(f.name.size(), 10));
    d[11] = f.type;
    put32(d, 12, static_cast<std::uint32_t>(f.offset));
    if (f.type == 'C') {
      d[16] = static_cast<char>(f.width & 0xFF);
      d[17] = static_cast<char>(f.width >> 8);
    } else {
      d[16] = static_cast<char>(f.width);
      d[17] = static_cast<char>(f.decimals);
    }
    b += d;
  }
  b += kTerminator;
  b.resize(h.header_size, '\0');
  return b;
}

std::string blank_record(const Header& h) { return std::string(h.record_size, ' '); }

Result<Value> decode_field(const FieldDef& f, std::string_view record, const std::string& path) {
  std::string_view raw = record.substr(f.offset, static_cast<std::size_t>(f.width));
  switch (f.type) {
    case 'N': case 'F': {
      auto n = from_field_text(raw);
      if (!n) return Status(StatusCode::Corruption, "read field " + f.name, path, 0,
                            "not a number: \"" + std::string(raw) + "\"");
      return Value(n->with_scale(f.decimals));
    }
    case 'D': {
      auto d = Date::parse_stored(raw);
      if (!d) {
        if (is_blank(raw) || raw.find_first_not_of(std::string_view("\0 0", 3)) == std::string_view::npos)
          return Value(Date{});
        return Status(StatusCode::Corruption, "read field " + f.name, path, 0,
                      "not a date: \"" + std::string(raw) + "\"");
      }
      return Value(*d);
    }
    case 'L': {
      const char c = raw.empty() ? ' ' : raw[0];
      return Value(c == 'T' || c == 't' || c == 'Y' || c == 'y' || c == 'S' || c == 's');
    }
    case 'M':
      return Value(std::int64_t{memo_block(f, record)});
    default:
      return Value(std::string(raw));
  }
}

Result<std::string> encode_field(const FieldDef& f, const Value& v) {
  auto wrong = [&] {
    return Status(StatusCode::Invalid, "replace", f.name, 0,
                  std::string("value of another type for field ") + f.name);
  };
  switch (f.type) {
    case 'C':
      if (!v.is_text()) return wrong();
      return padr(v.text(), f.width);
    case 'N': {
      if (v.type() != Type::N) return wrong();
      auto t = to_field_text(v.number(), f.width, f.decimals);
      if (!t)
        return Status(StatusCode::Invalid, "replace", f.name, 0,
                      "value " + v.number().to_string() + " does not fit field " + f.name + " (N " +
                          std::to_string(f.width) + "," + std::to_string(f.decimals) + ")");
      return *t;
    }
    case 'D':
      if (v.type() != Type::D) return wrong();
      return v.date().stored();
    case 'L':
      if (v.type() != Type::L) return wrong();
      return std::string(1, v.logical() ? 'T' : 'F');
    default:
      return wrong();
  }
}

std::uint32_t memo_block(const FieldDef& f, std::string_view record) {
  std::string_view raw = record.substr(f.offset, static_cast<std::size_t>(f.width));
  if (f.width == 4) return get32(raw, 0);  // binary block number of the .DBC family
  std::uint32_t n = 0;
  for (char c : raw)
    if (c >= '0' && c <= '9') n = n * 10 + static_cast<std::uint32_t>(c - '0');
  return n;
}

std::string encode_memo_block(const FieldDef& f, std::uint32_t block) {
  if (block == 0) return std::string(static_cast<std::size_t>(f.width), ' ');
  return padl(std::to_string(block), f.width);
}

}  // namespace kx::dbf
