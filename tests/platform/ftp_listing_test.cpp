// Listings read from a real server in each of its forms: MLSD, LIST in the Unix style, LIST in
// the Windows style; checked against the files the server serves. Also the listings that must
// not be trusted, and the passive and active ways of getting them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "common/file_time.h"
#include "common/text.h"
#include "platform/clock.h"
#include "platform/ftp_client.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace arkivo::platform {
namespace {

using test::FtpTestServer;
using test::TempFolder;

constexpr std::int64_t kDay = 86400;

void SetModified(const std::filesystem::path& path, std::int64_t unixSeconds) {
    const timespec times[2] = {{static_cast<time_t>(unixSeconds), 0},
                               {static_cast<time_t>(unixSeconds), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// What the server's folder holds, as the test made it.
struct Expected {
    FtpEntryKind kind;
    std::uint64_t size;
    std::int64_t modified;  // Unix seconds
    // pyftpdlib lists the year instead of the time of day for what is older than 180 days.
    bool listedWithYear;
};

// Files and folders of every age a listing tells apart, with names that test the columns.
std::map<std::u16string, Expected> MakeTree(const std::filesystem::path& root, std::int64_t now) {
    std::map<std::u16string, Expected> tree;
    const auto file = [&](const std::u16string& name, std::size_t size, std::int64_t age,
                          bool withYear) {
        test::WriteBytes(root / PathFromText(name), std::string(size, 'x'));
        SetModified(root / PathFromText(name), now - age);
        tree[name] = {FtpEntryKind::File, size, now - age, withYear};
    };
    file(u"plain.txt", 5, 3 * kDay, false);
    file(u"name with  two spaces and a trailing one ", 17, 2 * kDay + 3600, false);
    file(u"\u00fcn\u00efc\u00f8d\u00e9 \u65e5\u672c.bin", 1234, 100 * kDay, false);
    file(u"-starts with a dash", 1, 5 * kDay, false);
    file(u"old.dat", 7, 400 * kDay, true);
    file(u"future.dat", 9, -30 * kDay, false);
    std::filesystem::create_directory(root / "sub dir");
    test::WriteBytes(root / "sub dir" / "inner.txt", "inner");
    SetModified(root / "sub dir" / "inner.txt", now - 4 * kDay);
    SetModified(root / "sub dir", now - 10 * kDay);
    tree[u"sub dir"] = {FtpEntryKind::Folder, 0, now - 10 * kDay, false};
    return tree;
}

enum class Form { Mlsd, UnixList, WindowsList };

// Each entry as the form can tell it: exact times from MLSD; from LIST the minute, or the day
// when the line has a year; the Windows form always to the minute and without folder sizes.
void ExpectListingOf(const FtpListing& listing, const std::map<std::u16string, Expected>& tree,
                     Form form, std::int64_t skew = 0) {
    EXPECT_EQ(listing.unreadableLines, 0u);
    ASSERT_EQ(listing.entries.size(), tree.size());
    for (const auto& entry : listing.entries) {
        SCOPED_TRACE(Utf16ToUtf8(entry.name));
        const auto found = tree.find(entry.name);
        ASSERT_NE(found, tree.end());
        const Expected& expected = found->second;
        EXPECT_TRUE(entry.HasSafeName());
        EXPECT_EQ(entry.kind, expected.kind);
        if (expected.kind == FtpEntryKind::File) {
            EXPECT_EQ(entry.size, expected.size);
        }
        const std::int64_t modified = expected.modified + skew;
        std::int64_t shown = modified;
        FtpTimePrecision precision = FtpTimePrecision::Exact;
        if (form != Form::Mlsd) {
            const bool withYear = form == Form::UnixList && expected.listedWithYear;
            const std::int64_t unit = withYear ? kDay : 60;
            shown = modified - modified % unit;
            precision = withYear ? FtpTimePrecision::Day : FtpTimePrecision::Minute;
        }
        EXPECT_EQ(entry.timePrecision, precision);
        EXPECT_EQ(FileTimeToUnixSeconds(entry.lastWriteTime), shown);
        EXPECT_EQ(entry.lastWriteTime % kFileTimeUnitsPerSecond, 0);
    }
}

FtpListing ListOrFail(FtpConnection& ftp, const std::u16string& folder) {
    FtpListing listing;
    const auto error = ftp.List(folder, listing);
    EXPECT_FALSE(error) << error.message();
    return listing;
}

TEST(FtpListing, EveryFormTellsTheSameNamesKindsSizesAndTimes) {
    TempFolder root;
    const std::int64_t now = NowUnixSeconds();
    const auto tree = MakeTree(root.path(), now);
    const std::map<std::u16string, Expected> inner = {
        {u"inner.txt", {FtpEntryKind::File, 5, now - 4 * kDay, false}}};
    const std::vector<std::pair<Form, std::vector<std::string>>> forms = {
        {Form::Mlsd, {}},
        {Form::UnixList, {"--no-mlsd"}},
        {Form::WindowsList, {"--no-mlsd", "--dos-list"}}};
    for (const auto& [form, options] : forms) {
        SCOPED_TRACE(static_cast<int>(form));
        FtpTestServer server(root.path(), options);
        auto ftp = NewFtpConnection();
        ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
        ExpectListingOf(ListOrFail(*ftp, u""), tree, form);
        // A folder named in the call, its name with a space.
        ExpectListingOf(ListOrFail(*ftp, u"sub dir"), inner, form);
        // Listing a folder leaves the current folder where it was.
        ExpectListingOf(ListOrFail(*ftp, u""), tree, form);
        ASSERT_FALSE(ftp->ChangeFolder(u"sub dir"));
        ExpectListingOf(ListOrFail(*ftp, u""), inner, form);
        ExpectListingOf(ListOrFail(*ftp, u"/"), tree, form);
    }
}

// A server whose clock runs ahead lists recent files with future dates and no year: they are
// still this year's (or next year's), not last year's.
TEST(FtpListing, AServerClockAheadOfOursStillDatesTheListing) {
    TempFolder root;
    const std::int64_t now = NowUnixSeconds();
    const std::int64_t skew = 120 * kDay;
    test::WriteBytes(root / "recent.txt", "recent");
    SetModified(root / "recent.txt", now - 3 * kDay);
    test::WriteBytes(root / "old.txt", "old");
    SetModified(root / "old.txt", now - 400 * kDay);
    const std::map<std::u16string, Expected> tree = {
        {u"recent.txt", {FtpEntryKind::File, 6, now - 3 * kDay, false}},
        {u"old.txt", {FtpEntryKind::File, 3, now - 400 * kDay, true}}};
    for (const bool mlsd : {true, false}) {
        SCOPED_TRACE(mlsd);
        std::vector<std::string> options = {"--skew", std::to_string(skew)};
        if (!mlsd) {
            options.push_back("--no-mlsd");
        }
        FtpTestServer server(root.path(), options);
        auto ftp = NewFtpConnection();
        ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
        ExpectListingOf(ListOrFail(*ftp, u""), tree, mlsd ? Form::Mlsd : Form::UnixList, skew);
    }
}

TEST(FtpListing, NamesThatLeadElsewhereAreMarkedAndGarbageIsCounted) {
    TempFolder root;
    const std::vector<std::pair<std::string, FtpNameProblem>> expected = {
        {"../escape.txt", FtpNameProblem::Separator},
        {"a/b.txt", FtpNameProblem::Separator},
        {"a\\b.txt", FtpNameProblem::Separator},
        {"..", FtpNameProblem::DotName},
        {std::string("nul\0name", 8), FtpNameProblem::Nul},
        {"bad\xff\xfeutf8", FtpNameProblem::NotUtf8},
        {"ok.txt", FtpNameProblem::None}};
    for (const bool mlsd : {true, false}) {
        SCOPED_TRACE(mlsd);
        std::vector<std::string> options = {"--hostile"};
        if (!mlsd) {
            options.push_back("--no-mlsd");
        }
        FtpTestServer server(root.path(), options);
        auto ftp = NewFtpConnection();
        ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
        const auto listing = ListOrFail(*ftp, u"");
        // One garbage line; the listed folder itself (MLSD) and "total" (LIST) are no entries.
        EXPECT_EQ(listing.unreadableLines, 1u);
        ASSERT_EQ(listing.entries.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(listing.entries[i].name, Utf8ToUtf16(expected[i].first));
            EXPECT_EQ(listing.entries[i].nameProblem, expected[i].second);
            EXPECT_EQ(listing.entries[i].HasSafeName(), expected[i].second == FtpNameProblem::None);
        }
    }
}

TEST(FtpListing, AHundredThousandEntriesAreListed) {
    TempFolder root;
    constexpr int kEntries = 100000;
    const std::int64_t modified = 1748779200;  // 2025-06-01 12:00:00 UTC, as the server lists
    for (const bool mlsd : {true, false}) {
        SCOPED_TRACE(mlsd);
        std::vector<std::string> options = {"--many", std::to_string(kEntries)};
        if (!mlsd) {
            options.push_back("--no-mlsd");
        }
        FtpTestServer server(root.path(), options);
        auto ftp = NewFtpConnection();
        ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
        const auto listing = ListOrFail(*ftp, u"");
        EXPECT_EQ(listing.unreadableLines, 0u);
        ASSERT_EQ(listing.entries.size(), static_cast<std::size_t>(kEntries));
        for (int i = 0; i < kEntries; ++i) {
            const auto& entry = listing.entries[static_cast<std::size_t>(i)];
            char name[16];
            std::snprintf(name, sizeof name, "entry-%06d", i);
            ASSERT_EQ(entry.name, Utf8ToUtf16(name));
            ASSERT_EQ(entry.size, static_cast<std::uint64_t>(i));
            ASSERT_EQ(FileTimeToUnixSeconds(entry.lastWriteTime),
                      mlsd ? modified : modified - modified % kDay);
        }
    }
}

// FEAT still offers MLST when only MLSD is gone; the refusal leads to LIST, once.
TEST(FtpListing, AServerThatRefusesMlsdAfterOfferingItIsListedWithList) {
    TempFolder root;
    const auto tree = MakeTree(root.path(), NowUnixSeconds());
    FtpTestServer server(root.path(), {"--drop", "MLSD"});
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    ExpectListingOf(ListOrFail(*ftp, u""), tree, Form::UnixList);
    ExpectListingOf(ListOrFail(*ftp, u""), tree, Form::UnixList);
    const auto log = server.Log();
    EXPECT_EQ(log.find("<- MLSD"), log.rfind("<- MLSD")) << log;
}

// PASV names an address nobody answers at; the client connects to the server it talks to.
TEST(FtpListing, APassiveReplyNamingAnotherHostIsNotFollowed) {
    TempFolder root;
    test::WriteBytes(root / "here.txt", "here");
    FtpTestServer server(root.path(), {"--drop", "EPSV", "--masquerade", "10.255.255.1"});
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    const auto listing = ListOrFail(*ftp, u"");
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].name, u"here.txt");
    EXPECT_NE(server.Log().find("PASV"), std::string::npos);
}

TEST(FtpListing, ActiveModeListsThroughEprtOrPort) {
    TempFolder root;
    test::WriteBytes(root / "active.txt", "active");
    for (const std::string dropped : {"", "EPRT"}) {
        SCOPED_TRACE(dropped);
        FtpTestServer server(root.path(), {"--drop", dropped});
        auto ftp = NewFtpConnection();
        ASSERT_FALSE(ftp->Connect(server.Endpoint(false))) << server.Log();
        const auto listing = ListOrFail(*ftp, u"");
        ASSERT_EQ(listing.entries.size(), 1u);
        EXPECT_EQ(listing.entries[0].name, u"active.txt");
        const auto log = server.Log();
        EXPECT_NE(log.find(dropped.empty() ? "<- EPRT" : "<- PORT"), std::string::npos) << log;
        EXPECT_EQ(log.find("PASV"), std::string::npos);
    }
}

}  // namespace
}  // namespace arkivo::platform
