#include <sys/stat.h>

#include "common/text.h"
#include "settings/lang_ini.h"
#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using test::ReadBytes;

const std::filesystem::path kTestData = ARKIVO_TEST_DATA;

using JobsCli = test::CliTest;

TEST_F(JobsCli, FirstUseCreatesTheDataFolderAndAddedJobsAreListedShownAndStored) {
    const auto empty = Arkivo({"jobs", "list"});
    ASSERT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_NE(empty.out.find("No jobs"), std::string::npos);
    for (auto name : {"english.ini", "japanese.ini", "korean.ini", "Option.ini", "Filter.ini",
                      "FilterInc.ini", "Setting.ini", "LastSetting.env"}) {
        EXPECT_TRUE(std::filesystem::exists(home / name)) << name;
    }

    std::filesystem::create_directories(folder / "photos");
    ASSERT_EQ(Arkivo({"jobs", "add", "photos", "/mnt/backup"}).exitCode, 0);
    const auto second = Arkivo({"jobs", "add", folder.path().string() + "/photos",
                                "/mnt/\u65e5\u672c", "--type", "dif", "--zip"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    ASSERT_EQ(Arkivo({"jobs", "uncheck", "2"}).exitCode, 0);
    const auto list = Arkivo({"jobs", "list"});
    ASSERT_EQ(list.exitCode, 0);
    EXPECT_NE(list.out.find((folder / "photos").string()), std::string::npos);
    EXPECT_NE(list.out.find("dif+zip"), std::string::npos);
    EXPECT_NE(list.out.find("/mnt/\u65e5\u672c"), std::string::npos);
    EXPECT_NE(list.out.find("[ ]"), std::string::npos);
    const auto shown = Arkivo({"jobs", "show", "1"});
    ASSERT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.out.find("/mnt/backup"), std::string::npos);
    EXPECT_NE(shown.out.find("sync"), std::string::npos);
    ASSERT_EQ(Arkivo({"jobs", "check", "2"}).exitCode, 0);
    EXPECT_NE(Arkivo({"jobs", "check", "0"}).exitCode, 0);

    const JobTable table = Jobs();
    ASSERT_EQ(table.jobs.size(), 2u);
    EXPECT_EQ(table.jobs[0].basePath, (folder / "photos").u16string());
    EXPECT_EQ(table.jobs[1].backupType, 1u);
    EXPECT_EQ(table.jobs[1].zipOption, 1u);
    EXPECT_EQ(table.jobs[1].checked, 1u);
    const std::string bytes = ReadBytes(home / "LastSetting.env");
    EXPECT_EQ(bytes.substr(0, 4), std::string("[\0F\0", 4));  // no byte-order mark
    EXPECT_NE(bytes.find(std::string("]\0\x0d\x0a\0", 5)), std::string::npos);
    EXPECT_EQ(bytes.find(std::string("]\0\x0a\0", 4)), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat((home / "LastSetting.env").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(JobsCli, RefusalsGoToStandardErrorWithTheDialogTextsOfTheChosenLanguage) {
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/b"}).exitCode, 0);
    const auto duplicate = Arkivo({"jobs", "add", "/A", "/B"});
    EXPECT_EQ(duplicate.exitCode, 1);
    CLangIni english;
    english.Open(home / "english.ini");
    EXPECT_NE(duplicate.err.find(Utf16ToUtf8(english.GetValue(u"MsgRootDlg", u"AlReadyRegisted"))),
              std::string::npos);
    EXPECT_TRUE(duplicate.out.empty());
    const auto ftp = Arkivo({"jobs", "add", "ftp://host/dir", "/b"});
    EXPECT_EQ(ftp.exitCode, 1);
    EXPECT_NE(ftp.err.find(Utf16ToUtf8(english.GetValue(u"MsgRootDlg", u"ConnetFtp01"))),
              std::string::npos);
    EXPECT_EQ(Arkivo({"jobs", "add", "/a,b", "/c"}).exitCode, 1);
    EXPECT_EQ(Arkivo({"jobs", "remove", "9"}).exitCode, 1);
    EXPECT_NE(Arkivo({"jobs", "add", "/x", "/y", "--type", "weekly"}).exitCode, 0);
    EXPECT_EQ(Jobs().jobs.size(), 1u);

    test::WriteBytes(home / "Option.ini", "[HowToBackup]\r\nSelLang=1\r\n");
    const auto japanese = Arkivo({"jobs", "add", "/a", "/b"});
    EXPECT_EQ(japanese.exitCode, 1);
    EXPECT_NE(japanese.err.find("\u3059\u3067\u306b"), std::string::npos) << japanese.err;
}

TEST_F(JobsCli, FtpPasswordsAreNeverPrinted) {
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "ftp://nas/backup", "--target-user", "mika",
                      "--target-password", "hunter2", "--target-port", "2121"})
                  .exitCode,
              0);
    EXPECT_EQ(Jobs().jobs[0].targetFtpPassword, u"hunter2");
    EXPECT_EQ(Jobs().jobs[0].targetFtpPort, 2121u);
    EXPECT_EQ(Arkivo({"jobs", "show", "1"}).out.find("hunter2"), std::string::npos);
    EXPECT_EQ(Arkivo({"jobs", "list"}).out.find("hunter2"), std::string::npos);
}

// A pattern too long for its line is refused at entry, and a long line written by hand is
// passed over: neither hides the lists of the jobs behind it.
TEST_F(JobsCli, ALongPatternHidesNoOtherJobsPatterns) {
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/b"}).exitCode, 0);
    ASSERT_EQ(Arkivo({"jobs", "add", "/c", "/d"}).exitCode, 0);
    const auto refused = Arkivo({"filters", "add", "1", "exclude", std::string(2100, 'x')});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("too long"), std::string::npos) << refused.err;
    EXPECT_EQ(Arkivo({"filters", "add", "1", "exclude", ""}).exitCode, 1);
    ASSERT_EQ(Arkivo({"filters", "add", "2", "exclude", "*.tmp"}).exitCode, 0);
    EXPECT_NE(Arkivo({"filters", "list", "2"}).out.find("1  *.tmp"), std::string::npos);
    EXPECT_NE(Arkivo({"filters", "list", "1"}).out.find("exclude: none"), std::string::npos);

    test::WriteBytes(home / "Filter.ini", "[1]\r\n1=" + std::string(2100, 'y') + "\r\n" +
                                              ReadBytes(home / "Filter.ini"));
    EXPECT_NE(Arkivo({"filters", "list", "2"}).out.find("1  *.tmp"), std::string::npos);
    ASSERT_EQ(Arkivo({"filters", "add", "2", "exclude", "*.bak"}).exitCode, 0);
    EXPECT_NE(Arkivo({"filters", "list", "2"}).out.find("2  *.bak"), std::string::npos);
}

