#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/text.h"
#include "jobs/environment_file.h"
#include "settings/lang_ini.h"
#include "support/run_program.h"

namespace arkivo {
namespace {

using test::ProgramResult;
using test::ReadBytes;
using test::TempFolder;

const std::filesystem::path kArkivo = ARKIVO_CLI_PATH;
const std::filesystem::path kTestData = ARKIVO_TEST_DATA;

class JobsCli : public ::testing::Test {
  protected:
    ProgramResult Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--home", home.string()});
        return test::RunProgram(kArkivo, arguments, {"HOME=" + folder.path().string()},
                                folder.path());
    }

    JobTable Jobs() {
        EnvironmentFile file(home / "LastSetting.env");
        return file.Load();
    }

    TempFolder folder;
    std::filesystem::path home = folder / "home";
};

TEST_F(JobsCli, FirstUseCreatesTheDataFolder) {
    const auto result = Run({"jobs", "list"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("No jobs"), std::string::npos);
    for (auto name : {"english.ini", "japanese.ini", "korean.ini", "Option.ini", "Filter.ini",
                      "FilterInc.ini", "Setting.ini", "LastSetting.env"}) {
        EXPECT_TRUE(std::filesystem::exists(home / name)) << name;
    }
    EXPECT_EQ(Jobs().loadStatus, LoadStatus::Ok);
}

TEST_F(JobsCli, AddedJobsAreListedAndStoredInTheFileFormat) {
    std::filesystem::create_directories(folder / "photos");
    ASSERT_EQ(Run({"jobs", "add", "photos", "/mnt/backup"}).exitCode, 0);
    const auto second = Run({"jobs", "add", folder.path().string() + "/photos", "/mnt/\u65e5\u672c",
                             "--type", "dif", "--zip"});
    ASSERT_EQ(second.exitCode, 0) << second.err;

    const auto list = Run({"jobs", "list"});
    ASSERT_EQ(list.exitCode, 0);
    EXPECT_NE(list.out.find((folder / "photos").string()), std::string::npos);
    EXPECT_NE(list.out.find("dif+zip"), std::string::npos);
    EXPECT_NE(list.out.find("/mnt/\u65e5\u672c"), std::string::npos);

    const JobTable table = Jobs();
    ASSERT_EQ(table.jobs.size(), 2u);
    EXPECT_EQ(table.jobs[0].basePath, (folder / "photos").u16string());
    EXPECT_EQ(table.jobs[1].backupType, 1u);
    EXPECT_EQ(table.jobs[1].zipOption, 1u);

    const std::string bytes = ReadBytes(home / "LastSetting.env");
    EXPECT_EQ(bytes.substr(0, 4), std::string("[\0F\0", 4));  // no byte-order mark
    EXPECT_NE(bytes.find(std::string("]\0\x0d\x0a\0", 5)), std::string::npos);
    EXPECT_EQ(bytes.find(std::string("]\0\x0a\0", 4)), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat((home / "LastSetting.env").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(JobsCli, RefusalsGoToStandardErrorWithTheDialogTexts) {
    ASSERT_EQ(Run({"jobs", "add", "/a", "/b"}).exitCode, 0);
    const auto duplicate = Run({"jobs", "add", "/A", "/B"});
    EXPECT_EQ(duplicate.exitCode, 1);
    CLangIni english;
    english.Open(home / "english.ini");
    EXPECT_NE(duplicate.err.find(Utf16ToUtf8(english.GetValue(u"MsgRootDlg", u"AlReadyRegisted"))),
              std::string::npos);
    EXPECT_TRUE(duplicate.out.empty());

    const auto ftp = Run({"jobs", "add", "ftp://host/dir", "/b"});
    EXPECT_EQ(ftp.exitCode, 1);
    EXPECT_NE(ftp.err.find(Utf16ToUtf8(english.GetValue(u"MsgRootDlg", u"ConnetFtp01"))),
              std::string::npos);
    EXPECT_EQ(Run({"jobs", "add", "/a,b", "/c"}).exitCode, 1);
    EXPECT_EQ(Run({"jobs", "remove", "9"}).exitCode, 1);
    EXPECT_EQ(Run({"jobs", "add", "/x", "/y", "--type", "weekly"}).exitCode != 0, true);
    EXPECT_EQ(Jobs().jobs.size(), 1u);
}

TEST_F(JobsCli, MessagesFollowTheChosenLanguage) {
    ASSERT_EQ(Run({"jobs", "add", "/a", "/b"}).exitCode, 0);
    test::WriteBytes(home / "Option.ini", "[HowToBackup]\r\nSelLang=1\r\n");
    const auto duplicate = Run({"jobs", "add", "/a", "/b"});
    EXPECT_EQ(duplicate.exitCode, 1);
    EXPECT_NE(duplicate.err.find("\u3059\u3067\u306b"), std::string::npos) << duplicate.err;
}

TEST_F(JobsCli, UncheckCheckAndShow) {
    ASSERT_EQ(Run({"jobs", "add", "/a", "/b"}).exitCode, 0);
    ASSERT_EQ(Run({"jobs", "uncheck", "1"}).exitCode, 0);
    EXPECT_NE(Run({"jobs", "list"}).out.find("[ ]"), std::string::npos);
    ASSERT_EQ(Run({"jobs", "check", "1"}).exitCode, 0);
    EXPECT_EQ(Jobs().jobs[0].checked, 1u);
    const auto shown = Run({"jobs", "show", "1"});
    ASSERT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.out.find("/a"), std::string::npos);
    EXPECT_NE(shown.out.find("sync"), std::string::npos);
    EXPECT_EQ(Run({"jobs", "check", "0"}).exitCode != 0, true);
}

TEST_F(JobsCli, FtpPasswordsAreNeverPrinted) {
    ASSERT_EQ(Run({"jobs", "add", "/a", "ftp://nas/backup", "--target-user", "mika",
                   "--target-password", "hunter2", "--target-port", "2121"})
                  .exitCode,
              0);
    EXPECT_EQ(Jobs().jobs[0].targetFtpPassword, u"hunter2");
    EXPECT_EQ(Jobs().jobs[0].targetFtpPort, 2121u);
    EXPECT_EQ(Run({"jobs", "show", "1"}).out.find("hunter2"), std::string::npos);
    EXPECT_EQ(Run({"jobs", "list"}).out.find("hunter2"), std::string::npos);
}

// A pattern too long for its line is refused at entry, and a long line written by hand is
// passed over: neither hides the lists of the jobs behind it.
TEST_F(JobsCli, ALongPatternHidesNoOtherJobsPatterns) {
    ASSERT_EQ(Run({"jobs", "add", "/a", "/b"}).exitCode, 0);
    ASSERT_EQ(Run({"jobs", "add", "/c", "/d"}).exitCode, 0);
    const auto refused = Run({"filters", "add", "1", "exclude", std::string(2100, 'x')});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("too long"), std::string::npos) << refused.err;
    EXPECT_EQ(Run({"filters", "add", "1", "exclude", ""}).exitCode, 1);
    ASSERT_EQ(Run({"filters", "add", "2", "exclude", "*.tmp"}).exitCode, 0);
    EXPECT_NE(Run({"filters", "list", "2"}).out.find("1  *.tmp"), std::string::npos);
    EXPECT_NE(Run({"filters", "list", "1"}).out.find("exclude: none"), std::string::npos);

    test::WriteBytes(home / "Filter.ini", "[1]\r\n1=" + std::string(2100, 'y') + "\r\n" +
                                              ReadBytes(home / "Filter.ini"));
    EXPECT_NE(Run({"filters", "list", "2"}).out.find("1  *.tmp"), std::string::npos);
    ASSERT_EQ(Run({"filters", "add", "2", "exclude", "*.bak"}).exitCode, 0);
    EXPECT_NE(Run({"filters", "list", "2"}).out.find("2  *.bak"), std::string::npos);
}

// Every command takes a job's place in the list, also where its stored number field says
// otherwise (a hand-made file); the list shows the damage.
TEST_F(JobsCli, JobsGoByTheirPlaceWhateverTheirNumberFieldSays) {
    ASSERT_EQ(Run({"jobs", "list"}).exitCode, 0);
    test::WriteBytes(home / "LastSetting.env", ReadBytes(kTestData / "loose_layout.env"));
    ASSERT_EQ(Jobs().jobs.at(0).jobNumber, 2u);

    const auto list = Run({"jobs", "list"});
    ASSERT_EQ(list.exitCode, 0);
    EXPECT_NE(list.out.find("\n1  "), std::string::npos) << list.out;
    EXPECT_NE(list.err.find("Place and stored number: 1, 2"), std::string::npos) << list.err;
    const auto show = Run({"jobs", "show", "1"});
    EXPECT_NE(show.out.find("/srv/data"), std::string::npos);
    EXPECT_NE(show.err.find("Place and stored number: 1, 2"), std::string::npos) << show.err;

    EXPECT_EQ(Run({"jobs", "remove", "2"}).exitCode, 1);
    EXPECT_EQ(Jobs().jobs.size(), 1u);
    ASSERT_EQ(Run({"jobs", "remove", "1"}).exitCode, 0);
    EXPECT_TRUE(Jobs().jobs.empty());
    EXPECT_EQ(Run({"jobs", "list"}).err, "");
}

TEST_F(JobsCli, JobsThatWouldDeleteEachOthersFilesAreWarnedOfAndStillMade) {
    const std::string overlap = "these jobs back up into the same target folder";
    EXPECT_EQ(Run({"jobs", "add", "/srv/data/photos", "/srv/data"}).exitCode, 1);
    ASSERT_EQ(Run({"jobs", "add", "/a", "/backup"}).exitCode, 0);
    const auto second = Run({"jobs", "add", "/b", "/backup/b"});
    ASSERT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.err, "");  // no deletion yet: the two can share
    const auto switched = Run({"options", "set", "sync-delete", "on", "--job", "1"});
    EXPECT_EQ(switched.exitCode, 0);
    EXPECT_NE(switched.err.find(overlap), std::string::npos) << switched.err;
    EXPECT_NE(switched.err.find("Jobs: 1, 2"), std::string::npos) << switched.err;
    const auto third = Run({"jobs", "add", "/c", "/backup"});
    EXPECT_EQ(third.exitCode, 0);
    EXPECT_NE(third.out.find("Added job 3"), std::string::npos);
    EXPECT_NE(third.err.find("Jobs: 1, 3"), std::string::npos) << third.err;
    EXPECT_EQ(Jobs().jobs.size(), 3u);
}

TEST(CliHome, ComesFromTheOptionTheVariableOrTheXdgDefault) {
    TempFolder folder;
    const auto run = [&](std::vector<std::string> env, std::vector<std::string> args) {
        env.push_back("HOME=" + folder.path().string());
        return test::RunProgram(kArkivo, args, env, folder.path());
    };
    ASSERT_EQ(run({"ARKIVO_HOME=" + (folder / "viaenv").string()}, {"jobs", "list"}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "viaenv" / "LastSetting.env"));
    ASSERT_EQ(run({"XDG_DATA_HOME=" + (folder / "xdg").string()}, {"jobs", "list"}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "xdg" / "arkivo" / "LastSetting.env"));
    ASSERT_EQ(run({}, {"jobs", "list"}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(folder / ".local/share/arkivo/LastSetting.env"));
    ASSERT_EQ(run({"ARKIVO_HOME=" + (folder / "viaenv").string()},
                  {"--home", (folder / "opt").string(), "jobs", "list"})
                  .exitCode,
              0);
    EXPECT_TRUE(std::filesystem::exists(folder / "opt" / "LastSetting.env"));
}

TEST(CliBasics, VersionAndHelp) {
    TempFolder folder;
    const auto version = test::RunProgram(kArkivo, {"--version"}, {}, folder.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("arkivo ", 0), 0u);
    const auto help = test::RunProgram(kArkivo, {"--help"}, {}, folder.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("jobs"), std::string::npos);
    EXPECT_NE(test::RunProgram(kArkivo, {}, {}, folder.path()).exitCode, 0);
}

}  // namespace
}  // namespace arkivo
