// One side of a job as the walkers see it: a tree of folders and files addressed by paths
// relative to its root. Local folders now; remote trees plug in behind the same interface.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_system.h"

namespace arkivo::engine {

class FileTree {
  public:
    virtual ~FileTree() = default;

    virtual std::error_code List(const std::filesystem::path& relative,
                                 std::vector<platform::FolderEntry>& entries,
                                 platform::ListDetail detail) = 0;

    virtual std::error_code GetInfo(const std::filesystem::path& relative,
                                    platform::FileInfo& info) = 0;

    // The full path of an entry, as filters match it and reports show it.
    virtual std::filesystem::path FullPath(const std::filesystem::path& relative) const = 0;
};

class LocalTree : public FileTree {
  public:
    explicit LocalTree(std::filesystem::path root) : root_(std::move(root)) {}

    std::error_code List(const std::filesystem::path& relative,
                         std::vector<platform::FolderEntry>& entries,
                         platform::ListDetail detail) override {
        return platform::ListFolder(FullPath(relative), entries, detail);
    }

    std::error_code GetInfo(const std::filesystem::path& relative,
                            platform::FileInfo& info) override {
        return platform::GetFileInfo(FullPath(relative), info);
    }

    std::filesystem::path FullPath(const std::filesystem::path& relative) const override {
        return relative.empty() ? root_ : root_ / relative;
    }

  private:
    std::filesystem::path root_;
};

// Folders whose names begin with "." are walked and deleted only by jobs that take them.
bool IsDotFolder(const platform::FolderEntry& entry);

}  // namespace arkivo::engine
