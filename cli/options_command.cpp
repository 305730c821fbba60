#include "cli/options_command.h"

#include <iostream>
#include <map>
#include <memory>

#include "cli/job_argument.h"
#include "cli/scheduler_options.h"
#include "cli/scheduler_text.h"
#include "jobs/environment_file.h"
#include "jobs/job_flags.h"
#include "jobs/job_settings.h"
#include "schedule/auto_detect_settings.h"
#include "schedule/schedule_settings.h"
#include "settings/app_stores.h"

namespace arkivo::cli {
namespace {

// The report switches live in "Option.ini", section "Report".
const std::map<std::string, TextKey> kReportSwitches = {
    {"report", text::ReportOn},
    {"report-created", text::ReportCreatedOn},
    {"report-updated", text::ReportUpdatedOn},
    {"report-deleted", text::ReportDeletedOn},
};

const std::map<std::string, long long> kLanguages = {
    {"english", 0}, {"japanese", 1}, {"korean", 2}};

const char* OnOff(long long value) {
    return (value & 1) ? "on" : "off";
}

int Show(Context& context) {
    auto& option = context.stores.option;
    for (const auto& [name, key] : kReportSwitches) {
        std::cout << name << " = " << OnOff(ReadNumber(option, key.section, key.key)) << '\n';
    }
    std::cout << "scheduler = " << ScheduleText(schedule::ReadScheduleSettings(option)) << '\n';
    std::cout << "auto-detect = " << AutoDetectText(schedule::ReadAutoDetectSettings(option))
              << '\n';
    const long long language = context.stores.SelectedLanguage();
    for (const auto& [name, index] : kLanguages) {
        if (index == language) {
            std::cout << "language = " << name << '\n';
        }
    }
    EnvironmentFile file(context.EnvironmentPath());
    const JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok) {
        return context.FailToReadOrWrite(file.LoadProblem());
    }
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        const auto& job = table.jobs[i];
        std::cout << "job " << i + 1 << ":";
        std::cout << " dot-folders = " << OnOff(ReadTakeDotFolders(context.stores.setting, i));
        if (job.backupType == static_cast<std::uint32_t>(BackupType::Sync)) {
            const auto value =
                ReadNumber(context.stores.setting, JobSectionName(i), u"SyncDelNoSrc");
            std::cout << " sync-delete = " << OnOff(value);
        } else {
            std::cout << " zip = " << OnOff(job.zipOption);
        }
        std::cout << '\n';
    }
    return 0;
}

struct SetArguments {
    std::string name;
    std::string value;
    std::uint32_t job = 0;
    std::optional<long long> every;
};

// The cycle time takes the hours the option page offers, 0 (which means 1) to 23.
int SetAutoDetect(Context& context, const SetArguments& args) {
    if (args.every && (*args.every < 0 || *args.every > 23)) {
        return context.Fail(UserMessage::Text(text::SchedulerMsgErrHour));
    }
    auto& option = context.stores.option;
    if (!schedule::WriteAutoDetectSettings(option, args.value == "on", args.every)) {
        return context.FailToReadOrWrite(FileWriteFailure(option.Path(), option.LastWriteError()));
    }
    return 0;
}

int Set(Context& context, const SetArguments& args) {
    auto& option = context.stores.option;
    const bool on = args.value == "on";
    const auto unsaved = [&context, &option] {
        return context.FailToReadOrWrite(FileWriteFailure(option.Path(), option.LastWriteError()));
    };
    if (auto found = kReportSwitches.find(args.name); found != kReportSwitches.end()) {
        if (!StoreValue(option, found->second.section, found->second.key, on ? u"1" : u"0")) {
            return unsaved();
        }
        return 0;
    }
    if (args.name == "auto-detect") {
        return SetAutoDetect(context, args);
    }
    if (args.every) {
        std::cerr << "arkivo: --every is for auto-detect\n";
        return 1;
    }
    if (args.name == "language") {
        const auto found = kLanguages.find(args.value);
        if (found == kLanguages.end()) {
            std::cerr << "arkivo: language is english, japanese or korean\n";
            return 1;
        }
        if (!StoreValue(option, u"HowToBackup", u"SelLang",
                        found->second == 0   ? u"0"
                        : found->second == 1 ? u"1"
                                             : u"2")) {
            return unsaved();
        }
        return 0;
    }
    if (args.job == 0) {
        std::cerr << "arkivo: " << args.name << " needs --job N\n";
        return 1;
    }
    const auto job = JobIndexOf(context, args.job);
    if (!job) {
        return 1;
    }
    // The same change as `jobs set N --sync-delete|--dot-folders|--zip on|off`.
    JobSettingsChange change;
    (args.name == "sync-delete"   ? change.syncDelete
     : args.name == "dot-folders" ? change.dotFolders
                                  : change.zip) = on;
    return context.Finish(
        ChangeJobSettings(context.EnvironmentPath(), context.stores.setting, *job, change));
}

}  // namespace

void AddOptionsCommand(CLI::App& app, CommandAction& action) {
    auto* options = app.add_subcommand("options", "show or change the settings");
    options->callback([&action, options] {
        if (options->get_subcommands().empty()) {
            action = [](Context& context) { return Show(context); };
        }
    });
    auto args = std::make_shared<SetArguments>();
    auto* set = options->add_subcommand(
        "set",
        "change a setting: report, report-created, report-updated, report-deleted, "
        "language, auto-detect (--every HOURS between passes), and per job (--job N) sync-delete "
        "(sync jobs), dot-folders or zip (dif, inc "
        "and spd jobs), as jobs set does");
    set->add_option("NAME", args->name, "the setting")
        ->required()
        ->check(CLI::IsMember({"report", "report-created", "report-updated", "report-deleted",
                               "language", "auto-detect", "sync-delete", "dot-folders", "zip"}));
    set->add_option("VALUE", args->value, "on or off; for language: english, japanese, korean")
        ->required();
    set->add_option("--job", args->job, "the job a per-job setting is for")
        ->transform(JobNumberValidator());
    set->add_option("--every", args->every,
                    "hours between two auto-detect passes, 0 to 23 (0 means 1)");
    AddSchedulerOptions(*options, action);
    set->callback([&action, args] {
        action = [args](Context& context) {
            if (args->name != "language" && args->value != "on" && args->value != "off") {
                std::cerr << "arkivo: the value is on or off\n";
                return 1;
            }
            return Set(context, *args);
        };
    });
}

}  // namespace arkivo::cli
