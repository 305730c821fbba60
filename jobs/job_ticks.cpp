#include "jobs/job_ticks.h"

#include <algorithm>

#include "jobs/environment_file.h"
#include "jobs/job_commands.h"

namespace arkivo {

CommandOutcome StoreJobTicks(const std::filesystem::path& environment,
                             const std::vector<bool>& rowTicks) {
    return ChangeTable(environment, [&rowTicks](JobTable& table, CommandOutcome&) {
        bool changed = false;
        const std::size_t rows = std::min(rowTicks.size(), table.jobs.size());
        for (std::size_t i = 0; i < rows; ++i) {
            const std::uint32_t checked = rowTicks[i] ? 1 : 0;
            changed = changed || table.jobs[i].checked != checked;
            table.jobs[i].checked = checked;
        }
        return changed;
    });
}

}  // namespace arkivo
