// What `arkivo` tells the shell, documented in README and `--help`.
#pragma once

namespace arkivo::cli {

enum ExitCode : int {
    kExitDone = 0,           // everything asked was done
    kExitFilesFailed = 1,    // the run ended, but some files or folders failed
    kExitUsage = 2,          // the command line was wrong
    kExitDataFolder = 3,     // the job list or the settings could not be read or written
    kExitRunInProgress = 4,  // another run holds the data folder
    kExitInterrupted = 130,  // stopped by Ctrl-C (or a termination request)
};

}  // namespace arkivo::cli
