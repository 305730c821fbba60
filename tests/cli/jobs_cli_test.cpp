#include <sys/stat.h>

#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using test::ReadBytes;

const std::filesystem::path kTestData = ARKIVO_TEST_DATA;

using JobsCli = test::CliTest;

TEST_F(JobsCli, FirstUseCreatesTheDataFolderAndAddedJobsAreListedShownAndStored) {
    const auto empty = Arkivo({"jobs", "list"});
    ASSERT_EQ(empty.exitCode, 0) << empty.err;
    test::ExpectHas(empty.out, "No jobs");
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
    test::ExpectHas(list.out, (folder / "photos").string());
    test::ExpectHas(list.out, "dif+zip");
    test::ExpectHas(list.out, "/mnt/\u65e5\u672c");
    test::ExpectHas(list.out, "[ ]");
    const auto shown = Arkivo({"jobs", "show", "1"});
    ASSERT_EQ(shown.exitCode, 0);
    test::ExpectHas(shown.out, "/mnt/backup");
    test::ExpectHas(shown.out, "sync");
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
    test::ExpectHas(bytes, std::string("]\0\x0d\x0a\0", 5));
    test::ExpectLacks(bytes, std::string("]\0\x0a\0", 4));
    struct stat st {};
    ASSERT_EQ(::stat((home / "LastSetting.env").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(JobsCli, RefusalsGoToStandardErrorWithTheDialogTextsOfTheChosenLanguage) {
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/b"}).exitCode, 0);
    const auto duplicate = Arkivo({"jobs", "add", "/A", "/B"});
    EXPECT_EQ(duplicate.exitCode, 1);
    test::ExpectHas(duplicate.err, English(u"MsgRootDlg", u"AlReadyRegisted"));
    EXPECT_TRUE(duplicate.out.empty());
    const auto ftp = Arkivo({"jobs", "add", "ftp://host/dir", "/b"});
    EXPECT_EQ(ftp.exitCode, 1);
    test::ExpectHas(ftp.err, English(u"MsgRootDlg", u"ConnetFtp01"));
    EXPECT_EQ(Arkivo({"jobs", "add", "/a,b", "/c"}).exitCode, 1);
    EXPECT_EQ(Arkivo({"jobs", "remove", "9"}).exitCode, 1);
    EXPECT_NE(Arkivo({"jobs", "add", "/x", "/y", "--type", "weekly"}).exitCode, 0);
    EXPECT_EQ(Jobs().jobs.size(), 1u);

    test::WriteBytes(home / "Option.ini", "[HowToBackup]\r\nSelLang=1\r\n");
    const auto japanese = Arkivo({"jobs", "add", "/a", "/b"});
    EXPECT_EQ(japanese.exitCode, 1);
    test::ExpectHas(japanese.err, "\u3059\u3067\u306b");
}

// A pattern too long for its line is refused at entry, and a long line written by hand is
// passed over: neither hides the lists of the jobs behind it.
TEST_F(JobsCli, ALongPatternHidesNoOtherJobsPatterns) {
    ASSERT_EQ(Arkivo({"jobs", "add", "/a", "/b"}).exitCode, 0);
    ASSERT_EQ(Arkivo({"jobs", "add", "/c", "/d"}).exitCode, 0);
    const auto refused = Arkivo({"filters", "add", "1", "exclude", std::string(2100, 'x')});
    EXPECT_EQ(refused.exitCode, 1);
    test::ExpectHas(refused.err, "too long");
    EXPECT_EQ(Arkivo({"filters", "add", "1", "exclude", ""}).exitCode, 1);
    ASSERT_EQ(Arkivo({"filters", "add", "2", "exclude", "*.tmp"}).exitCode, 0);
    test::ExpectHas(Arkivo({"filters", "list", "2"}).out, "1  *.tmp");
    test::ExpectHas(Arkivo({"filters", "list", "1"}).out, "exclude: none");

    test::WriteBytes(home / "Filter.ini", "[1]\r\n1=" + std::string(2100, 'y') + "\r\n" +
                                              ReadBytes(home / "Filter.ini"));
    test::ExpectHas(Arkivo({"filters", "list", "2"}).out, "1  *.tmp");
    ASSERT_EQ(Arkivo({"filters", "add", "2", "exclude", "*.bak"}).exitCode, 0);
    test::ExpectHas(Arkivo({"filters", "list", "2"}).out, "2  *.bak");
}

// Every command takes a job's place in the list, also where its stored number field says
// otherwise (a hand-made file); the list shows the damage.
TEST_F(JobsCli, JobsGoByTheirPlaceWhateverTheirNumberFieldSays) {
    ASSERT_EQ(Arkivo({"jobs", "list"}).exitCode, 0);
    test::WriteBytes(home / "LastSetting.env", ReadBytes(kTestData / "loose_layout.env"));
    ASSERT_EQ(Jobs().jobs.at(0).jobNumber, 2u);

    const auto list = Arkivo({"jobs", "list"});
    ASSERT_EQ(list.exitCode, 0);
    test::ExpectHas(list.out, "\n1  ");
    test::ExpectHas(list.err, "Place and stored number: 1, 2");
    const auto show = Arkivo({"jobs", "show", "1"});
    test::ExpectHas(show.out, "/srv/data");
    test::ExpectHas(show.err, "Place and stored number: 1, 2");

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
    test::ExpectLacks(second.err, overlap);
    const auto switched = Arkivo({"options", "set", "sync-delete", "on", "--job", "1"});
    EXPECT_EQ(switched.exitCode, 0);
    test::ExpectHas(switched.err, overlap);
    test::ExpectHas(switched.err, "Jobs: 1, 2");
    const auto third = Arkivo({"jobs", "add", "/c", "/backup"});
    EXPECT_EQ(third.exitCode, 0);
    test::ExpectHas(third.out, "Added job 3");
    test::ExpectHas(third.err, "Jobs: 1, 3");
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
    test::ExpectHas(help.out, "jobs");
    EXPECT_NE(run({}, {}).exitCode, 0);
}

}  // namespace
}  // namespace arkivo
