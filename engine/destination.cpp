#include "engine/destination.h"

#include "engine/run_observer.h"

namespace arkivo::engine {

FolderDestination::FolderDestination(std::filesystem::path root,
                                     std::filesystem::path parentToCreate)
    : root_(std::move(root)), parentToCreate_(std::move(parentToCreate)) {}

std::error_code FolderDestination::EnterFolder(const std::filesystem::path& relative,
                                               const platform::FileInfo& source) {
    if (relative.empty() && !parentToCreate_.empty()) {
        platform::CreateFolder(parentToCreate_);
    }
    return platform::CreateFolderLike(FullPath(relative), source);
}

std::error_code FolderDestination::Put(const std::filesystem::path& source,
                                       const std::filesystem::path& relative,
                                       const platform::FileInfo&,
                                       const platform::CopyProgress& progress) {
    return platform::CopyFileAtomically(source, FullPath(relative), progress);
}

void FolderDestination::LeaveFolder(const std::filesystem::path& relative, bool received) {
    if (!received) {
        platform::RemoveFolder(FullPath(relative));
    }
}

std::filesystem::path FolderDestination::FullPath(const std::filesystem::path& relative) const {
    return relative.empty() ? root_ : root_ / relative;
}

std::error_code PlannedDestination::Put(const std::filesystem::path& source,
                                        const std::filesystem::path& relative,
                                        const platform::FileInfo&, const platform::CopyProgress&) {
    observer_.OnPlannedCopy(source, FullPath(relative));
    return {};
}

}  // namespace arkivo::engine
