// An interrupted copy leaves a file with our temporary suffix. Synchronisations find theirs
// while they read the target; dated runs clean up after the job's previous run here.
#pragma once

#include <filesystem>
#include <string_view>

namespace arkivo::engine {

// Removes our temporary files from the target folder itself and from its most recently
// changed dated folder of the given prefix (the one an interrupted run would have left).
void RemoveLeftoverTemporaries(const std::filesystem::path& target, std::u16string_view prefix);

}  // namespace arkivo::engine
