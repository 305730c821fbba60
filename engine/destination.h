// Where a walk puts the files that need copying: a folder (the target itself or a dated
// folder), an archive, or, in a dry run, nowhere.
#pragma once

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_system.h"

namespace arkivo::engine {

class RunObserver;

// How a put ended: no error once the file is really where it was put.
using PutSettled = std::function<void(std::error_code)>;

class Destination {
  public:
    virtual ~Destination() = default;

    // Creates the folder that takes the source folder `source` describes (for the root, the
    // error says why the destination is unusable).
    virtual std::error_code EnterFolder(const std::filesystem::path& relative,
                                        const platform::FileInfo& source) = 0;
    // `progress` hears how far a long copy has come, where the destination can tell, before
    // Put returns. `settled` hears how the put ended: before Put returns, or, where the
    // destination works ahead (an archive compressed on several threads), during a later Put
    // or Settle; always on the thread that called Put, in the order of the puts.
    virtual void Put(const std::filesystem::path& source, const std::filesystem::path& relative,
                     const platform::FileInfo& info, const platform::CopyProgress& progress,
                     PutSettled settled) = 0;
    // Returns once every put has been settled.
    virtual void Settle() {}
    // A local folder where a file fetched for `relative` may be written under one of our
    // temporary names, for Put to rename into place instead of copying; empty where Put
    // reads its source (an archive, a server, a plan).
    virtual std::filesystem::path LandingFolder(const std::filesystem::path&) { return {}; }
    // Folders that received no file and are empty are removed.
    virtual void LeaveFolder(const std::filesystem::path& relative) = 0;

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
    void Put(const std::filesystem::path& source, const std::filesystem::path& relative,
             const platform::FileInfo& info, const platform::CopyProgress& progress,
             PutSettled settled) override;
    std::filesystem::path LandingFolder(const std::filesystem::path& relative) override;
    void LeaveFolder(const std::filesystem::path& relative) override;
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
    // The folders entered and not left yet that a file went into.
    std::set<std::filesystem::path> received_;
};

// Records what would be written and writes nothing.
class PlannedDestination : public Destination {
  public:
    PlannedDestination(std::filesystem::path root, RunObserver& observer)
        : root_(std::move(root)), observer_(observer) {}

    std::error_code EnterFolder(const std::filesystem::path&, const platform::FileInfo&) override {
        return {};
    }
    void Put(const std::filesystem::path& source, const std::filesystem::path& relative,
             const platform::FileInfo& info, const platform::CopyProgress& progress,
             PutSettled settled) override;
    void LeaveFolder(const std::filesystem::path&) override {}
    std::filesystem::path FullPath(const std::filesystem::path& relative) const override {
        return relative.empty() ? root_ : root_ / relative;
    }

  private:
    std::filesystem::path root_;
    RunObserver& observer_;
};

}  // namespace arkivo::engine
