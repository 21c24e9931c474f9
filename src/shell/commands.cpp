#include "shell/commands.h"

namespace kx {

const std::vector<Command>& batch_commands() {
  static const std::vector<Command> commands = {};
  return commands;
}

}  // namespace kx
