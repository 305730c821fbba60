#pragma once

#include <CLI/App.hpp>

#include "cli/context.h"

namespace arkivo::cli {

// "filters list|add|remove JOB exclude|include [PATTERN]".
void AddFiltersCommand(CLI::App& app, CommandAction& action);

}  // namespace arkivo::cli
