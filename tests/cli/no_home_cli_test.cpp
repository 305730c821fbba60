// Without $HOME (a service, a cron job, `env -i`) the data folder is the one under the home
// folder the password database gives the user, never one under the current folder; a user
// the database does not know is told to name a data folder.
#include <pwd.h>

#include "support/cli_fixture.h"
#include "support/unprivileged_run.h"

namespace arkivo {
namespace {

class NoHomeCli : public test::CliTest {
  protected:
    void SetUp() override {
        if (::geteuid() != 0 || !std::filesystem::exists(test::kSetpriv)) {
            GTEST_SKIP() << "choosing the user takes root and setpriv";
        }
        std::filesystem::create_directories(work);
        ASSERT_EQ(::chown(work.c_str(), kUser, kUser), 0);
    }

    // `arkivo jobs list` as `uid`, started in a folder it may write to, with `environment`.
    test::ProgramResult ListAs(uid_t uid, std::vector<std::string> environment) {
        const std::string id = std::to_string(uid);
        return test::RunProgram(test::kSetpriv,
                                {"--reuid=" + id, "--regid=" + id, "--clear-groups",
                                 test::kArkivo.string(), "jobs", "list"},
                                environment, work);
    }

    static constexpr uid_t kUser = 65534;
    std::filesystem::path work = folder / "work";
};

TEST_F(NoHomeCli, TheDataFolderComesFromThePasswordDatabase) {
    const passwd* user = ::getpwuid(kUser);
    ASSERT_NE(user, nullptr);
    const auto expected = std::filesystem::path(user->pw_dir) / ".local/share/arkivo";
    for (const auto& environment :
         {std::vector<std::string>{}, std::vector<std::string>{"HOME="}}) {
        const auto list = ListAs(kUser, environment);
        // Debian's "nobody" has a home folder that does not exist: the data folder cannot be
        // made there, and the program says where it tried.
        const bool named =
            list.err.find("the data folder " + expected.string()) != std::string::npos;
        EXPECT_TRUE(named || std::filesystem::exists(expected / "LastSetting.env")) << list.err;
        EXPECT_TRUE(std::filesystem::is_empty(work));
    }
}

TEST_F(NoHomeCli, AUserWithoutAHomeFolderIsToldToNameADataFolder) {
    uid_t unknown = 54321;
    while (::getpwuid(unknown) != nullptr) {
        ++unknown;
    }
    ASSERT_EQ(::chown(work.c_str(), unknown, unknown), 0);
    const auto list = ListAs(unknown, {});
    EXPECT_EQ(list.exitCode, 3);
    test::ExpectHas(list.err, "name one with --home or $ARKIVO_HOME");
    EXPECT_TRUE(std::filesystem::is_empty(work));
}

}  // namespace
}  // namespace arkivo
