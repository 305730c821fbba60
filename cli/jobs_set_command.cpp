#include "cli/jobs_set_command.h"

#include <iostream>
#include <memory>

#include "cli/console.h"
#include "cli/exit_code.h"
#include "cli/ftp_side_options.h"
#include "cli/job_argument.h"
#include "cli/job_setting_arguments.h"
#include "common/text.h"
#include "jobs/environment_file.h"
#include "jobs/job_settings.h"

namespace arkivo::cli {
namespace {

struct SetArguments {
    std::uint32_t job = 0;
    std::optional<std::string> type;
    std::optional<std::string> zip;
    std::vector<std::string> period;
    std::optional<std::string> syncDelete;
    std::optional<std::string> dotFolders;
    std::optional<std::string> base;
    std::optional<std::string> target;
    FtpSideOptions baseSide{"base"};
    FtpSideOptions targetSide{"target"};
};

// The side's FTP fields as given; the password as TakePassword finds it. False when the
// password file could not be read.
bool TakeSide(Context& context, const FtpSideOptions& options, const std::u16string& location,
              const std::u16string& storedUser, FtpSideChange& side) {
    if (options.user) {
        side.user = Utf8ToUtf16(*options.user);
    }
    side.port = options.port;
    if (options.active || options.passive) {
        side.passive = options.passive;
    }
    std::optional<std::u16string> password;
    const bool newLogin = options.user.has_value() && IsFtpLocation(location);
    if (!TakePassword(context, options, location, side.user.value_or(storedUser), newLogin,
                      password)) {
        return false;
    }
    side.password = password;
    return true;
}

// The job as it stands decides whether a side is an FTP location a new user logs in to; the
// change itself is checked again under the lock. The lock is not held while a password is
// typed.
std::optional<JobRecord> StoredJob(Context& context, std::size_t index) {
    EnvironmentFile file(context.EnvironmentPath());
    const JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok || index >= table.jobs.size()) {
        context.Fail(table.loadStatus != LoadStatus::Ok ? file.LoadProblem()
                                                        : UserMessage::Text(text::RootNoSuchJob));
        return std::nullopt;
    }
    return table.jobs[index];
}

int Set(Context& context, const SetArguments& args) {
    const auto index = JobIndexOf(context, args.job);
    if (!index) {
        return 1;
    }
    JobSettingsChange change;
    if (args.type) {
        change.type = kTypeNames.at(*args.type);
    }
    change.zip = OnOff(args.zip);
    change.syncDelete = OnOff(args.syncDelete);
    change.dotFolders = OnOff(args.dotFolders);
    if (!args.period.empty()) {
        change.period = PeriodOfArguments(args.period);
        if (!change.period) {
            std::cerr << "arkivo: the period's end lies past the dates this system can hold\n";
            return kExitUsage;
        }
    }
    if (args.base) {
        change.base = context.AbsoluteJobPath(*args.base);
    }
    if (args.target) {
        change.target = context.AbsoluteJobPath(*args.target);
    }
    const auto stored = StoredJob(context, *index);
    if (!stored) {
        return 1;
    }
    if (!TakeSide(context, args.baseSide, change.base.value_or(stored->basePath),
                  stored->baseFtpUser, change.baseFtp) ||
        !TakeSide(context, args.targetSide, change.target.value_or(stored->targetPath),
                  stored->targetFtpUser, change.targetFtp)) {
        return kExitUsage;
    }
    const bool anything = change.type || change.zip || change.period || change.syncDelete ||
                          change.dotFolders || change.base || change.target ||
                          change.baseFtp.Any() || change.targetFtp.Any();
    if (!anything) {
        std::cerr << "arkivo: jobs set: nothing to change (see arkivo jobs set --help)\n";
        return kExitUsage;
    }
    const auto outcome =
        ChangeJobSettings(context.EnvironmentPath(), context.stores.setting, *index, change);
    if (outcome.saved) {
        std::cout << "Changed job " << *index + 1 << '\n';
    }
    return context.Finish(outcome);
}

}  // namespace

void AddJobsSetCommand(CLI::App* jobs, CommandAction& action) {
    auto args = std::make_shared<SetArguments>();
    auto* set = jobs->add_subcommand(
        "set",
        "change a job's settings; each is checked against the type the job has afterwards "
        "(so --type spd --period FROM TO go together), and when one does not apply nothing "
        "is changed");
    set->add_option("N", args->job, "job number as the list shows it")
        ->required()
        ->transform(JobNumberValidator());
    set->add_option("--type", args->type,
                    "sync (mirror the base), dif (what the target lacks or holds older), inc "
                    "(what changed since the last incremental run) or spd (what changed within "
                    "the period)")
        ->check(CLI::IsMember({"sync", "dif", "inc", "spd"}));
    const auto onOff = CLI::IsMember({"on", "off"});
    set->add_option("--zip", args->zip,
                    "on or off: write one ZIP archive instead of the dated folder (dif, inc and "
                    "spd jobs; a synchronisation writes no archive)")
        ->check(onOff);
    set->add_option("--period", args->period, std::string(kPeriodHelp) + " (spd jobs only)")
        ->expected(2)
        ->type_name("FROM TO")
        ->check(LocalDateValidator());
    set->add_option("--sync-delete", args->syncDelete,
                    "on or off: delete target files and folders the base no longer has (sync "
                    "jobs only)")
        ->check(onOff);
    set->add_option("--dot-folders", args->dotFolders,
                    "on or off: back up folders whose names begin with '.' (every type)")
        ->check(onOff);
    set->add_option("--base", args->base, "source folder or ftp://host/folder");
    set->add_option("--target", args->target, "destination folder or ftp://host/folder");
    AddFtpSideOptions(set, args->baseSide, true);
    AddFtpSideOptions(set, args->targetSide, true);
    set->callback(
        [&action, args] { action = [args](Context& context) { return Set(context, *args); }; });
}

}  // namespace arkivo::cli
