// The command line: `korvex [TERMINAL]` starts the program; `korvex <command>
// [options]` runs a batch command.  Every command has its own --help, writes
// a one-line error on stderr and exits non-zero when it fails.
#pragma once

#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

struct CommandIo {
  std::ostream& out;
  std::ostream& err;
};

struct Command {
  std::string_view name;
  std::string_view summary;  // one line for `korvex --help`
  std::string_view usage;    // the command's own --help text
  // Runs with the arguments after the command name; returns the exit status.
  // A usage error is reported with CommandError, a failure by returning 1
  // after writing the error line.
  std::function<int(CommandIo&, std::span<const std::string>)> run;
};

// A usage error inside a command; run_cli prints "korvex <command>: <what>"
// with a hint to --help and exits with status 2.
struct CommandError {
  std::string what;
};

// Writes "korvex <command>: <message>" on err and returns 1.
int command_failed(CommandIo& io, std::string_view command, std::string_view message);

// Starts the interactive program with the terminal argument ("" when none).
using StartProgram = std::function<int(CommandIo&, const std::string& terminal)>;

// Parses argv and dispatches.  Exit status: 0 success, 1 failure, 2 usage error.
int run_cli(const std::vector<std::string>& args, const std::vector<Command>& commands,
            const StartProgram& start, CommandIo io);

}  // namespace kx
