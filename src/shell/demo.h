// A small demonstration of the window layer: a menu bar whose items show a
// message box, a confirmation box, a prompt, the calculator, an option bar
// and a grid.  `korvex demo-windows` runs it in the terminal; tests run it
// headless with a key script.
#pragma once

#include <span>
#include <string>

#include "shell/cli.h"

namespace kx {

class Session;

// Runs the demo on the session's console until "Sair" is chosen.
void window_demo(Session& s);

// The batch command: the demo in the real terminal.
int demo_windows_command(CommandIo& io, std::span<const std::string> args);

}  // namespace kx
