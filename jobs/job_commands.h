// The job-list operations behind the main dialog, the job list and the command line. Each one
// loads the environment file, changes the table and saves it whole within one EnvironmentFile
// lifetime, and reports what the user should be told.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "jobs/environment_file.h"
#include "jobs/job_period.h"
#include "jobs/job_record.h"
#include "settings/user_message.h"

namespace arkivo {

class CLangIni;

struct FtpCredentials {
    std::u16string user;
    std::u16string password;
    std::uint32_t port = kDefaultFtpPort;
    std::uint32_t passive = 1;
};

struct NewJob {
    std::u16string base;
    std::u16string target;
    FtpCredentials baseFtp;
    FtpCredentials targetFtp;
    BackupType type = BackupType::Sync;
    bool zip = false;
    std::optional<JobPeriod> period;  // a period job's; none leaves it without one
};

struct CommandOutcome {
    bool saved = false;
    std::vector<UserMessage> messages;   // why nothing (or not everything) was done
    std::vector<UserMessage> warnings;   // done, but the user should know this
    std::size_t jobIndex = kNoJobIndex;  // the job added, when one was
    std::error_code error;               // the system's reason when a file failed
    // The job list or a settings file could not be read or written (also when the list is
    // damaged, which has no system reason).
    bool dataFolderFailed = false;
};

// Loads the job list for a change. When it cannot be used, the outcome says why and nothing
// comes back.
JobTable* LoadForChange(EnvironmentFile& file, CommandOutcome& outcome);

// One load-change-save sequence under the environment file's lock. `change` returns whether
// the table is to be saved; it may add messages for the user.
template <typename Change>
CommandOutcome ChangeTable(const std::filesystem::path& environment, Change change) {
    CommandOutcome outcome;
    EnvironmentFile file(environment);
    JobTable* table = LoadForChange(file, outcome);
    if (table == nullptr || !change(*table, outcome)) {
        return outcome;
    }
    if (file.Save(*table) != LoadStatus::Ok) {
        outcome.messages.push_back(file.SaveProblem());
        outcome.error = file.error();
        outcome.dataFolderFailed = true;
        return outcome;
    }
    outcome.saved = true;
    return outcome;
}

// Refuses texts the file cannot hold, a duplicate pair, a full table, an FTP side without a
// user, a base that is its target or lies inside it, and settings its type does not take (a
// ZIP option for a synchronisation, a period for any but a period job). Warns (and still adds
// the job) when the new job's target overlaps that of a job which deletes orphans
// (jobs/target_overlap.h), and when a period job comes without its period.
CommandOutcome RegisterJob(const std::filesystem::path& environment, const NewJob& job);

// Ticks or unticks the jobs with the given 1-based numbers.
CommandOutcome SetJobsChecked(const std::filesystem::path& environment,
                              const std::vector<std::uint32_t>& jobNumbers, bool checked);

struct RunStamp;

// Writes what a run learnt about a job: its tick and its run times. The job is found again by
// its position and paths, so a job the user deleted or moved during the run is not harmed.
CommandOutcome RecordJobRun(const std::filesystem::path& environment, std::size_t jobIndex,
                            const JobRecord& ranAs, const RunStamp& stamp);

// The stores whose sections are named by job position.
struct PerJobStores {
    CLangIni& filter;
    CLangIni& filterInc;
    CLangIni& setting;
};

// Deletes the jobs at the given 1-based positions in the table (the numbers the lists show),
// removes their per-job sections and moves the sections of the jobs behind them so they follow
// their jobs' new positions. The job list and the three stores' files change as one: a crash
// at any moment leaves every job with its own settings.
CommandOutcome DeleteJobs(const std::filesystem::path& environment, PerJobStores stores,
                          const std::vector<std::uint32_t>& positions);

}  // namespace arkivo
