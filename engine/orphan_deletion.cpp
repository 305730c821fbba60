#include "engine/orphan_deletion.h"

#include <unordered_set>

#include "engine/file_tree.h"
#include "platform/file_system.h"
#include "platform/files.h"

namespace arkivo::engine {
namespace {

namespace fs = std::filesystem;
using platform::FolderEntry;

void DeleteFileReported(JobContext& job, const fs::path& file, bool folderLink) {
    if (job.dryRun()) {
        job.observer().OnPlannedDeletion(file);
        job.CountDeleted();
        return;
    }
    std::error_code error;
    if (folderLink) {
        error = platform::RemoveFolderLink(file);
    } else {
        platform::MakeWritable(file);
        error = platform::RemoveFile(file);
        if (error) {
            error = platform::RemoveFile(file);
        }
    }
    if (error) {
        job.Failed(file, error);
        return;
    }
    job.CountDeleted();
    job.NoteDeleted(file);
}

void DeleteEntry(JobContext& job, const fs::path& path, const FolderEntry& entry) {
    if (entry.info.special) {
        return;  // runs never copy sockets, FIFOs or devices, so none is theirs to delete
    }
    if (entry.info.IsFolder() && !entry.info.folderLink) {
        DeleteTreeReported(job, path);
    } else if (platform::IsTemporaryName(entry.name)) {
        if (!job.dryRun()) {
            platform::RemoveFile(path);  // our own leftover: never reported as the user's file
        }
    } else {
        DeleteFileReported(job, path, entry.info.folderLink);
    }
}

struct Notes {
    std::u16string_view skipped;
    std::u16string_view unreadable;
};

void DeleteOrphansIn(JobContext& job, FileTree& base, const fs::path& relative,
                     const fs::path& target, const Notes& notes) {
    const bool isRoot = relative.empty();
    std::vector<FolderEntry> baseEntries;
    if (base.List(relative, baseEntries, platform::ListDetail::KindsOnly)) {
        if (isRoot) {
            job.NoteLine(notes.skipped);
            job.observer().OnMessage(UserMessage::Fixed(notes.skipped));
        } else {
            job.NoteLine(std::u16string(notes.unreadable) +
                         platform::ShownPathText(base.FullPath(relative)));
        }
        return;
    }
    std::unordered_set<std::u16string> present;
    for (const auto& entry : baseEntries) {
        present.insert(platform::FileNameKey(entry.name));
    }
    std::vector<FolderEntry> targetEntries;
    if (platform::ListFolder(target, targetEntries, platform::ListDetail::KindsOnly)) {
        return;
    }
    for (const auto& entry : targetEntries) {
        if (job.ShouldStop()) {
            return;
        }
        const fs::path path = target / entry.name;
        if ((IsDotFolder(entry) && !job.TakesDotFolders()) || job.IsFenced(path)) {
            continue;
        }
        if (!present.count(platform::FileNameKey(entry.name))) {
            DeleteEntry(job, path, entry);
        } else if (entry.info.IsFolder() && !entry.info.folderLink) {
            DeleteOrphansIn(job, base, relative / entry.name, path, notes);
        }
    }
}

}  // namespace

void SyncDeleteOrphans(JobContext& job, FileTree& base, const fs::path& target,
                       std::u16string_view skippedNote, std::u16string_view unreadableNote) {
    DeleteOrphansIn(job, base, fs::path(), target, Notes{skippedNote, unreadableNote});
}

void DeleteTreeReported(JobContext& job, const fs::path& folder) {
    std::vector<FolderEntry> entries;
    platform::ListFolder(folder, entries, platform::ListDetail::KindsOnly);
    for (const auto& entry : entries) {
        if (job.ShouldStop()) {
            return;
        }
        if (IsDotFolder(entry) && !job.TakesDotFolders()) {
            continue;
        }
        DeleteEntry(job, folder / entry.name, entry);
    }
    if (!job.dryRun()) {
        platform::MakeWritable(folder);
        platform::RemoveFolder(folder);
    }
}

}  // namespace arkivo::engine
