// arkivo: the command-line front end.
#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>

#include "cli/console.h"
#include "cli/context.h"
#include "cli/detect_command.h"
#include "cli/exit_code.h"
#include "cli/filters_command.h"
#include "cli/ftp_command.h"
#include "cli/home.h"
#include "cli/jobs_command.h"
#include "cli/options_command.h"
#include "cli/run_command.h"
#include "cli/schedule_command.h"
#include "cli/verify_command.h"

namespace {

constexpr const char* kExitCodes =
    "Exit codes:\n"
    "  0    everything asked was done\n"
    "  1    some files failed, or what was asked was refused (a message says why)\n"
    "  2    the command line was wrong\n"
    "  3    the job list or the settings could not be read or written\n"
    "  4    another backup run holds the data folder\n"
    "  130  interrupted (Ctrl-C)";

// A word that names no command reaches the parser as a stray argument, and its own message
// ("A subcommand is required") hides the typo; name the word instead.
std::optional<std::string> UnknownCommand(const CLI::App& app) {
    const CLI::App* deepest = &app;
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (const auto* sub : deepest->get_subcommands()) {
            deepest = sub;
            deeper = true;
            break;
        }
    }
    const auto stray = deepest->remaining();
    if (deepest->get_require_subcommand_min() == 0 || stray.empty() ||
        stray.front().rfind('-', 0) == 0) {
        return std::nullopt;
    }
    std::string known;
    for (const auto* sub : deepest->get_subcommands({})) {
        known += (known.empty() ? "" : ", ") + sub->get_name();
    }
    return "unknown command '" + stray.front() + "' (" + known + ")";
}

}  // namespace

int main(int argc, char** argv) {
    using namespace arkivo::cli;
    CLI::App app{"Arkivo keeps a list of backup jobs and runs them."};
    app.set_version_flag("--version", std::string("arkivo " ARKIVO_VERSION));
    app.footer(kExitCodes);
    std::optional<std::string> homeOption;
    app.add_option("--home", homeOption,
                   "data folder with the job list and settings (default: $ARKIVO_HOME, else "
                   "$XDG_DATA_HOME/arkivo, else ~/.local/share/arkivo)");
    app.require_subcommand(1);

    CommandAction action;
    AddJobsCommand(app, action);
    AddRunCommand(app, action);
    AddFiltersCommand(app, action);
    AddOptionsCommand(app, action);
    AddVerifyCommand(app, action);
    AddDetectCommand(app, action);
    AddScheduleCommand(app, action);
    AddFtpCommand(app, action);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (const auto unknown = UnknownCommand(app)) {
            std::cerr << "arkivo: " << *unknown << "\nRun with --help for more information.\n";
            return kExitUsage;
        }
        // Prints the help or the version (which are no errors), or what was wrong.
        const int parserCode = app.exit(error);
        return parserCode == 0 ? kExitDone : kExitUsage;
    }

    Context context;
    context.invocationFolder = std::filesystem::current_path();
    const auto home = ResolveHome(homeOption);
    if (!home) {
        std::cerr << "arkivo: no data folder: $HOME is not set and the password database gives "
                     "no home folder; name one with --home or $ARKIVO_HOME\n";
        return kExitDataFolder;
    }
    context.home = *home;
    if (auto problem = PrepareHome(context.home)) {
        std::cerr << "arkivo: " << *problem << '\n';
        return kExitDataFolder;
    }
    // Reports and the working copies of UTF-16 settings files are written to the current
    // folder; keep them in the data folder rather than wherever the user happens to be.
    std::error_code error;
    std::filesystem::current_path(context.home, error);
    context.stores.LoadAll(context.home);
    context.stores.ApplyLanguage(context.stores.SelectedLanguage());
    const int code = action ? action(context) : kExitDone;
    return context.dataFolderFailed && code != kExitDone ? kExitDataFolder : code;
}
