// Code page 850: the one encoding of text in memory and on disk.
//
// Every string the program handles (screen texts, field values, file names as
// stored in tables) is a std::string of CP850 bytes.  UTF-8 exists only at the
// edges: source literals (converted at compile time by the _cp literal below),
// the terminal, and files that are written in UTF-8 on purpose.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kx::cp850 {

// Unicode code point of each CP850 byte 0x80-0xFF.  Bytes 0x00-0x7F are ASCII
// (control bytes stay control bytes; the console draws them as it sees fit).
inline constexpr std::array<char32_t, 128> kHigh = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8,
    0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2,
    0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1,
    0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD,
    0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2,
    0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534,
    0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560,
    0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4,
    0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD,
    0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, 0x00B0,
    0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0};

constexpr char32_t to_unicode(unsigned char b) {
  return b < 0x80 ? char32_t{b} : kHigh[b - 0x80];
}

// The CP850 byte of a code point, or nothing when CP850 lacks it.
constexpr std::optional<unsigned char> from_unicode(char32_t c) {
  if (c < 0x80) return static_cast<unsigned char>(c);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == c) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

// Decodes one UTF-8 sequence starting at s[i]; advances i.  Returns nothing on
// a malformed or overlong sequence (i is then advanced by one byte).
constexpr std::optional<char32_t> decode_utf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int len = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
    ++i;
    return std::nullopt;
  }
  char32_t c = len == 1 ? b0 : len == 2 ? (b0 & 0x1Fu) : len == 3 ? (b0 & 0x0Fu) : (b0 & 0x07u);
  for (int k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((b >> 6) != 0x2) {
      ++i;
      return std::nullopt;
    }
    c = (c << 6) | (b & 0x3Fu);
  }
  constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return std::nullopt;
  }
  i += static_cast<std::size_t>(len);
  return c;
}

// CP850 text to UTF-8 (total: every byte has a code point).
std::string to_utf8(std::string_view cp850);
// UTF-8 text to CP850.  Characters CP850 lacks, and malformed bytes, become
// `replacement`; the count of replaced characters goes to *replaced if given.
std::string from_utf8(std::string_view utf8, char replacement = '?', std::size_t* replaced = nullptr);

// Case map of CP850: ASCII letters and the accented pairs (ç/Ç, ã/Ã, é/É ...).
// Letters without a CP850 counterpart (ß, ÿ, µ, ı) are left as they are.
unsigned char upper(unsigned char b);
unsigned char lower(unsigned char b);
bool is_alpha(unsigned char b);  // ASCII letters and every CP850 letter with a case pair
std::string upper(std::string_view s);
std::string lower(std::string_view s);

// ---- Compile-time conversion of UTF-8 source literals -------------------

template <std::size_t N>
struct Utf8Literal {
  char data[N]{};
  consteval Utf8Literal(const char (&s)[N]) {  // NOLINT: implicit by design
    for (std::size_t i = 0; i < N; ++i) data[i] = s[i];
  }
  static constexpr std::size_t length = N - 1;
};

namespace detail {
consteval std::size_t converted_size(std::string_view s) {
  std::size_t i = 0, n = 0;
  while (i < s.size()) {
    auto c = decode_utf8(s, i);
    if (!c) throw "malformed UTF-8 in a text literal";
    if (!from_unicode(*c)) throw "a text literal holds a character that code page 850 lacks";
    ++n;
  }
  return n;
}

template <Utf8Literal L>
struct Converted {
  static constexpr std::size_t size = converted_size({L.data, L.length});
  static constexpr std::array<char, size + 1> value = [] {
    std::array<char, size + 1> out{};
    std::string_view s{L.data, L.length};
    std::size_t i = 0, n = 0;
    while (i < s.size()) out[n++] = static_cast<char>(*from_unicode(*decode_utf8(s, i)));
    return out;
  }();
};
}  // namespace detail

}  // namespace kx::cp850

namespace kx {
inline namespace literals {
// "Confirma saída do programa?"_cp is the CP850 text of a UTF-8 source
// literal; a character CP850 lacks makes the program fail to compile.
template <cp850::Utf8Literal L>
constexpr std::string_view operator""_cp() {
  return {cp850::detail::Converted<L>::value.data(), cp850::detail::Converted<L>::size};
}
}  // namespace literals
}  // namespace kx
