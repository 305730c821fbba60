#include "engine/target_side.h"

#include "engine/job_context.h"
#include "engine/leftovers.h"
#include "engine/orphan_deletion.h"
#include "engine/zip_destination.h"
#include "jobs/location_presence.h"
#include "platform/file_system.h"

namespace arkivo::engine {

// A target whose parent is missing is most likely on a drive that is not connected: making it
// would fill the disk the drive is mounted on instead.
bool LocalTarget::Refused(JobContext& job) {
    if (!TargetParentMissing(root_)) {
        return false;
    }
    job.Refused(
        root_, UserMessage::TextWith(text::RunTargetParentMissing, platform::ShownPathText(root_)));
    return true;
}

std::unique_ptr<Destination> LocalTarget::Folder(const std::filesystem::path& inside) {
    if (inside.empty()) {
        return std::make_unique<FolderDestination>(root_);
    }
    return std::make_unique<FolderDestination>(root_ / inside, root_);
}

void LocalTarget::RemoveLeftovers(std::u16string_view prefix) {
    LocalTree tree(root_);
    RemoveLeftoverTemporaries(tree, prefix);
}

void LocalTarget::DeleteOrphans(JobContext& job, FileTree& base, const OrphanNotes& notes) {
    SyncDeleteOrphans(job, base, root_, notes.skipped, notes.unreadable);
}

std::filesystem::path LocalTarget::ArchivePath(const std::filesystem::path& folder,
                                               const std::u16string& datedName, bool mayReplace,
                                               std::u16string& entryPrefix) {
    return ChooseArchiveName(folder, datedName, mayReplace, entryPrefix);
}

void LocalTarget::BeginWriting() {
    // Watched from before the first write, so the flush at the end also reports a write that
    // failed before anything flushed. Unwatched, the run still flushes at its end.
    static_cast<void>(flusher_.Watch(root_));
}

std::error_code LocalTarget::Flush() {
    return flusher_.Finish(root_);
}

}  // namespace arkivo::engine
