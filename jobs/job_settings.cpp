#include "jobs/job_settings.h"

#include "common/text.h"
#include "jobs/environment_file.h"
#include "jobs/job_flags.h"
#include "jobs/modify_job.h"
#include "jobs/target_overlap.h"
#include "settings/data_folder_lock.h"
#include "settings/lang_ini.h"

namespace arkivo {
namespace {

struct StoredSide {
    std::u16string& path;
    std::u16string& user;
    std::u16string& password;
    std::uint32_t& port;
    std::uint32_t& passive;
};

StoredSide BaseOf(JobRecord& job) {
    return {job.basePath, job.baseFtpUser, job.baseFtpPassword, job.baseFtpPort,
            job.baseFtpPassive};
}

StoredSide TargetOf(JobRecord& job) {
    return {job.targetPath, job.targetFtpUser, job.targetFtpPassword, job.targetFtpPort,
            job.targetFtpPassive};
}

// The side's FTP fields once the change is made; refuses fields for a local side and an FTP
// side left without a user.
FtpCredentials SideAfter(const StoredSide& stored, const std::u16string& path,
                         const FtpSideChange& change, const TextKey& noUser,
                         std::vector<UserMessage>& messages) {
    if (!IsFtpLocation(path)) {
        if (change.Any()) {
            messages.push_back(UserMessage::Text(text::JobFtpOnLocalSide));
        }
        return {};
    }
    const bool wasFtp = IsFtpLocation(stored.path);
    FtpCredentials after;
    if (wasFtp) {
        after = {stored.user, stored.password, stored.port, stored.passive};
    }
    after.user = change.user.value_or(after.user);
    after.password = change.password.value_or(after.password);
    after.port = change.port.value_or(after.port);
    if (change.passive) {
        after.passive = *change.passive ? 1 : 0;
    }
    if (after.user.empty()) {
        messages.push_back(UserMessage::Text(noUser));
    }
    return after;
}

void ForgetFtpFields(const StoredSide& side) {
    if (!IsFtpLocation(side.path)) {
        side.user.clear();
        side.password.clear();
        side.port = kDefaultFtpPort;
        side.passive = 1;
    }
}

bool ChangesSides(const JobSettingsChange& change) {
    return change.base || change.target || change.baseFtp.Any() || change.targetFtp.Any();
}

// Checks the sides and makes them part of the table; false, with the messages, when refused.
bool ChangeSides(JobTable& table, std::size_t jobIndex, const JobSettingsChange& change,
                 std::vector<UserMessage>& messages) {
    JobRecord& job = table.jobs[jobIndex];
    JobEdit edit;
    edit.jobIndex = jobIndex;
    edit.checked = job.checked != 0;
    edit.base = change.base.value_or(job.basePath);
    edit.target = change.target.value_or(job.targetPath);
    edit.baseFtp =
        SideAfter(BaseOf(job), edit.base, change.baseFtp, text::RootConnectFtpBase, messages);
    edit.targetFtp = SideAfter(TargetOf(job), edit.target, change.targetFtp,
                               text::RootConnectFtpTarget, messages);
    for (auto& message : CheckJobEdit(edit)) {
        messages.push_back(std::move(message));
    }
    if (!messages.empty() || !ApplyJobEdit(table, edit, messages)) {
        return false;
    }
    ForgetFtpFields(BaseOf(table.jobs[jobIndex]));
    ForgetFtpFields(TargetOf(table.jobs[jobIndex]));
    return true;
}

// The switches of "Setting.ini", after the job list was saved.
bool WriteSwitches(CLangIni& settingStore, std::size_t jobIndex, const JobSettingsChange& change,
                   CommandOutcome& outcome) {
    const bool written =
        (!change.syncDelete || WriteSyncDelNoSrc(settingStore, jobIndex, *change.syncDelete)) &&
        (!change.dotFolders || WriteTakeDotFolders(settingStore, jobIndex, *change.dotFolders));
    if (!written) {
        outcome.error = settingStore.LastWriteError();
        outcome.messages.push_back(FileWriteFailure(settingStore.Path(), outcome.error));
    }
    return written;
}

}  // namespace

void CheckSettingsForType(BackupType type, bool zip, const std::optional<JobPeriod>& period,
                          bool syncDelete, std::vector<UserMessage>& messages) {
    if (zip && type == BackupType::Sync) {
        messages.push_back(UserMessage::Text(text::JobZipOnSync));
    }
    if (syncDelete && type != BackupType::Sync) {
        messages.push_back(UserMessage::Text(text::JobSyncDeleteOnOtherType));
    }
    if (period && type != BackupType::Spd) {
        messages.push_back(UserMessage::Text(text::JobPeriodOnOtherType));
    }
    if (period && period->first >= period->pastLast) {
        messages.push_back(UserMessage::Text(text::JobPeriodReversed));
    }
}

std::u16string PeriodCommandDetail(std::size_t jobIndex) {
    return ToDecimalUnsigned(jobIndex + 1) + u" --period FROM TO";
}

CommandOutcome ChangeJobSettings(const std::filesystem::path& environment, CLangIni& settingStore,
                                 std::size_t jobIndex, const JobSettingsChange& change) {
    CommandOutcome outcome;
    auto& messages = outcome.messages;
    const DataFolderLock lock(environment.parent_path());
    EnvironmentFile file(environment);
    JobTable* table = LoadForChange(file, outcome);
    if (table == nullptr) {
        return outcome;
    }
    if (jobIndex >= table->jobs.size()) {
        messages.push_back(UserMessage::Text(text::RootNoSuchJob));
        return outcome;
    }
    const JobRecord before = table->jobs[jobIndex];
    const auto type = change.type.value_or(static_cast<BackupType>(before.backupType));
    CheckSettingsForType(type, change.zip.has_value(), change.period, change.syncDelete.has_value(),
                         messages);
    if (!messages.empty() ||
        (ChangesSides(change) && !ChangeSides(*table, jobIndex, change, messages))) {
        return outcome;
    }

    JobRecord& job = table->jobs[jobIndex];
    job.backupType = static_cast<std::uint32_t>(type);
    if (change.zip) {
        job.zipOption = *change.zip ? 1 : 0;
    }
    if (change.period) {
        SetPeriod(job, *change.period);
    }
    if (job != before && file.Save(*table) != LoadStatus::Ok) {
        messages.push_back(file.SaveProblem());
        outcome.error = file.error();
        return outcome;
    }
    settingStore.Reread();
    if (!WriteSwitches(settingStore, jobIndex, change, outcome)) {
        return outcome;
    }
    outcome.saved = true;
    outcome.jobIndex = jobIndex;
    if (type == BackupType::Spd && !HasPeriod(job)) {
        outcome.warnings.push_back(
            UserMessage::TextWith(text::JobNoPeriodYet, PeriodCommandDetail(jobIndex)));
    }
    if (change.type || change.target || change.syncDelete) {
        for (auto& warning :
             TargetConflictWarnings(FindTargetConflicts(*table, settingStore), jobIndex)) {
            outcome.warnings.push_back(std::move(warning));
        }
    }
    return outcome;
}

}  // namespace arkivo
