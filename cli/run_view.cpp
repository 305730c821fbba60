#include "cli/run_view.h"

#include <unistd.h>

#include <iostream>
#include <sstream>

#include "cli/archive_check_text.h"
#include "cli/console.h"
#include "cli/run_json.h"
#include "cli/run_summary_text.h"
#include "cli/terminal.h"
#include "cli/text_width.h"
#include "cli/ticker.h"
#include "common/text.h"
#include "settings/lang_ini.h"

namespace arkivo::cli {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kAssumedColumns = 80;
constexpr auto kRedrawPeriod = std::chrono::milliseconds(100);

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const char* SkipText(engine::SkipReason reason) {
    switch (reason) {
        case engine::SkipReason::DotFolder:
            return "its name begins with '.'";
        case engine::SkipReason::FolderLink:
            return "a link to a folder";
        case engine::SkipReason::SpecialFile:
            return "a special file: socket, FIFO or device";
    }
    return "";
}

// Each line of `lines` to `out`, wrapped to the width of the terminal behind `fd` if it is one.
void WriteLines(std::ostream& out, int fd, const std::string& lines) {
    const auto columns = TerminalColumns(fd);
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        if (!columns) {
            out << line << '\n';
            continue;
        }
        // The last column is left free: some terminals wrap as soon as it is written.
        for (const auto& piece : Wrapped(line, *columns > 1 ? *columns - 1 : 1)) {
            out << piece << '\n';
        }
    }
    out << std::flush;
}

}  // namespace

RunView::RunView(CLangIni& language, RunOutput output, bool interactive, bool dryRun, bool verify)
    : language_(language),
      output_(output),
      interactive_(interactive && output == RunOutput::Normal),
      runStart_(Clock::now()),
      copyStart_(runStart_) {
    record_.dryRun = dryRun;
    record_.verify = verify;
    record_.started = std::chrono::system_clock::now();
    // Whoever reads a pipe (a log, a script) sees each line as it happens.
    std::cout << std::unitbuf;
    if (interactive_) {
        ticker_ = std::make_unique<Ticker>(kRedrawPeriod, [this] {
            std::lock_guard lock(mutex_);
            Redraw();
        });
    }
}

RunView::~RunView() = default;

void RunView::Say(const std::string& lines) {
    if (lines.empty()) {
        return;
    }
    ClearLine();
    WriteLines(std::cout, STDOUT_FILENO, lines);
}

void RunView::Complain(const std::string& lines) {
    if (lines.empty()) {
        return;
    }
    ClearLine();
    WriteLines(std::cerr, STDERR_FILENO, lines);
}

void RunView::ClearLine() {
    if (lineShown_) {
        std::cout << "\r\x1b[K" << std::flush;
        lineShown_ = false;
    }
}

// Called with the mutex held.
void RunView::Redraw() {
    if (!interactive_ || !job_) {
        return;
    }
    progress_.bytesDone = jobBytes_ + progress_.fileDone;
    progress_.seconds = SecondsSince(copyStart_);
    const auto columns = TerminalColumns(STDOUT_FILENO).value_or(kAssumedColumns);
    // One write: a terminal never shows the line cleared and not yet drawn again.
    std::cout << "\r\x1b[K" + ProgressLine(progress_, columns) << std::flush;
    lineShown_ = true;
    lastDraw_ = Clock::now();
}

void RunView::OnJobStarted(std::size_t jobIndex, std::u16string_view base,
                           std::u16string_view target) {
    std::lock_guard lock(mutex_);
    job_ = JobResult{{}, Utf16ToUtf8(base), Utf16ToUtf8(target)};
    job_->summary.jobIndex = jobIndex;
    jobBytes_ = 0;
    progress_ = ProgressState{};
    progress_.jobNumber = jobIndex + 1;
    copyStart_ = Clock::now();
    if (Talks()) {
        Say("Job " + std::to_string(jobIndex + 1) + ": " + Narrow(base) + " -> " + Narrow(target));
    }
}

void RunView::OnAnalysis(std::size_t, bool active) {
    std::lock_guard lock(mutex_);
    progress_.counting = active;
    if (!active) {
        copyStart_ = Clock::now();
    }
}

void RunView::OnProgressRange(std::uint64_t count) {
    std::lock_guard lock(mutex_);
    if (count != 0) {
        progress_.filesTotal = count;
    }
}

void RunView::OnProgressPos(std::uint64_t position) {
    std::lock_guard lock(mutex_);
    progress_.filesDone = position;
}

