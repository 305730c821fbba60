// arkivo: the command-line front end.
#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>

#include "cli/console.h"
#include "cli/context.h"
#include "cli/exit_code.h"
#include "cli/filters_command.h"
#include "cli/home.h"
#include "cli/jobs_command.h"
#include "cli/options_command.h"
#include "cli/run_command.h"
#include "cli/verify_command.h"

int main(int argc, char** argv) {
    using namespace arkivo::cli;
    CLI::App app{"Arkivo keeps a list of backup jobs and runs them."};
    app.set_version_flag("--version", std::string("arkivo " ARKIVO_VERSION));
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
    CLI11_PARSE(app, argc, argv);

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
        return 1;
    }
    // Reports and the working copies of UTF-16 settings files are written to the current
    // folder; keep them in the data folder rather than wherever the user happens to be.
    std::error_code error;
    std::filesystem::current_path(context.home, error);
    context.stores.LoadAll(context.home);
    context.stores.ApplyLanguage(context.stores.SelectedLanguage());
    return action ? action(context) : 0;
}
