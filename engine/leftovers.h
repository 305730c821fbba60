// An interrupted copy leaves a file with our temporary suffix. Synchronisations find theirs
// while they read the target; dated runs clean up after the job's previous run here.
#pragma once

#include <string_view>

namespace arkivo::engine {

class FileTree;

// Removes our temporary files from the target tree's root and from its most recently changed
// dated folder of the given prefix (the one an interrupted run would have left), local or on
// a server alike.
void RemoveLeftoverTemporaries(FileTree& target, std::u16string_view prefix);

}  // namespace arkivo::engine
