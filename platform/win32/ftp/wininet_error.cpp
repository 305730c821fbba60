#include "platform/win32/ftp/wininet_error.h"

#include <wininet.h>

#include <algorithm>
#include <string>

#include "common/text.h"
#include "platform/ftp_error.h"
#include "platform/win32/wide.h"

namespace arkivo::platform::win32 {
namespace {

bool IsWinInetCode(DWORD code) {
    return code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST;
}

std::wstring TrimmedEnd(std::wstring text) {
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    return text;
}

// For the codes whose words a system may lack (Wine has none for these).
std::string FallbackText(DWORD code) {
    switch (code) {
        case ERROR_INTERNET_EXTENDED_ERROR:
            return "The FTP server refused";
        case ERROR_INTERNET_LOGIN_FAILURE:
            return "The FTP server refused the login";
        case ERROR_FTP_DROPPED:
            return "The FTP transfer was dropped";
        default:
            return "The FTP session failed";
    }
}

// The system's words for a WinINet code live in wininet.dll's message table, not the
// system's.
std::string WinInetText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                             FORMAT_MESSAGE_IGNORE_INSERTS,
                         ::GetModuleHandleW(L"wininet.dll"), code, 0,
                         reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = buffer != nullptr ? std::wstring(buffer, length) : std::wstring();
    ::LocalFree(buffer);
    text = TrimmedEnd(std::move(text));
    const std::string number = " (WinINet error " + std::to_string(code) + ")";
    if (!text.empty()) {
        return Utf16ToUtf8(Utf16(text)) + number;
    }
    return FallbackText(code) + number;
}

// The server's last reply: its final line, the one that carries the verdict.
std::string LastServerReply() {
    // Far longer than any reply worth showing; a longer one is left out rather than cut.
    std::wstring text(4096, L'\0');
    DWORD detail = 0;
    DWORD length = static_cast<DWORD>(text.size());
    if (!::InternetGetLastResponseInfoW(&detail, text.data(), &length)) {
        return {};
    }
    text.resize(std::min<std::size_t>(length, text.size()));
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    const auto lineBreak = text.find_last_of(L"\r\n");
    if (lineBreak != std::wstring::npos) {
        text.erase(0, lineBreak + 1);
    }
    return Utf16ToUtf8(Utf16(text));
}

int ReplyCodeOf(const std::string& reply) {
    if (reply.size() < 3 || reply[0] < '1' || reply[0] > '5' || reply[1] < '0' || reply[1] > '9' ||
        reply[2] < '0' || reply[2] > '9') {
        return 0;
    }
    return std::stoi(reply.substr(0, 3));
}

FtpFailure FailureOf(DWORD code) {
    switch (code) {
        case ERROR_INTERNET_TIMEOUT:
            return FtpFailure::TimedOut;
        case ERROR_INTERNET_NAME_NOT_RESOLVED:
        case ERROR_INTERNET_CANNOT_CONNECT:
            return FtpFailure::Unreachable;
        case ERROR_INTERNET_CONNECTION_ABORTED:
        case ERROR_INTERNET_CONNECTION_RESET:
        case ERROR_FTP_DROPPED:
            return FtpFailure::ConnectionLost;
        case ERROR_INTERNET_EXTENDED_ERROR:
        case ERROR_INTERNET_LOGIN_FAILURE:
            return FtpFailure::Refused;
        default:
            return FtpFailure::BadReply;
    }
}

}  // namespace

std::error_code WinInetError(DWORD code) {
    // A failure must never read as success, even when the call left no code.
    if (code == ERROR_SUCCESS) {
        return MakeFtpError(FtpFailure::BadReply, "the FTP call failed without saying why");
    }
    if (!IsWinInetCode(code)) {
        return {static_cast<int>(code), std::system_category()};
    }
    std::string reply;
    if (code == ERROR_INTERNET_EXTENDED_ERROR || code == ERROR_INTERNET_LOGIN_FAILURE) {
        reply = LastServerReply();
    }
    std::string text = WinInetText(code);
    if (!reply.empty()) {
        text += ": " + reply;
    }
    return MakeFtpError(FailureOf(code), text, ReplyCodeOf(reply));
}

bool EndsTheSession(std::error_code error) {
    const auto failure = FtpFailureOf(error);
    return failure == FtpFailure::TimedOut || failure == FtpFailure::ConnectionLost ||
           failure == FtpFailure::BadReply;
}

}  // namespace arkivo::platform::win32
