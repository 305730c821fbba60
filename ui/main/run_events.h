// How the run's worker thread reaches the main dialog: every report is run on the
// user-interface thread, and the worker waits for it, so the data it points to stays valid
// until the dialog has used it.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/run_observer.h"
#include "ui/framework/thread_invoker.h"

namespace arkivo::ui {

// Hands every observer call to the observer on the invoker's thread.
class CWindowRunObserver : public engine::RunObserver {
  public:
    CWindowRunObserver(const CThreadInvoker& invoker, engine::RunObserver& onUiThread)
        : invoker_(invoker), target_(onUiThread) {}

    bool IsJobTicked(std::size_t jobIndex, bool storedTick) override;
    void OnJobStarted(std::size_t jobIndex, std::u16string_view base,
                      std::u16string_view target) override;
    void OnAnalysis(std::size_t jobIndex, bool active) override;
    void OnStatus(std::u16string_view text) override;
    void OnAnimation(engine::Animation animation) override;
    void OnProgressRange(std::uint64_t count) override;
    void OnProgressPos(std::uint64_t position) override;
    void OnPaused(bool paused) override;
    void OnMessage(const UserMessage& message) override;
    void OnRunFinished(const engine::RunSummary& summary,
                       std::u16string_view completeText) override;

  private:
    const CThreadInvoker& invoker_;
    engine::RunObserver& target_;
};

}  // namespace arkivo::ui
