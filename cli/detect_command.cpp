#include "cli/detect_command.h"

#include <iostream>

#include "cli/console.h"
#include "cli/exit_code.h"
#include "jobs/environment_file.h"
#include "schedule/auto_detect_pass.h"

namespace arkivo::cli {
namespace {

int Detect(Context& context) {
    schedule::PassWatch watch(context.home, nullptr);
    // A pass of its own, as after a program start: no mark from before is taken on trust.
    const auto outcome = schedule::RunAutoDetectPass(context.home, watch, true);
    if (outcome.anotherPass) {
        std::cerr << "arkivo: another auto-detect pass is going on this data folder\n";
        return kExitFilesFailed;
    }
    if (!outcome.messages.empty()) {
        return context.FailToReadOrWrite(outcome.messages.front());
    }
    EnvironmentFile file(context.EnvironmentPath());
    const JobTable& table = file.Load();
    for (const auto index : outcome.marked) {
        std::cout << "Job " << index + 1 << " has files to copy";
        if (index < table.jobs.size()) {
            const auto& job = table.jobs[index];
            std::cout << ": " << ShownPath(job.basePath) << " -> " << ShownPath(job.targetPath);
        }
        std::cout << '\n';
    }
    if (outcome.ended) {
        std::cerr << "arkivo: a backup run is going; the pass ended before the last job\n";
        return kExitRunInProgress;
    }
    if (outcome.marked.empty()) {
        std::cout << "No job has files to copy.\n";
    }
    return kExitDone;
}

}  // namespace

void AddDetectCommand(CLI::App& app, CommandAction& action) {
    app.add_subcommand("detect",
                       "look for files a run would copy, without copying; jobs list then shows "
                       "the jobs that have some")
        ->callback([&action] { action = [](Context& context) { return Detect(context); }; });
}

}  // namespace arkivo::cli
