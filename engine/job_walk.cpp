#include "engine/job_walk.h"

#include "engine/job_context.h"
#include "engine/job_run.h"
#include "jobs/job_flags.h"
#include "settings/app_stores.h"

namespace arkivo::engine {

void JobWalk::Prepare(JobContext& context) const {
    context.TakeDotFolders(takeDotFolders);
    if (IsWithin(target, base)) {
        context.NeverEnter(target);
    } else if (IsWithin(base, target)) {
        context.NeverEnter(base);
    }
}

JobWalk PrepareJobWalk(AppStores& stores, std::size_t jobIndex, const JobRecord& job) {
    JobWalk walk;
    walk.base = NormalisedRoot(job.basePath);
    walk.target = NormalisedRoot(job.targetPath);
    if (job.filterOn != 0) {
        walk.filter = JobFilter::Load(stores.filter, stores.filterInc, jobIndex);
    }
    walk.takeDotFolders = ReadTakeDotFolders(stores.setting, jobIndex);
    return walk;
}

std::unique_ptr<CopyRule> RuleFor(BackupType type, const JobRecord& job) {
    switch (type) {
        case BackupType::Sync:
            return std::make_unique<DiffersFromReference>();
        case BackupType::Dif:
            return std::make_unique<NewerThanReference>();
        case BackupType::Inc:
            return std::make_unique<ChangedSince>(static_cast<std::int64_t>(job.lastIncTime));
        case BackupType::Spd:
            return std::make_unique<WithinPeriod>(static_cast<std::int64_t>(job.periodStart),
                                                  static_cast<std::int64_t>(job.periodEnd));
    }
    return nullptr;
}

}  // namespace arkivo::engine
