#include "cli/jobs_command.h"

#include <iostream>
#include <map>
#include <memory>
#include <optional>

#include "cli/console.h"
#include "cli/exit_code.h"
#include "cli/ftp_side_options.h"
#include "cli/job_argument.h"
#include "cli/job_setting_arguments.h"
#include "cli/job_view.h"
#include "cli/jobs_set_command.h"
#include "common/text.h"
#include "filters/filter_lists.h"
#include "jobs/environment_file.h"
#include "jobs/job_flags.h"
#include "jobs/location_presence.h"
#include "settings/app_stores.h"

namespace arkivo::cli {
namespace {

// Loads the table for reading; prints the coded error and returns nullopt on failure.
std::optional<JobTable> LoadForReading(Context& context) {
    EnvironmentFile file(context.EnvironmentPath());
    const JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok) {
        context.FailToReadOrWrite(file.LoadProblem());
        return std::nullopt;
    }
    return table;
}

// A number field that disagrees with the job's place is damage done outside the program, and
// the user is told. Commands go by the place all the same; a deletion renumbers the list.
void WarnOfDamagedNumber(Context& context, const JobTable& table, std::size_t index) {
    const auto stored = table.jobs[index].jobNumber;
    if (stored != index + 1) {
        PrintError(Resolve(
            context.stores.language,
            UserMessage::TextWith(text::RootNumberMismatch, ToDecimalUnsigned(index + 1) + u", " +
                                                                ToDecimalUnsigned(stored))));
    }
}

bool AllNumbersExist(Context& context, const std::vector<std::uint32_t>& numbers) {
    auto table = LoadForReading(context);
    if (!table) {
        return false;
    }
    for (auto n : numbers) {
        if (n == 0 || n > table->jobs.size()) {
            PrintError(Resolve(context.stores.language, UserMessage::Text(text::RootNoSuchJob)) +
                       u" (" + ToDecimalUnsigned(n) + u")");
            return false;
        }
    }
    return true;
}

struct AddArguments {
    std::string base, target, type = "sync";
    bool zip = false;
    std::vector<std::string> period;
    FtpSideOptions baseSide{"base"}, targetSide{"target"};
};

// The FTP fields of a side being registered; false when its password file cannot be read.
bool TakeNewSide(Context& context, const FtpSideOptions& options, const std::u16string& location,
                 FtpCredentials& credentials) {
    credentials.user = Utf8ToUtf16(options.user.value_or(""));
    credentials.port = options.port.value_or(kDefaultFtpPort);
    credentials.passive = options.active ? 0 : 1;
    std::optional<std::u16string> password;
    if (IsFtpLocation(location) &&
        !TakePassword(context, options, location, credentials.user, true, password)) {
        return false;
    }
    credentials.password = password.value_or(u"");
    return true;
}

int AddJob(Context& context, const AddArguments& args) {
    NewJob job;
    job.base = context.AbsoluteJobPath(args.base);
    job.target = context.AbsoluteJobPath(args.target);
    job.type = kTypeNames.at(args.type);
    job.zip = args.zip;
    if (!args.period.empty()) {
        job.period = PeriodOfArguments(args.period);
        if (!job.period) {
            std::cerr << "arkivo: the period's end lies past the dates this system can hold\n";
            return kExitUsage;
        }
    }
    if (!TakeNewSide(context, args.baseSide, job.base, job.baseFtp) ||
        !TakeNewSide(context, args.targetSide, job.target, job.targetFtp)) {
        return kExitUsage;
    }
    auto outcome = RegisterJob(context.EnvironmentPath(), job);
    if (outcome.saved) {
        std::cout << "Added job " << outcome.jobIndex + 1 << ": " << Narrow(job.base) << " -> "
                  << Narrow(job.target) << '\n';
        const auto missing = MissingFolderWarnings(job.base, job.target);
        outcome.warnings.insert(outcome.warnings.end(), missing.begin(), missing.end());
    }
    return context.Finish(outcome);
}

// What the job list does not hold: the switches of "Setting.ini" and the filter lists.
JobSwitches SwitchesOf(Context& context, std::size_t index) {
    auto& s = context.stores;
    JobSwitches switches;
    switches.syncDelete = ReadNumber(s.setting, JobSectionName(index), u"SyncDelNoSrc") == 1;
    switches.dotFolders = ReadTakeDotFolders(s.setting, index);
    switches.excludePatterns = ListPatterns(s.filter, index).size();
    switches.includePatterns = ListPatterns(s.filterInc, index).size();
    return switches;
}

}  // namespace

