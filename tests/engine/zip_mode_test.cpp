// Differential, incremental and period jobs that write one archive instead of a folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>

#include "common/text.h"
#include "engine/dated_name.h"
#include "platform/clock.h"
#include "support/engine_fixture.h"
#include "zip/verify.h"

namespace arkivo {
namespace {

using test::MakeFile;
using test::ReadBytes;

std::set<std::string> EntryNames(const std::filesystem::path& archive) {
    std::set<std::string> names;
    const auto verdict = zip::VerifyZipArchive(archive);
    EXPECT_EQ(verdict.status, zip::ArchiveCheck::Ok) << archive;
    for (const auto& entry : verdict.entries) {
        names.insert(entry.name);
    }
    return names;
}

// What the archive says an entry holds, after its data has been checked against its CRC.
std::uint64_t EntrySize(const std::filesystem::path& archive, const std::string& name) {
    for (const auto& entry : zip::VerifyZipArchive(archive).entries) {
        if (entry.name == name && entry.check == zip::EntryCheck::Ok) {
            return entry.uncompressedSize;
        }
    }
    return 0;
}

// The one archive a run left in the folder.
std::filesystem::path OnlyArchiveIn(const std::filesystem::path& folder) {
    std::filesystem::path archive;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_TRUE(archive.empty()) << entry.path();
        archive = entry.path();
    }
    EXPECT_EQ(archive.extension(), ".zip");
    return archive;
}

class ZipMode : public test::EngineTest {};

TEST_F(ZipMode, ADifferentialArchiveIsNamedAfterItsDatedFolderAndLeavesNoFolder) {
    MakeFile(base / "a.txt", "alpha");
    MakeFile(base / "docs/b.txt", std::string(50000, 'b'));
    MakeFile(base / "docs/c.gz", "already packed");
    AddZipJob(BackupType::Dif);
    const std::string before = NameNow(engine::kDifPrefix);
    // Reading the archive back after the job finds it good.
    ASSERT_TRUE(Run({.verifyArchives = true, .jobs = {}}).Succeeded());
    const std::string name = NameNow(engine::kDifPrefix);
    if (name != before) {
        GTEST_SKIP() << "the minute changed during the run";
    }
    const auto archive = target / (name + ".zip");
    ASSERT_TRUE(std::filesystem::exists(archive));
    EXPECT_FALSE(std::filesystem::exists(target / name));
    EXPECT_EQ(EntryNames(archive),
              (std::set<std::string>{name + "/a.txt", name + "/docs/b.txt", name + "/docs/c.gz"}));
    EXPECT_EQ(EntrySize(archive, name + "/docs/b.txt"), 50000u);
    EXPECT_EQ(observer.jobs.at(0).copied, 3u);
}

TEST_F(ZipMode, ASecondIncrementalRunInTheSameMinuteKeepsTheFirstArchiveAndSaysSo) {
    ReportEverything();
    MakeFile(base / "first.txt", "1");
    AddZipJob(BackupType::Inc);
    const std::string name = NameNow(engine::kIncPrefix);
    const auto first = Run();
    MakeFile(base / "second.txt", "2");
    const auto second = Run();
    ASSERT_TRUE(first.Succeeded() && second.Succeeded());
    if (NameNow(engine::kIncPrefix) != name) {
        GTEST_SKIP() << "the minute changed between the runs";
    }
    EXPECT_EQ(EntryNames(target / (name + ".zip")).count(name + "/first.txt"), 1u);
    EXPECT_EQ(EntryNames(target / (name + "_2.zip")).count(name + "_2/second.txt"), 1u);
    // Each report lists the archive's path followed by the entry's name. (Files of the very
    // second the first run began are taken again by the second.)
    EXPECT_EQ(Listed(ReadBytes(first.reportFile), "Created"),
              (std::vector<std::string>{(target / (name + ".zip") / name / "first.txt").string()}));
    const auto listed = Listed(ReadBytes(second.reportFile), "Created");
    const auto entries = target / (name + "_2.zip") / (name + "_2");
    EXPECT_NE(std::find(listed.begin(), listed.end(), (entries / "second.txt").string()),
              listed.end());
    for (const auto& line : listed) {
        EXPECT_EQ(line.rfind(entries.string(), 0), 0u) << line;
    }
}

// Its archive, never a folder an earlier run filled under the same name.
TEST_F(ZipMode, ASecondDifferentialRunInTheSameMinuteReplacesItsArchive) {
    MakeFile(base / "a.txt", "1");
    AddZipJob(BackupType::Dif);
    const std::string name = NameNow(engine::kDifPrefix);
    MakeFile(target / name / "from-an-earlier-run.txt", "keep me");
    ASSERT_TRUE(Run().Succeeded());
    MakeFile(base / "b.txt", "2");
    ASSERT_TRUE(Run().Succeeded());
    if (NameNow(engine::kDifPrefix) != name) {
        GTEST_SKIP() << "the minute changed between the runs";
    }
    EXPECT_EQ(EntryNames(target / (name + ".zip")),
              (std::set<std::string>{name + "/a.txt", name + "/b.txt"}));
    EXPECT_FALSE(std::filesystem::exists(target / (name + "_2.zip")));
    EXPECT_EQ(ReadBytes(target / name / "from-an-earlier-run.txt"), "keep me");
}

TEST_F(ZipMode, AnEntryThatCannotBeAddedIsAFailureAndTheArchiveHoldsTheRest) {
    MakeFile(base / "good.txt", "g");
    MakeFile(base / (std::string(250, 'n') + ".txt"), "the stored name would be too long");
    AddZipJob(BackupType::Inc);
    const auto summary = Run();
    EXPECT_FALSE(summary.Succeeded());
    EXPECT_EQ(summary.copied, 1u);
    EXPECT_EQ(summary.failed, 1u);
    ASSERT_FALSE(observer.messages.empty());
    const auto archive = OnlyArchiveIn(target);
    EXPECT_EQ(EntryNames(archive).size(), 1u);
    // The file is named with the archive and why it could not go in, which the system did not
    // say.
    const UserMessage& message = observer.messages[0];
    EXPECT_TRUE(message.IsText(text::ZipAddFailed));
    EXPECT_EQ(Utf16ToUtf8(message.detail), (base / (std::string(250, 'n') + ".txt")).string() +
                                               " -> " + archive.string() +
                                               " (the name cannot be stored in an archive)");
}

// The archive compresses while the walk goes on, so a file's outcome may come only after the
// walk has passed further files; each file is still counted, listed and told in the walk's order,
// and only once its entry is really in the archive.
TEST_F(ZipMode, FilesAreCountedListedAndFailedInTheWalksOrderOnceTheirEntriesAreSettled) {
    ReportEverything();
    std::set<std::string> kept;
    std::map<std::filesystem::path, std::uint64_t> sizes;
    std::uint64_t keptBytes = 0;
    for (int i = 0; i < 24; ++i) {
        const std::string name = "f" + std::to_string(100 + i) + ".txt";
        std::string text;
        const std::size_t size = i % 6 == 0 ? (3 << 19) + 77 * i : 997 * i;
        while (text.size() < size) {
            text += "line " + std::to_string(text.size() * (i + 3) % 1009) + "\n";
        }
        text.resize(size);
        MakeFile(base / name, text);
        kept.insert(name);
        sizes[base / name] = size;
        keptBytes += size;
    }
    const auto growing = base / "grows.log";
    MakeFile(growing, std::string(5 << 19, 'g'));
    const auto overlong = base / (std::string(250, 'n') + ".txt");
    MakeFile(overlong, "the stored name would be too long");
    std::filesystem::path current;
    bool grown = false;
    observer.onFile = [&current](const std::filesystem::path& source) { current = source; };
    observer.onFileProgress = [&](std::uint64_t, std::uint64_t) {
        if (current == growing && !grown) {
            grown = true;
            std::ofstream(growing, std::ios::binary | std::ios::app) << "more";
        }
    };
    AddZipJob(BackupType::Dif);
    const auto summary = Run();
    ASSERT_TRUE(grown) << "the growing file was never read";
    EXPECT_EQ(summary.copied, kept.size());
    EXPECT_EQ(summary.failed, 2u);
    EXPECT_EQ(summary.bytesCopied, keptBytes);
    std::vector<std::string> inWalkOrder;
    for (const auto& file : observer.files) {
        const bool fails = file == growing || file == overlong;
        inWalkOrder.push_back(fails ? "failed " + file.string()
                                    : "copied " + std::to_string(sizes.at(file)));
    }
    EXPECT_EQ(observer.settled, inWalkOrder);
    const auto archive = OnlyArchiveIn(target);
    const std::string name = archive.stem().string();
    std::set<std::string> entries;
    std::vector<std::string> created;
    for (const auto& file : kept) {
        entries.insert(name + "/" + file);
        created.push_back((archive / name / file).string());
    }
    EXPECT_EQ(EntryNames(archive), entries);
    const std::string report = LatestReport();
    EXPECT_EQ(Listed(report, "Created"), created);
    std::vector<std::string> failed = {growing.string(), overlong.string()};
    std::sort(failed.begin(), failed.end());
    EXPECT_EQ(Listed(report, "Failed"), failed);
}

// Files handed to the archive before a stop may still be compressing when the walk stops: the
// stop waits for them, and the run counts exactly the entries the archive holds.
TEST_F(ZipMode, AStoppedRunCountsEveryEntryItsArchiveHolds) {
    for (int i = 0; i < 30; ++i) {
        MakeFile(base / ("f" + std::to_string(100 + i) + ".txt"),
                 std::string(i % 3 == 0 ? 3 << 19 : 5000 + i, static_cast<char>('a' + i % 26)));
    }
    AddZipJob(BackupType::Dif);
    engine::RunController control;
    std::size_t handed = 0;
    observer.onFile = [&](const std::filesystem::path&) {
        if (++handed == 12) {
            control.Stop();
        }
    };
    control.Start(stores, observer);
    const auto summary = control.Wait();
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.failed, 0u);
    EXPECT_EQ(summary.copied, 12u);
    EXPECT_EQ(EntryNames(OnlyArchiveIn(target)).size(), 12u);
}

