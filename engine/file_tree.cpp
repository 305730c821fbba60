#include "engine/file_tree.h"

#include "platform/files.h"

namespace arkivo::engine {

bool IsTemporaryName(const std::filesystem::path& name) {
    const auto& native = name.native();
    const std::string_view suffix = platform::kTempSuffix;
    return native.size() > suffix.size() &&
           std::equal(suffix.rbegin(), suffix.rend(), native.rbegin(),
                      [](char a, auto b) { return static_cast<decltype(b)>(a) == b; });
}

bool IsDotFolder(const platform::FolderEntry& entry) {
    const auto& native = entry.name.native();
    return entry.info.IsFolder() && !entry.info.folderLink && !native.empty() && native[0] == '.';
}

bool IsSkippedFolder(const platform::FolderEntry& entry) {
    return entry.info.folderLink || IsDotFolder(entry);
}

}  // namespace arkivo::engine
