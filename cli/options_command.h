#pragma once

#include <CLI/App.hpp>

#include "cli/context.h"

namespace arkivo::cli {

// "options" shows the settings; "options set NAME VALUE [--job N]" changes one.
void AddOptionsCommand(CLI::App& app, CommandAction& action);

}  // namespace arkivo::cli
