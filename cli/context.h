// What every command works with once the arguments are parsed: the data folder, the loaded
// stores, and the folder the user started the program in (for relative paths).
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "jobs/job_commands.h"
#include "settings/app_stores.h"

namespace arkivo::cli {

struct Context {
    std::filesystem::path home;
    std::filesystem::path invocationFolder;
    AppStores stores;

    std::filesystem::path EnvironmentPath() const { return stores.EnvironmentPath(); }

    // A local path as the user typed it, made absolute; FTP locations are left alone.
    std::u16string AbsoluteJobPath(const std::string& typed) const;

    // Prints the outcome's messages and warnings in the chosen language; 1 when there was a
    // message (something was not done), else 0.
    int Finish(const CommandOutcome& outcome);
    int Fail(const UserMessage& message);
};

// The command chosen on the command line, run once the context is ready.
using CommandAction = std::function<int(Context&)>;

}  // namespace arkivo::cli
