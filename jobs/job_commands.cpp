#include "jobs/job_commands.h"

#include <algorithm>

#include "jobs/environment_file.h"
#include "jobs/job_options.h"
#include "jobs/job_settings.h"
#include "jobs/job_text.h"
#include "jobs/location_relation.h"
#include "jobs/target_overlap.h"
#include "settings/app_stores.h"
#include "settings/ini_file.h"
#include "settings/lang_ini.h"

namespace arkivo {
namespace {

void CheckText(std::u16string_view text, std::vector<UserMessage>& messages) {
    if (auto problem = CheckJobText(text)) {
        messages.push_back(UserMessage::Text(*problem));
    }
}

void CheckLocation(std::u16string_view path, std::vector<UserMessage>& messages) {
    FtpLocation location;
    if (IsFtpLocation(path) && !ParseFtpLocation(path, location)) {
        messages.push_back(UserMessage::Text(text::RootBadFtpLocation));
    }
}

void ApplySide(const std::u16string& path, const FtpCredentials& ftp, std::u16string& user,
               std::u16string& password, std::uint32_t& port, std::uint32_t& passive) {
    if (IsFtpLocation(path)) {
        user = ftp.user;
        password = ftp.password;
        port = ftp.port;
        passive = ftp.passive;
    } else {
        user.clear();
        password.clear();
        port = kDefaultFtpPort;
        passive = 1;
    }
}

bool CheckFtpUser(const std::u16string& path, const FtpCredentials& ftp, const TextKey& refusal,
                  std::vector<UserMessage>& messages) {
    if (IsFtpLocation(path) && ftp.user.empty()) {
        messages.push_back(UserMessage::Text(refusal));
        return false;
    }
    return true;
}

}  // namespace

JobTable* LoadForChange(EnvironmentFile& file, CommandOutcome& outcome) {
    JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok) {
        outcome.messages.push_back(file.LoadProblem());
        outcome.error = file.error();
        outcome.dataFolderFailed = true;
        return nullptr;
    }
    return &table;
}

CommandOutcome RegisterJob(const std::filesystem::path& environment, const NewJob& job) {
    CommandOutcome outcome;
    auto& messages = outcome.messages;
    if (job.base.empty() || job.target.empty()) {
        messages.push_back(UserMessage::Text(text::RootEmptyPath));
    }
    CheckText(job.base, messages);
    CheckText(job.target, messages);
    CheckLocation(job.base, messages);
    CheckLocation(job.target, messages);
    if (auto problem = CheckBaseAndTarget(job.base, job.target)) {
        messages.push_back(UserMessage::Text(*problem));
    }
    CheckSettingsForType(job.type, job.zip, job.period, false, messages);
    for (const auto* side : {&job.baseFtp, &job.targetFtp}) {
        const auto& path = side == &job.baseFtp ? job.base : job.target;
        if (IsFtpLocation(path)) {
            CheckText(side->user, messages);
            CheckText(side->password, messages);
        }
    }
    if (!messages.empty()) {
        return outcome;
    }

    return ChangeTable(environment, [&](JobTable& table, CommandOutcome& result) {
        auto& refusals = result.messages;
        if (TableContainsPair(table, job.base, job.target)) {
            refusals.push_back(UserMessage::Text(text::RootAlreadyRegistered));
            return false;
        }
        if (table.IsFull()) {
            refusals.push_back(UserMessage::Text(text::RootJobTableFull));
            return false;
        }
        const bool baseOk = CheckFtpUser(job.base, job.baseFtp, text::RootConnectFtpBase, refusals);
        const bool targetOk =
            CheckFtpUser(job.target, job.targetFtp, text::RootConnectFtpTarget, refusals);
        if (!baseOk || !targetOk) {
            return false;
        }
        JobRecord record;
        record.checked = 1;
        record.jobNumber = static_cast<std::uint32_t>(table.jobs.size() + 1);
        record.backupType = static_cast<std::uint32_t>(job.type);
        record.zipOption = job.zip ? 1 : 0;
        if (job.period) {
            SetPeriod(record, *job.period);
        }
        record.basePath = job.base;
        record.targetPath = job.target;
        ApplySide(job.base, job.baseFtp, record.baseFtpUser, record.baseFtpPassword,
                  record.baseFtpPort, record.baseFtpPassive);
        ApplySide(job.target, job.targetFtp, record.targetFtpUser, record.targetFtpPassword,
                  record.targetFtpPort, record.targetFtpPassive);
        table.jobs.push_back(std::move(record));
        table.jobListFlag = kHasJobList;
        table.lastBasePath = job.base;
        table.lastTargetPath = job.target;
        result.jobIndex = table.jobs.size() - 1;
        // Read afresh under the lock: the deletion switches as the next run will see them.
        CLangIni setting;
        setting.Open(environment.parent_path() / kSettingFile);
        result.warnings =
            TargetConflictWarnings(FindTargetConflicts(table, setting), result.jobIndex);
        if (job.type == BackupType::Spd && !job.period) {
            result.warnings.push_back(
                UserMessage::TextWith(text::JobNoPeriodYet, PeriodCommandDetail(result.jobIndex)));
        }
        return true;
    });
}

