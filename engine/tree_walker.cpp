#include "engine/tree_walker.h"

#include <memory>
#include <unordered_map>

#include "platform/file_system.h"
#include "platform/files.h"

namespace arkivo::engine {
namespace {

using platform::FolderEntry;
namespace fs = std::filesystem;

// The reference folder's files by name, read once when the first file needs it. Our own
// leftover temporary files found there are left out, and removed when asked.
class ReferenceFolder {
  public:
    ReferenceFolder(FileTree* tree, fs::path relative, bool removeLeftovers)
        : tree_(tree), relative_(std::move(relative)), removeLeftovers_(removeLeftovers) {}

    const platform::FileInfo* Find(const fs::path& name) {
        if (tree_ == nullptr) {
            return nullptr;
        }
        if (!loaded_) {
            Load();
        }
        const auto found = byName_.find(tree_->NameKey(name));
        return found == byName_.end() ? nullptr : &found->second;
    }

  private:
    void Load() {
        loaded_ = true;
        std::vector<FolderEntry> entries;
        if (tree_->List(relative_, entries, platform::ListDetail::Full)) {
            return;  // a missing reference folder: every file is new
        }
        for (auto& entry : entries) {
            if (entry.info.special) {
                continue;  // never compared with, never replaced
            }
            if (!entry.info.IsFolder() && platform::IsTemporaryName(entry.name)) {
                if (removeLeftovers_) {
                    tree_->RemoveFile(relative_ / entry.name);
                }
                continue;
            }
            byName_.emplace(tree_->NameKey(entry.name), entry.info);
        }
    }

    FileTree* tree_;
    fs::path relative_;
    bool removeLeftovers_;
    bool loaded_ = false;
    std::unordered_map<std::u16string, platform::FileInfo> byName_;
};

void Report(JobContext& job, const WalkPlan& plan, const CopyDecision& decision,
            const fs::path& relative) {
    switch (plan.style) {
        case ReportStyle::AllCreated:
            if (job.Reports(RunFlag::ReportCreated) || job.Reports(RunFlag::ReportUpdated)) {
                job.NoteCreatedAlways(plan.destination.FullPath(relative));
            }
            return;
        case ReportStyle::ByReference: {
            const fs::path shown = plan.destination.FullPath(relative);
            if (decision.referenceMissing) {
                job.NoteCreated(shown);
            } else if (decision.referenceOutdated) {
                job.NoteUpdated(shown);
            }
            return;
        }
    }
}

// A file handed to the destination, until its put has settled.
struct PutFile {
    fs::path source;
    fs::path relative;
    std::uint64_t size;
    CopyDecision decision;
};

// Counts the put, lists it in the report and tells the observer, once it has settled.
void Settled(JobContext& job, const WalkPlan& plan, const PutFile& file, std::error_code error) {
    if (error) {
        job.Failed(file.source, error, plan.destination.FullPath(file.relative));
        return;
    }
    job.CountCopied(file.size);
    job.observer().OnBytesCopied(file.size);
    Report(job, plan, file.decision, file.relative);
}

// The destination folder has been entered already.
void WalkFolder(JobContext& job, const WalkPlan& plan, const fs::path& relative) {
    std::vector<FolderEntry> entries;
    if (auto error = plan.source.List(relative, entries, platform::ListDetail::Full)) {
        job.Failed(plan.source.FullPath(relative), error);
        plan.destination.LeaveFolder(relative);
        return;
    }
    ReferenceFolder reference(plan.rule.NeedsReference() ? plan.reference : nullptr, relative,
                              plan.cleanReference && !job.dryRun());
    for (const auto& entry : entries) {
        if (job.ShouldStop()) {
            break;
        }
        const fs::path child = relative / entry.name;
        if (entry.info.IsFolder()) {
            const fs::path folder = plan.source.FullPath(child);
            if (const auto reason = job.SkipReasonFor(entry)) {
                job.Skipped(folder, *reason);
            } else if (!job.IsFenced(folder)) {
                // A sub-folder that cannot be made shows up as failed copies of its files.
                plan.destination.EnterFolder(child, entry.info);
                WalkFolder(job, plan, child);
            }
            continue;
        }
        if (entry.info.special) {
            const fs::path special = plan.source.FullPath(child);
            if (!job.IsFilteredOut(special)) {
                job.Skipped(special, SkipReason::SpecialFile);
            }
            continue;
        }
        if (platform::IsTemporaryName(entry.name)) {
            continue;
        }
        const CopyDecision decision = plan.rule.Decide(entry.info, reference.Find(entry.name));
        const fs::path source = plan.source.FullPath(child);
        if (decision.copy && !job.IsFilteredOut(source)) {
            job.observer().OnFile(source);
            const auto progress = [&job, size = entry.info.size](std::uint64_t done) {
                job.observer().OnFileProgress(done, size);
            };
            const PutFile file{source, child, entry.info.size, decision};
            // A dry run reads nothing: a remote file is not downloaded only to be planned.
            auto fetched = std::make_shared<FetchedFile>(source, false);
            const auto error = job.dryRun()
                                   ? std::error_code()
                                   : plan.source.Fetch(child, entry.info, *fetched, progress,
                                                       plan.destination.LandingFolder(child));
            if (error) {
                Settled(job, plan, file, error);
            } else {
                // The walk settles every put before it ends, so job and plan outlive the
                // outcome; a downloaded copy stays until its put has settled, as an archive
                // may read it later.
                plan.destination.Put(fetched->Path(), child, entry.info, progress,
                                     [&job, &plan, file, fetched](std::error_code outcome) {
                                         Settled(job, plan, file, outcome);
                                     });
            }
        }
        job.Examined();
    }
    plan.destination.LeaveFolder(relative);
}

std::uint64_t CountFolder(JobContext& job, FileTree& source, const fs::path& relative) {
    std::vector<FolderEntry> entries;
    if (source.List(relative, entries, platform::ListDetail::KindsOnly)) {
        return 0;
    }
    std::uint64_t count = 0;
    for (const auto& entry : entries) {
        if (job.ShouldStop()) {
            break;
        }
        const fs::path child = relative / entry.name;
        if (entry.info.IsFolder()) {
            if (!job.SkipReasonFor(entry) && !job.IsFenced(source.FullPath(child))) {
                count += CountFolder(job, source, child);
            }
        } else if (!entry.info.special && !platform::IsTemporaryName(entry.name) &&
                   !job.IsFilteredOut(source.FullPath(child))) {
            ++count;
        }
    }
    return count;
}

}  // namespace

bool WalkTree(JobContext& job, const WalkPlan& plan) {
    // Without its root folder the destination can take nothing: one failure, not one per file.
    platform::FileInfo root;
    plan.source.GetInfo(fs::path(), root);
    if (auto error = plan.destination.EnterFolder(fs::path(), root)) {
        job.Failed(plan.destination.FullPath(fs::path()), error);
        return false;
    }
    WalkFolder(job, plan, fs::path());
    plan.destination.Settle();
    return true;
}

std::uint64_t CountFiles(JobContext& job, FileTree& source) {
    return CountFolder(job, source, fs::path());
}

}  // namespace arkivo::engine
