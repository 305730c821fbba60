// Every job setting from the command line: `jobs set`, `jobs show`, the settings `jobs add`
// and `options set` share with it, and the run of a period job that has no period.
#include <sys/stat.h>

#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using test::ExpectHas;
using test::ExpectLacks;
using test::ReadBytes;

// Instants worked out by hand for Tokyo time (UTC+9, no daylight saving).
constexpr std::uint64_t kTokyo2026Dec1 = 1796050800;
constexpr std::uint64_t kTokyo2027Jan1 = 1798729200;
constexpr std::int64_t kTokyo2100Jan1 = 4102412400;
constexpr std::int64_t kTokyo2100Feb1 = 4105090800;
const std::string kTokyo = "TZ=JST-9";

class JobSettingsCli : public test::CliTest {
  protected:
    void SetUp() override { std::filesystem::create_directories(base); }

    test::ProgramResult ArkivoIn(const std::string& zone, std::vector<std::string> arguments) {
        return ArkivoWith({zone}, std::move(arguments));
    }

    std::string Setting(std::size_t job, std::u16string_view key) {
        CLangIni setting;
        setting.Open(home / "Setting.ini");
        return Utf16ToUtf8(setting.GetValue(ToDecimalUnsigned(job), key));
    }
};

TEST_F(JobSettingsCli, EverySettingIsChangedFromTheCommandLineAndShownInWords) {
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    for (auto pattern : {"*.tmp", "*.bak"}) {
        ASSERT_EQ(Arkivo({"filters", "add", "1", "exclude", pattern}).exitCode, 0);
    }
    ASSERT_EQ(Arkivo({"filters", "add", "1", "include", "*.doc"}).exitCode, 0);

    const auto set =
        ArkivoIn(kTokyo, {"jobs", "set", "1", "--type", "spd", "--period", "2026-12-01",
                          "2026-12-31", "--zip", "on", "--dot-folders", "on"});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.err, "");
    auto job = Jobs().jobs.at(0);
    EXPECT_EQ(job.backupType, 3u);
    EXPECT_EQ(job.zipOption, 1u);
    // The run rule copies what was written strictly after the start and before the end.
    EXPECT_EQ(job.periodStart, kTokyo2026Dec1 - 1);
    EXPECT_EQ(job.periodEnd, kTokyo2027Jan1);
    EXPECT_EQ(Setting(1, u"IncludeDotFolders"), "1");

    const auto shown = ArkivoIn(kTokyo, {"jobs", "show", "1"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    ExpectHas(shown.out, "Type              period (spd): ");
    ExpectHas(shown.out, "Period            2026-12-01 to 2026-12-31\n");
    ExpectHas(shown.out, "ZIP archive       on\n");
    ExpectHas(shown.out, "Sync delete       does not apply");
    ExpectHas(shown.out, "Dot folders       on");
    ExpectHas(shown.out, "Filters           on, 2 exclude patterns, 1 include pattern\n");
    ExpectHas(shown.out, "Ticked            yes\n");
    ExpectHas(shown.out, "Last backup       never\n");
    // Shown in the local time of whoever looks.
    ExpectHas(ArkivoIn("TZ=UTC0", {"jobs", "show", "1"}).out,
              "Period            2026-11-30T15:00 to 2026-12-31T14:59\n");

    const auto back = Arkivo(
        {"jobs", "set", "1", "--type", "sync", "--sync-delete", "on", "--dot-folders", "off"});
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(Setting(1, u"SyncDelNoSrc"), "1");
    EXPECT_EQ(Setting(1, u"IncludeDotFolders"), "0");
    const auto sync = Arkivo({"jobs", "show", "1"});
    ExpectHas(sync.out, "Type              synchronisation (sync): ");
    ExpectHas(sync.out, "ZIP archive       does not apply");
    ExpectHas(sync.out, "Sync delete       on");
    ExpectHas(sync.out, "Dot folders       off");
    ExpectLacks(sync.out, "Period");

    ASSERT_EQ(ArkivoIn(kTokyo, {"jobs", "set", "1", "--type", "dif"}).exitCode, 0);
    ExpectHas(Arkivo({"jobs", "show", "1"}).out, "Type              differential (dif): ");
    ASSERT_EQ(ArkivoIn(kTokyo, {"jobs", "set", "1", "--type", "inc"}).exitCode, 0);
    ExpectHas(Arkivo({"jobs", "show", "1"}).out, "Type              incremental (inc): ");
    job = Jobs().jobs.at(0);
    EXPECT_EQ(job.periodEnd, kTokyo2027Jan1) << "a type change keeps the period";
    EXPECT_EQ(job.zipOption, 1u);
}

// One setting that does not apply stops the whole command: neither the job list nor the
// settings file changes. `jobs add` and `options set` refuse the same way.
TEST_F(JobSettingsCli, ASettingTheTypeDoesNotTakeIsRefusedAndNothingChanges) {
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), (folder / "t1").string()}).exitCode, 0);
    ASSERT_EQ(
        Arkivo({"jobs", "add", base.string(), (folder / "t2").string(), "--type", "dif"}).exitCode,
        0);
    const auto jobsBefore = ReadBytes(home / "LastSetting.env");
    const auto settingBefore = ReadBytes(home / "Setting.ini");
    auto refused = [&](std::vector<std::string> arguments, const std::string& why) {
        const auto result = Arkivo(arguments);
        EXPECT_NE(result.exitCode, 0);
        ExpectHas(result.err, why);
        EXPECT_EQ(result.out, "");
    };
    const auto zipOnSync = English(u"MsgJobSet", u"ZipOnSync");
    const auto periodOnOther = English(u"MsgJobSet", u"PeriodOnOtherType");
    const auto deleteOnOther = English(u"MsgJobSet", u"SyncDeleteOnOtherType");
    refused({"jobs", "set", "1", "--zip", "on", "--dot-folders", "on"}, zipOnSync);
    refused({"jobs", "set", "1", "--zip", "off"}, zipOnSync);
    refused({"jobs", "set", "2", "--type", "sync", "--zip", "on"}, zipOnSync);
    refused({"jobs", "set", "1", "--period", "2026-12-01", "2026-12-31", "--dot-folders", "on"},
            periodOnOther);
    refused({"jobs", "set", "2", "--sync-delete", "on"}, deleteOnOther);
    refused({"jobs", "set", "2", "--type", "spd", "--period", "2026-12-31", "2026-12-01"},
            English(u"MsgJobSet", u"PeriodReversed"));
    refused({"jobs", "set", "2", "--type", "spd", "--period", "2026-02-30", "2026-03-01"},
            "2026-02-30");
    refused({"jobs", "set", "2", "--type", "spd", "--period", "2026-12-01"}, "--period");
    refused({"jobs", "set", "2", "--zip", "maybe"}, "--zip");
    refused({"jobs", "set", "2"}, "nothing to change");
    refused({"jobs", "set", "3", "--zip", "on"}, English(u"MsgRootDlg", u"NoSuchJob"));
    refused({"options", "set", "zip", "on", "--job", "1"}, zipOnSync);
    refused({"options", "set", "sync-delete", "on", "--job", "2"}, deleteOnOther);
    refused({"jobs", "add", base.string(), (folder / "t3").string(), "--zip"}, zipOnSync);
    refused({"jobs", "add", base.string(), (folder / "t3").string(), "--type", "inc", "--period",
             "2026-12-01", "2026-12-31"},
            periodOnOther);
    EXPECT_EQ(ReadBytes(home / "LastSetting.env"), jobsBefore);
    EXPECT_EQ(ReadBytes(home / "Setting.ini"), settingBefore);

    // What does apply still goes through `options set`, which takes the same way.
    ASSERT_EQ(Arkivo({"options", "set", "zip", "on", "--job", "2"}).exitCode, 0);
    EXPECT_EQ(Jobs().jobs.at(1).zipOption, 1u);
    ASSERT_EQ(Arkivo({"options", "set", "dot-folders", "on", "--job", "2"}).exitCode, 0);
    EXPECT_EQ(Setting(2, u"IncludeDotFolders"), "1");
}

