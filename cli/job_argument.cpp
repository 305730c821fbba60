#include "cli/job_argument.h"

#include "cli/console.h"
#include "common/text.h"
#include "jobs/environment_file.h"

namespace arkivo::cli {

std::optional<std::size_t> JobIndexOf(Context& context, std::uint32_t jobNumber) {
    EnvironmentFile file(context.EnvironmentPath());
    const JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok) {
        context.FailToReadOrWrite(file.LoadProblem());
        return std::nullopt;
    }
    if (jobNumber == 0 || jobNumber > table.jobs.size()) {
        PrintError(Resolve(context.stores.language, UserMessage::Text(text::RootNoSuchJob)) +
                   u" (" + ToDecimalUnsigned(jobNumber) + u")");
        return std::nullopt;
    }
    return jobNumber - 1;
}

}  // namespace arkivo::cli
