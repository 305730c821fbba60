#include "schedule/auto_detect_pass.h"

#include "engine/change_probe.h"
#include "engine/run_controller.h"
#include "jobs/environment_file.h"
#include "jobs/job_flags.h"
#include "platform/file_lock.h"
#include "settings/app_stores.h"
#include "settings/data_folder_lock.h"
#include "settings/run_lock.h"

namespace arkivo::schedule {
namespace {

constexpr std::string_view kPassLockFile = "AutoDetect.lock";
constexpr auto kRunLockLookInterval = std::chrono::milliseconds(500);

bool SameJob(const JobRecord& a, const JobRecord& b) {
    return a.basePath == b.basePath && a.targetPath == b.targetPath && a.backupType == b.backupType;
}

// Only while the job list still has the job at this place (the list may have changed during
// the walk) and no run has started: a mark written after a run cleared it would announce files
// the run has copied already.
bool WriteMark(AppStores& stores, PassWatch& watch, std::size_t jobIndex, const JobRecord& job,
               bool found) {
    const DataFolderLock lock(stores.programFolder);
    if (watch.ShouldEnd()) {
        return false;
    }
    EnvironmentFile file(stores.EnvironmentPath());
    const JobTable& now = file.Load();
    if (now.loadStatus != LoadStatus::Ok || jobIndex >= now.jobs.size() ||
        !SameJob(now.jobs[jobIndex], job)) {
        return false;
    }
    WriteFileToCopyFlag(stores.setting, jobIndex, found ? 1 : 0);
    return true;
}

}  // namespace

PassWatch::PassWatch(std::filesystem::path dataFolder, engine::RunController* ownRun)
    : dataFolder_(std::move(dataFolder)), ownRun_(ownRun) {}

bool PassWatch::WaitWhilePausedAndCheckStop(engine::RunObserver& observer) {
    return Ended(observer, false);
}

bool PassWatch::ShouldEnd() {
    engine::RunObserver quiet;
    return Ended(quiet, true);
}

bool PassWatch::Ended(engine::RunObserver& observer, bool lookAtRunLockNow) {
    if (cancelled_ || runSeen_) {
        return true;
    }
    if (ownRun_ != nullptr) {
        // Waits while this process's run is paused; when the pause is lifted the run goes on,
        // and the pass gives way to it.
        if (ownRun_->WaitWhilePausedAndCheckStop(observer) || ownRun_->IsRunning()) {
            runSeen_ = true;
            return true;
        }
    }
    const auto now = std::chrono::steady_clock::now();
    if (lookAtRunLockNow || now >= nextRunLockLook_) {
        nextRunLockLook_ = now + kRunLockLookInterval;
        const RunLock look(dataFolder_, RunLockPatience::None);
        runSeen_ = look.Refused();
    }
    return runSeen_ || cancelled_;
}

PassOutcome RunAutoDetectPass(const std::filesystem::path& dataFolder, PassWatch& watch,
                              bool firstPass) {
    PassOutcome outcome;
    platform::FileLock passLock;
    if (passLock.Lock(dataFolder / kPassLockFile, platform::LockWait::NotAtAll) ==
        std::errc::resource_unavailable_try_again) {
        outcome.anotherPass = true;
        return outcome;
    }
    AppStores stores;
    stores.LoadAll(dataFolder);
    JobTable table;
    {
        const DataFolderLock lock(dataFolder);
        EnvironmentFile file(stores.EnvironmentPath());
        table = file.Load();
        if (table.loadStatus != LoadStatus::Ok) {
            outcome.messages.push_back(file.LoadProblem());
            return outcome;
        }
        if (firstPass) {
            for (std::size_t i = 0; i < table.jobs.size(); ++i) {
                WriteFileToCopyFlag(stores.setting, i, 0);
            }
        }
    }
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        if (watch.ShouldEnd()) {
            outcome.ended = true;
            break;
        }
        const JobRecord& job = table.jobs[i];
        stores.setting.Reread();  // a run elsewhere may have cleared the mark
        if (ReadFileToCopyFlag(stores.setting, i) != 0) {
            outcome.marked.push_back(i);
            continue;
        }
        if (IsFtpLocation(job.basePath) || IsFtpLocation(job.targetPath)) {
            continue;
        }
        const auto result = engine::ProbeJobForCopies(stores, i, job, watch);
        if (result == engine::ProbeResult::Interrupted) {
            outcome.ended = true;
            break;
        }
        const bool found = result == engine::ProbeResult::SomethingToCopy;
        if (WriteMark(stores, watch, i, job, found) && found) {
            outcome.marked.push_back(i);
        }
    }
    return outcome;
}

}  // namespace arkivo::schedule
