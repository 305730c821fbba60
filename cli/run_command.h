#pragma once

#include <CLI/App.hpp>

#include "cli/context.h"

namespace arkivo::cli {

// "run [--dry-run] [JOB...]".
void AddRunCommand(CLI::App& app, CommandAction& action);

}  // namespace arkivo::cli
