#include "engine/ftp_target.h"

#include <unordered_set>

#include "common/text.h"
#include "engine/job_context.h"
#include "engine/leftovers.h"
#include "platform/file_system.h"
#include "platform/files.h"

namespace arkivo::engine {
namespace {

namespace fs = std::filesystem;
using platform::FolderEntry;

std::u16string ParentOf(const std::u16string& remote) {
    const auto slash = remote.rfind(u'/');
    return slash == std::u16string::npos ? std::u16string() : remote.substr(0, slash + 1);
}

std::u16string TemporaryName() {
    return platform::PathText(platform::TemporaryPathIn(fs::path()));
}

// The deletion pass of a synchronisation onto a server: what the base lacks is removed, and
// nothing below a base folder that could not be read.
class RemoteOrphans {
  public:
    RemoteOrphans(JobContext& job, FileTree& base, FtpTree& target, const OrphanNotes& notes)
        : job_(job), base_(base), target_(target), notes_(notes) {}

    void In(const fs::path& relative) {
        std::vector<FolderEntry> baseEntries;
        if (base_.List(relative, baseEntries, platform::ListDetail::KindsOnly)) {
            if (relative.empty()) {
                job_.NoteLine(notes_.skipped);
                job_.observer().OnMessage(UserMessage::Fixed(notes_.skipped));
            } else {
                job_.NoteLine(std::u16string(notes_.unreadable) +
                              platform::ShownPathText(base_.FullPath(relative)));
            }
            return;
        }
        std::unordered_set<std::u16string> present;
        for (const auto& entry : baseEntries) {
            present.insert(target_.NameKey(entry.name));
        }
        std::vector<FolderEntry> targetEntries;
        if (target_.List(relative, targetEntries, platform::ListDetail::KindsOnly)) {
            return;
        }
        for (const auto& entry : targetEntries) {
            if (job_.ShouldStop()) {
                return;
            }
            if (IsDotFolder(entry) && !job_.TakesDotFolders()) {
                continue;
            }
            const fs::path child = relative / entry.name;
            if (!present.count(target_.NameKey(entry.name))) {
                Delete(child, entry);
            } else if (entry.info.IsFolder()) {
                In(child);
            }
        }
    }

  private:
    void Delete(const fs::path& relative, const FolderEntry& entry) {
        if (entry.info.special) {
            return;  // never ours to delete
        }
        auto& ftp = *target_.Connection();
        const std::u16string remote = target_.RemotePath(relative);
        if (entry.info.IsFolder()) {
            std::vector<FolderEntry> entries;
            target_.List(relative, entries, platform::ListDetail::KindsOnly);
            for (const auto& inner : entries) {
                if (!(IsDotFolder(inner) && !job_.TakesDotFolders())) {
                    Delete(relative / inner.name, inner);
                }
            }
            if (!job_.dryRun()) {
                ftp.RemoveFolder(remote);
            }
            return;
        }
        const fs::path shown = target_.FullPath(relative);
        if (platform::IsTemporaryName(entry.name)) {
            if (!job_.dryRun()) {
                ftp.Delete(remote);  // our own leftover: never reported as the user's file
            }
            return;
        }
        if (job_.dryRun()) {
            job_.observer().OnPlannedDeletion(shown);
            job_.CountDeleted();
            return;
        }
        if (auto error = ftp.Delete(remote)) {
            job_.Failed(shown, error);
            return;
        }
        job_.CountDeleted();
        job_.NoteDeleted(shown);
    }

