// korvex: the program a user starts, and its batch commands.
#include <iostream>
#include <string>
#include <vector>

#include "shell/cli.h"
#include "shell/commands.h"
#include "shell/program.h"
#include "version.h"

namespace {

// korvex without a command: the program on the terminal, the optional
// argument being the terminal number.
int start_program(kx::CommandIo& io, const std::string& terminal) { return kx::korvex_main(io, terminal); }

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return kx::run_cli(args, kx::batch_commands(), start_program, kx::CommandIo{std::cout, std::cerr});
}
