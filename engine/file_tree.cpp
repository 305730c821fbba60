#include "engine/file_tree.h"

#include "platform/files.h"

namespace arkivo::engine {

bool IsDotFolder(const platform::FolderEntry& entry) {
    const auto& native = entry.name.native();
    return entry.info.IsFolder() && !entry.info.folderLink && !native.empty() && native[0] == '.';
}

}  // namespace arkivo::engine
