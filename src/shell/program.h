// The program a user runs: MAIN (the start-up steps, then the menu loop),
// the single action of every menu item (MENUSELECT) and the exit step
// (ROTSAIDA).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ui_menu.h"

namespace kx {

class Session;
struct CommandIo;

// The main menu of a running program (a session part).
struct MainMenu {
  std::optional<MenuBar> bar;
  MenuPosition pos;
};

// The text of the box shown by menu items whose function this version does
// not have yet (CP850).
std::string not_available_text();

// Start-up steps 1-25.  Nothing: go on to the menu loop; a number: the
// program ends with that exit status (non-zero when start-up refused to go
// on: a second copy on this terminal number, no configuration table, the
// user leaving at the current-folder question).
std::optional<int> start_up(Session& s, std::string_view argument);

// The menu loop; returns the exit status once the exit step ran.
int menu_loop(Session& s);

// MAIN: start_up then menu_loop.
int run_program(Session& s, std::string_view argument);

// MENUSELECT: runs item `id`; true when the program is to end.
bool menu_select(Session& s, int id);

// ROTSAIDA: the exit step of items 18 and 91; false when the user chose
// not to leave.
bool rotsaida(Session& s, int id);

// korvex without a command: the program on the terminal.
int korvex_main(CommandIo& io, const std::string& terminal);

}  // namespace kx
