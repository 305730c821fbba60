// The FTP client over WinINet: one Internet handle and one FTP connection for the whole
// session; WinINet opens a data connection per transfer and listing itself.
#pragma once

#include <windows.h>

#include "platform/ftp_client.h"
#include "platform/win32/ftp/internet_handle.h"

namespace arkivo::platform::win32 {

class WinInetSession : public FtpConnection {
  public:
    ~WinInetSession() override = default;

    std::error_code Connect(const FtpEndpoint& endpoint) override;
    bool IsConnected() const override { return static_cast<bool>(connection_); }
    std::error_code ChangeFolder(const std::u16string& folder) override;
    std::error_code List(const std::u16string& folder, FtpListing& listing) override;
    std::error_code Get(const std::u16string& remote, const std::filesystem::path& localPath,
                        const CopyProgress& progress) override;
    std::error_code Put(const std::filesystem::path& localPath, const std::u16string& remote,
                        const CopyProgress& progress) override;
    std::error_code MakeFolder(const std::u16string& folder) override;
    std::error_code RemoveFolder(const std::u16string& folder) override;
    std::error_code Delete(const std::u16string& file) override;
    std::error_code Rename(const std::u16string& from, const std::u16string& to) override;
    void Close() override;

  private:
    // Why a call cannot be made now: no session, or a name no command can carry.
    std::error_code Unready(std::initializer_list<const std::u16string*> names) const;
    // The error of the call that just failed; one that leaves WinINet out of step with the
    // server ends the session.
    std::error_code Failed(DWORD code);
    std::error_code ListCurrentFolder(FtpListing& listing);
    std::error_code CurrentFolder(std::wstring& folder);

    InternetHandle internet_;
    InternetHandle connection_;
};

}  // namespace arkivo::platform::win32
