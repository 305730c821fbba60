#include "cli/run_view.h"

#include <cstdio>
#include <iostream>

#include "cli/console.h"
#include "platform/file_system.h"
#include "settings/lang_ini.h"

namespace arkivo::cli {
namespace {

using Clock = std::chrono::steady_clock;

std::string Rate(std::uint64_t bytes, Clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f MB/s", seconds > 0 ? bytes / seconds / 1e6 : 0.0);
    return buffer;
}

void PrintSkipped(std::uint64_t count, engine::SkipReason reason) {
    if (count == 0) {
        return;
    }
    const bool one = count == 1;
    std::cout << "  skipped " << count << " "
              << (reason == engine::SkipReason::DotFolder
                      ? (one ? "folder whose name begins" : "folders whose names begin")
                      : (one ? "link to a folder" : "links to folders"))
              << (reason == engine::SkipReason::DotFolder ? " with '.'" : "") << '\n';
}

std::string Shortened(const std::string& path, std::size_t width) {
    if (path.size() <= width) {
        return path;
    }
    std::size_t start = path.size() - (width - 3);
    while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80) {
        ++start;  // never cut a character in two
    }
    return "..." + path.substr(start);
}

}  // namespace

RunView::RunView(CLangIni& language, bool interactive, bool dryRun)
    : language_(language), interactive_(interactive), dryRun_(dryRun) {
    // Whoever reads a pipe (a log, a script) sees each line as it happens.
    std::cout << std::unitbuf;
}

void RunView::ClearLine() {
    if (lineShown_) {
        std::cout << "\r\x1b[K" << std::flush;
        lineShown_ = false;
    }
}

void RunView::Redraw(bool force) {
    if (!interactive_) {
        return;
    }
    const auto now = Clock::now();
    if (!force && now - lastDraw_ < std::chrono::milliseconds(100)) {
        return;
    }
    lastDraw_ = now;
    constexpr int kBar = 24;
    const int filled = total_ ? static_cast<int>(std::min(done_, total_) * kBar / total_) : 0;
    std::string line = "job " + std::to_string(job_ + 1) + " [" + std::string(filled, '#') +
                       std::string(kBar - filled, '.') + "] " + std::to_string(done_) + "/" +
                       std::to_string(total_) + " files " + Rate(bytes_, now - jobStart_) + " " +
                       Shortened(current_, 40);
    std::cout << "\r\x1b[K" << line << std::flush;
    lineShown_ = true;
}

void RunView::OnJobStarted(std::size_t jobIndex, std::u16string_view base,
                           std::u16string_view target) {
    std::lock_guard lock(mutex_);
    job_ = jobIndex;
    total_ = done_ = bytes_ = 0;
    current_.clear();
    jobStart_ = Clock::now();
    ClearLine();
    std::cout << "Job " << jobIndex + 1 << ": " << Narrow(base) << " -> " << Narrow(target) << '\n';
}

void RunView::OnProgressRange(std::uint64_t count) {
    std::lock_guard lock(mutex_);
    if (count != 0) {
        total_ = count;
    }
}

void RunView::OnProgressPos(std::uint64_t position) {
    std::lock_guard lock(mutex_);
    done_ = position;
    Redraw(false);
}

void RunView::OnFile(const std::filesystem::path& source) {
    std::lock_guard lock(mutex_);
    current_ = ShownPath(source);
}

void RunView::OnBytesCopied(std::uint64_t bytes) {
    std::lock_guard lock(mutex_);
    bytes_ += bytes;
}

void RunView::OnFailure(const std::filesystem::path& path, const std::filesystem::path& destination,
                        std::error_code error) {
    std::lock_guard lock(mutex_);
    ClearLine();
    std::cerr << "arkivo: failed: " << ShownPath(path);
    if (!destination.empty()) {
        std::cerr << " -> " << ShownPath(destination);
    }
    std::cerr << ": " << error.message() << '\n';
}

void RunView::OnPlannedCopy(const std::filesystem::path& source,
                            const std::filesystem::path& destination) {
    std::lock_guard lock(mutex_);
    ClearLine();
    std::cout << "would copy " << ShownPath(source) << " -> " << ShownPath(destination) << '\n';
}

void RunView::OnPlannedDeletion(const std::filesystem::path& path) {
    std::lock_guard lock(mutex_);
    ClearLine();
    std::cout << "would delete " << ShownPath(path) << '\n';
}

void RunView::OnSkippedFolder(const std::filesystem::path& folder, engine::SkipReason reason) {
    if (!dryRun_) {
        return;
    }
    std::lock_guard lock(mutex_);
    ClearLine();
    std::cout << "would skip " << ShownPath(folder) << " ("
              << (reason == engine::SkipReason::DotFolder ? "its name begins with '.'"
                                                          : "a link to a folder")
              << ")\n";
}

void RunView::OnMessage(const UserMessage& message) {
    std::lock_guard lock(mutex_);
    ClearLine();
    PrintError(Resolve(language_, message));
}

void RunView::OnJobFinished(const engine::JobSummary& summary) {
    std::lock_guard lock(mutex_);
    ClearLine();
    std::cout << "Job " << summary.jobIndex + 1 << ": " << summary.copied << " copied, "
              << summary.deleted << " deleted, " << summary.failed << " failed, "
              << summary.examined << " examined" << (summary.stopped ? " (stopped)" : "") << '\n';
    PrintSkipped(summary.skippedDotFolders, engine::SkipReason::DotFolder);
    PrintSkipped(summary.skippedFolderLinks, engine::SkipReason::FolderLink);
}

void RunView::OnRunFinished(const engine::RunSummary& summary, std::u16string_view complete) {
    std::lock_guard lock(mutex_);
    ClearLine();
    if (summary.refused) {
        return;  // the refusal was the run's only message
    }
    if (!summary.reportFile.empty()) {
        std::cout << "Report: " << ShownPath(summary.reportFile) << '\n';
    }
    if (summary.stopped) {
        std::cout << "The run was stopped.\n";
    } else if (summary.failed > 0) {
        std::cout << summary.failed << " file(s) or folder(s) failed; see the messages above.\n";
    } else {
        PrintLine(std::cout, complete);
    }
}

void RunView::StopRequested() {
    std::lock_guard lock(mutex_);
    ClearLine();
    std::cerr << "arkivo: stopping after the current file (press Ctrl-C again to quit at once)\n";
}

}  // namespace arkivo::cli
