#include "jobs/job_ticks.h"

#include <algorithm>

#include "jobs/environment_file.h"
#include "jobs/job_commands.h"

namespace arkivo {

CommandOutcome StoreJobTicks(const std::filesystem::path& environment,
                             const std::vector<bool>& rowTicks) {
    CommandOutcome outcome;
    EnvironmentFile file(environment);
    JobTable* loaded = LoadForChange(file, outcome);
    if (loaded == nullptr) {
        return outcome;
    }
    JobTable& table = *loaded;
    bool changed = false;
    const std::size_t rows = std::min(rowTicks.size(), table.jobs.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const std::uint32_t checked = rowTicks[i] ? 1 : 0;
        changed = changed || table.jobs[i].checked != checked;
        table.jobs[i].checked = checked;
    }
    if (!changed) {
        return outcome;
    }
    if (file.Save(table) != LoadStatus::Ok) {
        outcome.messages.push_back(file.SaveProblem());
        outcome.error = file.error();
        return outcome;
    }
    outcome.saved = true;
    return outcome;
}

}  // namespace arkivo
