// The background screen behind the main menu (and behind every screen that
// clears to it), and the two small waits of the menu loop.
#pragma once

#include <optional>

#include "platform/input.h"

namespace kx {

class Session;

// Fills the screen with blanks in COR_ENCH_C and draws the product logo,
// "Terminal " + NUSU + " IR Versão " + VERSAO, the user name (NOMEAG) and
// the version date (CULTIMAVER).
void draw_background(Session& s);

// VOLTA: waits for any key.
void volta(Session& s);

// OMOUSE: waits up to 0.1 second for a key or a click and returns it.  A
// click is handed to whoever reads events next as a choice of what it
// points at (the menu bar reads clicks itself), never a blanked row.
std::optional<InputEvent> omouse(Session& s);

}  // namespace kx
