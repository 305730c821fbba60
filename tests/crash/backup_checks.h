// What a backup target may hold at any moment, whenever its run was killed: under a real name
// only files byte-identical to a version their source had, and archives that read back whole.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "crash/source_history.h"
#include "platform/files.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace arkivo::test {

inline bool IsDatedName(const std::string& name) {
    return name.rfind("DIF_", 0) == 0 || name.rfind("INC_", 0) == 0 || name.rfind("SPD_", 0) == 0;
}

// The path a file of the target stands for in the source: the dated folder it is in, if
// any, is not part of it.
inline std::string SourceRelative(const std::filesystem::path& relative) {
    auto it = relative.begin();
    if (it != relative.end() && IsDatedName(it->string()) && std::next(it) != relative.end()) {
        std::filesystem::path rest;
        for (++it; it != relative.end(); ++it) {
            rest /= *it;
        }
        return rest.generic_string();
    }
    return relative.generic_string();
}

inline void CheckCopiedFiles(const std::filesystem::path& root, const SourceHistory& history,
                             const std::string& where) {
    for (auto it = std::filesystem::recursive_directory_iterator(root);
         it != std::filesystem::recursive_directory_iterator(); ++it) {
        if (!it->is_regular_file() || platform::IsTemporaryName(it->path().filename())) {
            continue;
        }
        const auto relative = SourceRelative(std::filesystem::relative(it->path(), root));
        EXPECT_TRUE(history.HadVersion(relative, ReadBytes(it->path())))
            << where << relative << " is no version its source ever had";
    }
}

inline void CheckArchive(const std::filesystem::path& archive, const std::filesystem::path& arkivo,
                         const SourceHistory& history) {
    const auto verified =
        RunProgram(arkivo, {"verify", archive.string()}, {}, archive.parent_path());
    EXPECT_EQ(verified.exitCode, 0) << archive << ": " << verified.out << verified.err;
    const auto tested = RunProgram("/usr/bin/unzip", {"-tq", archive.string()}, {}, "/");
    EXPECT_EQ(tested.exitCode, 0) << archive << ": " << tested.out << tested.err;
    TempFolder extracted;
    const auto unpacked = RunProgram(
        "/usr/bin/unzip", {"-qo", archive.string(), "-d", extracted.path().string()}, {}, "/");
    ASSERT_EQ(unpacked.exitCode, 0) << archive << ": " << unpacked.err;
    CheckCopiedFiles(extracted.path(), history, archive.filename().string() + ": ");
}

// Every file and archive under a real name in the target.
inline void CheckTarget(const std::filesystem::path& target, const std::filesystem::path& arkivo,
                        const SourceHistory& history) {
    if (!std::filesystem::exists(target)) {
        return;
    }
    for (const auto& entry : std::filesystem::directory_iterator(target)) {
        const auto name = entry.path().filename().string();
        if (entry.is_regular_file() && IsDatedName(name) && entry.path().extension() == ".zip") {
            CheckArchive(entry.path(), arkivo, history);
        }
    }
    for (auto it = std::filesystem::recursive_directory_iterator(target);
         it != std::filesystem::recursive_directory_iterator(); ++it) {
        if (it->is_regular_file() && it->path().extension() == ".zip" &&
            IsDatedName(it->path().filename().string())) {
            continue;
        }
        if (it->is_regular_file() && !platform::IsTemporaryName(it->path().filename())) {
            const auto relative = SourceRelative(std::filesystem::relative(it->path(), target));
            EXPECT_TRUE(history.HadVersion(relative, ReadBytes(it->path())))
                << relative << " is no version its source ever had";
        }
    }
}

// The dated folder or archive the last run wrote into.
inline std::filesystem::path NewestDated(const std::filesystem::path& target) {
    std::filesystem::path newest;
    std::filesystem::file_time_type newestTime{};
    for (const auto& entry : std::filesystem::directory_iterator(target)) {
        if (IsDatedName(entry.path().filename().string()) &&
            (newest.empty() || entry.last_write_time() > newestTime)) {
            newest = entry.path();
            newestTime = entry.last_write_time();
        }
    }
    return newest;
}

}  // namespace arkivo::test
