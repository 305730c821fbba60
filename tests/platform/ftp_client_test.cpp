// What every FTP client behind platform/ftp_client.h must do against a real server, whichever
// system it runs on: the Linux build runs these against our own client, the Windows build
// under Wine against the one over WinINet. Listings come from LIST (the server offers no
// MLSD), the one form both clients read, so both must tell the same times to the same
// precision.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <chrono>
#include <map>
#include <random>

#include "common/file_time.h"
#include "common/text.h"
#include "platform/clock.h"
#include "platform/error_text.h"
#include "platform/ftp_client.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace arkivo::platform {
namespace {

using test::FtpTestServer;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

constexpr std::int64_t kDay = 86400;
const std::vector<std::string> kListOnly = {"--no-mlsd"};

std::string Message(std::error_code error) {
    return Utf16ToUtf8(ErrorText(error));
}

std::filesystem::path PathOf(const std::u16string& name) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(Utf16ToUtf8(name).data())));
}

void SetModified(const std::filesystem::path& path, std::int64_t unixSeconds) {
#ifdef _WIN32
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    const auto value = static_cast<std::uint64_t>(UnixSecondsToFileTime(unixSeconds));
    const FILETIME time{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
    EXPECT_TRUE(::SetFileTime(file, nullptr, &time, &time));
    ::CloseHandle(file);
#else
    const timespec times[2] = {{static_cast<time_t>(unixSeconds), 0},
                               {static_cast<time_t>(unixSeconds), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
#endif
}

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = static_cast<char>(random());
    }
    // What a text-mode transfer would change: line ends of both kinds, a lone CR, NULs.
    bytes.replace(0, 6, std::string("\r\n\n\r\0\x1a", 6));
    return bytes;
}

std::map<std::u16string, FtpEntry> ByName(const FtpListing& listing) {
    std::map<std::u16string, FtpEntry> entries;
    for (const auto& entry : listing.entries) {
        entries[entry.name] = entry;
    }
    return entries;
}

FtpListing ListOrFail(FtpConnection& ftp, const std::u16string& folder) {
    FtpListing listing;
    const auto error = ftp.List(folder, listing);
    EXPECT_FALSE(error) << Message(error);
    return listing;
}

TEST(FtpClient, LogsInAndTellsAWrongPasswordInTheServersWords) {
    TempFolder root;
    WriteBytes(root / "hello.txt", "hello");
    FtpTestServer server(root.path(), kListOnly);
    auto endpoint = server.Endpoint();
    endpoint.password = u"wrong";
    auto ftp = NewFtpConnection();
    const auto error = ftp->Connect(endpoint);
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::Refused);
    EXPECT_EQ(FtpReplyCode(error), 530);
    EXPECT_NE(Message(error).find("530 Authentication failed."), std::string::npos)
        << Message(error);
    EXPECT_FALSE(ftp->IsConnected());
    FtpListing listing;
    EXPECT_EQ(FtpFailureOf(ftp->List(u"", listing)), FtpFailure::NotConnected);

    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    EXPECT_TRUE(ftp->IsConnected());
    EXPECT_EQ(ByName(ListOrFail(*ftp, u"")).count(u"hello.txt"), 1u);
    ftp->Close();
    EXPECT_FALSE(ftp->IsConnected());
    EXPECT_EQ(FtpFailureOf(ftp->List(u"", listing)), FtpFailure::NotConnected);
}

TEST(FtpClient, APortNobodyListensOnIsUnreachable) {
    test::RefusingPort refusing;
    FtpEndpoint endpoint;
    endpoint.host = u"127.0.0.1";
    endpoint.port = refusing.port();
    endpoint.user = u"u";
    endpoint.timeout = test::kFtpTestTimeout;
    auto ftp = NewFtpConnection();
    const auto error = ftp->Connect(endpoint);
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::Unreachable) << Message(error);
    EXPECT_FALSE(ftp->IsConnected());
}

