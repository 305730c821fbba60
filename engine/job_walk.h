// What every walk of one job shares, whether it copies or only looks for something to copy:
// its two roots, its filter, its dot-folder switch, the fences between base and target, and
// the rule that decides which files a run copies. A run and an auto-detect pass both take it
// from here, so what a pass finds is what a run would copy.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "engine/copy_rules.h"
#include "filters/filter_match.h"
#include "jobs/job_record.h"

namespace arkivo {
struct AppStores;
}

namespace arkivo::engine {

class JobContext;

struct JobWalk {
    std::filesystem::path base;
    std::filesystem::path target;
    std::optional<JobFilter> filter;  // when the job's filters are on
    bool takeDotFolders = false;

    const JobFilter* Filter() const { return filter ? &*filter : nullptr; }
    // Gives the context the dot-folder switch and the fences.
    void Prepare(JobContext& context) const;
};

JobWalk PrepareJobWalk(AppStores& stores, std::size_t jobIndex, const JobRecord& job);

// The rule of the job's type; every rule of the local-to-local route compares with the target
// root when it compares at all. None for a type no run knows.
std::unique_ptr<CopyRule> RuleFor(BackupType type, const JobRecord& job);

}  // namespace arkivo::engine
