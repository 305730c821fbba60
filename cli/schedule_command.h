#pragma once

#include <CLI/App.hpp>

#include "cli/context.h"

namespace arkivo::cli {

// "schedule": the scheduler and the periodic auto-detect in the foreground, until SIGTERM or
// SIGINT.
void AddScheduleCommand(CLI::App& app, CommandAction& action);

}  // namespace arkivo::cli