CommandOutcome SetJobsChecked(const std::filesystem::path& environment,
                              const std::vector<std::uint32_t>& jobNumbers, bool checked) {
    return ChangeTable(environment, [&](JobTable& table, CommandOutcome& result) {
        for (auto number : jobNumbers) {
            if (number == 0 || number > table.jobs.size()) {
                result.messages.push_back(UserMessage::Text(text::RootNoSuchJob));
                return false;
            }
        }
        for (auto number : jobNumbers) {
            table.jobs[number - 1].checked = checked ? 1 : 0;
        }
        return true;
    });
}

CommandOutcome RecordJobRun(const std::filesystem::path& environment, std::size_t jobIndex,
                            const JobRecord& ranAs, const RunStamp& stamp) {
    return ChangeTable(environment, [&](JobTable& table, CommandOutcome& result) {
        auto samePaths = [&ranAs](const JobRecord& job) {
            return job.basePath == ranAs.basePath && job.targetPath == ranAs.targetPath;
        };
        std::size_t index = jobIndex;
        if (index >= table.jobs.size() || !samePaths(table.jobs[index])) {
            const auto found = std::find_if(table.jobs.begin(), table.jobs.end(), samePaths);
            if (found == table.jobs.end()) {
                return false;
            }
            index = static_cast<std::size_t>(found - table.jobs.begin());
        }
        table.jobs[index].checked = ranAs.checked;
        StampJobRun(table, index, stamp);
        result.jobIndex = index;
        return true;
    });
}

namespace {

// Ascending order never overwrites a section still to move: a job only moves forward.
std::error_code ClosePerJobSections(IniDocument& document, const std::vector<bool>& deleted) {
    for (std::size_t p = 0; p < deleted.size(); ++p) {
        if (deleted[p]) {
            document.RemoveSection(JobSectionName(p));
        }
    }
    std::size_t next = 0;
    for (std::size_t p = 0; p < deleted.size(); ++p) {
        if (deleted[p]) {
            continue;
        }
        if (p != next) {
            const auto entries = document.SectionEntries(JobSectionName(p));
            document.RemoveSection(JobSectionName(p));
            if (auto error = document.ReplaceSection(JobSectionName(next), entries)) {
                return error;
            }
        }
        ++next;
    }
    return {};
}

}  // namespace

CommandOutcome DeleteJobs(const std::filesystem::path& environment, PerJobStores stores,
                          const std::vector<std::uint32_t>& positions) {
    CommandOutcome outcome;
    EnvironmentFile file(environment);
    JobTable* loaded = LoadForChange(file, outcome);
    if (loaded == nullptr) {
        return outcome;
    }
    JobTable& table = *loaded;
    std::vector<bool> deleted(table.jobs.size(), false);
    for (auto position : positions) {
        if (position >= 1 && position <= table.jobs.size()) {
            deleted[position - 1] = true;
        }
    }
    if (std::find(deleted.begin(), deleted.end(), true) == deleted.end()) {
        return outcome;
    }
    CLangIni* perJob[] = {&stores.filter, &stores.filterInc, &stores.setting};
    std::vector<FileReplacement> files;
    for (auto* store : perJob) {
        const auto path = store->Path();
        IniDocument document{std::string_view()};
        if (auto error = ReadIniFile(path, document)) {
            outcome.messages.push_back(FileReadFailure(path, error));
            outcome.error = error;
            return outcome;
        }
        const std::string before = document.Bytes();
        if (auto error = ClosePerJobSections(document, deleted)) {
            outcome.messages.push_back(FileWriteFailure(path, error));
            outcome.error = error;
            return outcome;
        }
        if (document.Bytes() != before) {
            files.push_back({path, document.Bytes()});
        }
    }
    std::vector<JobRecord> kept;
    for (std::size_t p = 0; p < table.jobs.size(); ++p) {
        if (!deleted[p]) {
            kept.push_back(table.jobs[p]);
            kept.back().jobNumber = static_cast<std::uint32_t>(kept.size());
        }
    }
    table.jobs = std::move(kept);
    if (table.jobs.empty()) {
        table.jobListFlag = kNoJobList;
    }
    const bool saved = file.SaveTogether(table, std::move(files)) == LoadStatus::Ok;
    for (auto* store : perJob) {
        store->Reread();
    }
    if (!saved) {
        outcome.messages.push_back(file.SaveProblem());
        outcome.error = file.error();
        return outcome;
    }
    outcome.saved = true;
    return outcome;
}

}  // namespace arkivo