// Recent entries come with their minute, entries older than half a year with their day only,
// as the start of that day (UTC, the server's zone here).
TEST(FtpClient, ListsKindsSizesAndTimesOfFilesAndFolders) {
    TempFolder root;
    const std::int64_t now = NowUnixSeconds();
    struct Made {
        FtpEntryKind kind;
        std::uint64_t size;
        std::int64_t modified;
        bool dayOnly;
    };
    // Names without spaces: Wine's WinINet cuts a listed name at its first space.
    const std::map<std::u16string, Made> made = {
        {u"recent.txt", {FtpEntryKind::File, 5, now - 3 * kDay - 1234, false}},
        {u"noon-recent.bin",
         {FtpEntryKind::File, 70000, now - 2 * kDay - (now % kDay) + kDay / 2, false}},
        {u"old.dat", {FtpEntryKind::File, 7, now - 400 * kDay + 4321, true}},
        {u"big.bin", {FtpEntryKind::File, 5u * 1024 * 1024 + 3, now - 10 * kDay, false}},
        {u"sub", {FtpEntryKind::Folder, 0, now - 20 * kDay, false}},
        {u"old-sub", {FtpEntryKind::Folder, 0, now - 500 * kDay, true}},
    };
    for (const auto& [name, entry] : made) {
        if (entry.kind == FtpEntryKind::Folder) {
            std::filesystem::create_directory(root / PathOf(name));
        } else {
            WriteBytes(root / PathOf(name), std::string(entry.size, 'x'));
        }
    }
    WriteBytes(root / "sub" / "inner.txt", "inner");
    for (const auto& [name, entry] : made) {
        SetModified(root / PathOf(name), entry.modified);
    }
    FtpTestServer server(root.path(), kListOnly);
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    const auto listed = ByName(ListOrFail(*ftp, u""));
    ASSERT_EQ(listed.size(), made.size()) << server.Log();
    for (const auto& [name, entry] : made) {
        SCOPED_TRACE(Utf16ToUtf8(name));
        const auto found = listed.find(name);
        ASSERT_NE(found, listed.end());
        const FtpEntry& seen = found->second;
        EXPECT_TRUE(seen.HasSafeName());
        EXPECT_EQ(seen.kind, entry.kind);
        if (entry.kind == FtpEntryKind::File) {
            EXPECT_EQ(seen.size, entry.size);
        }
        const std::int64_t unit = entry.dayOnly ? kDay : 60;
        EXPECT_EQ(FileTimeToUnixSeconds(seen.lastWriteTime),
                  entry.modified - entry.modified % unit);
        EXPECT_EQ(seen.timePrecision,
                  entry.dayOnly ? FtpTimePrecision::Day : FtpTimePrecision::Minute);
    }
    // A folder named in the call, and the current folder left where it was.
    const auto inner = ListOrFail(*ftp, u"sub");
    ASSERT_EQ(inner.entries.size(), 1u);
    EXPECT_EQ(inner.entries[0].name, u"inner.txt");
    EXPECT_EQ(inner.entries[0].size, 5u);
    EXPECT_EQ(ListOrFail(*ftp, u"").entries.size(), made.size());
    ASSERT_FALSE(ftp->ChangeFolder(u"sub"));
    EXPECT_EQ(ListOrFail(*ftp, u"").entries.size(), 1u);
    EXPECT_EQ(ListOrFail(*ftp, u"/").entries.size(), made.size());
    // A folder that is not there fails, and the session goes on.
    FtpListing missing;
    EXPECT_EQ(FtpFailureOf(ftp->List(u"/no-such-folder", missing)), FtpFailure::Refused);
    EXPECT_EQ(ListOrFail(*ftp, u"").entries.size(), 1u);
}

TEST(FtpClient, AnEmptyFolderListsNothing) {
    TempFolder root;
    std::filesystem::create_directory(root / "empty");
    FtpTestServer server(root.path(), kListOnly);
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    EXPECT_TRUE(ListOrFail(*ftp, u"empty").entries.empty());
    ASSERT_FALSE(ftp->ChangeFolder(u"empty"));
    EXPECT_TRUE(ListOrFail(*ftp, u"").entries.empty());
    EXPECT_TRUE(ftp->IsConnected());
}

