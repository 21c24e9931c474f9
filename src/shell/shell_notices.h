// The table procedures' notices drawn with the window layer: bottom-row
// notices, the kept progress window, message boxes and Sim/Não questions.
#pragma once

namespace kx {

class Session;

// Installs the window-layer notices for the table procedures of `s`.
void install_shell_notices(Session& s);

}  // namespace kx
