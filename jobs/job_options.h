// Reading and writing single job fields straight from the environment file, so every caller
// sees what the file holds now, and the stamping of run times.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "jobs/job_record.h"
#include "settings/user_message.h"

namespace arkivo {
class EnvironmentFile;
}

namespace arkivo {

class JobOptionAccessors {
  public:
    // onError is told of every failed load or save, with the message to show.
    JobOptionAccessors(std::filesystem::path environment,
                       std::function<void(const UserMessage&)> onError = {});

    // 32-bit options 0..2; -1 for another option, a job that does not exist or a failed load.
    std::int32_t GetJobOption(std::size_t job, JobOption option) const;
    void SetJobOption(std::size_t job, JobOption option, std::uint32_t value) const;

    // 64-bit times 3..7; -1 as above.
    std::int64_t GetJobTime(std::size_t job, JobOption option) const;
    void SetJobTime(std::size_t job, JobOption option, std::uint64_t value) const;

  private:
    template <typename Visit>
    auto WithJob(std::size_t job, Visit visit) const;
    void Save(EnvironmentFile& file, JobTable& table) const;

    std::filesystem::path environment_;
    std::function<void(const UserMessage&)> onError_;
};

// What a run of a job tells the job's record.
struct RunStamp {
    std::uint64_t finishedAt = 0;
    std::uint64_t walkStartedAt = 0;
    // Every file the walk reached was handled: no stop, no failure. Only then may the time an
    // incremental or period run compares with move forward, or files not yet copied would
    // never be picked up again.
    bool complete = true;
};

void StampJobRun(JobTable& table, std::size_t job, const RunStamp& stamp);

// Records a run at `now`: every type stamps lastBackupTime, and Sync, Inc and Spd also move the
// time their next run compares against.
void StampJobTimes(JobTable& table, std::size_t job, std::uint64_t now);

}  // namespace arkivo
