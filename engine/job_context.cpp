#include "engine/job_context.h"

#include <utility>

#include "engine/file_tree.h"
#include "filters/filter_match.h"
#include "platform/file_system.h"
#include "report/backup_report.h"

namespace arkivo::engine {

JobContext::JobContext(std::size_t jobIndex, RunFlags flags, const JobFilter* filter,
                       RunObserver& observer, WalkControl& control, BackupReport* report,
                       bool dryRun)
    : flags_(flags),
      filter_(filter),
      observer_(observer),
      control_(control),
      report_(report),
      dryRun_(dryRun) {
    summary.jobIndex = jobIndex;
}

bool JobContext::ShouldStop() {
    if (control_.WaitWhilePausedAndCheckStop(observer_)) {
        summary.stopped = true;
        return true;
    }
    return false;
}

bool JobContext::IsFilteredOut(const std::filesystem::path& file) const {
    return filter_ != nullptr && (flags_ & RunFlag::FilterOn) &&
           filter_->IsFilteredOut(platform::PathText(file));
}

bool JobContext::IsFenced(const std::filesystem::path& folder) const {
    for (const auto& fenced : fenced_) {
        if (folder == fenced) {
            return true;
        }
    }
    return false;
}

std::optional<SkipReason> JobContext::SkipReasonFor(const platform::FolderEntry& folder) const {
    if (folder.info.folderLink) {
        return SkipReason::FolderLink;
    }
    if (!takeDotFolders_ && IsDotFolder(folder)) {
        return SkipReason::DotFolder;
    }
    return std::nullopt;
}

void JobContext::Skipped(const std::filesystem::path& path, SkipReason reason) {
    BackupReport::Skip listed = BackupReport::Skip::DotFolder;
    switch (reason) {
        case SkipReason::DotFolder:
            ++summary.skippedDotFolders;
            break;
        case SkipReason::FolderLink:
            ++summary.skippedFolderLinks;
            listed = BackupReport::Skip::FolderLink;
            break;
        case SkipReason::SpecialFile:
            ++summary.skippedSpecialFiles;
            listed = BackupReport::Skip::SpecialFile;
            break;
    }
    if (report_ != nullptr && (flags_ & RunFlag::ReportOn)) {
        report_->NoteSkipped(path, listed);
    }
    observer_.OnSkipped(path, reason);
}

void JobContext::NoteCreated(const std::filesystem::path& path) {
    if (Reports(RunFlag::ReportCreated)) {
        report_->NoteCreatedFile(path);
    }
}

void JobContext::NoteUpdated(const std::filesystem::path& path) {
    if (Reports(RunFlag::ReportUpdated)) {
        report_->NoteUpdatedFile(path);
    }
}

void JobContext::NoteDeleted(const std::filesystem::path& path) {
    if (Reports(RunFlag::ReportDeleted)) {
        report_->NoteDeletedFile(path);
    }
}

void JobContext::NoteCreatedAlways(const std::filesystem::path& path) {
    if (report_ != nullptr && (flags_ & RunFlag::ReportOn)) {
        report_->NoteCreatedFile(path);
    }
}

void JobContext::NoteLine(std::u16string_view text) {
    if (report_ != nullptr && (flags_ & RunFlag::ReportOn)) {
        report_->WriteNoteLine(text);
    }
}

void JobContext::Failed(const std::filesystem::path& path, std::error_code error,
                        const std::filesystem::path& destination) {
    ++summary.failed;
    if (report_ != nullptr && (flags_ & RunFlag::ReportOn)) {
        report_->NoteFailedFile(path);
    }
    observer_.OnFailure(path, destination, error);
}

void JobContext::Refused(const std::filesystem::path& path, const UserMessage& why) {
    ++summary.failed;
    if (report_ != nullptr && (flags_ & RunFlag::ReportOn)) {
        report_->NoteFailedFile(path);
    }
    observer_.OnMessage(why);
}

void JobContext::WithdrawCopies() {
    summary.copied = 0;
    summary.bytesCopied = 0;
    if (report_ != nullptr) {
        report_->ForgetNotedCopies();
    }
}

void JobContext::CountCopied(std::uint64_t bytes) {
    ++summary.copied;
    summary.bytesCopied += bytes;
    Wrote();
}

void JobContext::CountDeleted() {
    ++summary.deleted;
    Wrote();
}

void JobContext::Wrote() {
    if (writingBegins_) {
        std::exchange(writingBegins_, nullptr)();
    }
}

void JobContext::Examined() {
    ++summary.examined;
    observer_.OnProgressPos(summary.examined);
}

}  // namespace arkivo::engine
