// The one walk every backup type shares: depth first over the source tree, each file judged by
// the type's copy rule, filtered, put into the destination, and reported and counted once the
// destination says how the put ended (an archive may say so only after further puts; the walk
// waits for every outcome before it ends). The types differ only in their rule, their
// reference tree and how they report.
#pragma once

#include <cstdint>
#include <filesystem>

#include "engine/copy_rules.h"
#include "engine/destination.h"
#include "engine/file_tree.h"
#include "engine/job_context.h"

namespace arkivo::engine {

// Every entry shows the path written: the copy in the target or dated folder, or the archive's
// path followed by the entry's name.
enum class ReportStyle {
    // created when the reference lacked the file, updated when its copy was outdated
    // (synchronisation, differential)
    ByReference,
    // every copied file is a created entry (incremental, period)
    AllCreated,
};

struct WalkPlan {
    FileTree& source;
    FileTree* reference;  // the tree the rule compares with, when it needs one
    Destination& destination;
    const CopyRule& rule;
    ReportStyle style;
    // The reference is where the copies go (synchronisation): our leftover temporary files
    // met there are removed. Elsewhere one of them may be the archive being written.
    bool cleanReference = false;
};

// False when the destination could take nothing (one failure, for its root, was counted).
bool WalkTree(JobContext& job, const WalkPlan& plan);

// The number of files a walk of the source will examine, for the progress range. Listing
// names only keeps it cheap.
std::uint64_t CountFiles(JobContext& job, FileTree& source);

}  // namespace arkivo::engine
