#include "engine/destination.h"

#include "engine/run_observer.h"
#include "platform/file_system.h"
#include "platform/files.h"

namespace arkivo::engine {

FolderDestination::FolderDestination(std::filesystem::path root,
                                     std::filesystem::path parentToCreate)
    : root_(std::move(root)), parentToCreate_(std::move(parentToCreate)) {}

std::error_code FolderDestination::EnterFolder(const std::filesystem::path& relative,
                                               const platform::FileInfo& source) {
    if (relative.empty() && !parentToCreate_.empty()) {
        platform::CreateFolder(parentToCreate_);
    }
    if (!relative.empty()) {
        // Made when its first file arrives: a run with little to copy then neither makes nor
        // removes the folders of a whole tree.
        unmade_.push_back({relative, source});
        return {};
    }
    auto error = platform::CreateFolderLike(root_, source);
    if (!error) {
        // A folder that exists may still refuse new files (read-only mount, no permission).
        // Finding out once, before the walk, gives one failure that says why instead of one
        // per file and sub-folder.
        error = platform::CheckCanCreateFilesIn(root_);
    }
    return error;
}

std::error_code FolderDestination::MakeEnteredFolders() {
    for (const auto& folder : unmade_) {
        if (auto error = platform::CreateFolderLike(FullPath(folder.relative), folder.source)) {
            return error;
        }
    }
    unmade_.clear();
    return {};
}

void FolderDestination::Put(const std::filesystem::path& source,
                            const std::filesystem::path& relative, const platform::FileInfo&,
                            const platform::CopyProgress& progress, PutSettled settled) {
    const auto target = FullPath(relative);
    auto error = MakeEnteredFolders();
    if (!error) {
        // A temporary file beside the target can only be a download landed there for it.
        error = source.parent_path() == target.parent_path() &&
                        platform::IsTemporaryName(source.filename())
                    ? platform::MoveReplacing(source, target)
                    : platform::CopyFileAtomically(source, target, progress);
    }
    if (!error) {
        received_.insert(relative.parent_path());
    }
    settled(error);
}

std::filesystem::path FolderDestination::LandingFolder(const std::filesystem::path& relative) {
    // A folder that cannot be made gets no download; Put then tells why.
    return MakeEnteredFolders() ? std::filesystem::path() : FullPath(relative).parent_path();
}

void FolderDestination::LeaveFolder(const std::filesystem::path& relative) {
    if (!unmade_.empty() && unmade_.back().relative == relative) {
        unmade_.pop_back();
    }
    // Also an empty folder that was there before the run goes, as it always did.
    if (received_.erase(relative) == 0) {
        platform::RemoveFolder(FullPath(relative));
    }
}

std::filesystem::path FolderDestination::FullPath(const std::filesystem::path& relative) const {
    return relative.empty() ? root_ : root_ / relative;
}

void PlannedDestination::Put(const std::filesystem::path& source,
                             const std::filesystem::path& relative, const platform::FileInfo&,
                             const platform::CopyProgress&, PutSettled settled) {
    observer_.OnPlannedCopy(source, FullPath(relative));
    settled({});
}

}  // namespace arkivo::engine
