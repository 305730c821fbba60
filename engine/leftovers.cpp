#include "engine/leftovers.h"

#include "engine/file_tree.h"
#include "platform/files.h"

namespace arkivo::engine {
namespace {

namespace fs = std::filesystem;

bool IsOurTemporaryFile(const platform::FolderEntry& entry) {
    return !entry.info.IsFolder() && !entry.info.special && platform::IsTemporaryName(entry.name);
}

void RemoveTemporariesBelow(FileTree& tree, const fs::path& folder) {
    std::vector<platform::FolderEntry> entries;
    if (tree.List(folder, entries, platform::ListDetail::KindsOnly)) {
        return;
    }
    for (const auto& entry : entries) {
        if (entry.info.IsFolder() && !entry.info.folderLink) {
            RemoveTemporariesBelow(tree, folder / entry.name);
        } else if (IsOurTemporaryFile(entry)) {
            tree.RemoveFile(folder / entry.name);
        }
    }
}

}  // namespace

void RemoveLeftoverTemporaries(FileTree& target, std::u16string_view prefix) {
    std::vector<platform::FolderEntry> entries;
    if (target.List(fs::path(), entries, platform::ListDetail::Full)) {
        return;
    }
    const platform::FolderEntry* newest = nullptr;
    for (const auto& entry : entries) {
        if (IsOurTemporaryFile(entry)) {
            target.RemoveFile(entry.name);
        }
        if (!entry.info.IsFolder() || entry.info.folderLink ||
            platform::PathText(entry.name).rfind(prefix, 0) != 0) {
            continue;
        }
        if (newest == nullptr || entry.info.lastWriteTime > newest->info.lastWriteTime) {
            newest = &entry;
        }
    }
    if (newest != nullptr) {
        RemoveTemporariesBelow(target, newest->name);
    }
}

}  // namespace arkivo::engine
