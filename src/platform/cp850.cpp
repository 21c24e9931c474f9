#include "platform/cp850.h"

namespace kx::cp850 {
namespace {

// Lower-case byte, upper-case byte: the accented letters of CP850 that have
// both cases in the code page.
constexpr unsigned char kCasePairs[][2] = {
    {0x81, 0x9A}, {0x82, 0x90}, {0x83, 0xB6}, {0x84, 0x8E}, {0x85, 0xB7}, {0x86, 0x8F},
    {0x87, 0x80}, {0x88, 0xD2}, {0x89, 0xD3}, {0x8A, 0xD4}, {0x8B, 0xD8}, {0x8C, 0xD7},
    {0x8D, 0xDE}, {0x91, 0x92}, {0x93, 0xE2}, {0x94, 0x99}, {0x95, 0xE3}, {0x96, 0xEA},
    {0x97, 0xEB}, {0x9B, 0x9D}, {0xA0, 0xB5}, {0xA1, 0xD6}, {0xA2, 0xE0}, {0xA3, 0xE9},
    {0xA4, 0xA5}, {0xC6, 0xC7}, {0xD0, 0xD1}, {0xE4, 0xE5}, {0xE7, 0xE8}, {0xEC, 0xED}};

struct CaseTables {
  std::array<unsigned char, 256> up{}, down{};
  std::array<bool, 256> alpha{};
  constexpr CaseTables() {
    for (int b = 0; b < 256; ++b) {
      up[b] = down[b] = static_cast<unsigned char>(b);
      alpha[b] = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
    }
    for (int b = 'a'; b <= 'z'; ++b) {
      up[b] = static_cast<unsigned char>(b - 32);
      down[b - 32] = static_cast<unsigned char>(b);
    }
    for (const auto& p : kCasePairs) {
      up[p[0]] = p[1];
      down[p[1]] = p[0];
      alpha[p[0]] = alpha[p[1]] = true;
    }
  }
};
constexpr CaseTables kCase;

// Reverse of kHigh, built at compile time so that decoding UTF-8 text does not
// scan the table for every character: a direct table for U+0080-U+00FF and a
// sorted list for the few code points above (box drawing, ƒ, ı, ‗).
struct ReverseTable {
  struct Entry {
    char32_t code;
    unsigned char byte;
  };
  std::array<unsigned char, 128> latin1{};  // 0 = not in CP850
  std::array<Entry, 128> wide{};
  std::size_t wide_size = 0;

  constexpr ReverseTable() {
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
      const auto byte = static_cast<unsigned char>(0x80 + i);
      if (kHigh[i] < 0x100) {
        latin1[kHigh[i] - 0x80] = byte;
      } else {
        // Insertion sort: the table is tiny and this runs once, at compile time.
        std::size_t k = wide_size++;
        for (; k > 0 && wide[k - 1].code > kHigh[i]; --k) wide[k] = wide[k - 1];
        wide[k] = {kHigh[i], byte};
      }
    }
  }

  constexpr std::optional<unsigned char> find(char32_t c) const {
    if (c < 0x80) return static_cast<unsigned char>(c);
    if (c < 0x100) {
      const unsigned char b = latin1[c - 0x80];
      return b ? std::optional<unsigned char>(b) : std::nullopt;
    }
    std::size_t lo = 0, hi = wide_size;
    while (lo < hi) {
      const std::size_t mid = (lo + hi) / 2;
      if (wide[mid].code < c)
        lo = mid + 1;
      else
        hi = mid;
    }
    if (lo < wide_size && wide[lo].code == c) return wide[lo].byte;
    return std::nullopt;
  }
};
constexpr ReverseTable kReverse;

// The fast lookup must be the exact inverse of to_unicode: every byte comes
// back, and nothing else is found.
constexpr bool reverse_table_agrees() {
  for (int b = 0; b < 256; ++b)
    if (kReverse.find(to_unicode(static_cast<unsigned char>(b))) != b) return false;
  for (char32_t c = 0; c < 0x2600; ++c)
    if (auto b = kReverse.find(c); b && to_unicode(*b) != c) return false;
  return !kReverse.find(0xFFFD) && !kReverse.find(0x20AC) && !kReverse.find(0x10FFFF);
}
static_assert(reverse_table_agrees());

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string to_utf8(std::string_view cp850) {
  std::string out;
  out.reserve(cp850.size() + cp850.size() / 4);
  for (char ch : cp850) append_utf8(out, to_unicode(static_cast<unsigned char>(ch)));
  return out;
}

std::string from_utf8(std::string_view utf8, char replacement, std::size_t* replaced) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0, bad = 0;
  while (i < utf8.size()) {
    auto c = decode_utf8(utf8, i);
    std::optional<unsigned char> b = c ? kReverse.find(*c) : std::nullopt;
    if (b) {
      out += static_cast<char>(*b);
    } else {
      out += replacement;
      ++bad;
    }
  }
  if (replaced) *replaced = bad;
  return out;
}

unsigned char upper(unsigned char b) { return kCase.up[b]; }
unsigned char lower(unsigned char b) { return kCase.down[b]; }
bool is_alpha(unsigned char b) { return kCase.alpha[b]; }

std::string upper(std::string_view s) {
  std::string out(s);
  for (auto& ch : out) ch = static_cast<char>(kCase.up[static_cast<unsigned char>(ch)]);
  return out;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (auto& ch : out) ch = static_cast<char>(kCase.down[static_cast<unsigned char>(ch)]);
  return out;
}

}  // namespace kx::cp850
