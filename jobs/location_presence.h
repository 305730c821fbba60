// Job folders that are not there. A job may rightly name folders that appear later (a drive
// plugged in before each run), so when a job is made these are warnings, not refusals; a run
// never makes a target whose parent is missing, as that is where a drive was meant to be.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "settings/user_message.h"

namespace arkivo {

// The target does not exist and neither does the folder it would be made in.
bool TargetParentMissing(const std::filesystem::path& target);

// A warning for a local base that does not exist and one for a local target whose parent
// does not exist; FTP locations are not looked at.
std::vector<UserMessage> MissingFolderWarnings(std::u16string_view base,
                                               std::u16string_view target);

}  // namespace arkivo
