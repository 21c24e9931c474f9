#include "shell/terminal_run.h"

#include <stdexcept>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/curses_terminal.h"
#include "platform/os.h"
#include "shell/session_vars.h"
#include "shell/windows.h"
#include "store/work_areas.h"

namespace kx {

int run_on_terminal(CommandIo& io, std::string_view name, const std::function<int(Session&)>& body) {
  Os& os = posix_os();
  SystemClock clock(os);
  Session session(os, clock);
  declare_program_variables(session);
  Console& con = console_of(session);
  int status = 0;
  try {
    TerminalOptions opts;
    opts.colour = !os.env("NO_COLOR").has_value();
    CursesTerminal term(opts);
    con.attach(term, &term);
    try {
      status = body(session);
    } catch (...) {
      con.detach();
      throw;
    }
    con.detach();
  } catch (const TerminalClosed& e) {
    if (session.has_part<WorkAreas>()) (void)session.part<WorkAreas>().close_all();
    return command_failed(io, name, e.what());
  } catch (const std::runtime_error& e) {
    return command_failed(io, name, e.what());
  }
  return status;
}

}  // namespace kx
