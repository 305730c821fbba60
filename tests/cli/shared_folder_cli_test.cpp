// Several `arkivo` processes working on one data folder at once, and processes killed in the
// middle of a change: no change is lost and the job list stays readable.
#include <atomic>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "common/text.h"
#include "settings/lang_ini.h"
#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using test::kArkivo;

class SharedFolder : public test::CliTest {
  protected:
    void SetUp() override { ASSERT_EQ(Arkivo({"jobs", "list"}).exitCode, 0); }

    // Runs the shell loops at once, each with its worker number as $1; a loop tells on
    // standard error what failed.
    void RunLoopsAtOnce(int workers, const std::string& loop) {
        std::vector<pid_t> pids;
        for (int w = 0; w < workers; ++w) {
            pids.push_back(test::StartProgram(
                {"/bin/sh", "-c", loop, "sh", std::to_string(w), kArkivo.string(), home.string()},
                folder / test::NumberedName("worker", w, ".out"),
                folder / test::NumberedName("worker", w, ".err")));
            EXPECT_GT(pids.back(), 0);
        }
        for (int w = 0; w < workers; ++w) {
            EXPECT_EQ(test::WaitForExit(pids[static_cast<std::size_t>(w)]), 0);
            EXPECT_EQ(test::ReadBytes(folder / test::NumberedName("worker", w, ".err")), "");
        }
    }
};

TEST_F(SharedFolder, ConcurrentAddsKeepEveryJob) {
    RunLoopsAtOnce(4,
                   // The bases do not exist: each add warns of it, and the exit code tells.
                   "for i in $(seq 1 50); do \"$2\" --home \"$3\" jobs add /src/w$1-$i /dst "
                   ">/dev/null 2>&1 || echo \"add $i failed\" >&2; done");
    const JobTable table = Jobs();
    ASSERT_EQ(table.loadStatus, LoadStatus::Ok);
    ASSERT_EQ(table.jobs.size(), 200u);
    std::set<std::u16string> bases, added;
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        EXPECT_EQ(table.jobs[i].jobNumber, i + 1);
        bases.insert(table.jobs[i].basePath);
    }
    for (int w = 0; w < 4; ++w) {
        for (int i = 1; i <= 50; ++i) {
            added.insert(Utf8ToUtf16("/src/w" + std::to_string(w) + "-" + std::to_string(i)));
        }
    }
    EXPECT_EQ(bases, added);
}

TEST_F(SharedFolder, ConcurrentPatternAdditionsKeepEveryPattern) {
    for (int job = 1; job <= 4; ++job) {
        ASSERT_EQ(Arkivo({"jobs", "add", "/src/" + std::to_string(job), "/dst"}).exitCode, 0);
    }
    // Pattern i of a worker goes to job i % 4 + 1, to the exclude or include list by i / 4:
    // every list gets 25 patterns from the four workers together.
    RunLoopsAtOnce(4,
                   "for i in $(seq 0 49); do job=$((i % 4 + 1)); "
                   "if [ $((i / 4 % 2)) = 0 ]; then list=exclude; else list=include; fi; "
                   "\"$2\" --home \"$3\" filters add $job $list \"w$1-$i\" || "
                   "echo \"add $i failed\" >&2; done");
    std::map<std::pair<int, std::string>, std::set<std::u16string>> expected;
    for (int w = 0; w < 4; ++w) {
        for (int i = 0; i < 50; ++i) {
            const std::string list = i / 4 % 2 == 0 ? "Filter.ini" : "FilterInc.ini";
            expected[{i % 4 + 1, list}].insert(
                Utf8ToUtf16("w" + std::to_string(w) + "-" + std::to_string(i)));
        }
    }
    for (const auto& [where, patterns] : expected) {
        CLangIni store;
        ASSERT_TRUE(store.Open(home / where.second));
        const auto section = ToDecimal(where.first);
        std::set<std::u16string> stored;
        for (std::size_t key = 1; key <= patterns.size(); ++key) {
            stored.insert(store.GetValue(section, ToDecimalUnsigned(key)));
        }
        EXPECT_EQ(store.SectionEntries(section).size(), patterns.size()) << where.second;
        EXPECT_EQ(stored, patterns) << where.second << " of job " << where.first;
    }
    for (const auto& job : Jobs().jobs) {
        EXPECT_EQ(job.filterOn, 1u);
    }
}

// Workers add jobs one process after another while the test kills processes of theirs at
// random moments: every add that reported success is in the list, which stays loadable.
TEST_F(SharedFolder, ProcessesKilledDuringAddsLoseNoReportedJob) {
    constexpr int kWorkers = 3;
    constexpr int kAddsEach = 40;
    std::mutex mutex;
    std::set<pid_t> running;  // started and not yet reaped: safe to signal
    std::set<std::u16string> reported;
    std::atomic<int> kills{0};
    std::atomic<bool> done{false};

    // Kills land across the life of an add whatever this machine's speed (a loaded machine or an
    // instrumented build starts processes many times slower): the pauses between them follow
    // how long one add takes here.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Arkivo({"jobs", "add", "/kill/timed", "/dst"}).exitCode, 0);
    reported.insert(u"/kill/timed");
    const auto oneAdd = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();

    std::thread killer([&] {
        std::mt19937 random(20240611);
        while (!done) {
            std::this_thread::sleep_for(
                std::chrono::microseconds(oneAdd / 4 + random() % (2 * oneAdd + 1)));
            std::lock_guard lock(mutex);
            if (!running.empty()) {
                auto it = running.begin();
                std::advance(it, static_cast<long>(random() % running.size()));
                ::kill(*it, SIGKILL);
                ++kills;
            }
        }
    });
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w) {
        workers.emplace_back([&, w] {
            for (int i = 0; i < kAddsEach; ++i) {
                const std::string base = "/kill/w" + std::to_string(w) + "-" + std::to_string(i);
                const auto out = folder / ("add" + std::to_string(w) + ".out");
                const pid_t pid = test::StartProgram(
                    {kArkivo.string(), "--home", home.string(), "jobs", "add", base, "/dst"}, out,
                    folder / ("add" + std::to_string(w) + ".err"));
                {
                    std::lock_guard lock(mutex);
                    running.insert(pid);
                }
                // Wait without reaping, so the number cannot pass to another process while the
                // killer may still pick it.
                siginfo_t info{};
                ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
                {
                    std::lock_guard lock(mutex);
                    running.erase(pid);
                }
                const int code = test::WaitForExit(pid);
                if (code == 0 && test::ReadBytes(out).find("Added job") != std::string::npos) {
                    std::lock_guard lock(mutex);
                    reported.insert(Utf8ToUtf16(base));
                }
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    done = true;
    killer.join();

    ASSERT_GT(kills.load(), 5);
    ASSERT_GT(reported.size(), 10u);
    const JobTable table = Jobs();
    ASSERT_EQ(table.loadStatus, LoadStatus::Ok);
    std::multiset<std::u16string> stored;
    for (std::size_t i = 0; i < table.jobs.size(); ++i) {
        EXPECT_EQ(table.jobs[i].jobNumber, i + 1);
        stored.insert(table.jobs[i].basePath);
    }
    for (const auto& base : reported) {
        EXPECT_EQ(stored.count(base), 1u) << Utf16ToUtf8(base);
    }
    EXPECT_LE(table.jobs.size(), static_cast<std::size_t>(kWorkers * kAddsEach + 1));
    // A killed holder left no lock behind.
    EXPECT_EQ(Arkivo({"jobs", "add", "/after", "/dst"}).exitCode, 0);
}

}  // namespace
}  // namespace arkivo
