// How a run ended, as one word: what the summary says last, what `--json` calls "result", and
// the exit code.
#pragma once

#include <string_view>

#include "cli/exit_code.h"
#include "engine/run_observer.h"

namespace arkivo::cli {

enum class RunResult {
    Complete,      // every job ran and every file that needed it was copied
    NothingToRun,  // no job in the list, or none ticked
    Failed,        // some files or folders failed, or the report could not be written
    Stopped,       // Ctrl-C or a termination request stopped the run
    Refused,       // another run holds the data folder: nothing ran
    Unreadable,    // the job list could not be read: nothing ran
};

RunResult ResultOf(const engine::RunSummary& summary);
ExitCode ExitCodeOf(RunResult result);
std::string_view ResultName(RunResult result);

}  // namespace arkivo::cli
