// The colour screen: the eight screen elements a user recolours by moving a
// marker over the palette of the 128 colour combinations.  Every move is
// applied at once; ending an element stores all colours in the terminal's
// row of the colour table.
#pragma once

#include <array>
#include <string_view>

namespace kx {

class Session;

struct ColourElementDef {
  std::string_view caption;     // CP850 (blank-padded to 17)
  std::string_view attr_var;    // the attribute number
  std::string_view string_var;  // the colour string; "" for none
};
// In list order; hot letters "TCISEMHF".
extern const std::array<ColourElementDef, 8> kColourElements;

// Where the three windows stand (top row and left column of the text).
struct ColourScreenLayout {
  int list_top, list_left, palette_top, palette_left, sample_top, sample_left;
};
ColourScreenLayout colour_screen_layout(bool from_menu);

// MODCOR: the colour screen until Esc (from_menu true from the main menu).
void modcor(Session& s, bool from_menu = true);
// ESCOL_COR: edits element `element` (1-8) until Enter or Esc.
void escol_cor(Session& s, int element, bool from_menu = true);
// DESTELA: draws the element list.
void destela(Session& s, bool from_menu = true);
// Applies attribute `attr` to element `element` (the move step): the
// element's variables, COR_FERID for element 3, and the redraws.
void apply_colour(Session& s, int element, int attr, bool from_menu = true);

}  // namespace kx
