// One side of a job as the walkers see it: a tree of folders and files addressed by paths
// relative to its root, on a local disk or on a server.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace arkivo::engine {

// A file's bytes at a local path for as long as this lives. A download made for it is a
// temporary file, removed with it.
class FetchedFile {
  public:
    FetchedFile() = default;
    FetchedFile(std::filesystem::path path, bool temporary)
        : path_(std::move(path)), temporary_(temporary) {}
    FetchedFile(FetchedFile&& other) noexcept
        : path_(std::move(other.path_)), temporary_(std::exchange(other.temporary_, false)) {}
    FetchedFile& operator=(FetchedFile&& other) noexcept;
    FetchedFile(const FetchedFile&) = delete;
    FetchedFile& operator=(const FetchedFile&) = delete;
    ~FetchedFile();

    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
    bool temporary_ = false;
};

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

    // Where the file's bytes can be read; `info` is what the listing said of it. A tree that
    // must download the file writes it into `landing` when one is given (the folder the copy
    // goes to, so the download itself becomes the copy) and tells how far it got through
    // `progress`.
    virtual std::error_code Fetch(const std::filesystem::path& relative,
                                  const platform::FileInfo& info, FetchedFile& file,
                                  const platform::CopyProgress& progress,
                                  const std::filesystem::path& landing) = 0;

    // Removes a file: only ever one of our own leftover temporary files.
    virtual std::error_code RemoveFile(const std::filesystem::path& relative) = 0;

    // Two names of this tree name the same entry when their keys are equal.
    virtual std::u16string NameKey(const std::filesystem::path& name) const {
        return platform::FileNameKey(name);
    }
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

    std::error_code Fetch(const std::filesystem::path& relative, const platform::FileInfo&,
                          FetchedFile& file, const platform::CopyProgress&,
                          const std::filesystem::path&) override {
        file = FetchedFile(FullPath(relative), false);
        return {};
    }

    std::error_code RemoveFile(const std::filesystem::path& relative) override {
        return platform::RemoveFile(FullPath(relative));
    }

  private:
    std::filesystem::path root_;
};

// Folders whose names begin with "." are walked and deleted only by jobs that take them.
bool IsDotFolder(const platform::FolderEntry& entry);

}  // namespace arkivo::engine