TEST_F(JobSettingsCli, NewSidesPassTheChecksOfTheJobEditor) {
    ASSERT_EQ(Arkivo({"jobs", "add", "/srv/a", "/backup/a"}).exitCode, 0);
    ASSERT_EQ(Arkivo({"jobs", "add", "/srv/b", "/backup/b"}).exitCode, 0);
    const auto before = ReadBytes(home / "LastSetting.env");
    auto refused = [&](std::vector<std::string> arguments, std::u16string_view key) {
        const auto result = Arkivo(arguments);
        EXPECT_EQ(result.exitCode, 1);
        ExpectHas(result.err, English(u"MsgRootDlg", key));
    };
    refused({"jobs", "set", "2", "--base", "/backup/b/inner"}, u"BaseInTarget");
    refused({"jobs", "set", "2", "--target", "/srv/b"}, u"BaseIsTarget");
    refused({"jobs", "set", "2", "--base", "/srv/a", "--target", "/backup/a"}, u"AlReadyRegisted");
    refused({"jobs", "set", "2", "--base", "/srv/b,c"}, u"CommaInText");
    refused({"jobs", "set", "2", "--target", "/" + std::string(300, 'x')}, u"TextTooLong");
    refused({"jobs", "set", "2", "--target", "ftp://nas/b"}, u"ConnetFtp02");
    EXPECT_EQ(ReadBytes(home / "LastSetting.env"), before);

    // A relative path is taken from where the command was given, not from the data folder.
    const auto moved = Arkivo({"jobs", "set", "2", "--target", "relative/b"});
    ASSERT_EQ(moved.exitCode, 0) << moved.err;
    EXPECT_EQ(Jobs().jobs.at(1).targetPath, (folder / "relative/b").u16string());

    ASSERT_EQ(Arkivo({"jobs", "set", "1", "--sync-delete", "on"}).exitCode, 0);
    const auto overlap = Arkivo({"jobs", "set", "2", "--target", "/backup/a/b"});
    EXPECT_EQ(overlap.exitCode, 0);
    ExpectHas(overlap.err, "Jobs: 1, 2");
    EXPECT_EQ(Jobs().jobs.at(1).targetPath, u"/backup/a/b");
}

