// The tick boxes of the job list as the user left them, stored into the jobs they show.
#pragma once

#include <filesystem>
#include <vector>

#include "jobs/job_commands.h"

namespace arkivo {

// rowTicks[i] is the tick of row i. Rows beyond the table (a provisional row of a pending
// drop) are ignored; the file is rewritten only when a tick differs from what it holds.
CommandOutcome StoreJobTicks(const std::filesystem::path& environment,
                             const std::vector<bool>& rowTicks);

}  // namespace arkivo
