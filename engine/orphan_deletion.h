// The deletion pass of a synchronisation: target files and folders that have no counterpart
// in the base are removed. A base folder that cannot be read proves nothing about what it
// holds, so nothing below it is deleted; when that is the base itself the pass is skipped.
#pragma once

#include <filesystem>

#include "engine/file_tree.h"
#include "engine/job_context.h"

namespace arkivo::engine {

// `base` is read through its tree (it may be remote); the target is a local folder.
void SyncDeleteOrphans(JobContext& job, FileTree& base, const std::filesystem::path& target,
                       std::u16string_view skippedNote, std::u16string_view unreadableNote);

// Removes a folder with everything in it but the folders whose names begin with "." (unless the
// job takes them); every file removed is reported.
void DeleteTreeReported(JobContext& job, const std::filesystem::path& folder);

}  // namespace arkivo::engine
