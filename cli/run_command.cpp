#include "cli/run_command.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <thread>

#include "cli/console.h"
#include "cli/exit_code.h"
#include "cli/job_argument.h"
#include "cli/run_result.h"
#include "cli/run_view.h"
#include "cli/terminal.h"
#include "common/text.h"
#include "engine/run_controller.h"
#include "jobs/environment_file.h"

namespace arkivo::cli {
namespace {

// Ctrl-C and termination requests are taken by one thread: the first asks the run to stop as
// the stop button does, the second ends the program at once.
class StopOnSignal {
  public:
    StopOnSignal(engine::RunController& control, RunView& view) {
        sigemptyset(&signals_);
        sigaddset(&signals_, SIGINT);
        sigaddset(&signals_, SIGTERM);
        sigaddset(&signals_, SIGUSR1);  // our own wake-up when the run is over
        pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
        waiter_ = std::thread([this, &control, &view] {
            int received = 0;
            for (int count = 0; sigwait(&signals_, &received) == 0; ++count) {
                if (received == SIGUSR1) {
                    return;
                }
                if (count > 0) {
                    _exit(kExitInterrupted);
                }
                view.StopRequested();
                control.Stop();
            }
        });
    }
    ~StopOnSignal() {
        pthread_kill(waiter_.native_handle(), SIGUSR1);
        waiter_.join();
    }

  private:
    sigset_t signals_{};
    std::thread waiter_;
};

struct RunArguments {
    bool dryRun = false;
    bool verify = false;
    bool quiet = false;
    bool json = false;
    std::vector<std::uint32_t> jobs;
};

int RunJobs(Context& context, const RunArguments& args) {
    engine::RunOptions options;
    options.dryRun = args.dryRun;
    options.verifyArchives = args.verify;
    if (!args.jobs.empty()) {
        EnvironmentFile file(context.EnvironmentPath());
        const JobTable& table = file.Load();
        if (table.loadStatus != LoadStatus::Ok) {
            return context.FailToReadOrWrite(file.LoadProblem());
        }
        for (auto n : args.jobs) {
            if (n == 0 || n > table.jobs.size()) {
                PrintError(
                    Resolve(context.stores.language, UserMessage::Text(text::RootNoSuchJob)) +
                    u" (" + ToDecimalUnsigned(n) + u")");
                return kExitFilesFailed;
            }
            options.jobs.push_back(n - 1);
        }
    }
    const RunOutput output = args.json    ? RunOutput::Json
                             : args.quiet ? RunOutput::Quiet
                                          : RunOutput::Normal;
    RunView view(context.stores.language, output, IsTerminal(STDOUT_FILENO), args.dryRun,
                 args.verify);
    engine::RunController control;
    // Blocks the signals before the worker starts, so only the waiting thread receives them.
    StopOnSignal signals(control, view);
    control.Start(context.stores, view, options);
    return ExitCodeOf(ResultOf(control.Wait()));
}

}  // namespace

void AddRunCommand(CLI::App& app, CommandAction& action) {
    auto args = std::make_shared<RunArguments>();
    auto* run = app.add_subcommand("run", "back up the ticked jobs, or the jobs named, in order");
    run->add_flag("--dry-run", args->dryRun,
                  "list what would be copied and deleted, and change nothing");
    run->add_flag("--verify", args->verify, "re-read every archive written and check each entry");
    auto* quiet = run->add_flag("--quiet,-q", args->quiet, "print errors only");
    run->add_flag("--json", args->json,
                  "print one JSON summary of the run on standard output and nothing else there "
                  "(errors still go to standard error)")
        ->excludes(quiet);
    run->add_option("JOB", args->jobs, "job numbers as the list shows them")
        ->transform(JobNumberValidator());
    run->callback(
        [&action, args] { action = [args](Context& context) { return RunJobs(context, *args); }; });
}

}  // namespace arkivo::cli
