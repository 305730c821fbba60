// The FTP servers the FTP location dialog is tested against: one kept in memory, whose listings
// can be held back to play a slow server, and a real pyftpdlib server started on the Linux side
// of Wine, reached through the platform's FTP client.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// GoogleTest after the Windows declarations it may use.
#include <gtest/gtest.h>

#include "jobs/job_commands.h"
#include "platform/ftp_client.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"
#include "ui/ftp/ftp_thread.h"

namespace arkivo::test {

// The servers a test runs against: one in memory, a real one when the platform has a client.
enum class ServerKind { Memory, Real };
std::string KindName(const ::testing::TestParamInfo<ServerKind>& info);

class TestFtpServer {
  public:
    virtual ~TestFtpServer() = default;
    // What the dialog makes its connection with; empty for the platform's client.
    virtual ui::FtpConnectionMaker Maker() = 0;
    // Makes a folder ("a/b") on the server.
    virtual void MakeFolder(const std::u16string& path) = 0;
    virtual void MakeFile(const std::u16string& path) = 0;
    // Removes a folder with what it holds.
    virtual void RemoveFolder(const std::u16string& path) = 0;
    virtual std::uint16_t port() const = 0;

    // What a user types to log in: user "u", password "p".
    FtpCredentials Login() const { return {u"u", u"p", port(), 1}; }
};

// What the in-memory server saw and holds; shared with the connections it makes.
struct MemoryFtpState {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<std::u16string, std::vector<platform::FtpEntry>> folders{{u"/", {}}};
    std::vector<platform::FtpEndpoint> logins;
    std::vector<DWORD> listingThreads;
    int closes = 0;
    int connectionsAlive = 0;
    // While held, a listing waits (at most a few seconds) until it is let go.
    bool held = false;
    bool waiting = false;
};

class MemoryFtpServer : public TestFtpServer {
  public:
    MemoryFtpServer();
    ui::FtpConnectionMaker Maker() override;
    void MakeFolder(const std::u16string& path) override;
    void MakeFile(const std::u16string& path) override;
    void RemoveFolder(const std::u16string& path) override;
    // A folder whose name the listing marks as unsafe, as a client marks "a/b" or "..".
    void MakeUnsafeFolder(const std::u16string& name);
    std::uint16_t port() const override { return 2121; }

    void Hold();
    // Whether a listing waits for LetGo now.
    bool IsListingHeld();
    void LetGo();
    MemoryFtpState& state() { return *state_; }

  private:
    void Add(const std::u16string& path, platform::FtpEntryKind kind,
             platform::FtpNameProblem problem);

    std::shared_ptr<MemoryFtpState> state_;
};

// pyftpdlib serving a folder of its own.
class WineFtpServer : public TestFtpServer {
  public:
    WineFtpServer() : server_(root_.path()) {}
    ui::FtpConnectionMaker Maker() override { return {}; }
    void MakeFolder(const std::u16string& path) override;
    void MakeFile(const std::u16string& path) override;
    void RemoveFolder(const std::u16string& path) override;
    std::uint16_t port() const override { return server_.port(); }

    // Whether the platform has an FTP client to reach it with.
    static bool ClientAvailable();

  private:
    std::filesystem::path PathOf(const std::u16string& path) const;

    TempFolder root_;
    FtpTestServer server_;
};

}  // namespace arkivo::test
