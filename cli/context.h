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

    // Prints the outcome's messages and warnings in the chosen language. The exit code:
    // kExitDataFolder when a file of the data folder could not be read or written, else
    // kExitFilesFailed when there was a message (something was not done), else kExitDone.
    int Finish(const CommandOutcome& outcome);
    // Prints why the command was not done; kExitFilesFailed.
    int Fail(const UserMessage& message);
    // Prints why the job list or a settings file could not be read or written;
    // kExitDataFolder, which the program's exit code then keeps (see dataFolderFailed).
    int FailToReadOrWrite(const UserMessage& message);

    // Set once a file of the data folder could not be read or written: whatever a command
    // returns after that, the program ends with kExitDataFolder.
    bool dataFolderFailed = false;
};

// The command chosen on the command line, run once the context is ready.
using CommandAction = std::function<int(Context&)>;

}  // namespace arkivo::cli
