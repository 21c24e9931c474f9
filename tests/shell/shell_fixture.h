// A session with the program's variables and a headless console.
#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/os.h"
#include "platform/session.h"
#include "shell/session_vars.h"

namespace kx::test {

struct ShellSession {
  FixedClock clock{*Date::from_ymd(2013, 3, 10)};
  Session s{posix_os(), clock};
  ShellSession() { declare_program_variables(s); }
  Console& con() { return s.part<Console>(); }
  Screen& scr() { return con().screen(); }
  ScriptedKeys& keys() { return con().script(); }
  std::string row(int r) { return scr().row_text(r); }
};

}  // namespace kx::test
