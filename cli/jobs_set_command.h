#pragma once

#include <CLI/App.hpp>

#include "cli/context.h"

namespace arkivo::cli {

// "jobs set N [--type ...] [--zip on|off] [--period FROM TO] ...".
void AddJobsSetCommand(CLI::App* jobs, CommandAction& action);

}  // namespace arkivo::cli
