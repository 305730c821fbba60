#include "ftp_servers.h"

#include "platform/ftp_error.h"

namespace arkivo::test {
namespace {

namespace fs = std::filesystem;
using platform::FtpEntryKind;
using platform::FtpNameProblem;

constexpr auto kLongestHold = std::chrono::seconds(10);

std::u16string ParentOf(const std::u16string& path) {
    const auto slash = path.rfind(u'/');
    return slash == 0 ? u"/" : path.substr(0, slash);
}

std::u16string Absolute(const std::u16string& path) {
    return path.starts_with(u'/') ? path : u"/" + path;
}

class MemoryFtpConnection : public platform::FtpConnection {
  public:
    explicit MemoryFtpConnection(std::shared_ptr<MemoryFtpState> state) : state_(std::move(state)) {
        std::lock_guard guard(state_->mutex);
        ++state_->connectionsAlive;
    }
    ~MemoryFtpConnection() override {
        std::lock_guard guard(state_->mutex);
        --state_->connectionsAlive;
    }

    std::error_code Connect(const platform::FtpEndpoint& endpoint) override {
        std::lock_guard guard(state_->mutex);
        state_->logins.push_back(endpoint);
        if (endpoint.host != u"127.0.0.1") {
            return platform::MakeFtpError(platform::FtpFailure::Unreachable,
                                          "no server answers at this address");
        }
        connected_ = true;
        return {};
    }
    bool IsConnected() const override { return connected_; }
    std::error_code ChangeFolder(const std::u16string&) override { return Unsupported(); }
    std::error_code List(const std::u16string& folder, platform::FtpListing& listing) override {
        std::unique_lock lock(state_->mutex);
        state_->listingThreads.push_back(::GetCurrentThreadId());
        if (state_->held) {
            state_->waiting = true;
            state_->changed.wait_for(lock, kLongestHold, [this] { return !state_->held; });
            state_->waiting = false;
        }
        if (!connected_) {
            return platform::MakeFtpError(platform::FtpFailure::NotConnected, "not connected");
        }
        const auto found = state_->folders.find(folder);
        if (found == state_->folders.end()) {
            return platform::MakeFtpError(platform::FtpFailure::Refused, "550 No such folder.",
                                          550);
        }
        listing.entries = found->second;
        return {};
    }
    std::error_code Get(const std::u16string&, const fs::path&,
                        const platform::CopyProgress&) override {
        return Unsupported();
    }
    std::error_code Put(const fs::path&, const std::u16string&,
                        const platform::CopyProgress&) override {
        return Unsupported();
    }
    std::error_code MakeFolder(const std::u16string&) override { return Unsupported(); }
    std::error_code RemoveFolder(const std::u16string&) override { return Unsupported(); }
    std::error_code Delete(const std::u16string&) override { return Unsupported(); }
    std::error_code Rename(const std::u16string&, const std::u16string&) override {
        return Unsupported();
    }
    void Close() override {
        std::lock_guard guard(state_->mutex);
        ++state_->closes;
        connected_ = false;
    }

  private:
    static std::error_code Unsupported() {
        return platform::MakeFtpError(platform::FtpFailure::Refused, "502 Not here.", 502);
    }

    std::shared_ptr<MemoryFtpState> state_;
    bool connected_ = false;
};

}  // namespace

std::string KindName(const ::testing::TestParamInfo<ServerKind>& info) {
    return info.param == ServerKind::Memory ? "InMemory" : "Pyftpdlib";
}

MemoryFtpServer::MemoryFtpServer() : state_(std::make_shared<MemoryFtpState>()) {}

ui::FtpConnectionMaker MemoryFtpServer::Maker() {
    return [state = state_] { return std::make_unique<MemoryFtpConnection>(state); };
}

void MemoryFtpServer::Add(const std::u16string& path, FtpEntryKind kind, FtpNameProblem problem) {
    const std::u16string full = Absolute(path);
    platform::FtpEntry entry;
    entry.name = full.substr(full.rfind(u'/') + 1);
    entry.kind = kind;
    entry.nameProblem = problem;
    std::lock_guard guard(state_->mutex);
    state_->folders[ParentOf(full)].push_back(entry);
    if (kind == FtpEntryKind::Folder) {
        state_->folders[full];
    }
}

void MemoryFtpServer::MakeFolder(const std::u16string& path) {
    Add(path, FtpEntryKind::Folder, FtpNameProblem::None);
}

void MemoryFtpServer::MakeFile(const std::u16string& path) {
    Add(path, FtpEntryKind::File, FtpNameProblem::None);
}

void MemoryFtpServer::RemoveFolder(const std::u16string& path) {
    const std::u16string full = Absolute(path);
    const std::u16string name = full.substr(full.rfind(u'/') + 1);
    std::lock_guard guard(state_->mutex);
    std::erase_if(state_->folders[ParentOf(full)],
                  [&name](const platform::FtpEntry& entry) { return entry.name == name; });
    std::erase_if(state_->folders, [&full](const auto& folder) {
        return folder.first == full || folder.first.starts_with(full + u"/");
    });
}

void MemoryFtpServer::MakeUnsafeFolder(const std::u16string& name) {
    Add(name, FtpEntryKind::Folder, FtpNameProblem::Separator);
}

void MemoryFtpServer::Hold() {
    std::lock_guard guard(state_->mutex);
    state_->held = true;
}

bool MemoryFtpServer::IsListingHeld() {
    std::lock_guard guard(state_->mutex);
    return state_->waiting;
}

void MemoryFtpServer::LetGo() {
    std::lock_guard guard(state_->mutex);
    state_->held = false;
    state_->changed.notify_all();
}

std::filesystem::path WineFtpServer::PathOf(const std::u16string& path) const {
    return root_ / fs::path(std::wstring(path.begin(), path.end()));
}

void WineFtpServer::MakeFolder(const std::u16string& path) {
    fs::create_directories(PathOf(path));
}

void WineFtpServer::MakeFile(const std::u16string& path) {
    WriteBytes(PathOf(path), "x");
}

void WineFtpServer::RemoveFolder(const std::u16string& path) {
    fs::remove_all(PathOf(path));
}

bool WineFtpServer::ClientAvailable() {
    platform::FtpEndpoint nowhere;
    nowhere.host = u"127.0.0.1";
    nowhere.port = 1;
    const auto error = platform::NewFtpConnection()->Connect(nowhere);
    return platform::FtpFailureOf(error) != platform::FtpFailure::NotAvailable;
}

}  // namespace arkivo::test
