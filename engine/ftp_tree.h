// A job's side on an FTP server, read over the one connection the job keeps open. Paths are
// joined with "/" and names compared exactly as the server sends them. A listed name that
// could lead outside the folder being copied is never used: it is left out and told once.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/file_tree.h"
#include "engine/scratch_folder.h"
#include "platform/ftp_client.h"

namespace arkivo::engine {

class FtpTree : public FileTree {
  public:
    // Hears of a listed entry left out for its name, with the folder that listed it.
    using UnsafeNameHandler =
        std::function<void(const std::filesystem::path& folder, const platform::FtpEntry& entry)>;

    // `root`: the remote folder ("/data"); `shownRoot`: the location as reports show it
    // ("ftp://host/data").
    FtpTree(std::shared_ptr<platform::FtpConnection> connection, std::u16string root,
            std::u16string shownRoot, UnsafeNameHandler onUnsafeName);

    // Added to every listed time: how far the server's clock runs behind the run's.
    void SetTimeOffset(std::int64_t seconds) { timeOffset_ = seconds; }

    // Copies go to this machine's file system: names it cannot hold as they are are left out
    // like unsafe ones (the handler tells them apart by the entry's HasSafeName()).
    void RequireLocalNames() { requireLocalNames_ = true; }

    // For a tree nothing writes to during the run (a job's base): a run lists it twice, to
    // count its files and to walk it, and each round trip to the server costs more than the
    // memory of the entries. Each listing is kept until the next listing of its folder takes
    // it, up to about `maxEntries` entries at a time; beyond that folders are listed again.
    void ReuseEachListingOnce(std::size_t maxEntries) { keptRoom_ = maxEntries; }

    // A folder this run has just made: its next listing is empty without asking the server.
    void MadeFolder(const std::filesystem::path& relative) { madeEmpty_.insert(relative); }

    std::error_code List(const std::filesystem::path& relative,
                         std::vector<platform::FolderEntry>& entries,
                         platform::ListDetail detail) override;
    std::error_code GetInfo(const std::filesystem::path& relative,
                            platform::FileInfo& info) override;
    std::filesystem::path FullPath(const std::filesystem::path& relative) const override;
    // Downloads into a temporary file of `landing`, or of a private folder without one; the
    // copy carries the listed time.
    std::error_code Fetch(const std::filesystem::path& relative, const platform::FileInfo& info,
                          FetchedFile& file, const platform::CopyProgress& progress,
                          const std::filesystem::path& landing) override;
    std::error_code RemoveFile(const std::filesystem::path& relative) override;
    std::u16string NameKey(const std::filesystem::path& name) const override;

    const std::shared_ptr<platform::FtpConnection>& Connection() const { return connection_; }

    // The remote path of an entry.
    std::u16string RemotePath(const std::filesystem::path& relative) const;

  private:
    std::shared_ptr<platform::FtpConnection> connection_;
    std::u16string root_;
    std::u16string shownRoot_;
    UnsafeNameHandler onUnsafeName_;
    std::int64_t timeOffset_ = 0;
    bool requireLocalNames_ = false;
    std::set<std::pair<std::u16string, std::u16string>> toldUnsafe_;
    std::map<std::filesystem::path, std::vector<platform::FolderEntry>> kept_;
    std::size_t keptRoom_ = 0;
    std::set<std::filesystem::path> madeEmpty_;
    ScratchFolder downloads_;
};

// "a" + "/" + "b", without doubling a "/" that ends the first.
std::u16string JoinRemote(std::u16string_view folder, std::u16string_view name);

// The remote path of `relative` below `root`, its parts joined with "/".
std::u16string RemoteBelow(std::u16string_view root, const std::filesystem::path& relative);

}  // namespace arkivo::engine
