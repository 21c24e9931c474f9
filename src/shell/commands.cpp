#include "shell/commands.h"

#include <ostream>

#include "platform/cp850.h"
#include "platform/date.h"
#include "platform/decimal.h"
#include "platform/picture.h"
#include "shell/demo.h"
#include "store/dbf_tool.h"

namespace kx {
namespace {

// korvex transform [--type C|N|D|L] PICTURE VALUE: the shown text of a value.
int transform_command(CommandIo& io, std::span<const std::string> args) {
  char type = 'C';
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--type") {
      if (i + 1 >= args.size() || args[i + 1].size() != 1 ||
          std::string_view("CNDL").find(args[i + 1][0]) == std::string_view::npos)
        throw CommandError{"--type takes one of C, N, D, L"};
      type = args[++i][0];
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.size() != 2) throw CommandError{"a picture and a value are required"};
  const std::string picture = cp850::from_utf8(rest[0]);
  const std::string text = cp850::from_utf8(rest[1]);
  Value value;
  switch (type) {
    case 'N': {
      auto n = Decimal::parse(text);
      if (!n) return command_failed(io, "transform", "not a number: " + rest[1]);
      value = *n;
      break;
    }
    case 'D': {
      auto d = Date::parse_dmy(text);
      if (!d) return command_failed(io, "transform", "not a date (dd/mm/yyyy): " + rest[1]);
      value = *d;
      break;
    }
    case 'L':
      value = Value(text == "T" || text == "S" || text == "Y" || text == ".T.");
      break;
    default:
      value = Value(text);
  }
  io.out << cp850::to_utf8(transform(value, picture)) << '\n';
  return 0;
}

// korvex dbf FILE [--check]: a table as text, or its validation.
int dbf_command(CommandIo& io, std::span<const std::string> args) {
  bool check = false;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == "--check") check = true;
    else files.push_back(a);
  }
  if (files.size() != 1) throw CommandError{"one table file is required"};
  const std::string path = cp850::from_utf8(files[0]);
  return check ? dbf_check(posix_os(), path, io.out, io.err) : dbf_dump(posix_os(), path, io.out, io.err);
}

}  // namespace

const std::vector<Command>& batch_commands() {
  static const std::vector<Command> commands = {
      {"transform", "shows a value through a picture",
       "Usage: korvex transform [--type C|N|D|L] PICTURE VALUE\n"
       "Prints VALUE as the picture shows it, e.g.\n"
       "  korvex transform --type N \"@Ez 999,999,999.99\" 1234.5\n"
       "Numbers use '.' or ',' as the decimal separator; dates are dd/mm/yyyy.\n",
       transform_command},
      {"demo-windows", "shows the window layer in the terminal (menus, messages, calculator)",
       "Usage: korvex demo-windows\n"
       "Runs a small demonstration of the text windows in the terminal; Alt+R leaves.\n",
       demo_windows_command},
      {"dbf", "prints a table's structure and rows, or checks it with its index files",
       "Usage: korvex dbf FILE [--check]\n"
       "Prints the structure and the rows of a .DBF table, tab-separated (texts as UTF-8).\n"
       "With --check, validates the header, every record and memo, and the index files\n"
       "beside it (X.CDX, XB.CDX ...); exits 1 when a problem is found.\n",
       dbf_command},
  };
  return commands;
}

}  // namespace kx
