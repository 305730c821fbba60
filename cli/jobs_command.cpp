#include "cli/jobs_command.h"

#include <iostream>
#include <map>
#include <memory>
#include <optional>

#include "cli/console.h"
#include "cli/job_argument.h"
#include "cli/job_view.h"
#include "common/text.h"
#include "jobs/environment_file.h"
#include "jobs/location_presence.h"

namespace arkivo::cli {
namespace {

struct SideOptions {
    std::string user;
    std::string password;
    std::uint32_t port = kDefaultFtpPort;
    bool active = false;

    FtpCredentials Credentials() const {
        return {Utf8ToUtf16(user), Utf8ToUtf16(password), port, active ? 0u : 1u};
    }
};

const std::map<std::string, BackupType> kTypeNames = {{"sync", BackupType::Sync},
                                                      {"dif", BackupType::Dif},
                                                      {"inc", BackupType::Inc},
                                                      {"spd", BackupType::Spd}};

void AddSideOptions(CLI::App* command, const std::string& side, SideOptions& options) {
    command->add_option("--" + side + "-user", options.user, "FTP user name of the " + side);
    command->add_option("--" + side + "-password", options.password, "FTP password of the " + side);
    command->add_option("--" + side + "-port", options.port, "FTP port of the " + side)
        ->transform(PortNumberValidator());
    command->add_flag("--" + side + "-active", options.active,
                      "connect to the " + side + " in active mode instead of passive");
}

// Loads the table for reading; prints the coded error and returns nullopt on failure.
std::optional<JobTable> LoadForReading(Context& context) {
    EnvironmentFile file(context.EnvironmentPath());
    const JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok) {
        context.Fail(file.LoadProblem());
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
            PrintJobTable(std::cout, *table);
            for (std::size_t i = 0; i < table->jobs.size(); ++i) {
                WarnOfDamagedNumber(context, *table, i);
            }
            return 0;
        };
    });

    struct AddArguments {
        std::string base, target, type = "sync";
        bool zip = false;
        SideOptions baseSide, targetSide;
    };
    auto addArgs = std::make_shared<AddArguments>();
    auto* add = jobs->add_subcommand("add", "register a new job (ticked, with default options)");
    add->add_option("BASE", addArgs->base, "source folder or ftp://host/folder")->required();
    add->add_option("TARGET", addArgs->target, "destination folder or ftp://host/folder")
        ->required();
    add->add_option("--type", addArgs->type, "backup type")
        ->check(CLI::IsMember({"sync", "dif", "inc", "spd"}));
    add->add_flag("--zip", addArgs->zip, "write dif, inc and spd output as one ZIP archive");
    AddSideOptions(add, "base", addArgs->baseSide);
    AddSideOptions(add, "target", addArgs->targetSide);
    add->callback([&action, addArgs] {
        action = [addArgs](Context& context) {
            NewJob job;
            job.base = context.AbsoluteJobPath(addArgs->base);
            job.target = context.AbsoluteJobPath(addArgs->target);
            job.baseFtp = addArgs->baseSide.Credentials();
            job.targetFtp = addArgs->targetSide.Credentials();
            job.type = kTypeNames.at(addArgs->type);
            job.zip = addArgs->zip && job.type != BackupType::Sync;
            auto outcome = RegisterJob(context.EnvironmentPath(), job);
            if (outcome.saved) {
                std::cout << "Added job " << outcome.jobIndex + 1 << ": " << Narrow(job.base)
                          << " -> " << Narrow(job.target) << '\n';
                const auto missing = MissingFolderWarnings(job.base, job.target);
                outcome.warnings.insert(outcome.warnings.end(), missing.begin(), missing.end());
            }
            return context.Finish(outcome);
        };
    });

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
    numbered("show", "show every field of jobs",
             [](Context& context, const std::vector<std::uint32_t>& numbers) {
                 auto table = LoadForReading(context);
                 if (!table) {
                     return 1;
                 }
                 for (std::size_t i = 0; i < numbers.size(); ++i) {
                     if (i > 0) {
                         std::cout << '\n';
                     }
                     PrintJobDetails(std::cout, table->jobs[numbers[i] - 1], numbers[i] - 1);
                     WarnOfDamagedNumber(context, *table, numbers[i] - 1);
                 }
                 return 0;
             });
}

}  // namespace arkivo::cli
