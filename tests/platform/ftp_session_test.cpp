// Logging in with our own client, and the ways its session fails, in its own words: a port
// nobody listens on, a server that never answers, stops answering or answers garbage. The
// cases both clients share are in ftp_client_test.cpp.
#include <gtest/gtest.h>

#include <chrono>

#include "common/text.h"
#include "platform/error_text.h"
#include "platform/ftp_client.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace arkivo::platform {
namespace {

using test::FtpTestServer;
using test::TempFolder;

std::string Message(std::error_code error) {
    return Utf16ToUtf8(ErrorText(error));
}

std::vector<std::u16string> NamesOf(const FtpListing& listing) {
    std::vector<std::u16string> names;
    for (const auto& entry : listing.entries) {
        names.push_back(entry.name);
    }
    return names;
}

TEST(FtpSession, LogsInAndListsTheHomeFolder) {
    TempFolder root;
    test::WriteBytes(root / "hello.txt", "hello");
    FtpTestServer server(root.path());
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    EXPECT_TRUE(ftp->IsConnected());
    FtpListing listing;
    ASSERT_FALSE(ftp->List(u"", listing));
    EXPECT_EQ(NamesOf(listing), std::vector<std::u16string>{u"hello.txt"});
    // The server offers UTF8 and is told so; it refuses the OPTS, which changes nothing.
    EXPECT_NE(server.Log().find("<- OPTS UTF8 ON"), std::string::npos) << server.Log();
    ftp->Close();
    EXPECT_FALSE(ftp->IsConnected());
    EXPECT_EQ(FtpFailureOf(ftp->List(u"", listing)), FtpFailure::NotConnected);
}

TEST(FtpSession, AUserLoggedInByNameAloneIsNotAskedForAPassword) {
    TempFolder root;
    test::WriteBytes(root / "open.txt", "x");
    FtpTestServer server(root.path());
    auto endpoint = server.Endpoint();
    endpoint.user = u"open";
    endpoint.password = u"unused";
    auto ftp = NewFtpConnection();
    // The server refuses a PASS after it has logged the user in.
    ASSERT_FALSE(ftp->Connect(endpoint)) << server.Log();
    FtpListing listing;
    ASSERT_FALSE(ftp->List(u"", listing));
    EXPECT_EQ(NamesOf(listing), std::vector<std::u16string>{u"open.txt"});
}

TEST(FtpSession, APortNobodyListensOnIsRefused) {
    test::RefusingPort refusing;
    FtpEndpoint endpoint;
    endpoint.host = u"127.0.0.1";
    endpoint.port = refusing.port();
    endpoint.user = u"u";
    auto ftp = NewFtpConnection();
    const auto error = ftp->Connect(endpoint);
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::Unreachable);
    EXPECT_EQ(Message(error), "cannot connect to 127.0.0.1 port " +
                                  std::to_string(refusing.port()) + ": connection refused");
}

TEST(FtpSession, AnUnknownHostNameFailsWithoutConnecting) {
    FtpEndpoint endpoint;
    endpoint.host = u"no-such-host.invalid";
    auto ftp = NewFtpConnection();
    const auto error = ftp->Connect(endpoint);
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::Unreachable);
    EXPECT_NE(Message(error).find("no-such-host.invalid"), std::string::npos) << Message(error);
}

// The limit is the endpoint's timeout; the test's own time limit is what catches a hang.
TEST(FtpSession, AServerThatNeverAnswersTimesOut) {
    TempFolder root;
    FtpTestServer server(root.path(), {"--silent"});
    auto endpoint = server.Endpoint();
    endpoint.timeout = std::chrono::seconds(1);
    auto ftp = NewFtpConnection();
    const auto started = std::chrono::steady_clock::now();
    const auto error = ftp->Connect(endpoint);
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::TimedOut);
    EXPECT_EQ(Message(error), "timed out waiting for the FTP server to send");
    EXPECT_GE(waited, std::chrono::milliseconds(900));
    EXPECT_FALSE(ftp->IsConnected());
}

TEST(FtpSession, AServerThatStopsAnsweringEndsTheSession) {
    TempFolder root;
    test::WriteBytes(root / "a.txt", "a");
    for (const std::string listing : {"MLSD", "LIST"}) {
        SCOPED_TRACE(listing);
        std::vector<std::string> options = {"--stall-on", listing};
        if (listing == "LIST") {
            options.push_back("--no-mlsd");
        }
        FtpTestServer server(root.path(), options);
        auto endpoint = server.Endpoint();
        endpoint.timeout = std::chrono::seconds(1);
        auto ftp = NewFtpConnection();
        ASSERT_FALSE(ftp->Connect(endpoint)) << server.Log();
        FtpListing entries;
        EXPECT_EQ(FtpFailureOf(ftp->List(u"", entries)), FtpFailure::TimedOut);
        // What the server says next could answer anything: nothing more is asked of it.
        EXPECT_FALSE(ftp->IsConnected());
        EXPECT_EQ(FtpFailureOf(ftp->Delete(u"a.txt")), FtpFailure::NotConnected);
        EXPECT_TRUE(std::filesystem::exists(root / "a.txt"));
    }
}

TEST(FtpSession, AServerThatSendsGarbageEndsTheSession) {
    TempFolder root;
    test::WriteBytes(root / "a.txt", "a");
    FtpTestServer server(root.path(), {"--garbage-on", "DELE"});
    auto ftp = NewFtpConnection();
    ASSERT_FALSE(ftp->Connect(server.Endpoint())) << server.Log();
    const auto error = ftp->Delete(u"a.txt");
    EXPECT_EQ(FtpFailureOf(error), FtpFailure::BadReply);
    EXPECT_EQ(Message(error), "the FTP server sent what is no reply: this is no reply");
    EXPECT_FALSE(ftp->IsConnected());
}

TEST(FtpSession, ErrorsOfTheSameKindKeepTheirOwnTexts) {
    const auto first = MakeFtpError(FtpFailure::Refused, "550 first.txt: no such file", 550);
    const auto second = MakeFtpError(FtpFailure::Refused, "550 second.txt: no such file", 550);
    EXPECT_EQ(Message(first), "550 first.txt: no such file");
    EXPECT_EQ(Message(second), "550 second.txt: no such file");
    EXPECT_EQ(Message(MakeFtpError(FtpFailure::BadReply, "line\r\nbreak")), "line  break");

    // Once many newer failures have taken the place of its text, an error still tells its kind
    // and code, never another error's text.
    for (int i = 0; i < 5000; ++i) {
        MakeFtpError(FtpFailure::TimedOut, "newer " + std::to_string(i));
    }
    EXPECT_EQ(Message(first), "the FTP server refused (550)");
    EXPECT_EQ(FtpFailureOf(first), FtpFailure::Refused);
    EXPECT_EQ(FtpReplyCode(first), 550);
}

}  // namespace
}  // namespace arkivo::platform
