#pragma once

#include <CLI/App.hpp>

#include "cli/context.h"

namespace arkivo::cli {

// "detect": one auto-detect pass; prints the jobs a run would copy files for.
void AddDetectCommand(CLI::App& app, CommandAction& action);

}  // namespace arkivo::cli
