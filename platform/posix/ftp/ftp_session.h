// The FTP client over sockets: one control connection for the whole session, a data connection
// per transfer.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/ftp_client.h"
#include "platform/posix/ftp/control_channel.h"
#include "platform/posix/ftp/data_connector.h"
#include "platform/posix/ftp/listing.h"
#include "platform/posix/ftp/server_features.h"

namespace arkivo::platform::ftp {

class FtpSession : public FtpConnection {
  public:
    ~FtpSession() override = default;

    std::error_code Connect(const FtpEndpoint& endpoint) override;
    bool IsConnected() const override { return control_.IsOpen(); }
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
    // Moves the data of one transfer; its error is the transfer's unless the server's final
    // reply tells worse.
    using DataMover = std::function<std::error_code(Socket& data)>;

    std::error_code LogIn(const FtpEndpoint& endpoint);
    std::error_code LearnCurrentFolder();
    std::error_code Transfer(const std::string& command, const DataMover& move);
    // Hands every block the server sends on `data` to `take`, until the server ends it.
    std::error_code ReceiveAll(
        Socket& data, const std::function<std::error_code(const char*, std::size_t)>& take);
    std::error_code Fetch(const std::string& command, std::string& bytes);
    std::error_code ListWithList(const std::string& folder, std::string& bytes);
    std::error_code Simple(const std::string& command);

    ControlChannel control_;
    DataConnector connector_;
    ServerFeatures features_;
    bool mlsdRefused_ = false;
    std::optional<std::string> currentFolder_;
};

}  // namespace arkivo::platform::ftp
