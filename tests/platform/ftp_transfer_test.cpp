// Files and folders moved and changed on a real server, in passive and active mode, and the
// transfers that must fail: a download the server cuts, a file that is not there, a server that
// stops in the middle.
#include <gtest/gtest.h>

#include <random>

#include "common/text.h"
#include "platform/error_text.h"
#include "platform/file_system.h"
#include "platform/ftp_client.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace arkivo::platform {
namespace {

using test::FtpTestServer;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

std::string Message(std::error_code error) {
    return Utf16ToUtf8(ErrorText(error));
}

std::string RandomBytes(std::size_t size) {
    std::mt19937_64 random(size);
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

std::unique_ptr<FtpConnection> ConnectTo(const FtpTestServer& server, bool passive = true) {
    auto ftp = NewFtpConnection();
    const auto error = ftp->Connect(server.Endpoint(passive));
    EXPECT_FALSE(error) << error.message() << "\n" << server.Log();
    return ftp;
}

// Progress that only grows and ends at the file's size.
struct ProgressSeen {
    std::vector<std::uint64_t> reports;
    CopyProgress Callback() {
        return [this](std::uint64_t done) { reports.push_back(done); };
    }
    void ExpectEndsAt(std::uint64_t size) const {
        if (size == 0) {
            return;
        }
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.back(), size);
        EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    }
};

TEST(FtpTransfer, FilesMakeTheRoundTripWholeInBothModes) {
    TempFolder root;
    TempFolder local;
    const std::vector<std::pair<std::u16string, std::string>> files = {
        {u"empty.bin", ""},
        {u"three MiB.bin", RandomBytes(3 * 1024 * 1024 + 7)},
        {u" spaced  name \u00fc\u00e9 \u65e5\u672c\u8a9e.txt", "text\r\nwith line ends\n"}};
    // The same names twice: the second pass replaces what the first stored.
    for (const bool passive : {true, false}) {
        SCOPED_TRACE(passive);
        FtpTestServer server(root.path());
        auto ftp = ConnectTo(server, passive);
        for (const auto& [name, contents] : files) {
            SCOPED_TRACE(Utf16ToUtf8(name));
            const std::string bytes = passive ? contents : contents + "second";
            WriteBytes(local / "source", bytes);
            ProgressSeen put;
            ASSERT_FALSE(ftp->Put(local / "source", name, put.Callback()));
            EXPECT_EQ(ReadBytes(root / PathFromText(name)), bytes);
            put.ExpectEndsAt(bytes.size());

            ProgressSeen get;
            ASSERT_FALSE(ftp->Get(name, local / "back", get.Callback()));
            EXPECT_EQ(ReadBytes(local / "back"), bytes);
            get.ExpectEndsAt(bytes.size());
        }
        // One login served every transfer.
        const auto log = server.Log();
        EXPECT_EQ(log.find("<- USER"), log.rfind("<- USER")) << log;
    }
}

TEST(FtpTransfer, ADownloadTheServerCutsFailsAndLeavesNoFile) {
    TempFolder root;
    TempFolder local;
    WriteBytes(root / "big.bin", RandomBytes(3 * 1024 * 1024));
    FtpTestServer server(root.path(), {"--cut", "65536"});
    auto ftp = ConnectTo(server);
    const auto error = ftp->Get(u"big.bin", local / "big.bin");
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::Refused);
    EXPECT_EQ(FtpReplyCode(error), 426);
    EXPECT_EQ(Message(error).rfind("426 ", 0), 0u) << Message(error);
    EXPECT_FALSE(std::filesystem::exists(local / "big.bin"));
    // The server said why; the session goes on.
    FtpListing listing;
    EXPECT_FALSE(ftp->List(u"", listing));
    EXPECT_EQ(listing.entries.size(), 1u);
}

// The data connection ends as a whole download would, but no final reply follows: the download
// is not taken as complete.
TEST(FtpTransfer, ADownloadWhoseServerVanishesFailsAndLeavesNoFile) {
    TempFolder root;
    TempFolder local;
    WriteBytes(root / "big.bin", RandomBytes(3 * 1024 * 1024));
    FtpTestServer server(root.path(), {"--die-at", "65536"});
    auto ftp = ConnectTo(server);
    const auto error = ftp->Get(u"big.bin", local / "big.bin");
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::ConnectionLost);
    EXPECT_EQ(Message(error), "the FTP server closed the connection");
    EXPECT_FALSE(std::filesystem::exists(local / "big.bin"));
    EXPECT_FALSE(ftp->IsConnected());
}

