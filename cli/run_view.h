// How a run shows on the terminal: a progress line redrawn in place on a terminal, one line
// per job when the output goes to a file or a pipe.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "engine/run_observer.h"

namespace arkivo {
class CLangIni;
}

namespace arkivo::cli {

class RunView : public engine::RunObserver {
  public:
    // A dry run lists every folder it would leave out; a real run counts them.
    RunView(CLangIni& language, bool interactive, bool dryRun);

    void OnJobStarted(std::size_t jobIndex, std::u16string_view base,
                      std::u16string_view target) override;
    void OnProgressRange(std::uint64_t count) override;
    void OnProgressPos(std::uint64_t position) override;
    void OnFile(const std::filesystem::path& source) override;
    void OnBytesCopied(std::uint64_t bytes) override;
    void OnFailure(const std::filesystem::path& path, const std::filesystem::path& destination,
                   std::error_code error) override;
    void OnPlannedCopy(const std::filesystem::path& source,
                       const std::filesystem::path& destination) override;
    void OnPlannedDeletion(const std::filesystem::path& path) override;
    void OnSkippedFolder(const std::filesystem::path& folder, engine::SkipReason reason) override;
    void OnMessage(const UserMessage& message) override;
    void OnJobFinished(const engine::JobSummary& summary) override;
    void OnRunFinished(const engine::RunSummary& summary, std::u16string_view complete) override;

    // Ctrl-C was pressed once: say that the run is stopping.
    void StopRequested();

  private:
    void Redraw(bool force);
    void ClearLine();

    CLangIni& language_;
    const bool interactive_;
    const bool dryRun_;
    std::mutex mutex_;
    std::size_t job_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    std::uint64_t bytes_ = 0;
    std::string current_;
    std::chrono::steady_clock::time_point jobStart_;
    std::chrono::steady_clock::time_point lastDraw_;
    bool lineShown_ = false;
};

}  // namespace arkivo::cli