TEST_F(ZipMode, AnArchiveThatCannotBeCreatedFailsTheJob) {
    MakeFile(base / "a.txt", "a");
    AddZipJob(BackupType::Dif);
    MakeFile(target, "a file where the target folder should be");
    const auto summary = Run();
    EXPECT_FALSE(summary.Succeeded());
    EXPECT_EQ(summary.copied, 0u);
    ASSERT_FALSE(observer.messages.empty());
    // The archive that could not be made is named, with the reason the system gave.
    const UserMessage& message = observer.messages[0];
    EXPECT_TRUE(message.IsText(text::ZipCreateFailed));
    const std::string detail = Utf16ToUtf8(message.detail);
    EXPECT_EQ(detail.rfind(target.string(), 0), 0u) << detail;
    EXPECT_NE(detail.find(".zip ("), std::string::npos) << detail;
#ifndef _WIN32
    EXPECT_EQ(detail.substr(detail.find(".zip (")), ".zip (Not a directory)");
#endif
}

TEST_F(ZipMode, ADryRunWritesNoArchive) {
    MakeFile(base / "a.txt", "a");
    std::filesystem::create_directories(target);
    AddZipJob(BackupType::Spd);
    Edit(0, [](JobRecord& record) { record.periodEnd = 4000000000; });
    ASSERT_TRUE(Run({.dryRun = true, .jobs = {}}).Succeeded());
    EXPECT_TRUE(std::filesystem::is_empty(target));
    ASSERT_EQ(observer.plannedCopies.size(), 1u);
    EXPECT_EQ(observer.plannedCopies[0].second.parent_path().parent_path().extension(), ".zip");
}

#ifndef _WIN32
// POSIX names are bytes: names that are not UTF-8 go into the archive as they are, and two of
// them never become one.
TEST_F(ZipMode, NamesThatAreNotUtf8KeepTheirBytesInTheArchive) {
    const std::string latin1 = "caf\xE9.txt";
    const std::string alsoLatin1 = "caf\xEA.txt";
    MakeFile(base / "docs" / latin1, "e acute");
    MakeFile(base / "docs" / alsoLatin1, "e circumflex");
    AddZipJob(BackupType::Dif);
    ASSERT_TRUE(Run().Succeeded());
    const auto archive = OnlyArchiveIn(target);
    const std::string name = archive.stem().string();
    EXPECT_EQ(EntryNames(archive),
              (std::set<std::string>{name + "/docs/" + latin1, name + "/docs/" + alsoLatin1}));
}
#endif

}  // namespace
}  // namespace arkivo
