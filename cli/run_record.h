// What the command line keeps of a run for its summary: each job's figures and paths, and for
// `--json` every failure, every item left out, every damaged archive and every message. Names
// are kept as the file system's bytes.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "engine/run_observer.h"
#include "zip/verify.h"

namespace arkivo::cli {

struct JobResult {
    engine::JobSummary summary;
    std::string base;
    std::string target;
};

struct FailureRecord {
    std::string path;
    std::string destination;  // empty when the failure had none (a deletion, a folder)
    std::string reason;       // the system's words
};

struct SkipRecord {
    std::string path;
    engine::SkipReason reason;
};

struct DamagedArchive {
    std::string archive;
    zip::ArchiveVerdict verdict;
};

struct RunRecord {
    bool dryRun = false;
    bool verify = false;
    std::chrono::system_clock::time_point started;
    double seconds = 0;
    std::vector<JobResult> jobs;
    std::vector<FailureRecord> failures;
    std::vector<SkipRecord> skipped;
    std::vector<DamagedArchive> damagedArchives;
    std::vector<std::string> messages;
    engine::RunSummary summary;
    std::string reportFile;
};

}  // namespace arkivo::cli
