#include "ui/tools/sample_ftp_server.h"

#include <map>
#include <string>
#include <vector>

#include "platform/ftp_error.h"

namespace arkivo::tools {
namespace {

using Folders = std::map<std::u16string, std::vector<std::u16string>>;

const Folders& SampleFolders() {
    static const Folders folders = {
        {u"/", {u"backup", u"photos", u"public", u"\u5171\u6709", u"\uacf5\uc720"}},
        {u"/backup", {u"daily", u"monthly", u"weekly"}},
        {u"/backup/daily", {u"documents", u"mail"}},
        {u"/backup/monthly", {}},
        {u"/backup/weekly", {}},
        {u"/backup/daily/documents", {}},
        {u"/backup/daily/mail", {}},
        {u"/photos", {u"2025", u"2026"}},
        {u"/public", {}},
        {u"/\u5171\u6709", {}},
        {u"/\uacf5\uc720", {}},
    };
    return folders;
}

class SampleFtpConnection : public platform::FtpConnection {
  public:
    std::error_code Connect(const platform::FtpEndpoint&) override {
        connected_ = true;
        return {};
    }
    bool IsConnected() const override { return connected_; }
    std::error_code ChangeFolder(const std::u16string&) override { return Refused(); }
    std::error_code List(const std::u16string& folder, platform::FtpListing& listing) override {
        listing = {};
        const auto found = SampleFolders().find(folder);
        if (found == SampleFolders().end()) {
            return {};
        }
        for (const auto& name : found->second) {
            platform::FtpEntry entry;
            entry.name = name;
            entry.kind = platform::FtpEntryKind::Folder;
            listing.entries.push_back(entry);
        }
        return {};
    }
    std::error_code Get(const std::u16string&, const std::filesystem::path&,
                        const platform::CopyProgress&) override {
        return Refused();
    }
    std::error_code Put(const std::filesystem::path&, const std::u16string&,
                        const platform::CopyProgress&) override {
        return Refused();
    }
    std::error_code MakeFolder(const std::u16string&) override { return Refused(); }
    std::error_code RemoveFolder(const std::u16string&) override { return Refused(); }
    std::error_code Delete(const std::u16string&) override { return Refused(); }
    std::error_code Rename(const std::u16string&, const std::u16string&) override {
        return Refused();
    }
    void Close() override { connected_ = false; }

  private:
    static std::error_code Refused() {
        return platform::MakeFtpError(platform::FtpFailure::Refused, "550 Read only.", 550);
    }

    bool connected_ = false;
};

}  // namespace

std::unique_ptr<platform::FtpConnection> NewSampleFtpConnection() {
    return std::make_unique<SampleFtpConnection>();
}

}  // namespace arkivo::tools
