// Building small real folder trees for tests, and comparing two of them.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_folder.h"

namespace arkivo::test {

// Writes a file (creating its folders) and gives it the last-write time, in seconds since
// 1970, when one is given.
inline void MakeFile(const std::filesystem::path& path, const std::string& content,
                     std::int64_t lastWrite = 0) {
    WriteBytes(path, content);
    if (lastWrite != 0) {
#ifdef _WIN32
        struct __utimbuf64 times {};
        times.actime = lastWrite;
        times.modtime = lastWrite;
        ::_wutime64(path.c_str(), &times);
#else
        struct utimbuf times {};
        times.actime = static_cast<time_t>(lastWrite);
        times.modtime = static_cast<time_t>(lastWrite);
        ::utime(path.c_str(), &times);
#endif
    }
}

inline std::int64_t LastWrite(const std::filesystem::path& path) {
#ifdef _WIN32
    struct _stat64 st {};
    ::_wstat64(path.c_str(), &st);
#else
    struct stat st {};
    ::stat(path.c_str(), &st);
#endif
    return static_cast<std::int64_t>(st.st_mtime);
}

// Every file below root by relative path, with its content; folders as "path/".
inline std::map<std::string, std::string> TreeContents(const std::filesystem::path& root) {
    std::map<std::string, std::string> contents;
    if (!std::filesystem::exists(root)) {
        return contents;
    }
    for (auto it = std::filesystem::recursive_directory_iterator(root);
         it != std::filesystem::recursive_directory_iterator(); ++it) {
        const auto relative = std::filesystem::relative(it->path(), root).generic_string();
        if (it->is_symlink()) {
            contents[relative + "@"] = "";
            if (it->is_directory()) {
                it.disable_recursion_pending();
            }
        } else if (it->is_directory()) {
            contents[relative + "/"] = "";
        } else {
            contents[relative] = ReadBytes(it->path());
        }
    }
    return contents;
}

// The files only, for comparing a backup with its source.
inline std::map<std::string, std::string> FileContents(const std::filesystem::path& root) {
    auto contents = TreeContents(root);
    for (auto it = contents.begin(); it != contents.end();) {
        it = it->first.back() == '/' ? contents.erase(it) : std::next(it);
    }
    return contents;
}

// The one entry directly in `folder` whose name begins with `prefix` (the dated folder or
// archive a run made); a second one or none fails the test.
inline std::filesystem::path OnlyDatedOutput(const std::filesystem::path& folder,
                                             std::string_view prefix) {
    std::filesystem::path found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0) {
            EXPECT_TRUE(found.empty()) << "two dated outputs: " << found << " " << entry.path();
            found = entry.path();
        }
    }
    EXPECT_FALSE(found.empty()) << "no " << prefix << " output in " << folder;
    return found;
}

// The folders directly in target whose names begin with prefix (the dated folders).
inline std::vector<std::filesystem::path> DatedFolders(const std::filesystem::path& target,
                                                       const std::string& prefix) {
    std::vector<std::filesystem::path> found;
    if (!std::filesystem::exists(target)) {
        return found;
    }
    for (const auto& entry : std::filesystem::directory_iterator(target)) {
        if (entry.is_directory() && entry.path().filename().string().rfind(prefix, 0) == 0) {
            found.push_back(entry.path());
        }
    }
    return found;
}

}  // namespace arkivo::test
