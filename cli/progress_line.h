// The one line a run redraws on a terminal: how far the job is, the bytes written and the
// copy rate, and the file being worked on with its own progress when it is large. It is made
// to fit the terminal's width, giving up details before the file name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace arkivo::cli {

struct ProgressState {
    std::size_t jobNumber = 0;  // as the job list shows it
    bool counting = false;      // the job is still counting its files
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
    std::uint64_t bytesDone = 0;  // the job's, the current file's bytes so far included
    double seconds = 0;           // since the job began copying
    std::string currentFile;      // as the file system holds it; empty before the first
    std::uint64_t fileDone = 0;
    std::uint64_t fileSize = 0;
};

// Files at least this large show their own byte progress.
inline constexpr std::uint64_t kLargeFile = std::uint64_t{4} << 20;

// The line for a terminal `columns` wide; never wider than columns - 1, so that no terminal
// wraps it.
std::string ProgressLine(const ProgressState& state, std::size_t columns);

}  // namespace arkivo::cli
