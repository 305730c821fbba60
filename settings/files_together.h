// Replacing several files of the data folder as one change: after a crash at any moment,
// every file is either all old or all new once the next holder of the data folder's lock has
// looked at the folder.
//
// Each new file is written in full to a temporary file and flushed; then an intent record
// (kPendingRenamesFile, itself replaced atomically) lists which temporary file becomes which
// file; then the renames are done and the record removed. A process killed after the record
// was written leaves it behind, and CompletePendingRenames, which every new holder of the lock
// runs before it reads anything, does the renames whose temporary file is still there.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/files.h"

namespace arkivo {

inline constexpr std::string_view kPendingRenamesFile = "PendingRenames.lst";

struct FileReplacement {
    std::filesystem::path path;  // in the folder given to ReplaceFilesTogether
    std::string bytes;
    platform::FilePrivacy privacy = platform::FilePrivacy::Shared;
};

// The caller holds the folder's DataFolderLock. On an error before the renames began nothing
// has changed; on a failed rename the record stays for the next holder of the lock to finish.
std::error_code ReplaceFilesTogether(const std::filesystem::path& folder,
                                     const std::vector<FileReplacement>& files);

// Finishes a change that a killed process left half done; removes the record.
void CompletePendingRenames(const std::filesystem::path& folder);

// For crash tests: called with 0, 1, 2... before each step of ReplaceFilesTogether (each
// temporary file written, the record written, each rename, the record removed).
void SetReplaceStepHookForTests(std::function<void(int step)> hook);

}  // namespace arkivo
