// A job's target folder on an FTP server, reached over the connection its tree reads with.
// An upload goes to a temporary name and is renamed when whole, so a cut transfer never leaves
// part of a file under the real name. An archive is written locally in a private folder, then
// uploaded the same way.
#pragma once

#include <memory>
#include <set>

#include "engine/ftp_tree.h"
#include "engine/scratch_folder.h"
#include "engine/target_side.h"

namespace arkivo::engine {

class FtpDestination : public Destination {
  public:
    // `parentToCreate`: made before the root when not there (the target of a dated folder).
    // `sameTree`: the tree of the same folder, told of the folders made in it.
    FtpDestination(platform::FtpConnection& ftp, std::u16string root, std::filesystem::path shown,
                   std::u16string parentToCreate = {}, FtpTree* sameTree = nullptr);

    std::error_code EnterFolder(const std::filesystem::path& relative,
                                const platform::FileInfo& source) override;
    void Put(const std::filesystem::path& source, const std::filesystem::path& relative,
             const platform::FileInfo& info, const platform::CopyProgress& progress,
             PutSettled settled) override;
    void LeaveFolder(const std::filesystem::path& relative) override;
    std::filesystem::path FullPath(const std::filesystem::path& relative) const override;

  private:
    std::u16string Remote(const std::filesystem::path& relative) const;

    platform::FtpConnection& ftp_;
    std::u16string root_;
    std::filesystem::path shown_;
    std::u16string parentToCreate_;
    FtpTree* sameTree_;
    // The folders entered and not left yet that a file went into.
    std::set<std::filesystem::path> received_;
};

// Stores the local file under `remote`: sent under a temporary name beside it, then renamed.
std::error_code UploadReplacing(platform::FtpConnection& ftp, const std::filesystem::path& local,
                                const std::u16string& remote,
                                const platform::CopyProgress& progress = {});

class FtpTarget : public TargetSide {
  public:
    explicit FtpTarget(std::unique_ptr<FtpTree> tree) : tree_(std::move(tree)) {}

    bool Refused(JobContext&) override { return false; }
    FileTree& Reference() override { return *tree_; }
    bool KeepsSourceTimes() const override { return false; }
    std::unique_ptr<Destination> Folder(const std::filesystem::path& inside) override;
    void RemoveLeftovers(std::u16string_view prefix) override;
    void DeleteOrphans(JobContext& job, FileTree& base, const OrphanNotes& notes) override;
    std::error_code ArchiveFolder(std::filesystem::path& folder) override;
    // Named against what the server holds: the archive is only written locally.
    std::filesystem::path ArchivePath(const std::filesystem::path& folder,
                                      const std::u16string& datedName, bool mayReplace,
                                      std::u16string& entryPrefix) override;
    std::error_code DeliverArchive(const std::filesystem::path& archive) override;
    std::error_code Flush() override { return {}; }

  private:
    std::unique_ptr<FtpTree> tree_;
    ScratchFolder archiveFolder_;
};

}  // namespace arkivo::engine
