#include "jobs/modify_job.h"

#include "jobs/environment_file.h"
#include "jobs/job_text.h"
#include "jobs/location_relation.h"
#include "jobs/target_overlap.h"
#include "platform/upper_case.h"
#include "settings/app_stores.h"
#include "settings/lang_ini.h"

namespace arkivo {
namespace {

void CheckText(std::u16string_view text, std::vector<UserMessage>& messages) {
    if (auto problem = CheckJobText(text)) {
        messages.push_back(UserMessage::Text(*problem));
    }
}

bool TakesFtpFields(std::u16string_view path, const FtpCredentials& ftp) {
    return IsFtpLocation(path) && !ftp.user.empty();
}

void CheckSide(std::u16string_view path, const FtpCredentials& ftp,
               std::vector<UserMessage>& messages) {
    CheckText(path, messages);
    FtpLocation location;
    if (IsFtpLocation(path) && !ParseFtpLocation(path, location)) {
        messages.push_back(UserMessage::Text(text::RootBadFtpLocation));
    }
    if (TakesFtpFields(path, ftp)) {
        CheckText(ftp.user, messages);
        CheckText(ftp.password, messages);
    }
}

bool DuplicatesAnotherJob(const JobTable& table, const JobEdit& edit) {
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        if (i != edit.jobIndex && platform::EqualsIgnoreCase(table.jobs[i].basePath, edit.base) &&
            platform::EqualsIgnoreCase(table.jobs[i].targetPath, edit.target)) {
            return true;
        }
    }
    return false;
}

void ApplyFtp(const FtpCredentials& ftp, std::u16string& user, std::u16string& password,
              std::uint32_t& port, std::uint32_t& passive) {
    user = ftp.user;
    password = ftp.password;
    port = ftp.port;
    passive = ftp.passive;
}

}  // namespace

std::vector<UserMessage> CheckJobEdit(const JobEdit& edit) {
    std::vector<UserMessage> messages;
    if (edit.base.empty() || edit.target.empty()) {
        messages.push_back(UserMessage::Text(text::RootEmptyPath));
    }
    CheckSide(edit.base, edit.baseFtp, messages);
    CheckSide(edit.target, edit.targetFtp, messages);
    if (auto problem = CheckBaseAndTarget(edit.base, edit.target)) {
        messages.push_back(UserMessage::Text(*problem));
    }
    return messages;
}

bool ApplyJobEdit(JobTable& table, const JobEdit& edit, std::vector<UserMessage>& messages) {
    if (edit.jobIndex >= table.jobs.size()) {
        messages.push_back(UserMessage::Text(text::RootNoSuchJob));
        return false;
    }
    if (DuplicatesAnotherJob(table, edit)) {
        messages.push_back(UserMessage::Text(text::RootAlreadyRegistered));
        return false;
    }
    JobRecord& job = table.jobs[edit.jobIndex];
    job.checked = edit.checked ? 1 : 0;
    job.basePath = edit.base;
    job.targetPath = edit.target;
    job.state = std::u16string(JobState::NotYet);
    if (edit.type) {
        job.backupType = static_cast<std::uint32_t>(*edit.type);
    }
    if (TakesFtpFields(edit.base, edit.baseFtp)) {
        ApplyFtp(edit.baseFtp, job.baseFtpUser, job.baseFtpPassword, job.baseFtpPort,
                 job.baseFtpPassive);
    }
    if (TakesFtpFields(edit.target, edit.targetFtp)) {
        ApplyFtp(edit.targetFtp, job.targetFtpUser, job.targetFtpPassword, job.targetFtpPort,
                 job.targetFtpPassive);
    }
    table.lastBasePath = edit.base;
    table.lastTargetPath = edit.target;
    table.jobListFlag = kHasJobList;
    return true;
}

CommandOutcome ModifyJob(const std::filesystem::path& environment, const JobEdit& edit) {
    CommandOutcome outcome;
    outcome.messages = CheckJobEdit(edit);
    if (!outcome.messages.empty()) {
        return outcome;
    }

    EnvironmentFile file(environment);
    JobTable* table = LoadForChange(file, outcome);
    if (table == nullptr || !ApplyJobEdit(*table, edit, outcome.messages)) {
        return outcome;
    }
    if (file.Save(*table) != LoadStatus::Ok) {
        outcome.messages.push_back(file.SaveProblem());
        outcome.error = file.error();
        return outcome;
    }
    outcome.saved = true;
    outcome.jobIndex = edit.jobIndex;
    CLangIni setting;
    setting.Open(environment.parent_path() / kSettingFile);
    outcome.warnings = TargetConflictWarnings(FindTargetConflicts(*table, setting), edit.jobIndex);
    return outcome;
}

}  // namespace arkivo
