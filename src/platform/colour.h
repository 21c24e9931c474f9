// Screen attributes and colour strings.
//
// An attribute is the classic text-mode colour byte, background x 16 +
// foreground, each 0-15 in the order N B G BG R BR GR W with 8 added for the
// bright variant, plus a blink flag (kept apart so that a bright background
// and blinking can both be asked for).  Colour strings name the same thing
// as "W+/B": foreground letters, "+" bright, "*" blink, "/" and the
// background.  A colour set (the five slots of a field or menu) joins several of them with commas
// ("N/W+,W/N,N/N,N/N,N/W+": standard, enhanced, border, background,
// unselected).
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

struct Attr {
  std::uint8_t colour = 0x07;  // background x 16 + foreground
  bool blink = false;

  constexpr Attr() = default;
  constexpr explicit Attr(int number, bool blinking = false)
      : colour(static_cast<std::uint8_t>(number & 0xFF)), blink(blinking) {}
  constexpr int fg() const { return colour & 0x0F; }
  constexpr int bg() const { return colour >> 4; }
  friend constexpr bool operator==(Attr a, Attr b) = default;
};
std::ostream& operator<<(std::ostream& os, Attr a);  // "GR+/B" (with "*" when blinking)

// The letters of colours 0-7: "N", "B", "G", "BG", "R", "BR", "GR", "W".
std::string_view colour_letters(int colour);

// ACHACOR: attribute number 0-255 to its colour string (30 -> "GR+/B").
std::string achacor(int number);
std::string colour_string(Attr a);  // as achacor, with "*" after the foreground when blinking

// One colour string to an attribute.  Letters in either case, "+" and "*" in
// either half (a "+" in the background half makes the background bright, a
// "*" anywhere blinks); an empty half is black, an empty string "W/N".  "I"
// is inverse (N/W), "X" black, "U" underline (shown as W/N).  Unknown
// letters give nothing.
std::optional<Attr> parse_colour(std::string_view text);
// parse_colour with a fallback for a malformed string (W/N).
Attr colour_or_default(std::string_view text);

// A colour set: its comma-separated slots (missing or malformed
// slots are W/N; "" gives one slot).
std::vector<Attr> parse_colour_spec(std::string_view spec);
// Slot `index` (0-based) of a colour set, W/N when absent.
Attr colour_slot(std::string_view spec, std::size_t index);

}  // namespace kx