// Binary bytes both ways, in passive and active mode, a file put over a longer one, the
// progress told at least at the end.
TEST(FtpClient, FilesMakeTheRoundTripWholeInBothModes) {
    TempFolder root;
    TempFolder local;
    const std::string bytes = RandomBytes(700 * 1024 + 3);
    WriteBytes(local / "sent.bin", bytes);
    WriteBytes(local / "short.bin", "short");
    for (const bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        FtpTestServer server(root.path(), kListOnly);
        auto ftp = NewFtpConnection();
        ASSERT_FALSE(ftp->Connect(server.Endpoint(passive))) << server.Log();
        std::uint64_t lastProgress = 0;
        ASSERT_FALSE(ftp->Put(local / "sent.bin", u"stored.bin", [&](std::uint64_t done) {
            lastProgress = done;
        })) << server.Log();
        EXPECT_EQ(lastProgress, bytes.size());
        EXPECT_TRUE(ReadBytes(root / "stored.bin") == bytes);

        lastProgress = 0;
        ASSERT_FALSE(ftp->Get(u"stored.bin", local / "back.bin",
                              [&](std::uint64_t done) { lastProgress = done; }));
        EXPECT_EQ(lastProgress, bytes.size());
        EXPECT_TRUE(ReadBytes(local / "back.bin") == bytes);

        ASSERT_FALSE(ftp->Put(local / "short.bin", u"stored.bin"));
        EXPECT_EQ(ReadBytes(root / "stored.bin"), "short");
        // A download replaces what the local file held.
        ASSERT_FALSE(ftp->Get(u"stored.bin", local / "back.bin"));
        EXPECT_EQ(ReadBytes(local / "back.bin"), "short");

        const std::string log = server.Log();
        if (passive) {
            EXPECT_TRUE(log.find("<- PASV") != std::string::npos ||
                        log.find("<- EPSV") != std::string::npos)
                << log;
            EXPECT_EQ(log.find("<- PORT"), std::string::npos);
            EXPECT_EQ(log.find("<- EPRT"), std::string::npos);
        } else {
            EXPECT_TRUE(log.find("<- PORT") != std::string::npos ||
                        log.find("<- EPRT") != std::string::npos)
                << log;
            EXPECT_EQ(log.find("<- PASV"), std::string::npos);
            EXPECT_EQ(log.find("<- EPSV"), std::string::npos);
        }
        std::filesystem::remove(root / "stored.bin");
    }
}

TEST(FtpClient, AMissingFileFailsWithTheServersWordsAndLeavesNoLocalFile) {
    TempFolder root;
    TempFolder local;
    WriteBytes(root / "there.txt", "there");
    WriteBytes(local / "wanted.txt", "an older copy");
    FtpTestServer server(root.path(), kListOnly);
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    const auto error = ftp->Get(u"missing.txt", local / "wanted.txt");
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::Refused);
    EXPECT_EQ(FtpReplyCode(error), 550);
    EXPECT_NE(Message(error).find("550 No such file or directory."), std::string::npos)
        << Message(error);
    EXPECT_FALSE(std::filesystem::exists(local / "wanted.txt"));
    // A refusal leaves the session as it was.
    EXPECT_TRUE(ftp->IsConnected());
    ASSERT_FALSE(ftp->Get(u"there.txt", local / "there.txt"));
    EXPECT_EQ(ReadBytes(local / "there.txt"), "there");
}

TEST(FtpClient, FoldersAreMadeAndRemovedFilesRenamedAndDeleted) {
    TempFolder root;
    WriteBytes(root / "a.txt", "a");
    FtpTestServer server(root.path(), kListOnly);
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();

    ASSERT_FALSE(ftp->MakeFolder(u"made"));
    EXPECT_TRUE(std::filesystem::is_directory(root / "made"));
    EXPECT_EQ(FtpFailureOf(ftp->MakeFolder(u"made")), FtpFailure::Refused);

    ASSERT_FALSE(ftp->Rename(u"a.txt", u"made/b.txt"));
    EXPECT_FALSE(std::filesystem::exists(root / "a.txt"));
    EXPECT_EQ(ReadBytes(root / "made" / "b.txt"), "a");
    EXPECT_EQ(FtpFailureOf(ftp->Rename(u"a.txt", u"c.txt")), FtpFailure::Refused);

    // A folder with a file in it stays.
    EXPECT_EQ(FtpFailureOf(ftp->RemoveFolder(u"made")), FtpFailure::Refused);
    EXPECT_TRUE(std::filesystem::exists(root / "made"));
    ASSERT_FALSE(ftp->Delete(u"made/b.txt"));
    EXPECT_FALSE(std::filesystem::exists(root / "made" / "b.txt"));
    EXPECT_EQ(FtpReplyCode(ftp->Delete(u"made/b.txt")), 550);
    ASSERT_FALSE(ftp->RemoveFolder(u"made"));
    EXPECT_FALSE(std::filesystem::exists(root / "made"));
    EXPECT_TRUE(ftp->IsConnected());
}

