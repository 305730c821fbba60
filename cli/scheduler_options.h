// "options scheduler": switches the scheduler and sets when it starts runs.
#pragma once

#include <CLI/App.hpp>

#include "cli/context.h"

namespace arkivo::cli {

void AddSchedulerOptions(CLI::App& options, CommandAction& action);

}  // namespace arkivo::cli