void RunView::OnFile(const std::filesystem::path& source) {
    std::lock_guard lock(mutex_);
    progress_.currentFile = source.string();
    progress_.fileDone = progress_.fileSize = 0;
    // Shown at once, so a large file never sits behind the name of the one before, unless
    // the line was drawn a moment ago: many small files must not flood the terminal.
    if (Clock::now() - lastDraw_ >= kRedrawPeriod / 2) {
        Redraw();
    }
}

void RunView::OnFileProgress(std::uint64_t done, std::uint64_t size) {
    std::lock_guard lock(mutex_);
    progress_.fileDone = done;
    progress_.fileSize = size;
}

void RunView::OnBytesCopied(std::uint64_t bytes) {
    std::lock_guard lock(mutex_);
    jobBytes_ += bytes;
    progress_.fileDone = progress_.fileSize = 0;
}

void RunView::OnFailure(const std::filesystem::path& path, const std::filesystem::path& destination,
                        std::error_code error) {
    std::lock_guard lock(mutex_);
    progress_.fileDone = progress_.fileSize = 0;
    std::string line = "arkivo: failed: " + ShownPath(path);
    if (!destination.empty()) {
        line += " -> " + ShownPath(destination);
    }
    Complain(line + ": " + error.message());
    if (output_ == RunOutput::Json) {
        record_.failures.push_back({path.string(), destination.string(), error.message()});
    }
}

void RunView::OnPlannedCopy(const std::filesystem::path& source,
                            const std::filesystem::path& destination) {
    if (!Talks()) {
        return;
    }
    std::lock_guard lock(mutex_);
    Say("would copy " + ShownPath(source) + " -> " + ShownPath(destination));
}

void RunView::OnPlannedDeletion(const std::filesystem::path& path) {
    if (!Talks()) {
        return;
    }
    std::lock_guard lock(mutex_);
    Say("would delete " + ShownPath(path));
}

void RunView::OnSkipped(const std::filesystem::path& path, engine::SkipReason reason) {
    std::lock_guard lock(mutex_);
    if (output_ == RunOutput::Json) {
        record_.skipped.push_back({path.string(), reason});
    }
    if (Talks() && record_.dryRun) {
        Say("would skip " + ShownPath(path) + " (" + SkipText(reason) + ")");
    }
}

void RunView::OnArchiveVerified(const std::filesystem::path& archive,
                                const zip::ArchiveVerdict& verdict) {
    std::lock_guard lock(mutex_);
    std::ostringstream said, errors;
    PrintVerdict(Talks() ? &said : nullptr, errors, "verified " + ShownPath(archive), verdict);
    Say(said.str());
    Complain(errors.str());
    if (output_ == RunOutput::Json && verdict.status != zip::ArchiveCheck::Ok) {
        record_.damagedArchives.push_back({archive.string(), verdict});
    }
}

void RunView::OnMessage(const UserMessage& message) {
    std::lock_guard lock(mutex_);
    const std::u16string text = Resolve(language_, message);
    Complain("arkivo: " + Narrow(text));
    if (output_ == RunOutput::Json) {
        record_.messages.push_back(Narrow(text));
    }
}

void RunView::OnJobFinished(const engine::JobSummary& summary) {
    std::lock_guard lock(mutex_);
    ClearLine();
    if (job_) {
        job_->summary = summary;
        record_.jobs.push_back(std::move(*job_));
        job_.reset();
    }
    if (Talks()) {
        std::ostringstream said;
        PrintJobResult(said, summary, record_.dryRun);
        Say(said.str());
    }
}

void RunView::OnRunFinished(const engine::RunSummary& summary, std::u16string_view complete) {
    std::lock_guard lock(mutex_);
    job_.reset();
    ClearLine();
    record_.summary = summary;
    record_.reportFile = summary.reportFile.string();
    record_.seconds = SecondsSince(runStart_);
    switch (output_) {
        case RunOutput::Normal: {
            std::ostringstream said;
            PrintRunSummary(said, record_, language_, complete);
            Say(said.str());
            break;
        }
        case RunOutput::Json:
            std::cout << RunJson(record_) << '\n';
            break;
        case RunOutput::Quiet:
            break;
    }
}

void RunView::StopRequested() {
    std::lock_guard lock(mutex_);
    Complain("arkivo: stopping after the current file (press Ctrl-C again to quit at once)");
}

}  // namespace arkivo::cli
