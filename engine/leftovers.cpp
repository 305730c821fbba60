#include "engine/leftovers.h"

#include "engine/file_tree.h"
#include "platform/file_system.h"
#include "platform/files.h"

namespace arkivo::engine {
namespace {

namespace fs = std::filesystem;

void RemoveTemporariesBelow(const fs::path& folder) {
    std::vector<platform::FolderEntry> entries;
    if (platform::ListFolder(folder, entries, platform::ListDetail::KindsOnly)) {
        return;
    }
    for (const auto& entry : entries) {
        if (entry.info.IsFolder()) {
            if (!entry.info.folderLink) {
                RemoveTemporariesBelow(folder / entry.name);
            }
        } else if (!entry.info.special && platform::IsTemporaryName(entry.name)) {
            platform::RemoveFile(folder / entry.name);
        }
    }
}

}  // namespace

void RemoveLeftoverTemporaries(const fs::path& target, std::u16string_view prefix) {
    std::vector<platform::FolderEntry> entries;
    if (platform::ListFolder(target, entries, platform::ListDetail::Full)) {
        return;
    }
    const platform::FolderEntry* newest = nullptr;
    for (const auto& entry : entries) {
        if (!entry.info.IsFolder()) {
            if (!entry.info.special && platform::IsTemporaryName(entry.name)) {
                platform::RemoveFile(target / entry.name);
            }
            continue;
        }
        if (entry.info.folderLink || platform::PathText(entry.name).rfind(prefix, 0) != 0) {
            continue;
        }
        if (newest == nullptr || entry.info.lastWriteTime > newest->info.lastWriteTime) {
            newest = &entry;
        }
    }
    if (newest != nullptr) {
        RemoveTemporariesBelow(target / newest->name);
    }
}

}  // namespace arkivo::engine
