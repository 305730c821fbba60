#pragma once

#include <CLI/App.hpp>

#include "cli/context.h"

namespace arkivo::cli {

// "verify ARCHIVE...": re-reads archives written by a run and checks every entry.
void AddVerifyCommand(CLI::App& app, CommandAction& action);

}  // namespace arkivo::cli
