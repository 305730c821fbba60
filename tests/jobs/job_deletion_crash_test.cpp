// Deleting a job changes four files. A process killed at any step of the deletion leaves every
// job with its own filters and deletion switch once the next process has taken the data
// folder's lock: the job list and the three stores are all old or all new.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

#include "common/text.h"
#include "settings/files_together.h"
#include "settings/lang_ini.h"
#include "support/job_folder.h"

namespace arkivo {
namespace {

using Entries = std::vector<std::pair<std::u16string, std::u16string>>;

// What job n owns in each store. Job 3 has no include list: a missing section moves too.
Entries ExcludesOf(int n) {
    return {{u"1", u"*.tmp" + ToDecimal(n)}, {u"2", u"cache" + ToDecimal(n)}};
}
Entries IncludesOf(int n) {
    return n == 3 ? Entries{} : Entries{{u"1", u".doc" + ToDecimal(n)}};
}
Entries SettingsOf(int n) {
    return {{u"SyncDelNoSrc", n % 2 == 1 ? u"1" : u"0"}, {u"ThereisFileToCopy", u"0"}};
}

struct Stores {
    explicit Stores(const std::filesystem::path& folder) {
        filter.Open(folder / "Filter.ini");
        filterInc.Open(folder / "FilterInc.ini");
        setting.Open(folder / "Setting.ini");
    }
    CLangIni filter, filterInc, setting;
};

class DeletionCrash : public test::JobFolderTest {
  protected:
    void MakeFolder() {
        std::filesystem::remove_all(folder.path());
        std::filesystem::create_directories(folder.path());
        ASSERT_TRUE(EnsureEnvironmentFile(env));
        Stores stores(folder.path());
        for (int n = 1; n <= kJobs; ++n) {
            ASSERT_TRUE(Add(u"/src" + ToDecimal(n), u"/dst" + ToDecimal(n)).saved);
            const auto section = ToDecimal(n);
            for (const auto& [store, entries] : {std::pair{&stores.filter, ExcludesOf(n)},
                                                 {&stores.filterInc, IncludesOf(n)},
                                                 {&stores.setting, SettingsOf(n)}}) {
                for (const auto& [key, value] : entries) {
                    ASSERT_TRUE(StoreValue(*store, section, key, value));
                }
            }
        }
    }

    // Deletes the jobs in a child process that ends itself just before the given step.
    // True when it did end there, false when the deletion ran to its end.
    bool DeleteAndDieAtStep(int step, const std::vector<std::uint32_t>& positions) {
        const pid_t child = ::fork();
        if (child == 0) {
            SetReplaceStepHookForTests([step](int at) {
                if (at == step) {
                    ::_exit(42);
                }
            });
            Stores stores(folder.path());
            const auto outcome =
                DeleteJobs(env, {stores.filter, stores.filterInc, stores.setting}, positions);
            ::_exit(outcome.saved ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_NE(WEXITSTATUS(status), 1);
        return WEXITSTATUS(status) == 42;
    }

    // The next process to look: every job it finds has exactly its own settings. Returns the
    // bases of the jobs in order.
    std::vector<std::u16string> CheckEveryJobHasItsOwnSettings() {
        EnvironmentFile file(env);  // takes the lock: an interrupted change is finished first
        const JobTable table = file.Load();
        EXPECT_EQ(table.loadStatus, LoadStatus::Ok);
        Stores stores(folder.path());
        std::vector<std::u16string> bases;
        std::size_t includeLists = 0;
        for (std::size_t p = 0; p < table.jobs.size(); ++p) {
            const auto& base = table.jobs[p].basePath;
            bases.push_back(base);
            EXPECT_EQ(table.jobs[p].jobNumber, p + 1);
            const int n = static_cast<int>(ParseLeadingInt(base.substr(4)));
            includeLists += IncludesOf(n).empty() ? 0 : 1;
            const auto section = ToDecimalUnsigned(p + 1);
            EXPECT_EQ(stores.filter.SectionEntries(section), ExcludesOf(n)) << "job " << p + 1;
            EXPECT_EQ(stores.filterInc.SectionEntries(section), IncludesOf(n)) << "job " << p + 1;
            EXPECT_EQ(stores.setting.SectionEntries(section), SettingsOf(n)) << "job " << p + 1;
        }
        // No section is left for a job that is not there.
        EXPECT_EQ(stores.filter.SectionNames().size(), table.jobs.size());
        EXPECT_EQ(stores.filterInc.SectionNames().size(), includeLists);
        EXPECT_EQ(stores.setting.SectionNames().size(), table.jobs.size());
        EXPECT_FALSE(std::filesystem::exists(folder / kPendingRenamesFile));
        return bases;
    }

    static constexpr int kJobs = 4;
};

TEST_F(DeletionCrash, AKillAtAnyStepLeavesEveryJobWithItsOwnSettings) {
    const std::vector<std::u16string> before = {u"/src1", u"/src2", u"/src3", u"/src4"};
    const std::vector<std::u16string> after = {u"/src1", u"/src4"};
    std::map<std::vector<std::u16string>, int> outcomes;
    int step = 0;
    for (;; ++step) {
        MakeFolder();
        ASSERT_EQ(CheckEveryJobHasItsOwnSettings(), before);
        const bool died = DeleteAndDieAtStep(step, {2, 3});
        const auto bases = CheckEveryJobHasItsOwnSettings();
        EXPECT_TRUE(bases == before || bases == after) << "killed before step " << step;
        if (!died) {
            EXPECT_EQ(bases, after);
            break;
        }
        ++outcomes[bases];
    }
    // Four files written, the record, four renames, the record removed.
    EXPECT_EQ(step, 10);
    EXPECT_GT(outcomes[before], 0);
    EXPECT_GT(outcomes[after], 0);
}

}  // namespace
}  // namespace arkivo
#endif
