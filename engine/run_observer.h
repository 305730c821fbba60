// How a backup run talks to whoever shows it: the Windows progress window and main dialog, or
// the command line. Every call comes from the run's worker thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "settings/user_message.h"
#include "zip/verify.h"

namespace arkivo::engine {

enum class Animation { Copy, Delete };

// Why a walk left a folder, or an entry that is no file, out.
enum class SkipReason {
    DotFolder,    // its name begins with "." and the job does not take such folders
    FolderLink,   // a link to a folder: following it could lead back up the tree
    SpecialFile,  // a socket, FIFO or device: it has no contents to copy
};

struct JobSummary {
    std::size_t jobIndex = 0;
    std::uint64_t examined = 0;  // files looked at, copied or not
    std::uint64_t copied = 0;    // files written (copied, or added to the archive)
    std::uint64_t deleted = 0;   // files removed by the deletion pass
    std::uint64_t failed = 0;    // copies, additions or deletions that did not succeed
    std::uint64_t bytesCopied = 0;
    std::uint64_t skippedDotFolders = 0;
    std::uint64_t skippedFolderLinks = 0;
    std::uint64_t skippedSpecialFiles = 0;
    // With RunOptions::verifyArchives: archives re-read after they were written, their entries,
    // and the archives found damaged.
    std::uint64_t archivesVerified = 0;
    std::uint64_t entriesVerified = 0;
    std::uint64_t archivesDamaged = 0;
    bool stopped = false;
};

struct RunSummary {
    bool refused = false;              // another run held the data folder: nothing ran
    bool environmentReadable = true;   // false: the job list could not be read, nothing ran
    std::filesystem::path reportFile;  // empty in a dry run and with the report off
    bool reportFailed = false;         // the report could not be written whole
    std::uint64_t jobsRun = 0;
    std::uint64_t examined = 0;
    std::uint64_t copied = 0;
    std::uint64_t deleted = 0;
    std::uint64_t failed = 0;
    std::uint64_t bytesCopied = 0;
    std::uint64_t skippedDotFolders = 0;
    std::uint64_t skippedFolderLinks = 0;
    std::uint64_t skippedSpecialFiles = 0;
    std::uint64_t archivesVerified = 0;
    std::uint64_t entriesVerified = 0;
    std::uint64_t archivesDamaged = 0;
    bool stopped = false;

    bool Succeeded() const {
        return !refused && environmentReadable && !reportFailed && failed == 0 && !stopped;
    }
    // Counts one more job that ran into the totals.
    void Add(const JobSummary& job) {
        ++jobsRun;
        examined += job.examined;
        copied += job.copied;
        deleted += job.deleted;
        failed += job.failed;
        bytesCopied += job.bytesCopied;
        skippedDotFolders += job.skippedDotFolders;
        skippedFolderLinks += job.skippedFolderLinks;
        skippedSpecialFiles += job.skippedSpecialFiles;
        archivesVerified += job.archivesVerified;
        entriesVerified += job.entriesVerified;
        archivesDamaged += job.archivesDamaged;
        stopped = stopped || job.stopped;
    }
};

class RunObserver {
  public:
    virtual ~RunObserver() = default;

    // The tick box of the job's row as the user sees it now; the run takes only ticked jobs.
    virtual bool IsJobTicked(std::size_t jobIndex, bool storedTick) {
        (void)jobIndex;
        return storedTick;
    }

    virtual void OnJobStarted(std::size_t jobIndex, std::u16string_view base,
                              std::u16string_view target) {
        (void)jobIndex, (void)base, (void)target;
    }
    // Whether a progress bar shows the run: only a bar needs the files counted before the walk,
    // and without one the tree is walked once instead of twice.
    virtual bool ShowsProgress() const { return true; }
    // The counting phase of a job begins (true) or ends (false).
    virtual void OnAnalysis(std::size_t jobIndex, bool active) { (void)jobIndex, (void)active; }
    virtual void OnStatus(std::u16string_view text) { (void)text; }
    virtual void OnAnimation(Animation animation) { (void)animation; }
    // 0 resets the bar. Counts are exact; a bar with a 16-bit range scales them itself.
    virtual void OnProgressRange(std::uint64_t count) { (void)count; }
    virtual void OnProgressPos(std::uint64_t position) { (void)position; }
    virtual void OnFile(const std::filesystem::path& source) { (void)source; }
    // How far the copy of the current file has come, told as it goes on (large files).
    virtual void OnFileProgress(std::uint64_t done, std::uint64_t size) { (void)done, (void)size; }
    virtual void OnBytesCopied(std::uint64_t bytes) { (void)bytes; }
    // A copy (to `destination`), archive addition or deletion failed, or a folder could not
    // be read or made.
    virtual void OnFailure(const std::filesystem::path& path,
                           const std::filesystem::path& destination, std::error_code error) {
        (void)path, (void)destination, (void)error;
    }
    // In a dry run: what a real run would do.
    virtual void OnPlannedCopy(const std::filesystem::path& source,
                               const std::filesystem::path& destination) {
        (void)source, (void)destination;
    }
    virtual void OnPlannedDeletion(const std::filesystem::path& path) { (void)path; }
    // A source folder the walk left out with all it holds, or a special file it left out.
    virtual void OnSkipped(const std::filesystem::path& path, SkipReason reason) {
        (void)path, (void)reason;
    }
    // With RunOptions::verifyArchives: an archive the job wrote was re-read and checked.
    virtual void OnArchiveVerified(const std::filesystem::path& archive,
                                   const zip::ArchiveVerdict& verdict) {
        (void)archive, (void)verdict;
    }
    // The run paused (the progress window hides) or resumed.
    virtual void OnPaused(bool paused) { (void)paused; }
    // A message box the run would show: an unknown backup type, an archive failure.
    virtual void OnMessage(const UserMessage& message) { (void)message; }
    virtual void OnJobFinished(const JobSummary& summary) { (void)summary; }
    // The last call of a run, after the table was saved; `completeText` is the "Complete"
    // text to show unless the run was stopped.
    virtual void OnRunFinished(const RunSummary& summary, std::u16string_view completeText) {
        (void)summary, (void)completeText;
    }
};

}  // namespace arkivo::engine