// Names travel as UTF-8: the server's disk holds the name as UTF-8, the listing gives it back.
TEST(FtpClient, NonAsciiNamesTravelAsUtf8) {
    TempFolder root;
    TempFolder local;
    const std::u16string name = u"\u65e5\u672c\u8a9e-\u00fcml\u00e4ut-\ud55c.bin";
    const std::u16string folder = u"\u00e9t\u00e9";
    WriteBytes(local / "x.bin", "non-ascii");
    WriteBytes(root / PathOf(u"\u0441\u0435\u0440\u0432\u0435\u0440.txt"), "server side");
    FtpTestServer server(root.path(), kListOnly);
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    ASSERT_FALSE(ftp->MakeFolder(folder));
    ASSERT_FALSE(ftp->Put(local / "x.bin", folder + u"/" + name)) << server.Log();
    EXPECT_EQ(ReadBytes(root / PathOf(folder) / PathOf(name)), "non-ascii");
    const auto listed = ByName(ListOrFail(*ftp, folder));
    ASSERT_EQ(listed.count(name), 1u) << server.Log();
    EXPECT_TRUE(listed.at(name).HasSafeName());
    const auto top = ByName(ListOrFail(*ftp, u""));
    EXPECT_EQ(top.count(u"\u0441\u0435\u0440\u0432\u0435\u0440.txt"), 1u);
    EXPECT_EQ(top.count(folder), 1u);
    ASSERT_FALSE(ftp->Get(u"\u0441\u0435\u0440\u0432\u0435\u0440.txt", local / "got.txt"));
    EXPECT_EQ(ReadBytes(local / "got.txt"), "server side");
}

TEST(FtpClient, ANameWithALineBreakIsNeverSent) {
    TempFolder root;
    WriteBytes(root / "victim.txt", "keep me");
    FtpTestServer server(root.path(), kListOnly);
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    for (const std::u16string& name : std::vector<std::u16string>{
             u"x\r\nDELE victim.txt", u"x\nDELE victim.txt", std::u16string(u"x\0y", 3)}) {
        EXPECT_EQ(FtpFailureOf(ftp->Delete(name)), FtpFailure::Unsendable);
        EXPECT_EQ(FtpFailureOf(ftp->Rename(u"victim.txt", name)), FtpFailure::Unsendable);
    }
    EXPECT_EQ(ReadBytes(root / "victim.txt"), "keep me");
    EXPECT_EQ(ListOrFail(*ftp, u"").entries.size(), 1u);
}

// What the server says next could answer anything: nothing more is asked of it. (Wine's
// WinINet waits its own fixed 30 seconds for a reply, whatever the endpoint's timeout.)
TEST(FtpClient, AServerThatStopsAnsweringEndsTheSession) {
    TempFolder root;
    WriteBytes(root / "a.txt", "a");
    FtpTestServer server(root.path(), {"--no-mlsd", "--stall-on", "LIST"});
    auto endpoint = server.Endpoint();
    endpoint.timeout = std::chrono::seconds(1);
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(endpoint)) << server.Log();
    FtpListing listing;
    const auto error = ftp->List(u"", listing);
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::TimedOut) << Message(error);
    EXPECT_FALSE(ftp->IsConnected());
    EXPECT_EQ(FtpFailureOf(ftp->Delete(u"a.txt")), FtpFailure::NotConnected);
    EXPECT_TRUE(std::filesystem::exists(root / "a.txt"));
}

}  // namespace
}  // namespace arkivo::platform
