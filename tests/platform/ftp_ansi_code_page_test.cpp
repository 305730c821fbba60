// The Windows FTP client in a program whose ANSI code page is not UTF-8 (no manifest asks for
// it): WinINet would send names in that code page, so a name beyond ASCII must never leave,
// and a listed one is marked as one that cannot be named back to the server.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/ftp_client.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace arkivo::platform {
namespace {

using test::FtpTestServer;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

std::size_t CountEntries(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(FtpAnsiCodePage, NamesBeyondAsciiNeverLeaveAndListedOnesAreMarked) {
    ASSERT_NE(::GetACP(), static_cast<UINT>(CP_UTF8));
    TempFolder root;
    TempFolder local;
    WriteBytes(root / "plain.txt", "plain");
    WriteBytes(root / std::filesystem::path(u8"\u00fcber.txt"), "utf-8 on the server");
    WriteBytes(local / "x.bin", "x");
    FtpTestServer server(root.path(), {"--no-mlsd"});
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();

    FtpListing listing;
    ASSERT_FALSE(ftp->List(u"", listing));
    ASSERT_EQ(listing.entries.size(), 2u);
    for (const auto& entry : listing.entries) {
        if (entry.name == u"plain.txt") {
            EXPECT_TRUE(entry.HasSafeName());
        } else {
            EXPECT_EQ(entry.nameProblem, FtpNameProblem::NotUtf8);
        }
    }

    // In Windows-1252 "\u00fc" would go as the one byte FC: a name the server never listed.
    for (const std::u16string& name :
         {std::u16string(u"\u00fcber.txt"), std::u16string(u"\u65e5.txt")}) {
        EXPECT_EQ(FtpFailureOf(ftp->Put(local / "x.bin", name)), FtpFailure::Unsendable);
        EXPECT_EQ(FtpFailureOf(ftp->Delete(name)), FtpFailure::Unsendable);
    }
    EXPECT_EQ(CountEntries(root.path()), 2u);
    EXPECT_EQ(ReadBytes(root / std::filesystem::path(u8"\u00fcber.txt")), "utf-8 on the server");
    ASSERT_FALSE(ftp->Put(local / "x.bin", u"ascii.bin"));
    EXPECT_EQ(ReadBytes(root / "ascii.bin"), "x");
}

}  // namespace
}  // namespace arkivo::platform
