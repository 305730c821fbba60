// A real FTP server for one Windows test under Wine: tests/support/ftp_server.py run by the
// Linux /usr/bin/python3, which Wine's CreateProcess starts as a Unix program. Wine gives no
// handle to such a process, so the server cannot be killed from here: it watches a file of
// ours and ends once the file is gone, or after a lifetime should the test die first.
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/ftp_client.h"
#include "support/ftp_test_endpoint.h"
#include "support/temp_folder.h"

namespace arkivo::test {

// The Unix path Wine maps a Windows path to (Z:\tmp\x -> /tmp/x), as UTF-8.
inline std::string UnixPathOf(const std::filesystem::path& path) {
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) {
        throw std::runtime_error("the FTP test server needs Wine");
    }
    char* unixPath = toUnix(std::filesystem::absolute(path).wstring().c_str());
    if (unixPath == nullptr) {
        throw std::runtime_error("no Unix path for " + path.string());
    }
    std::string text(unixPath);
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return text;
}

class FtpTestServer {
  public:
    explicit FtpTestServer(const std::filesystem::path& root,
                           const std::vector<std::string>& options = {}) {
        WriteBytes(files_ / "running", "");
        const std::string port = UnixPathOf(files_.path()) + "/port";
        std::vector<std::string> argv = {"/usr/bin/python3",
                                         ARKIVO_FTP_SERVER_SCRIPT,
                                         UnixPathOf(root),
                                         port,
                                         "--log",
                                         UnixPathOf(files_.path()) + "/log",
                                         "--while",
                                         UnixPathOf(files_.path()) + "/running",
                                         "--lifetime",
                                         "600"};
        argv.insert(argv.end(), options.begin(), options.end());
        std::wstring commandLine;
        for (const auto& arg : argv) {
            commandLine += L"\"" +
                           std::filesystem::path(std::u8string(arg.begin(), arg.end())).wstring() +
                           L"\" ";
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                              CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
            throw std::runtime_error("cannot start the FTP test server");
        }
        // Wine gives no handles for a Unix program; a Windows one would have them.
        if (process.hProcess != nullptr) {
            ::CloseHandle(process.hProcess);
        }
        if (process.hThread != nullptr) {
            ::CloseHandle(process.hThread);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!std::filesystem::exists(files_ / "port")) {
            if (std::chrono::steady_clock::now() > deadline) {
                throw std::runtime_error("the FTP test server did not start: " + Log());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        port_ = static_cast<std::uint16_t>(std::stoi(ReadBytes(files_ / "port")));
    }

    ~FtpTestServer() {
        std::error_code error;
        std::filesystem::remove(files_ / "running", error);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!std::filesystem::exists(files_ / "port.ended") &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    std::uint16_t port() const { return port_; }

    // User "u", password "p".
    platform::FtpEndpoint Endpoint(bool passive = true) const {
        return TestFtpEndpoint(port_, passive);
    }

    // The server's log of every command, for a failing test's message.
    std::string Log() const { return ReadBytes(files_ / "log"); }

  private:
    TempFolder files_;
    std::uint16_t port_ = 0;
};

// A port on 127.0.0.1 that refuses connections for as long as this lives: bound, never
// listening, so no other program can take it meanwhile.
class RefusingPort {
  public:
    RefusingPort() {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
            throw std::runtime_error("no Windows sockets");
        }
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (socket_ == INVALID_SOCKET ||
            ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("cannot bind a port");
        }
        port_ = ntohs(address.sin_port);
    }
    ~RefusingPort() {
        ::closesocket(socket_);
        ::WSACleanup();
    }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    std::uint16_t port() const { return port_; }

  private:
    SOCKET socket_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
};

}  // namespace arkivo::test
