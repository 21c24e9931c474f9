#include "platform/colour.h"

#include <array>

#include "platform/text.h"

namespace kx {
namespace {

constexpr std::array<std::string_view, 8> kLetters = {"N", "B", "G", "BG", "R", "BR", "GR", "W"};

std::string half(int v) {
  std::string s(kLetters[static_cast<std::size_t>(v & 7)]);
  if (v >= 8) s += '+';
  return s;
}

// One half of a colour string: a colour 0-15 (nothing for unknown letters).
std::optional<int> parse_half(std::string_view h, bool& blink) {
  std::string letters;
  bool bright = false;
  for (char c : h) {
    if (c == '+')
      bright = true;
    else if (c == '*')
      blink = true;
    else if (c == ' ')
      continue;
    else
      letters += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  }
  int v = 0;
  if (letters.empty() || letters == "N" || letters == "X")
    v = 0;
  else if (letters == "U")
    v = 7;
  else {
    // Letters may come in either order ("GB" is cyan as "BG" is).
    bool b = false, g = false, r = false, w = false;
    for (char c : letters) {
      if (c == 'B')
        b = true;
      else if (c == 'G')
        g = true;
      else if (c == 'R')
        r = true;
      else if (c == 'W')
        w = true;
      else
        return std::nullopt;
    }
    v = w ? 7 : (b ? 1 : 0) | (g ? 2 : 0) | (r ? 4 : 0);
  }
  return bright ? v + 8 : v;
}

}  // namespace

std::string_view colour_letters(int colour) { return kLetters[static_cast<std::size_t>(colour & 7)]; }

std::string achacor(int number) {
  number &= 0xFF;
  return half(number % 16) + "/" + half(number / 16);
}

std::string colour_string(Attr a) {
  std::string s = half(a.fg());
  if (a.blink) s += '*';
  return s + "/" + half(a.bg());
}

std::ostream& operator<<(std::ostream& os, Attr a) { return os << colour_string(a); }

std::optional<Attr> parse_colour(std::string_view text) {
  const std::string t = trim(text);
  if (t.empty()) return Attr{0x07};
  if (t == "I" || t == "i") return Attr{0x70};
  const auto slash = t.find('/');
  bool blink = false;
  auto fg = parse_half(std::string_view(t).substr(0, slash), blink);
  std::optional<int> bg = 0;
  if (slash != std::string::npos) bg = parse_half(std::string_view(t).substr(slash + 1), blink);
  if (!fg || !bg) return std::nullopt;
  return Attr{*bg * 16 + *fg, blink};
}

Attr colour_or_default(std::string_view text) { return parse_colour(text).value_or(Attr{0x07}); }

std::vector<Attr> parse_colour_spec(std::string_view spec) {
  std::vector<Attr> out;
  std::size_t start = 0;
  while (true) {
    const auto comma = spec.find(',', start);
    out.push_back(
        colour_or_default(spec.substr(start, comma == std::string_view::npos ? spec.npos : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return out;
}

Attr colour_slot(std::string_view spec, std::size_t index) {
  const auto slots = parse_colour_spec(spec);
  return index < slots.size() ? slots[index] : Attr{0x07};
}

}  // namespace kx
