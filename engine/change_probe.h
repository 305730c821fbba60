// Whether a run of a job would copy anything, found without copying: the run's own walk, rule,
// filter and dot-folder switch, with a destination that takes nothing. The walk ends at the
// first file a run would copy.
#pragma once

#include <cstddef>

#include "engine/walk_control.h"
#include "jobs/job_record.h"

namespace arkivo {
struct AppStores;
}

namespace arkivo::engine {

enum class ProbeResult {
    NothingToCopy,
    SomethingToCopy,
    Interrupted,  // the control ended the walk before it was decided
};

// For jobs between local folders; a period job without a period, or a type no run knows, has
// nothing a run would copy.
ProbeResult ProbeJobForCopies(AppStores& stores, std::size_t jobIndex, const JobRecord& job,
                              WalkControl& control);

}  // namespace arkivo::engine
