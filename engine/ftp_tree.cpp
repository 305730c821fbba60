#include "engine/ftp_tree.h"

#include <chrono>

#include "platform/files.h"
#include "platform/local_names.h"

namespace arkivo::engine {
namespace {

namespace fs = std::filesystem;
using platform::FtpEntry;
using platform::FtpEntryKind;

platform::FolderEntry ToFolderEntry(const FtpEntry& entry, std::int64_t timeOffset) {
    platform::FolderEntry result;
    result.name = platform::PathFromText(entry.name);
    auto& info = result.info;
    switch (entry.kind) {
        case FtpEntryKind::Folder:
            info.attributes = platform::Attribute::Directory;
            break;
        case FtpEntryKind::File:
            info.size = entry.size;
            break;
        case FtpEntryKind::Link:
        case FtpEntryKind::Other:
            // What a link leads to the listing does not tell: never followed, never copied.
            info.special = true;
            break;
    }
    if (entry.timePrecision != platform::FtpTimePrecision::None) {
        info.lastWriteTime = entry.lastWriteTime + timeOffset * kFileTimeUnitsPerSecond;
    }
    // Servers tell no creation time: the last write alone says when a file changed.
    return result;
}

// A kept listing costs its entries and one for the folder, so empty folders count too.
std::size_t KeptCost(const std::vector<platform::FolderEntry>& entries) {
    return entries.size() + 1;
}

std::error_code SetLastWriteTime(const fs::path& file, FileTime time) {
    using namespace std::chrono;
    const auto since1970 =
        duration_cast<system_clock::duration>(nanoseconds((time - kFileTimeUnixEpoch) * 100));
    std::error_code error;
    fs::last_write_time(file, file_clock::from_sys(system_clock::time_point(since1970)), error);
    return error;
}

}  // namespace

std::u16string JoinRemote(std::u16string_view folder, std::u16string_view name) {
    std::u16string joined(folder);
    if (joined.empty() || joined.back() != u'/') {
        joined += u'/';
    }
    joined += name;
    return joined;
}

FtpTree::FtpTree(std::shared_ptr<platform::FtpConnection> connection, std::u16string root,
                 std::u16string shownRoot, UnsafeNameHandler onUnsafeName)
    : connection_(std::move(connection)),
      root_(std::move(root)),
      shownRoot_(std::move(shownRoot)),
      onUnsafeName_(std::move(onUnsafeName)) {}

std::u16string RemoteBelow(std::u16string_view root, const fs::path& relative) {
    std::u16string path(root);
    for (const auto& part : relative) {
        path = JoinRemote(path, platform::PathText(part));
    }
    return path;
}

std::u16string FtpTree::RemotePath(const fs::path& relative) const {
    return RemoteBelow(root_, relative);
}

fs::path FtpTree::FullPath(const fs::path& relative) const {
    return platform::PathFromText(RemoteBelow(shownRoot_, relative));
}

std::error_code FtpTree::RemoveFile(const fs::path& relative) {
    return connection_->Delete(RemotePath(relative));
}

std::u16string FtpTree::NameKey(const fs::path& name) const {
    return platform::PathText(name);
}

std::error_code FtpTree::List(const fs::path& relative, std::vector<platform::FolderEntry>& entries,
                              platform::ListDetail) {
    if (madeEmpty_.erase(relative) > 0) {
        entries.clear();
        return {};
    }
    if (const auto kept = kept_.find(relative); kept != kept_.end()) {
        entries = std::move(kept->second);
        keptRoom_ += KeptCost(entries);
        kept_.erase(kept);
        return {};
    }
    entries.clear();
    platform::FtpListing listing;
    if (auto error = connection_->List(RemotePath(relative), listing)) {
        return error;
    }
    for (const auto& entry : listing.entries) {
        if (!entry.HasSafeName() ||
            (requireLocalNames_ && !platform::CanNameLocalFile(entry.name))) {
            const fs::path folder = FullPath(relative);
            if (onUnsafeName_ &&
                toldUnsafe_.emplace(platform::PathText(folder), entry.name).second) {
                onUnsafeName_(folder, entry);
            }
            continue;
        }
        entries.push_back(ToFolderEntry(entry, timeOffset_));
    }
    if (KeptCost(entries) <= keptRoom_) {
        keptRoom_ -= KeptCost(entries);
        kept_.emplace(relative, entries);
    }
    return {};
}

std::error_code FtpTree::GetInfo(const fs::path& relative, platform::FileInfo& info) {
    info = platform::FileInfo();
    if (relative.empty()) {
        info.attributes = platform::Attribute::Directory;
        return {};
    }
    std::vector<platform::FolderEntry> entries;
    if (auto error = List(relative.parent_path(), entries, platform::ListDetail::Full)) {
        return error;
    }
    for (const auto& entry : entries) {
        if (entry.name == relative.filename()) {
            info = entry.info;
            return {};
        }
    }
    return std::make_error_code(std::errc::no_such_file_or_directory);
}

std::error_code FtpTree::Fetch(const fs::path& relative, const platform::FileInfo& info,
                               FetchedFile& file, const platform::CopyProgress& progress,
                               const fs::path& landing) {
    fs::path folder = landing;
    if (folder.empty()) {
        if (auto error = downloads_.Get(folder)) {
            return error;
        }
    }
    const fs::path scratch = platform::TemporaryPathIn(folder);
    FetchedFile download(scratch, true);
    if (auto failed = connection_->Get(RemotePath(relative), scratch, progress)) {
        return failed;
    }
    // A copy carries its source's time: the listed one, so the next run compares like with like.
    if (info.lastWriteTime != 0) {
        if (auto failed = SetLastWriteTime(scratch, info.lastWriteTime)) {
            return failed;
        }
    }
    file = std::move(download);
    return {};
}

}  // namespace arkivo::engine