// Every command takes a job's place in the list, also where its stored number field says
// otherwise (a hand-made file); the list shows the damage.
TEST_F(JobsCli, JobsGoByTheirPlaceWhateverTheirNumberFieldSays) {
    ASSERT_EQ(Arkivo({"jobs", "list"}).exitCode, 0);
    test::WriteBytes(home / "LastSetting.env", ReadBytes(kTestData / "loose_layout.env"));
    ASSERT_EQ(Jobs().jobs.at(0).jobNumber, 2u);

    const auto list = Arkivo({"jobs", "list"});
    ASSERT_EQ(list.exitCode, 0);
    EXPECT_NE(list.out.find("\n1  "), std::string::npos) << list.out;
    EXPECT_NE(list.err.find("Place and stored number: 1, 2"), std::string::npos) << list.err;
    const auto show = Arkivo({"jobs", "show", "1"});
    EXPECT_NE(show.out.find("/srv/data"), std::string::npos);
    EXPECT_NE(show.err.find("Place and stored number: 1, 2"), std::string::npos) << show.err;

    EXPECT_EQ(Arkivo({"jobs", "remove", "2"}).exitCode, 1);
    EXPECT_EQ(Jobs().jobs.size(), 1u);
    ASSERT_EQ(Arkivo({"jobs", "remove", "1"}).exitCode, 0);
    EXPECT_TRUE(Jobs().jobs.empty());
    EXPECT_EQ(Arkivo({"jobs", "list"}).err, "");
}

TEST_F(JobsCli, JobsThatWouldDeleteEachOthersFilesAreWarnedOfAndStillMade) {
    const std::string overlap = "these jobs back up into the same target folder";
    EXPECT_EQ(Arkivo({"jobs", "add", "/srv/data/photos", "/srv/data"}).exitCode, 1);
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/backup"}).exitCode, 0);
    const auto second = Arkivo({"jobs", "add", "/b", "/backup/b"});
    ASSERT_EQ(second.exitCode, 0);
    // No deletion yet: the two can share.
    EXPECT_EQ(second.err.find(overlap), std::string::npos) << second.err;
    const auto switched = Arkivo({"options", "set", "sync-delete", "on", "--job", "1"});
    EXPECT_EQ(switched.exitCode, 0);
    EXPECT_NE(switched.err.find(overlap), std::string::npos) << switched.err;
    EXPECT_NE(switched.err.find("Jobs: 1, 2"), std::string::npos) << switched.err;
    const auto third = Arkivo({"jobs", "add", "/c", "/backup"});
    EXPECT_EQ(third.exitCode, 0);
    EXPECT_NE(third.out.find("Added job 3"), std::string::npos);
    EXPECT_NE(third.err.find("Jobs: 1, 3"), std::string::npos) << third.err;
    EXPECT_EQ(Jobs().jobs.size(), 3u);
}

TEST(CliHome, ComesFromTheOptionTheVariableOrTheXdgDefault) {
    test::TempFolder folder;
    const auto run = [&](std::vector<std::string> env, std::vector<std::string> args) {
        env.push_back("HOME=" + folder.path().string());
        return test::RunProgram(test::kArkivo, args, env, folder.path());
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
    const auto version = run({}, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("arkivo ", 0), 0u);
    const auto help = run({}, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("jobs"), std::string::npos);
    EXPECT_NE(run({}, {}).exitCode, 0);
}

}  // namespace
}  // namespace arkivo
