// What the walkers of one job share: the job's switches and filter, the report, the counters,
// and the way to the observer and the pause and stop controls.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "engine/run_observer.h"
#include "engine/run_options.h"
#include "engine/walk_control.h"
#include "platform/file_system.h"

namespace arkivo {
class BackupReport;
class JobFilter;
}  // namespace arkivo

namespace arkivo::engine {

class JobContext {
  public:
    JobContext(std::size_t jobIndex, RunFlags flags, const JobFilter* filter, RunObserver& observer,
               WalkControl& control, BackupReport* report, bool dryRun);

    std::size_t jobIndex() const { return summary.jobIndex; }
    bool dryRun() const { return dryRun_; }
    RunObserver& observer() { return observer_; }

    // Called before every directory entry: waits while paused; true means leave the walk.
    bool ShouldStop();

    // Whether the job's filters leave the file out (false when its filters are off).
    bool IsFilteredOut(const std::filesystem::path& file) const;

    // Whether folders whose names begin with "." are backed up (and mirrored) like others.
    void TakeDotFolders(bool take) { takeDotFolders_ = take; }
    bool TakesDotFolders() const { return takeDotFolders_; }

    // Why a walk must not enter the folder, if it must not.
    std::optional<SkipReason> SkipReasonFor(const platform::FolderEntry& folder) const;
    // A source folder or special file left out: counted, listed in the report, told.
    void Skipped(const std::filesystem::path& path, SkipReason reason);

    // Folders the walkers must never enter: the target inside the base, and the reverse.
    void NeverEnter(std::filesystem::path folder) { fenced_.push_back(std::move(folder)); }
    bool IsFenced(const std::filesystem::path& folder) const;

    bool Reports(std::uint32_t bit) const {
        return report_ != nullptr && (flags_ & RunFlag::ReportOn) && (flags_ & bit);
    }
    void NoteCreated(const std::filesystem::path& path);
    void NoteUpdated(const std::filesystem::path& path);
    void NoteDeleted(const std::filesystem::path& path);
    // A created entry whenever the created or the updated list is on.
    void NoteCreatedAlways(const std::filesystem::path& path);
    void NoteLine(std::u16string_view text);
    // A copy, addition or deletion that did not succeed, or a source folder that could not be
    // read (its files could not be backed up): counted, listed, told.
    void Failed(const std::filesystem::path& path, std::error_code error,
                const std::filesystem::path& destination = {});
    // The job could not begin on `path` for the reason the message gives: counted and listed
    // as a failure, the message told.
    void Refused(const std::filesystem::path& path, const UserMessage& why);

    void Examined();  // one more file looked at; moves the progress bar
    // A file that reached the destination, and one deleted from the target (or, in a dry run,
    // that would be).
    void CountCopied(std::uint64_t bytes);
    void CountDeleted();
    // `begin` runs once, at the first file copied or deleted.
    void WhenWritingBegins(std::function<void()> begin) { writingBegins_ = std::move(begin); }

    // The job's copies did not last (its archive could not be completed): none of them counts
    // or is listed as copied.
    void WithdrawCopies();

    JobSummary summary;

  private:
    RunFlags flags_;
    const JobFilter* filter_;
    RunObserver& observer_;
    WalkControl& control_;
    BackupReport* report_;
    bool dryRun_;
    bool takeDotFolders_ = false;
    std::vector<std::filesystem::path> fenced_;
    std::function<void()> writingBegins_;

    void Wrote();
};

}  // namespace arkivo::engine