// A period job without a period would copy nothing and say it was complete.
TEST_F(JobSettingsCli, APeriodJobWithoutAPeriodIsRefusedAtRunTimeUntilItGetsOne) {
    test::MakeFile(base / "a.txt", "a");
    const auto added = Arkivo({"jobs", "add", base.string(), target.string(), "--type", "spd"});
    ASSERT_EQ(added.exitCode, 0);
    ExpectHas(added.err, English(u"MsgJobSet", u"NoPeriodYet") + "1 --period FROM TO");
    ASSERT_EQ(Arkivo({"options", "set", "report", "on"}).exitCode, 0);
    const std::string refusal = English(u"MsgFCThread", u"NoPeriod") + "1 --period FROM TO";

    for (auto dryRun : {true, false}) {
        auto arguments = std::vector<std::string>{"run"};
        if (dryRun) {
            arguments.push_back("--dry-run");
        }
        const auto run = Arkivo(arguments);
        EXPECT_EQ(run.exitCode, 1);
        ExpectHas(run.err, refusal);
        ExpectLacks(run.out, English(u"MsgFCThread", u"Complete"));
    }
    EXPECT_FALSE(std::filesystem::exists(target));
    const auto job = Jobs().jobs.at(0);
    EXPECT_EQ(job.lastBackupTime, 0u);
    EXPECT_EQ(job.periodStart, 0u);
    EXPECT_EQ(job.periodEnd, 0u);
    std::string reports;
    for (const auto& report : Reports()) {
        reports += ReadBytes(report);
    }
    ExpectHas(reports, refusal);

    ASSERT_EQ(Arkivo({"jobs", "set", "1", "--period", "2000-01-01", "2099-12-31"}).exitCode, 0);
    const auto run = Arkivo({"run"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    ExpectLacks(run.err, refusal);
    EXPECT_NE(Jobs().jobs.at(0).lastBackupTime, 0u);
}

void SetWriteTime(const std::filesystem::path& file, std::int64_t seconds) {
    const struct timespec times[2] = {{static_cast<time_t>(seconds), 0},
                                      {static_cast<time_t>(seconds), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

// The bounds are local time and both are inside: a file written in the first second of the
// first day, or the last second of the last day, is copied; one a second outside is not.
TEST_F(JobSettingsCli, APeriodHoldsItsFirstAndLastSecondsInLocalTime) {
    const std::pair<const char*, std::int64_t> files[] = {
        {"before.txt", kTokyo2100Jan1 - 1},
        {"first.txt", kTokyo2100Jan1},
        {"last.txt", kTokyo2100Feb1 - 1},
        {"after.txt", kTokyo2100Feb1},
    };
    for (const auto& [name, written] : files) {
        test::MakeFile(base / name, name);
        SetWriteTime(base / name, written);
    }
    ASSERT_EQ(ArkivoIn(kTokyo, {"jobs", "add", base.string(), target.string(), "--type", "spd",
                                "--period", "2100-01-01", "2100-01-31"})
                  .exitCode,
              0);
    const auto run = ArkivoIn(kTokyo, {"run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::map<std::string, std::string> copied;
    for (const auto& dated : std::filesystem::directory_iterator(target)) {
        copied = test::FileContents(dated.path());
    }
    EXPECT_EQ(copied, (std::map<std::string, std::string>{{"first.txt", "first.txt"},
                                                          {"last.txt", "last.txt"}}));
}

// Converted by the system's rules for the zone: the day clocks go forward lasts 23 hours.
TEST_F(JobSettingsCli, APeriodFollowsDaylightSaving) {
    ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    const std::string centralEurope = "TZ=CET-1CEST,M3.5.0,M10.5.0/3";
    ASSERT_EQ(ArkivoIn(centralEurope, {"jobs", "set", "1", "--type", "spd", "--period",
                                       "2026-03-29", "2026-03-29"})
                  .exitCode,
              0);
    const auto job = Jobs().jobs.at(0);
    EXPECT_EQ(job.periodStart + 1, 1774738800u);  // 2026-03-28T23:00Z
    EXPECT_EQ(job.periodEnd - job.periodStart - 1, 23u * 3600u);
    ExpectHas(ArkivoIn(centralEurope, {"jobs", "show", "1"}).out,
              "Period            2026-03-29 to 2026-03-29\n");
}

}  // namespace
}  // namespace arkivo
