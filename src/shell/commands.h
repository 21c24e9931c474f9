// The batch commands of `korvex <command>`, one entry each.
#pragma once

#include <vector>

#include "shell/cli.h"

namespace kx {

const std::vector<Command>& batch_commands();

}  // namespace kx
