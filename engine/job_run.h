// One job of a run, whatever its route: count, walk by type, report, stamp.
#pragma once

#include <filesystem>

#include "engine/run_observer.h"
#include "engine/run_options.h"
#include "jobs/job_record.h"

namespace arkivo {
struct AppStores;
class BackupReport;
}  // namespace arkivo

namespace arkivo::engine {

class RunController;

struct RunEnvironment {
    AppStores& stores;
    RunObserver& observer;
    RunController& control;
    BackupReport* report;  // none in a dry run
    const RunOptions& options;
};

// A job whose sides cannot be reached fails with the reason; its times are not stamped.
JobSummary RunJob(RunEnvironment& run, std::size_t jobIndex, const JobRecord& job);

// A folder path as the user typed it, in the form the walkers compare: no trailing separator.
std::filesystem::path NormalisedRoot(std::u16string_view typed);

// Whether `inner` lies within `outer` (or is it).
bool IsWithin(const std::filesystem::path& inner, const std::filesystem::path& outer);

}  // namespace arkivo::engine
