#pragma once

#include <CLI/App.hpp>

#include "cli/context.h"

namespace arkivo::cli {

// "ftp test LOCATION" and "ftp ls LOCATION": reaching an FTP location as a job would (one
// login, the folder, its listing), to check the login before a run or to see what is there.
void AddFtpCommand(CLI::App& app, CommandAction& action);

}  // namespace arkivo::cli
