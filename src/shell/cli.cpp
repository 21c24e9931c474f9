#include "shell/cli.h"

#include <algorithm>
#include <ostream>

#include "version.h"

namespace kx {
namespace {

bool all_digits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void print_help(std::ostream& out, const std::vector<Command>& commands) {
  out << "Usage: korvex [TERMINAL]\n"
         "       korvex <command> [options]\n"
         "       korvex --help | --version\n\n"
         "Starts KORVEX on terminal number TERMINAL (two digits, default 00 or the\n"
         "TERMINAL environment variable). KVHOME names the program folder.\n";
  if (!commands.empty()) {
    out << "\nCommands:\n";
    for (const auto& c : commands) {
      out << "  " << c.name;
      for (std::size_t i = c.name.size(); i < 12; ++i) out << ' ';
      out << c.summary << '\n';
    }
    out << "\nRun 'korvex <command> --help' for a command's options.\n";
  }
}

}  // namespace

int command_failed(CommandIo& io, std::string_view command, std::string_view message) {
  io.err << "korvex " << command << ": " << message << '\n';
  return 1;
}

int run_cli(const std::vector<std::string>& args, const std::vector<Command>& commands,
            const StartProgram& start, CommandIo io) {
  if (args.empty()) return start(io, "");
  const std::string& first = args.front();
  if (first == "--help" || first == "-h" || first == "help") {
    print_help(io.out, commands);
    return 0;
  }
  if (first == "--version" || first == "-V") {
    io.out << "korvex " << kVersion << '\n';
    return 0;
  }
  if (all_digits(first)) {
    if (args.size() > 1) {
      io.err << "korvex: unexpected argument '" << args[1] << "' (see 'korvex --help')\n";
      return 2;
    }
    return start(io, first);
  }
  auto it = std::find_if(commands.begin(), commands.end(),
                         [&](const Command& c) { return c.name == first; });
  if (it == commands.end()) {
    io.err << "korvex: unknown command or option '" << first << "' (see 'korvex --help')\n";
    return 2;
  }
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
    io.out << it->usage;
    if (!it->usage.empty() && it->usage.back() != '\n') io.out << '\n';
    return 0;
  }
  try {
    return it->run(io, rest);
  } catch (const CommandError& e) {
    io.err << "korvex " << it->name << ": " << e.what << " (see 'korvex " << it->name
           << " --help')\n";
    return 2;
  }
}

}  // namespace kx