TEST(FtpTransfer, ADownloadThatStopsFlowingTimesOut) {
    TempFolder root;
    TempFolder local;
    WriteBytes(root / "big.bin", RandomBytes(3 * 1024 * 1024));
    FtpTestServer server(root.path(), {"--freeze-at", "65536"});
    auto endpoint = server.Endpoint();
    endpoint.timeout = std::chrono::seconds(1);
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(endpoint)) << server.Log();
    ProgressSeen progress;
    const auto error = ftp->Get(u"big.bin", local / "big.bin", progress.Callback());
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::TimedOut);
    // Some data came before the flow stopped.
    ASSERT_FALSE(progress.reports.empty());
    EXPECT_LE(progress.reports.back(), 65536u);
    EXPECT_FALSE(std::filesystem::exists(local / "big.bin"));
    EXPECT_FALSE(ftp->IsConnected());
}

TEST(FtpTransfer, AMissingFileFailsWithTheServersWordsAndLeavesNoFile) {
    TempFolder root;
    TempFolder local;
    FtpTestServer server(root.path());
    auto ftp = ConnectTo(server);
    const auto get = ftp->Get(u"missing.txt", local / "missing.txt");
    EXPECT_EQ(FtpReplyCode(get), 550);
    EXPECT_NE(Message(get).find("No such file or directory"), std::string::npos) << Message(get);
    EXPECT_FALSE(std::filesystem::exists(local / "missing.txt"));

    WriteBytes(local / "source", "data");
    EXPECT_EQ(FtpReplyCode(ftp->Put(local / "source", u"no such folder/x.txt")), 550);
    // A local file that is not there fails before anything is sent.
    const auto put = ftp->Put(local / "absent", u"x.txt");
    EXPECT_EQ(put, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(std::filesystem::exists(root / "x.txt"));
    EXPECT_TRUE(ftp->IsConnected());
}

TEST(FtpTransfer, AServerThatStopsDuringADownloadTimesOut) {
    TempFolder root;
    TempFolder local;
    WriteBytes(root / "file.bin", "data");
    FtpTestServer server(root.path(), {"--stall-on", "RETR"});
    auto endpoint = server.Endpoint();
    endpoint.timeout = std::chrono::seconds(1);
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(endpoint)) << server.Log();
    EXPECT_EQ(FtpFailureOf(ftp->Get(u"file.bin", local / "file.bin")), FtpFailure::TimedOut);
    EXPECT_FALSE(std::filesystem::exists(local / "file.bin"));
    EXPECT_FALSE(ftp->IsConnected());
}

TEST(FtpTransfer, FoldersAreMadeAndRemovedFilesRenamedAndDeleted) {
    TempFolder root;
    WriteBytes(root / "a.txt", "a");
    FtpTestServer server(root.path());
    auto ftp = ConnectTo(server);
    const std::u16string folder = u"new folder \u00e9";
    ASSERT_FALSE(ftp->MakeFolder(folder));
    EXPECT_TRUE(std::filesystem::is_directory(root / PathFromText(folder)));
    EXPECT_EQ(FtpReplyCode(ftp->MakeFolder(folder)), 550);

    const std::u16string moved = folder + u"/b \u00fc.txt";
    ASSERT_FALSE(ftp->Rename(u"a.txt", moved));
    EXPECT_FALSE(std::filesystem::exists(root / "a.txt"));
    EXPECT_EQ(ReadBytes(root / PathFromText(moved)), "a");
    EXPECT_EQ(FtpReplyCode(ftp->Rename(u"a.txt", u"c.txt")), 550);
    EXPECT_NE(FtpReplyCode(ftp->RemoveFolder(folder)), 0) << "a folder that is not empty";
    EXPECT_TRUE(std::filesystem::exists(root / PathFromText(moved)));

    ASSERT_FALSE(ftp->Delete(moved));
    EXPECT_FALSE(std::filesystem::exists(root / PathFromText(moved)));
    EXPECT_EQ(FtpReplyCode(ftp->Delete(moved)), 550);
    ASSERT_FALSE(ftp->RemoveFolder(folder));
    EXPECT_FALSE(std::filesystem::exists(root / PathFromText(folder)));
}

}  // namespace
}  // namespace arkivo::platform