    JobContext& job_;
    FileTree& base_;
    FtpTree& target_;
    const OrphanNotes& notes_;
};

}  // namespace

std::error_code UploadReplacing(platform::FtpConnection& ftp, const fs::path& local,
                                const std::u16string& remote,
                                const platform::CopyProgress& progress) {
    const std::u16string temporary = ParentOf(remote) + TemporaryName();
    if (auto error = ftp.Put(local, temporary, progress)) {
        ftp.Delete(temporary);
        return error;
    }
    auto error = ftp.Rename(temporary, remote);
    if (error) {
        // Some servers rename onto no existing file.
        ftp.Delete(remote);
        error = ftp.Rename(temporary, remote);
    }
    if (error) {
        ftp.Delete(temporary);
    }
    return error;
}

FtpDestination::FtpDestination(platform::FtpConnection& ftp, std::u16string root, fs::path shown,
                               std::u16string parentToCreate, FtpTree* sameTree)
    : ftp_(ftp),
      root_(std::move(root)),
      shown_(std::move(shown)),
      parentToCreate_(std::move(parentToCreate)),
      sameTree_(sameTree) {}

std::u16string FtpDestination::Remote(const fs::path& relative) const {
    return RemoteBelow(root_, relative);
}

std::error_code FtpDestination::EnterFolder(const fs::path& relative, const platform::FileInfo&) {
    if (relative.empty() && !parentToCreate_.empty()) {
        ftp_.MakeFolder(parentToCreate_);
    }
    const std::u16string folder = Remote(relative);
    const auto made = ftp_.MakeFolder(folder);
    // A folder that is there already refuses to be made: being able to enter it is enough.
    if (made && ftp_.ChangeFolder(folder)) {
        return made;
    }
    if (!made && sameTree_ != nullptr) {
        sameTree_->MadeFolder(relative);  // spares the walk listing a folder known empty
    }
    return {};
}

void FtpDestination::Put(const fs::path& source, const fs::path& relative,
                         const platform::FileInfo&, const platform::CopyProgress& progress,
                         PutSettled settled) {
    const auto error = UploadReplacing(ftp_, source, Remote(relative), progress);
    if (!error) {
        received_.insert(relative.parent_path());
    }
    settled(error);
}

void FtpDestination::LeaveFolder(const fs::path& relative) {
    const bool received = received_.erase(relative) > 0;
    // The target itself stays even when empty: the job's next run opens it.
    if (!received && (!relative.empty() || !parentToCreate_.empty())) {
        ftp_.RemoveFolder(Remote(relative));
    }
}

fs::path FtpDestination::FullPath(const fs::path& relative) const {
    return platform::PathFromText(RemoteBelow(platform::PathText(shown_), relative));
}

std::unique_ptr<Destination> FtpTarget::Folder(const fs::path& inside) {
    auto& ftp = *tree_->Connection();
    if (inside.empty()) {
        return std::make_unique<FtpDestination>(ftp, tree_->RemotePath({}), tree_->FullPath({}),
                                                std::u16string(), tree_.get());
    }
    return std::make_unique<FtpDestination>(ftp, tree_->RemotePath(inside), tree_->FullPath(inside),
                                            tree_->RemotePath({}));
}

void FtpTarget::RemoveLeftovers(std::u16string_view prefix) {
    RemoveLeftoverTemporaries(*tree_, prefix);
}

void FtpTarget::DeleteOrphans(JobContext& job, FileTree& base, const OrphanNotes& notes) {
    RemoteOrphans(job, base, *tree_, notes).In(fs::path());
}

std::error_code FtpTarget::ArchiveFolder(fs::path& folder) {
    return archiveFolder_.Get(folder);
}

fs::path FtpTarget::ArchivePath(const fs::path& folder, const std::u16string& datedName,
                                bool mayReplace, std::u16string& entryPrefix) {
    std::unordered_set<std::u16string> taken;
    std::vector<FolderEntry> entries;
    if (!tree_->List(fs::path(), entries, platform::ListDetail::KindsOnly)) {
        for (const auto& entry : entries) {
            taken.insert(tree_->NameKey(entry.name));
        }
    }
    entryPrefix = datedName;
    for (int n = 2; !mayReplace && taken.count(entryPrefix + u".zip"); ++n) {
        entryPrefix = datedName + u"_" + ToDecimal(n);
    }
    return folder / platform::PathFromText(entryPrefix + u".zip");
}

std::error_code FtpTarget::DeliverArchive(const fs::path& archive) {
    auto error =
        UploadReplacing(*tree_->Connection(), archive, tree_->RemotePath(archive.filename()));
    platform::RemoveFile(archive);
    return error;
}

}  // namespace arkivo::engine
