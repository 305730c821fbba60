// Where a job's copies go, as a route builds it: a local folder or a folder on a server. The
// runner asks it for the same things whatever it is.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "engine/destination.h"
#include "engine/file_tree.h"
#include "platform/file_system_flusher.h"

namespace arkivo::engine {

class JobContext;

struct OrphanNotes {
    std::u16string_view skipped;     // the base could not be read: nothing deleted
    std::u16string_view unreadable;  // a base folder could not be read: nothing below it deleted
};

class TargetSide {
  public:
    virtual ~TargetSide() = default;

    // Whether copies must not go there (the job was told why and the failure counted).
    virtual bool Refused(JobContext& job) = 0;
    // The target as it is, for the rules that compare with it.
    virtual FileTree& Reference() = 0;
    // Local copies keep their source's time; an upload takes the time of its transfer.
    virtual bool KeepsSourceTimes() const = 0;
    // The folder `inside` the target ("" for the target itself) taking copies; a folder
    // inside is made along with the target.
    virtual std::unique_ptr<Destination> Folder(const std::filesystem::path& inside) = 0;
    // Our temporary files an interrupted dated run of this prefix left, removed.
    virtual void RemoveLeftovers(std::u16string_view prefix) = 0;
    // Entries the base lacks, deleted and reported.
    virtual void DeleteOrphans(JobContext& job, FileTree& base, const OrphanNotes& notes) = 0;
    // The local folder an archive is written in; DeliverArchive then puts it in the target.
    virtual std::error_code ArchiveFolder(std::filesystem::path& folder) = 0;
    // The archive's path in that folder, named after the dated name so that it replaces one
    // of the target only when `mayReplace` (ChooseArchiveName).
    virtual std::filesystem::path ArchivePath(const std::filesystem::path& folder,
                                              const std::u16string& datedName, bool mayReplace,
                                              std::u16string& entryPrefix) = 0;
    virtual std::error_code DeliverArchive(const std::filesystem::path& archive) = 0;
    // The run may write into the target from now on.
    virtual void BeginWriting() {}
    // The run wrote its first file into the target.
    virtual void WritingBegan() {}
    // What was written is kept even if the power goes now.
    virtual std::error_code Flush() = 0;
};

class LocalTarget : public TargetSide {
  public:
    explicit LocalTarget(std::filesystem::path root) : root_(std::move(root)), tree_(root_) {}

    bool Refused(JobContext& job) override;
    FileTree& Reference() override { return tree_; }
    bool KeepsSourceTimes() const override { return true; }
    std::unique_ptr<Destination> Folder(const std::filesystem::path& inside) override;
    void RemoveLeftovers(std::u16string_view prefix) override;
    void DeleteOrphans(JobContext& job, FileTree& base, const OrphanNotes& notes) override;
    std::error_code ArchiveFolder(std::filesystem::path& folder) override {
        folder = root_;
        return {};
    }
    std::filesystem::path ArchivePath(const std::filesystem::path& folder,
                                      const std::u16string& datedName, bool mayReplace,
                                      std::u16string& entryPrefix) override;
    std::error_code DeliverArchive(const std::filesystem::path&) override { return {}; }
    void BeginWriting() override;
    void WritingBegan() override { flusher_.Start(); }
    std::error_code Flush() override;

  private:
    std::filesystem::path root_;
    LocalTree tree_;
    platform::FileSystemFlusher flusher_;
};

}  // namespace arkivo::engine
