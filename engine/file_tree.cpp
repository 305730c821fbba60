#include "engine/file_tree.h"

#include "platform/files.h"

namespace arkivo::engine {

FetchedFile& FetchedFile::operator=(FetchedFile&& other) noexcept {
    if (this != &other) {
        if (temporary_) {
            platform::RemoveFile(path_);
        }
        path_ = std::move(other.path_);
        temporary_ = std::exchange(other.temporary_, false);
    }
    return *this;
}

FetchedFile::~FetchedFile() {
    if (temporary_) {
        platform::RemoveFile(path_);
    }
}

bool IsDotFolder(const platform::FolderEntry& entry) {
    const auto& native = entry.name.native();
    return entry.info.IsFolder() && !entry.info.folderLink && !native.empty() && native[0] == '.';
}

}  // namespace arkivo::engine
