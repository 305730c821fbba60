// How a run shows on the command line. On a terminal, a progress line redrawn in place; into
// a file or a pipe, a line as each job starts and ends. Then one summary per run, in words or
// (`--json`) as one JSON object. Failures and messages go to standard error in every mode.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "cli/progress_line.h"
#include "cli/run_record.h"
#include "engine/run_observer.h"

namespace arkivo {
class CLangIni;
}

namespace arkivo::cli {

class Ticker;

enum class RunOutput {
    Normal,
    Quiet,  // errors only
    Json,   // standard output holds the summary object and nothing else
};

class RunView : public engine::RunObserver {
  public:
    // A dry run lists every copy, deletion and folder it would make or leave out; a real run
    // counts them.
    RunView(CLangIni& language, RunOutput output, bool interactive, bool dryRun, bool verify);
    ~RunView() override;

    void OnJobStarted(std::size_t jobIndex, std::u16string_view base,
                      std::u16string_view target) override;
    bool ShowsProgress() const override { return interactive_; }
    void OnAnalysis(std::size_t jobIndex, bool active) override;
    void OnProgressRange(std::uint64_t count) override;
    void OnProgressPos(std::uint64_t position) override;
    void OnFile(const std::filesystem::path& source) override;
    void OnFileProgress(std::uint64_t done, std::uint64_t size) override;
    void OnBytesCopied(std::uint64_t bytes) override;
    void OnFailure(const std::filesystem::path& path, const std::filesystem::path& destination,
                   std::error_code error) override;
    void OnPlannedCopy(const std::filesystem::path& source,
                       const std::filesystem::path& destination) override;
    void OnPlannedDeletion(const std::filesystem::path& path) override;
    void OnSkipped(const std::filesystem::path& path, engine::SkipReason reason) override;
    void OnArchiveVerified(const std::filesystem::path& archive,
                           const zip::ArchiveVerdict& verdict) override;
    void OnMessage(const UserMessage& message) override;
    void OnJobFinished(const engine::JobSummary& summary) override;
    void OnRunFinished(const engine::RunSummary& summary, std::u16string_view complete) override;

    // Ctrl-C was pressed once: say that the run is stopping.
    void StopRequested();

  private:
    bool Talks() const { return output_ == RunOutput::Normal; }
    void Redraw();
    void ClearLine();
    // Lines for standard output or standard error; on a terminal each is wrapped to its width.
    void Say(const std::string& lines);
    void Complain(const std::string& lines);

    CLangIni& language_;
    const RunOutput output_;
    const bool interactive_;
    std::mutex mutex_;
    RunRecord record_;
    std::chrono::steady_clock::time_point runStart_;
    std::chrono::steady_clock::time_point copyStart_;
    std::chrono::steady_clock::time_point lastDraw_;
    std::optional<JobResult> job_;  // the job under way
    std::uint64_t jobBytes_ = 0;    // of the files the job has finished
    ProgressState progress_;
    bool lineShown_ = false;
    std::unique_ptr<Ticker> ticker_;  // last: it stops before the state it draws goes
};

}  // namespace arkivo::cli
