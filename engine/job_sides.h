// What a route builds for one job: the tree its files come from and the place they go to.
// The runner's steps (count, walk by type, report, stamp) are the same whatever built them.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "engine/file_tree.h"
#include "engine/run_observer.h"
#include "engine/target_side.h"
#include "jobs/job_record.h"

namespace arkivo::engine {

class JobContext;
struct JobWalk;
struct RunEnvironment;

struct SidesRefusal {
    std::filesystem::path where;
    UserMessage why;
};

struct JobSides {
    std::unique_ptr<FileTree> base;
    std::unique_ptr<TargetSide> target;
    // Set when a side cannot be reached: the job fails with it and nothing is walked.
    std::optional<SidesRefusal> refusal;
};

JobSides OpenJobSides(RunEnvironment& run, JobContext& job, const JobRecord& record,
                      const JobWalk& walk);

}  // namespace arkivo::engine
