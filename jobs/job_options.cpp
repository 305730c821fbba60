#include "jobs/job_options.h"

#include "jobs/environment_file.h"

namespace arkivo {
namespace {

std::uint32_t* OptionField(JobRecord& job, JobOption option) {
    switch (option) {
        case JobOption::FilterOn:
            return &job.filterOn;
        case JobOption::BackupType:
            return &job.backupType;
        case JobOption::ZipOption:
            return &job.zipOption;
        default:
            return nullptr;
    }
}

std::uint64_t* TimeField(JobRecord& job, JobOption option) {
    switch (option) {
        case JobOption::PeriodStart:
            return &job.periodStart;
        case JobOption::PeriodEnd:
            return &job.periodEnd;
        case JobOption::LastBackupTime:
            return &job.lastBackupTime;
        case JobOption::LastSyncTime:
            return &job.lastSyncTime;
        case JobOption::LastIncTime:
            return &job.lastIncTime;
        default:
            return nullptr;
    }
}

}  // namespace

JobOptionAccessors::JobOptionAccessors(std::filesystem::path environment,
                                       std::function<void(const UserMessage&)> onError)
    : environment_(std::move(environment)), onError_(std::move(onError)) {}

template <typename Visit>
auto JobOptionAccessors::WithJob(std::size_t job, Visit visit) const {
    EnvironmentFile file(environment_);
    JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok) {
        if (onError_) {
            onError_(file.LoadProblem());
        }
        return visit(file, table, nullptr);
    }
    return visit(file, table, job < table.jobs.size() ? &table.jobs[job] : nullptr);
}

void JobOptionAccessors::Save(EnvironmentFile& file, JobTable& table) const {
    if (file.Save(table) != LoadStatus::Ok && onError_) {
        onError_(file.SaveProblem());
    }
}

std::int32_t JobOptionAccessors::GetJobOption(std::size_t job, JobOption option) const {
    return WithJob(job, [option](EnvironmentFile&, JobTable&, JobRecord* record) {
        const auto* field = record ? OptionField(*record, option) : nullptr;
        return field ? static_cast<std::int32_t>(*field) : -1;
    });
}

void JobOptionAccessors::SetJobOption(std::size_t job, JobOption option,
                                      std::uint32_t value) const {
    WithJob(job, [this, option, value](EnvironmentFile& file, JobTable& table, JobRecord* record) {
        if (auto* field = record ? OptionField(*record, option) : nullptr) {
            *field = value;
            Save(file, table);
        }
    });
}

std::int64_t JobOptionAccessors::GetJobTime(std::size_t job, JobOption option) const {
    return WithJob(job, [option](EnvironmentFile&, JobTable&, JobRecord* record) {
        const auto* field = record ? TimeField(*record, option) : nullptr;
        return field ? static_cast<std::int64_t>(*field) : std::int64_t{-1};
    });
}

void JobOptionAccessors::SetJobTime(std::size_t job, JobOption option, std::uint64_t value) const {
    WithJob(job, [this, option, value](EnvironmentFile& file, JobTable& table, JobRecord* record) {
        if (auto* field = record ? TimeField(*record, option) : nullptr) {
            *field = value;
            Save(file, table);
        }
    });
}

void StampJobRun(JobTable& table, std::size_t job, const RunStamp& stamp) {
    if (job >= table.jobs.size()) {
        return;
    }
    auto& record = table.jobs[job];
    record.lastBackupTime = stamp.finishedAt;
    switch (static_cast<BackupType>(record.backupType)) {
        case BackupType::Sync:
            record.lastSyncTime = stamp.finishedAt;
            break;
        case BackupType::Inc:
            if (stamp.complete) {
                record.lastIncTime = stamp.walkStartedAt;
            }
            break;
        case BackupType::Spd:
            if (stamp.complete) {
                record.periodStart = stamp.walkStartedAt;
            }
            break;
        case BackupType::Dif:
            break;
    }
}

void StampJobTimes(JobTable& table, std::size_t job, std::uint64_t now) {
    StampJobRun(table, job, RunStamp{now, now, true});
}

}  // namespace arkivo
