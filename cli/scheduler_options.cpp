#include "cli/scheduler_options.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <regex>

#include "cli/console.h"
#include "cli/exit_code.h"
#include "cli/scheduler_text.h"
#include "platform/clock.h"
#include "schedule/schedule_settings.h"

namespace arkivo::cli {
namespace {

struct SchedulerArguments {
    std::string state;
    std::string daily;
    std::vector<std::string> weekly;
    std::vector<std::string> monthly;
    std::string catchUp;

    bool Any() const {
        return !state.empty() || !daily.empty() || !weekly.empty() || !monthly.empty() ||
               !catchUp.empty();
    }
};

int Usage(const std::string& text) {
    std::cerr << "arkivo: " << text << '\n';
    return kExitUsage;
}

// "HH:MM" to hour and minute as typed, the range not checked yet.
std::optional<std::pair<long long, long long>> ParseTimeOfDay(const std::string& text) {
    static const std::regex time("(-?[0-9]{1,4}):(-?[0-9]{1,4})");
    std::smatch parts;
    if (!std::regex_match(text, parts, time)) {
        return std::nullopt;
    }
    return std::make_pair(std::stoll(parts[1].str()), std::stoll(parts[2].str()));
}

// The hour and minute into the settings, refused with the scheduler page's texts when out of
// range.
std::optional<int> SetTime(Context& context, const std::string& typed,
                           schedule::ScheduleSettings& settings) {
    const auto time = ParseTimeOfDay(typed);
    if (!time) {
        return Usage("the time is HH:MM, from 00:00 to 23:59 (" + typed + ")");
    }
    if (time->first < 0 || time->first > 23) {
        return context.Fail(UserMessage::Text(text::SchedulerMsgErrHour));
    }
    if (time->second < 0 || time->second > 59) {
        return context.Fail(UserMessage::Text(text::SchedulerMsgErrMin));
    }
    settings.hour = time->first;
    settings.minute = time->second;
    return std::nullopt;
}

std::optional<int> SetWeekdays(const std::string& typed, schedule::ScheduleSettings& settings) {
    std::array<bool, 7> chosen{};
    std::size_t start = 0;
    while (start <= typed.size()) {
        const auto end = std::min(typed.find(',', start), typed.size());
        std::string name = typed.substr(start, end - start);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        const auto found =
            std::find_if(schedule::kWeekdayKeys.begin(), schedule::kWeekdayKeys.end(),
                         [&name](std::u16string_view key) { return Narrow(key) == name; });
        if (found == schedule::kWeekdayKeys.end()) {
            return Usage("days are SUN, MON, TUE, WED, THU, FRI and SAT, separated by commas (" +
                         typed + ")");
        }
        chosen[static_cast<std::size_t>(found - schedule::kWeekdayKeys.begin())] = true;
        start = end + 1;
    }
    settings.weekdays = chosen;
    return std::nullopt;
}

std::optional<int> SetMonthDay(Context& context, const std::string& typed,
                               schedule::ScheduleSettings& settings) {
    static const std::regex number("-?[0-9]{1,9}");
    if (!std::regex_match(typed, number)) {
        return Usage("the day of the month is a number from 1 to 31 (" + typed + ")");
    }
    const long long day = std::stoll(typed);
    if (day < 1 || day > 31) {
        return context.Fail(UserMessage::Text(text::MonthMsgErrDay));
    }
    settings.monthDay = day;
    return std::nullopt;
}

std::optional<int> Apply(Context& context, const SchedulerArguments& args,
                         schedule::ScheduleSettings& settings) {
    using schedule::Repeat;
    if (!args.state.empty()) {
        settings.on = args.state == "on";
    }
    if (!args.catchUp.empty()) {
        settings.catchUp = args.catchUp == "on";
    }
    if (!args.daily.empty()) {
        settings.repeat = static_cast<long long>(Repeat::Daily);
        return SetTime(context, args.daily, settings);
    }
    if (!args.weekly.empty()) {
        settings.repeat = static_cast<long long>(Repeat::Weekly);
        if (auto refused = SetWeekdays(args.weekly[0], settings)) {
            return refused;
        }
        return SetTime(context, args.weekly[1], settings);
    }
    if (!args.monthly.empty()) {
        settings.repeat = static_cast<long long>(Repeat::Monthly);
        if (auto refused = SetMonthDay(context, args.monthly[0], settings)) {
            return refused;
        }
        return SetTime(context, args.monthly[1], settings);
    }
    return std::nullopt;
}

int Scheduler(Context& context, const SchedulerArguments& args) {
    auto& option = context.stores.option;
    auto settings = schedule::ReadScheduleSettings(option);
    if (!args.Any()) {
        std::cout << "scheduler = " << ScheduleText(settings) << '\n';
        return kExitDone;
    }
    if (auto refused = Apply(context, args, settings)) {
        return *refused;
    }
    // Changed settings count from now: a due time before the change is not one the scheduler
    // missed.
    if (!schedule::WriteScheduleSettings(option, settings) ||
        !schedule::WriteLastScheduledRun(option, platform::NowUnixSeconds())) {
        return context.FailToReadOrWrite(FileWriteFailure(option.Path(), option.LastWriteError()));
    }
    std::cout << "scheduler = " << ScheduleText(settings) << '\n';
    return kExitDone;
}

}  // namespace

void AddSchedulerOptions(CLI::App& options, CommandAction& action) {
    auto args = std::make_shared<SchedulerArguments>();
    auto* scheduler = options.add_subcommand(
        "scheduler", "show the scheduler, switch it on or off, and set when it starts runs");
    scheduler->add_option("STATE", args->state, "on or off")->check(CLI::IsMember({"on", "off"}));
    auto* daily = scheduler->add_option("--daily", args->daily, "every day at HH:MM (local time)");
    auto* weekly =
        scheduler->add_option("--weekly", args->weekly, "on the days given (MON,WED...) at HH:MM")
            ->expected(2)
            ->type_name("DAYS HH:MM");
    auto* monthly = scheduler
                        ->add_option("--monthly", args->monthly,
                                     "on day DAY of every month (none in a month without it) at "
                                     "HH:MM")
                        ->expected(2)
                        ->type_name("DAY HH:MM");
    daily->excludes(weekly)->excludes(monthly);
    weekly->excludes(monthly);
    scheduler
        ->add_option("--catch-up", args->catchUp,
                     "on: a run missed while the machine was off or asleep starts once at the "
                     "next start or wake")
        ->check(CLI::IsMember({"on", "off"}));
    scheduler->callback([&action, args] {
        action = [args](Context& context) { return Scheduler(context, *args); };
    });
}

}  // namespace arkivo::cli
