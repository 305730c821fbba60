// Settings commands from several processes at once, some of them killed (SIGKILL) at random
// moments: whatever a command reported done stays done, and every file still reads.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <optional>
#include <random>
#include <set>

#include "crash/kill_plan.h"
#include "support/cli_fixture.h"

namespace arkivo::test {
namespace {

// One stream of commands, run one after another in its own process; the streams run side by
// side. Each command's effect is known for sure once it reports success.
struct Command {
    std::vector<std::string> arguments;
    enum class Adds { Job, ExcludePattern, IncludePattern, Option } adds;
    std::string what;   // the job's base, the pattern, or the option's name
    std::string value;  // the option's value, or the job number of a pattern
};

class SettingsKillTest : public CliTest {
  protected:
    void SetUp() override {
        random_.seed(SeedFor(CrashSeed(), "SettingsKillTest"));
        std::printf("seed %llu (ARKIVO_CRASH_SEED replays the run)\n",
                    static_cast<unsigned long long>(CrashSeed()));
        std::filesystem::create_directories(base);
        std::filesystem::create_directories(target);
        for (int job = 1; job <= kFilterJobs; ++job) {
            const auto jobTarget = target / std::to_string(job);
            ASSERT_EQ(Arkivo({"jobs", "add", base.string(), jobTarget.string()}).exitCode, 0);
        }
    }

    // The filter commands take turns over these first jobs: a list holds at most 99 patterns,
    // and a long run adds thousands.
    static constexpr int kFilterJobs = 30;
    // The job list holds at most 255 jobs: past this many adds, the job stream adds patterns.
    static constexpr int kMaxJobAdds = 200;

    Command Next(int stream) {
        const int n = count_++;
        if (stream == 0 && jobAdds_ == kMaxJobAdds) {
            stream = 1;
        }
        if (stream == 0) {
            ++jobAdds_;
            const auto jobBase = folder / NumberedName("base", n);
            std::filesystem::create_directories(jobBase);
            return {
                {"jobs", "add", jobBase.string(), (folder / NumberedName("target", n)).string()},
                Command::Adds::Job,
                jobBase.string(),
                ""};
        }
        if (stream == 1) {
            const bool exclude = n % 2 == 0;
            const std::string pattern = NumberedName(exclude ? "*.skip" : "keep", n);
            const std::string job = std::to_string(1 + n / 2 % kFilterJobs);
            return {{"filters", "add", job, exclude ? "exclude" : "include", pattern},
                    exclude ? Command::Adds::ExcludePattern : Command::Adds::IncludePattern,
                    pattern,
                    job};
        }
        static const std::vector<std::string> kOptions = {"report", "report-created",
                                                          "report-updated", "report-deleted"};
        const std::string option = kOptions[random_() % kOptions.size()];
        const std::string value = random_() % 2 == 0 ? "on" : "off";
        return {{"options", "set", option, value}, Command::Adds::Option, option, value};
    }

    pid_t Start(int stream, const Command& command) {
        std::vector<std::string> argv = {kArkivo.string(), "--home", home.string()};
        argv.insert(argv.end(), command.arguments.begin(), command.arguments.end());
        const auto out = folder / ("stream" + std::to_string(stream) + ".out");
        const auto err = folder / ("stream" + std::to_string(stream) + ".err");
        return StartProgram(argv, out, err);
    }

    // What a command that ended did for certain, or may have done when it was killed.
    void Record(int stream, const Command& command, int exit) {
        const bool sure = exit == 0;
        EXPECT_TRUE(sure || exit == -SIGKILL)
            << "command failed with " << exit << ": "
            << ReadBytes(folder / ("stream" + std::to_string(stream) + ".err"));
        if (command.adds == Command::Adds::Option) {
            // The stream of options is the only one that sets them: the last value it was told
            // of is certain, any killed one after it may or may not have taken.
            auto& possible = optionValues_[command.what];
            if (sure) {
                possible = {command.value};
            } else {
                possible.insert(command.value);
            }
        } else if (sure) {
            confirmed_[static_cast<int>(command.adds)].insert({command.value, command.what});
        }
    }

    std::mt19937_64 random_;
    int count_ = 0;
    int jobAdds_ = 0;
    // What each kind of command reported done: (job number, pattern) or ("", job base).
    std::map<int, std::set<std::pair<std::string, std::string>>> confirmed_;
    std::map<std::string, std::set<std::string>> optionValues_;
};

TEST_F(SettingsKillTest, NothingReportedDoneIsLost) {
    constexpr int kStreams = 3;
    std::vector<Command> running(kStreams);
    std::vector<pid_t> pids(kStreams);
    for (int s = 0; s < kStreams; ++s) {
        running[s] = Next(s);
        pids[s] = Start(s, running[s]);
    }
    const int wanted = TotalKills();
    int kills = 0;
    int commands = 0;
    while (kills < wanted && !HasFailure()) {
        ::usleep(static_cast<useconds_t>(random_() % 30000));
        const int victim = static_cast<int>(random_() % kStreams);
        ::kill(pids[victim], SIGKILL);
        for (int s = 0; s < kStreams; ++s) {
            int status = 0;
            if (::waitpid(pids[s], &status, s == victim ? 0 : WNOHANG) != pids[s]) {
                continue;
            }
            const int exit = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
            kills += exit == -SIGKILL ? 1 : 0;
            ++commands;
            Record(s, running[s], exit);
            running[s] = Next(s);
            pids[s] = Start(s, running[s]);
        }
    }
    for (int s = 0; s < kStreams; ++s) {
        Record(s, running[s], WaitForExit(pids[s]));
    }
    std::printf("%d kills among %d commands\n", kills, commands + kStreams);

    const JobTable table = Jobs();
    ASSERT_EQ(table.loadStatus, LoadStatus::Ok);
    std::set<std::string> bases;
    for (const auto& job : table.jobs) {
        bases.insert(std::filesystem::path(job.basePath).string());
    }
    for (const auto& [unused, jobBase] : confirmed_[static_cast<int>(Command::Adds::Job)]) {
        EXPECT_EQ(bases.count(jobBase), 1u) << "job of " << jobBase << " was reported added";
    }
    std::map<std::pair<std::string, std::string>, std::string> listings;
    const auto patterns = [&](const std::string& job, const char* kind) -> const std::string& {
        auto [at, added] = listings.try_emplace({job, kind});
        if (added) {
            const auto listed = Arkivo({"filters", "list", job, kind});
            EXPECT_EQ(listed.exitCode, 0) << listed.err;
            at->second = listed.out;
        }
        return at->second;
    };
    for (const auto& [adds, kind] : {std::pair{Command::Adds::ExcludePattern, "exclude"},
                                     std::pair{Command::Adds::IncludePattern, "include"}}) {
        for (const auto& [job, pattern] : confirmed_[static_cast<int>(adds)]) {
            EXPECT_NE(patterns(job, kind).find("  " + pattern + "\n"), std::string::npos)
                << kind << " " << pattern << " of job " << job;
        }
    }
    const auto options = Arkivo({"options"});
    ASSERT_EQ(options.exitCode, 0) << options.err;
    for (const auto& [option, values] : optionValues_) {
        const auto at = ("\n" + options.out).find("\n" + option + " = ");
        ASSERT_NE(at, std::string::npos) << options.out;
        const auto start = at + option.size() + 3;
        const std::string shown = options.out.substr(start, options.out.find('\n', start) - start);
        EXPECT_EQ(values.count(shown), 1u) << option << " is " << shown;
    }
}

}  // namespace
}  // namespace arkivo::test
