// Running a screen program in the real terminal: a fresh session on the
// system's OS layer and clock, the program's variables declared, the
// console attached to the terminal for the run and detached afterwards,
// whatever happens.
#pragma once

#include <functional>
#include <string_view>

#include "platform/session.h"
#include "shell/cli.h"

namespace kx {

// Runs `body` and returns its exit status.  A terminal that closes under the
// program (hang-up, SIGTERM) or fails to start is reported as the error of
// command `name` (status 1); tables still open are closed first.
int run_on_terminal(CommandIo& io, std::string_view name, const std::function<int(Session&)>& body);

}  // namespace kx
