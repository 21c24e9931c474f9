// korvex: the program a user starts, and its batch commands.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "shell/cli.h"
#include "shell/commands.h"
#include "version.h"

namespace {

// The interactive program (console and main menu) is not built yet: it says so
// and ends.
int start_program(kx::CommandIo& io, const std::string& terminal) {
  const char* env = std::getenv("TERMINAL");
  std::string number = env && *env ? env : terminal.empty() ? "0" : terminal;
  if (number.size() < 2) number.insert(0, 2 - number.size(), '0');
  const char* home = std::getenv("KVHOME");
  io.out << "KORVEX " << kx::kVersion << " - terminal " << number << ", program folder "
         << (home && *home ? home : ".") << '\n'
         << "The screens and the main menu are not available in this version yet.\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return kx::run_cli(args, kx::batch_commands(), start_program, kx::CommandIo{std::cout, std::cerr});
}
