#include "platform/win32/ftp/wininet_session.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <initializer_list>

#include "platform/clock.h"
#include "platform/win32/ftp/found_entry.h"
#include "platform/win32/ftp/name_encoding.h"
#include "platform/win32/ftp/wininet_error.h"
#include "platform/win32/long_path.h"
#include "platform/win32/wide.h"

namespace arkivo::platform::win32 {
namespace {

constexpr DWORD kOpenTypePreconfig = 0;  // INTERNET_OPEN_TYPE_PRECONFIG
constexpr DWORD kBinaryReload = FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD;

// WinINet writes a name into its command line as it is, so a line break would end the
// command and start another one the caller never meant.
bool HasLineBreakOrNul(const std::u16string& name) {
    return name.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string::npos;
}

std::error_code SetTimeout(HINTERNET internet, DWORD option, DWORD milliseconds) {
    if (!::InternetSetOptionW(internet, option, &milliseconds, sizeof milliseconds)) {
        return WinInetError(::GetLastError());
    }
    return {};
}

std::uint64_t SizeOf(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

}  // namespace

std::error_code WinInetSession::Unready(std::initializer_list<const std::u16string*> names) const {
    if (!connection_) {
        return MakeFtpError(FtpFailure::NotConnected, "not connected to the FTP server");
    }
    for (const std::u16string* name : names) {
        if (HasLineBreakOrNul(*name)) {
            return MakeFtpError(
                FtpFailure::Unsendable,
                "a name with a line break or a NUL cannot be sent to an FTP server");
        }
        // Sent in another encoding it would name another file, or none.
        if (!SentAsUtf8(*name)) {
            return MakeFtpError(FtpFailure::Unsendable,
                                "the name cannot be sent as UTF-8 while the system's ANSI code "
                                "page is not UTF-8");
        }
    }
    return {};
}

std::error_code WinInetSession::Failed(DWORD code) {
    const auto error = WinInetError(code);
    if (EndsTheSession(error)) {
        Close();
    }
    return error;
}

std::error_code WinInetSession::Connect(const FtpEndpoint& endpoint) {
    Close();
    internet_ =
        InternetHandle(::InternetOpenW(L"FTPTEST", kOpenTypePreconfig, nullptr, nullptr, 0));
    if (!internet_) {
        return WinInetError(::GetLastError());
    }
    const auto timeout =
        endpoint.timeout > std::chrono::milliseconds(0) ? endpoint.timeout : kDefaultFtpTimeout;
    const auto milliseconds = static_cast<DWORD>(timeout.count());
    for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                               INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        if (auto error = SetTimeout(internet_.get(), option, milliseconds)) {
            internet_.Close();
            return error;
        }
    }
    const std::wstring host = Wide(endpoint.host);
    const std::wstring user = Wide(endpoint.user);
    const std::wstring password = Wide(endpoint.password);
    connection_ = InternetHandle(::InternetConnectW(
        internet_.get(), host.c_str(), endpoint.port, user.c_str(), password.c_str(),
        INTERNET_SERVICE_FTP, endpoint.passive ? INTERNET_FLAG_PASSIVE : 0, 0));
    if (!connection_) {
        const auto error = WinInetError(::GetLastError());
        internet_.Close();
        return error;
    }
    return {};
}

std::error_code WinInetSession::ChangeFolder(const std::u16string& folder) {
    if (auto error = Unready({&folder})) {
        return error;
    }
    if (!::FtpSetCurrentDirectoryW(connection_.get(), Wide(folder).c_str())) {
        return Failed(::GetLastError());
    }
    return {};
}

std::error_code WinInetSession::CurrentFolder(std::wstring& folder) {
    folder.assign(MAX_PATH * 4, L'\0');
    DWORD length = static_cast<DWORD>(folder.size());
    if (!::FtpGetCurrentDirectoryW(connection_.get(), folder.data(), &length)) {
        return Failed(::GetLastError());
    }
    folder.resize(std::min<std::size_t>(length, folder.size()));
    folder.resize(folder.find(L'\0') == std::wstring::npos ? folder.size() : folder.find(L'\0'));
    return {};
}

std::error_code WinInetSession::ListCurrentFolder(FtpListing& listing) {
    WIN32_FIND_DATAW found{};
    // No pattern: a server may take one as a shell pattern, which leaves out hidden names.
    InternetHandle find(::FtpFindFirstFileW(connection_.get(), nullptr, &found, 0, 0));
    if (!find) {
        const DWORD code = ::GetLastError();
        // Nothing to list; Wine has been seen to say so with no error code at all.
        if (code == ERROR_NO_MORE_FILES || code == ERROR_SUCCESS) {
            return {};
        }
        return Failed(code);
    }
    const std::int64_t now = NowUnixSeconds();
    do {
        listing.entries.push_back(EntryOf(found, now));
    } while (::InternetFindNextFileW(find.get(), &found));
    const DWORD code = ::GetLastError();
    if (code != ERROR_NO_MORE_FILES) {
        listing = {};
        return Failed(code);
    }
    return {};
}

std::error_code WinInetSession::List(const std::u16string& folder, FtpListing& listing) {
    listing = {};
    if (auto error = Unready({&folder})) {
        return error;
    }
    if (folder.empty()) {
        return ListCurrentFolder(listing);
    }
    // A folder named to the listing call is taken as a pattern by WinINet and by many servers:
    // list it from inside instead, then go back.
    std::wstring back;
    if (auto error = CurrentFolder(back)) {
        return error;
    }
    if (auto error = ChangeFolder(folder)) {
        return error;
    }
    const auto listed = ListCurrentFolder(listing);
    if (!connection_) {
        return listed;
    }
    if (!::FtpSetCurrentDirectoryW(connection_.get(), back.c_str())) {
        const auto returned = Failed(::GetLastError());
        return listed ? listed : returned;
    }
    return listed;
}

std::error_code WinInetSession::Get(const std::u16string& remote,
                                    const std::filesystem::path& localPath,
                                    const CopyProgress& progress) {
    if (auto error = Unready({&remote})) {
        return error;
    }
    const std::wstring local = LongPath(localPath);
    if (!::FtpGetFileW(connection_.get(), Wide(remote).c_str(), local.c_str(), FALSE,
                       FILE_ATTRIBUTE_NORMAL, kBinaryReload, 0)) {
        const auto error = Failed(::GetLastError());
        ::DeleteFileW(local.c_str());
        return error;
    }
    // WinINet moves the whole file in one call and tells nothing on the way.
    if (progress) {
        progress(SizeOf(localPath));
    }
    return {};
}

std::error_code WinInetSession::Put(const std::filesystem::path& localPath,
                                    const std::u16string& remote, const CopyProgress& progress) {
    if (auto error = Unready({&remote})) {
        return error;
    }
    const std::wstring local = LongPath(localPath);
    if (!::FtpPutFileW(connection_.get(), local.c_str(), Wide(remote).c_str(), kBinaryReload, 0)) {
        return Failed(::GetLastError());
    }
    if (progress) {
        progress(SizeOf(localPath));
    }
    return {};
}

std::error_code WinInetSession::MakeFolder(const std::u16string& folder) {
    if (auto error = Unready({&folder})) {
        return error;
    }
    if (!::FtpCreateDirectoryW(connection_.get(), Wide(folder).c_str())) {
        return Failed(::GetLastError());
    }
    return {};
}

std::error_code WinInetSession::RemoveFolder(const std::u16string& folder) {
    if (auto error = Unready({&folder})) {
        return error;
    }
    if (!::FtpRemoveDirectoryW(connection_.get(), Wide(folder).c_str())) {
        return Failed(::GetLastError());
    }
    return {};
}

std::error_code WinInetSession::Delete(const std::u16string& file) {
    if (auto error = Unready({&file})) {
        return error;
    }
    if (!::FtpDeleteFileW(connection_.get(), Wide(file).c_str())) {
        return Failed(::GetLastError());
    }
    return {};
}

std::error_code WinInetSession::Rename(const std::u16string& from, const std::u16string& to) {
    if (auto error = Unready({&from, &to})) {
        return error;
    }
    if (!::FtpRenameFileW(connection_.get(), Wide(from).c_str(), Wide(to).c_str())) {
        return Failed(::GetLastError());
    }
    return {};
}

void WinInetSession::Close() {
    // Closing the connection handle says goodbye to the server (QUIT) first.
    connection_.Close();
    internet_.Close();
}

}  // namespace arkivo::platform::win32
