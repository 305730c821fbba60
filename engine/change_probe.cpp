#include "engine/change_probe.h"

#include "engine/destination.h"
#include "engine/file_tree.h"
#include "engine/job_context.h"
#include "engine/job_walk.h"
#include "engine/tree_walker.h"
#include "jobs/job_period.h"

namespace arkivo::engine {
namespace {

namespace fs = std::filesystem;

// Takes nothing; notes that a run would have put a file here.
class FindingDestination : public Destination {
  public:
    explicit FindingDestination(fs::path root) : root_(std::move(root)) {}

    std::error_code EnterFolder(const fs::path&, const platform::FileInfo&) override { return {}; }
    void Put(const fs::path&, const fs::path&, const platform::FileInfo&,
             const platform::CopyProgress&, PutSettled settled) override {
        found = true;
        settled({});
    }
    void LeaveFolder(const fs::path&) override {}
    fs::path FullPath(const fs::path& relative) const override {
        return relative.empty() ? root_ : root_ / relative;
    }

    bool found = false;

  private:
    fs::path root_;
};

// Ends the walk once a file was found, or when the outer control says so.
class UntilFound : public WalkControl {
  public:
    UntilFound(WalkControl& outer, const FindingDestination& destination)
        : outer_(outer), destination_(destination) {}

    bool WaitWhilePausedAndCheckStop(RunObserver& observer) override {
        if (destination_.found) {
            return true;
        }
        if (outer_.WaitWhilePausedAndCheckStop(observer)) {
            interrupted = true;
            return true;
        }
        return false;
    }

    bool interrupted = false;

  private:
    WalkControl& outer_;
    const FindingDestination& destination_;
};

}  // namespace

ProbeResult ProbeJobForCopies(AppStores& stores, std::size_t jobIndex, const JobRecord& job,
                              WalkControl& control) {
    const auto type = static_cast<BackupType>(job.backupType);
    const auto rule = RuleFor(type, job);
    if (!rule || (type == BackupType::Spd && !HasPeriod(job))) {
        return ProbeResult::NothingToCopy;
    }
    const JobWalk walk = PrepareJobWalk(stores, jobIndex, job);
    RunObserver quiet;
    FindingDestination destination(walk.target);
    UntilFound until(control, destination);
    const RunFlags flags = job.filterOn != 0 ? RunFlag::FilterOn : 0;
    JobContext context(jobIndex, flags, walk.Filter(), quiet, until, nullptr, true);
    walk.Prepare(context);
    LocalTree source(walk.base);
    LocalTree reference(walk.target);
    WalkTree(context, {source, &reference, destination, *rule, ReportStyle::ByReference});
    if (destination.found) {
        return ProbeResult::SomethingToCopy;
    }
    return until.interrupted ? ProbeResult::Interrupted : ProbeResult::NothingToCopy;
}

}  // namespace arkivo::engine
