// The job editor's change to one job: its tick, both sides, the FTP fields of the FTP sides
// for which a user name was given, and its backup type, saved together or not at all.
#pragma once

#include <filesystem>
#include <optional>

#include "jobs/job_commands.h"

namespace arkivo {

struct JobEdit {
    std::size_t jobIndex = 0;
    bool checked = true;
    std::u16string base;
    std::u16string target;
    FtpCredentials baseFtp;
    FtpCredentials targetFtp;
    std::optional<BackupType> type;  // kept as it is when absent
};

// Refuses, without saving, an edit that would make the job a duplicate of another job's base
// and target (compared without regard to case), texts the file cannot hold, and a base that
// is its target or lies inside it.
CommandOutcome ModifyJob(const std::filesystem::path& environment, const JobEdit& edit);

// The two halves of ModifyJob, for changes that make an edit part of a larger one: the checks
// that need no job list, and the edit of a loaded table (false, with the message, for a job
// that does not exist or a pair another job has).
std::vector<UserMessage> CheckJobEdit(const JobEdit& edit);
bool ApplyJobEdit(JobTable& table, const JobEdit& edit, std::vector<UserMessage>& messages);

}  // namespace arkivo
