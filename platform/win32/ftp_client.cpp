#include "platform/ftp_client.h"

namespace arkivo::platform {
namespace {

// Until the client over WinINet comes, every call says so, and the build links.
class UnavailableFtpConnection : public FtpConnection {
  public:
    std::error_code Connect(const FtpEndpoint&) override { return Unavailable(); }
    bool IsConnected() const override { return false; }
    std::error_code ChangeFolder(const std::u16string&) override { return Unavailable(); }
    std::error_code List(const std::u16string&, FtpListing&) override { return Unavailable(); }
    std::error_code Get(const std::u16string&, const std::filesystem::path&,
                        const CopyProgress&) override {
        return Unavailable();
    }
    std::error_code Put(const std::filesystem::path&, const std::u16string&,
                        const CopyProgress&) override {
        return Unavailable();
    }
    std::error_code MakeFolder(const std::u16string&) override { return Unavailable(); }
    std::error_code RemoveFolder(const std::u16string&) override { return Unavailable(); }
    std::error_code Delete(const std::u16string&) override { return Unavailable(); }
    std::error_code Rename(const std::u16string&, const std::u16string&) override {
        return Unavailable();
    }
    void Close() override {}

  private:
    static std::error_code Unavailable() {
        return MakeFtpError(FtpFailure::NotAvailable, "FTP is not available on Windows yet");
    }
};

}  // namespace

std::unique_ptr<FtpConnection> NewFtpConnection() {
    return std::make_unique<UnavailableFtpConnection>();
}

}  // namespace arkivo::platform
