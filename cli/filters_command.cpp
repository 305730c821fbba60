#include "cli/filters_command.h"

#include <iostream>
#include <memory>

#include "cli/console.h"
#include "cli/job_argument.h"
#include "common/text.h"
#include "filters/filter_lists.h"
#include "filters/filter_match.h"

namespace arkivo::cli {
namespace {

struct Arguments {
    std::uint32_t job = 0;
    std::string list;
    std::string pattern;
};

CLangIni& StoreOf(Context& context, const std::string& list) {
    return list == "include" ? context.stores.filterInc : context.stores.filter;
}

CLangIni& OtherStoreOf(Context& context, const std::string& list) {
    return list == "include" ? context.stores.filter : context.stores.filterInc;
}

void PrintList(Context& context, std::size_t job, const std::string& list) {
    const auto patterns = ListPatterns(StoreOf(context, list), job);
    std::cout << list << ":" << (patterns.empty() ? " none" : "") << '\n';
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        std::cout << "  " << i + 1 << "  " << Narrow(patterns[i])
                  << (i + 1 > static_cast<std::size_t>(kMaxEffectivePatterns) ? "  (unused)" : "")
                  << '\n';
    }
}

CLI::App* WithJobAndList(CLI::App* command, Arguments& args, bool listRequired) {
    command->add_option("JOB", args.job, "job number as the list shows it")
        ->required()
        ->transform(JobNumberValidator());
    command->add_option("LIST", args.list, "exclude or include")
        ->required(listRequired)
        ->check(CLI::IsMember({"exclude", "include"}));
    return command;
}

}  // namespace

void AddFiltersCommand(CLI::App& app, CommandAction& action) {
    auto* filters =
        app.add_subcommand("filters",
                           "a job's exclude and include patterns (a pattern matches any path that "
                           "contains it, letter case aside; *.ext matches the extension anywhere)");
    filters->require_subcommand(1);

    auto listArgs = std::make_shared<Arguments>();
    WithJobAndList(filters->add_subcommand("list", "show a job's patterns"), *listArgs, false)
        ->callback([&action, listArgs] {
            action = [listArgs](Context& context) {
                const auto job = JobIndexOf(context, listArgs->job);
                if (!job) {
                    return 1;
                }
                if (listArgs->list.empty() || listArgs->list == "exclude") {
                    PrintList(context, *job, "exclude");
                }
                if (listArgs->list.empty() || listArgs->list == "include") {
                    PrintList(context, *job, "include");
                }
                return 0;
            };
        });

    auto addArgs = std::make_shared<Arguments>();
    WithJobAndList(filters->add_subcommand("add", "add a pattern and switch the filters on"),
                   *addArgs, true)
        ->add_option("PATTERN", addArgs->pattern, "text that a path must contain")
        ->required();
    filters->get_subcommand("add")->callback([&action, addArgs] {
        action = [addArgs](Context& context) {
            const auto job = JobIndexOf(context, addArgs->job);
            if (!job) {
                return 1;
            }
            return context.Finish(AddPattern(context.EnvironmentPath(),
                                             StoreOf(context, addArgs->list), *job,
                                             Utf8ToUtf16(addArgs->pattern)));
        };
    });

    auto removeArgs = std::make_shared<Arguments>();
    WithJobAndList(filters->add_subcommand("remove", "remove a pattern (by its text or number)"),
                   *removeArgs, true)
        ->add_option("PATTERN", removeArgs->pattern, "the pattern, or its number in the list")
        ->required();
    filters->get_subcommand("remove")->callback([&action, removeArgs] {
        action = [removeArgs](Context& context) {
            const auto job = JobIndexOf(context, removeArgs->job);
            if (!job) {
                return 1;
            }
            CLangIni& store = StoreOf(context, removeArgs->list);
            const auto patterns = ListPatterns(store, *job);
            const auto wanted = Utf8ToUtf16(removeArgs->pattern);
            std::vector<int> keys;
            for (std::size_t i = 0; i < patterns.size(); ++i) {
                if (patterns[i] == wanted) {
                    keys.push_back(static_cast<int>(i + 1));
                }
            }
            for (std::size_t i = 0; keys.empty() && i < patterns.size(); ++i) {
                if (ToDecimalUnsigned(i + 1) == wanted) {
                    keys.push_back(static_cast<int>(i + 1));
                }
            }
            if (keys.empty()) {
                std::cerr << "arkivo: no such pattern: " << removeArgs->pattern << '\n';
                return 1;
            }
            return context.Finish(RemovePatterns(context.EnvironmentPath(), store,
                                                 OtherStoreOf(context, removeArgs->list), *job,
                                                 keys));
        };
    });
}

}  // namespace arkivo::cli
