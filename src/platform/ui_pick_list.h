// A pick list: one column of choices in a rectangle, scrolling when there
// are more choices than rows.
//
// Keys: Up/Down, PgUp/PgDn, Home/End and Ctrl+PgUp/Ctrl+PgDn move (no
// wrapping); a letter moves to the next choice that starts with it; Enter
// or a click chooses; Esc leaves with nothing.  Other keys go to the
// hot-key stack.
#pragma once

#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/screen.h"

namespace kx {

class Console;
class HotKeys;

struct PickListOptions {
  Rect area{0, 0, 0, 0};  // where the choices are drawn, one per row
  Attr normal{0x1E};
  Attr selected{0x4F};
  int start = 1;  // the choice highlighted first (1-based)
  const HotKeys* hot_keys = nullptr;
};

// Returns the chosen choice (1-based), or 0 on Esc; `*current`, when given,
// gets the choice highlighted at the end.
int pick_list(Console& console, const std::vector<std::string>& choices, const PickListOptions& opts,
              int* current = nullptr);

}  // namespace kx
