#include "cli/run_result.h"

namespace arkivo::cli {

RunResult ResultOf(const engine::RunSummary& summary) {
    if (summary.refused) {
        return RunResult::Refused;
    }
    if (!summary.environmentReadable) {
        return RunResult::Unreadable;
    }
    if (summary.stopped) {
        return RunResult::Stopped;
    }
    if (summary.failed > 0 || summary.reportFailed) {
        return RunResult::Failed;
    }
    return summary.jobsRun == 0 ? RunResult::NothingToRun : RunResult::Complete;
}

ExitCode ExitCodeOf(RunResult result) {
    switch (result) {
        case RunResult::Complete:
        case RunResult::NothingToRun:
            return kExitDone;
        case RunResult::Failed:
            return kExitFilesFailed;
        case RunResult::Stopped:
            return kExitInterrupted;
        case RunResult::Refused:
            return kExitRunInProgress;
        case RunResult::Unreadable:
            return kExitDataFolder;
    }
    return kExitFilesFailed;
}

std::string_view ResultName(RunResult result) {
    switch (result) {
        case RunResult::Complete:
            return "complete";
        case RunResult::NothingToRun:
            return "nothing-to-run";
        case RunResult::Failed:
            return "failed";
        case RunResult::Stopped:
            return "stopped";
        case RunResult::Refused:
            return "refused";
        case RunResult::Unreadable:
            return "unreadable";
    }
    return "failed";
}

}  // namespace arkivo::cli
