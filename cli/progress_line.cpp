#include "cli/progress_line.h"

#include <algorithm>
#include <vector>

#include "cli/quantities.h"
#include "cli/text_width.h"

namespace arkivo::cli {
namespace {

// A file name is worth showing only with this many columns at least.
constexpr std::size_t kLeastNameWidth = 16;

std::string JobCounts(const ProgressState& state) {
    return Grouped(state.filesDone) + "/" + Grouped(state.filesTotal);
}

// The job's figures, from the fullest to the shortest.
std::vector<std::string> Figures(const ProgressState& state) {
    const std::string job = "job " + std::to_string(state.jobNumber) + ": ";
    const std::string bytes =
        ByteSize(state.bytesDone) + ", " + Rate(state.bytesDone, state.seconds);
    return {job + JobCounts(state) + " files, " + bytes, JobCounts(state) + ", " + bytes,
            JobCounts(state)};
}

// The current file's own progress, from the fullest to the shortest.
std::vector<std::string> FileFigures(const ProgressState& state) {
    if (state.fileSize < kLargeFile) {
        return {""};
    }
    const auto percent = std::min<std::uint64_t>(100, state.fileDone * 100 / state.fileSize);
    const std::string share = std::to_string(percent) + "%";
    return {" " + ByteSize(state.fileDone) + " of " + ByteSize(state.fileSize) + " (" + share + ")",
            " " + share};
}

}  // namespace

std::string ProgressLine(const ProgressState& state, std::size_t columns) {
    const std::size_t room = columns > 1 ? columns - 1 : 0;
    if (state.counting) {
        return CutAtTheEnd("job " + std::to_string(state.jobNumber) + ": counting the files\u2026",
                           room);
    }
    const auto figures = Figures(state);
    if (state.currentFile.empty()) {
        return CutAtTheEnd(figures.front(), room);
    }
    const std::string name = OnOneLine(state.currentFile);
    const std::size_t nameWidth = DisplayWidth(name);
    constexpr std::string_view kGap = "  ";
    for (const auto& fileFigures : FileFigures(state)) {
        for (const auto& jobFigures : figures) {
            const std::size_t taken =
                DisplayWidth(jobFigures) + kGap.size() + DisplayWidth(fileFigures);
            if (taken + std::min(nameWidth, kLeastNameWidth) <= room) {
                return jobFigures + std::string(kGap) + CutInTheMiddle(name, room - taken) +
                       fileFigures;
            }
        }
    }
    return CutAtTheEnd(figures.back() + std::string(kGap) + name, room);
}

}  // namespace arkivo::cli
