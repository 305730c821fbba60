#pragma once

#include <CLI/App.hpp>

#include "cli/context.h"

namespace arkivo::cli {

// "jobs list|add|remove|check|uncheck|show".
void AddJobsCommand(CLI::App& app, CommandAction& action);

}  // namespace arkivo::cli