void AddJobsCommand(CLI::App& app, CommandAction& action) {
    auto* jobs = app.add_subcommand("jobs", "list and manage backup jobs");
    jobs->require_subcommand(1);

    jobs->add_subcommand("list", "show every job in table order")->callback([&action] {
        action = [](Context& context) {
            auto table = LoadForReading(context);
            if (!table) {
                return 1;
            }
            std::vector<bool> toCopy;
            for (std::size_t i = 0; i < table->jobs.size(); ++i) {
                toCopy.push_back(IsMarkedToCopy(context.stores.setting, i));
            }
            PrintJobTable(std::cout, *table, toCopy);
            for (std::size_t i = 0; i < table->jobs.size(); ++i) {
                WarnOfDamagedNumber(context, *table, i);
            }
            return 0;
        };
    });

    auto addArgs = std::make_shared<AddArguments>();
    auto* add = jobs->add_subcommand("add", "register a new job (ticked, with default options)");
    add->add_option("BASE", addArgs->base, "source folder or ftp://host/folder")->required();
    add->add_option("TARGET", addArgs->target, "destination folder or ftp://host/folder")
        ->required();
    add->add_option("--type", addArgs->type, "backup type")
        ->check(CLI::IsMember({"sync", "dif", "inc", "spd"}));
    add->add_flag("--zip", addArgs->zip,
                  "write one ZIP archive instead of the dated folder (dif, inc and spd jobs; a "
                  "synchronisation writes no archive)");
    add->add_option("--period", addArgs->period, std::string(kPeriodHelp) + " (spd jobs only)")
        ->expected(2)
        ->type_name("FROM TO")
        ->check(LocalDateValidator());
    AddFtpSideOptions(add, addArgs->baseSide, false);
    AddFtpSideOptions(add, addArgs->targetSide, false);
    add->callback([&action, addArgs] {
        action = [addArgs](Context& context) { return AddJob(context, *addArgs); };
    });

    AddJobsSetCommand(jobs, action);

    auto numbered = [&](const char* name, const char* help, auto run) {
        auto numbers = std::make_shared<std::vector<std::uint32_t>>();
        auto* command = jobs->add_subcommand(name, help);
        command->add_option("N", *numbers, "job numbers as the list shows them")
            ->required()
            ->transform(JobNumberValidator());
        command->callback([&action, numbers, run] {
            action = [numbers, run](Context& context) {
                if (!AllNumbersExist(context, *numbers)) {
                    return 1;
                }
                return run(context, *numbers);
            };
        });
    };
    numbered("remove", "delete jobs; the jobs behind them move up",
             [](Context& context, const std::vector<std::uint32_t>& numbers) {
                 auto& s = context.stores;
                 return context.Finish(DeleteJobs(context.EnvironmentPath(),
                                                  {s.filter, s.filterInc, s.setting}, numbers));
             });
    numbered("check", "tick jobs so runs include them",
             [](Context& context, const std::vector<std::uint32_t>& numbers) {
                 return context.Finish(SetJobsChecked(context.EnvironmentPath(), numbers, true));
             });
    numbered("uncheck", "untick jobs so runs skip them",
             [](Context& context, const std::vector<std::uint32_t>& numbers) {
                 return context.Finish(SetJobsChecked(context.EnvironmentPath(), numbers, false));
             });
    numbered("show", "show every setting of jobs (never a password)",
             [](Context& context, const std::vector<std::uint32_t>& numbers) {
                 auto table = LoadForReading(context);
                 if (!table) {
                     return 1;
                 }
                 for (std::size_t i = 0; i < numbers.size(); ++i) {
                     if (i > 0) {
                         std::cout << '\n';
                     }
                     const std::size_t index = numbers[i] - 1;
                     PrintJobDetails(std::cout, table->jobs[index], index,
                                     SwitchesOf(context, index));
                     WarnOfDamagedNumber(context, *table, numbers[i] - 1);
                 }
                 return 0;
             });
}

}  // namespace arkivo::cli
