// Changing the settings of one job, as `arkivo jobs set` and the job's option dialogs do: its
// type, ZIP option, period, deletion and dot-folder switches ("Setting.ini"), its sides and
// their FTP fields. Whatever one call changes is checked as a whole and made as one change
// under the data folder's lock, or not made at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "jobs/job_commands.h"
#include "jobs/job_period.h"

namespace arkivo {

class CLangIni;

// The fields given replace the stored ones; the others are kept.
struct FtpSideChange {
    std::optional<std::u16string> user;
    std::optional<std::u16string> password;
    std::optional<std::uint32_t> port;
    std::optional<bool> passive;

    bool Any() const { return user || password || port || passive; }
};

struct JobSettingsChange {
    std::optional<BackupType> type;
    std::optional<bool> zip;
    std::optional<JobPeriod> period;
    std::optional<bool> syncDelete;
    std::optional<bool> dotFolders;
    std::optional<std::u16string> base;
    std::optional<std::u16string> target;
    FtpSideChange baseFtp;
    FtpSideChange targetFtp;
};

// Each setting is checked against the type the job has once the change is made, so a type
// and the settings of that type can be given together. Refused, with nothing changed:
// - a ZIP option for a synchronisation (it writes no archive), a deletion switch for any other
//   type (only a synchronisation deletes), a period for any type but a period job, a period
//   whose end is not after its start;
// - FTP fields for a side that is not an FTP location, an FTP side without a user;
// - sides that ModifyJob refuses (texts the file cannot hold, a base that is its target or lies
//   inside it, another job's pair).
// A side that becomes a local folder keeps no FTP fields. Warns when the job is a period job
// that still has no period after the change, and of targets it now shares with a job that
// deletes (jobs/target_overlap.h). The setting store is re-read under the lock and written
// through jobs/job_flags.h.
CommandOutcome ChangeJobSettings(const std::filesystem::path& environment, CLangIni& settingStore,
                                 std::size_t jobIndex, const JobSettingsChange& change);

// The refusals of settings that do not apply to a type, shared with RegisterJob.
void CheckSettingsForType(BackupType type, bool zip, const std::optional<JobPeriod>& period,
                          bool syncDelete, std::vector<UserMessage>& messages);

// "3 --period FROM TO": what completes the texts telling how to give job 3 a period.
std::u16string PeriodCommandDetail(std::size_t jobIndex);

}  // namespace arkivo
