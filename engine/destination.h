// Where a walk puts the files that need copying: a folder (the target itself or a dated
// folder), an archive, or, in a dry run, nowhere.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_system.h"

namespace arkivo::engine {

class RunObserver;

class Destination {
  public:
    virtual ~Destination() = default;

    // Creates the folder that takes the source folder `source` describes (for the root, the
    // error says why the destination is unusable).
    virtual std::error_code EnterFolder(const std::filesystem::path& relative,
                                        const platform::FileInfo& source) = 0;
    // `progress` hears how far a long copy has come, where the destination can tell.
    virtual std::error_code Put(const std::filesystem::path& source,
                                const std::filesystem::path& relative,
                                const platform::FileInfo& info,
                                const platform::CopyProgress& progress) = 0;
    // `received`: whether a file went into exactly this folder. Folders that received nothing
    // and are empty are removed.
    virtual void LeaveFolder(const std::filesystem::path& relative, bool received) = 0;

    virtual std::filesystem::path FullPath(const std::filesystem::path& relative) const = 0;
};

class FolderDestination : public Destination {
  public:
    // `parentToCreate`: one more level created before the root (the target of a dated
    // folder); missing folders above it are never created, so a backup meant for a drive
    // that is not there does not fill another one.
    explicit FolderDestination(std::filesystem::path root,
                               std::filesystem::path parentToCreate = {});

    std::error_code EnterFolder(const std::filesystem::path& relative,
                                const platform::FileInfo& source) override;
    std::error_code Put(const std::filesystem::path& source, const std::filesystem::path& relative,
                        const platform::FileInfo& info,
                        const platform::CopyProgress& progress) override;
    void LeaveFolder(const std::filesystem::path& relative, bool received) override;
    std::filesystem::path FullPath(const std::filesystem::path& relative) const override;

  private:
    struct EnteredFolder {
        std::filesystem::path relative;
        platform::FileInfo source;
    };
    // Makes the folders entered since the last file went in, outermost first.
    std::error_code MakeEnteredFolders();

    std::filesystem::path root_;
    std::filesystem::path parentToCreate_;
    std::vector<EnteredFolder> unmade_;
};

// Records what would be written and writes nothing.
class PlannedDestination : public Destination {
  public:
    PlannedDestination(std::filesystem::path root, RunObserver& observer)
        : root_(std::move(root)), observer_(observer) {}

    std::error_code EnterFolder(const std::filesystem::path&, const platform::FileInfo&) override {
        return {};
    }
    std::error_code Put(const std::filesystem::path& source, const std::filesystem::path& relative,
                        const platform::FileInfo& info,
                        const platform::CopyProgress& progress) override;
    void LeaveFolder(const std::filesystem::path&, bool) override {}
    std::filesystem::path FullPath(const std::filesystem::path& relative) const override {
        return relative.empty() ? root_ : root_ / relative;
    }

  private:
    std::filesystem::path root_;
    RunObserver& observer_;
};

}  // namespace arkivo::engine
