// How the run's worker thread reaches the main dialog: one window message, sent so that the
// data it points to stays valid until the dialog has used it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "engine/run_observer.h"

namespace arkivo::ui {

inline constexpr UINT WM_RUN_EVENT = WM_APP + 1;
// Posted once the run's worker has let go, to show the completion dialog.
inline constexpr UINT WM_RUN_COMPLETE = WM_APP + 2;

struct RunEvent {
    enum class Kind {
        QueryTick,
        JobStarted,
        Analysis,
        Status,
        Animation,
        ProgressRange,
        ProgressPos,
        Paused,
        Message,
        Finished,
    };
    Kind kind = Kind::Status;
    std::size_t jobIndex = 0;
    std::u16string_view first;
    std::u16string_view second;
    std::uint64_t number = 0;
    bool flag = false;
    engine::Animation animation = engine::Animation::Copy;
    const UserMessage* message = nullptr;
    const engine::RunSummary* summary = nullptr;
};

// Forwards every observer call to the window as a WM_RUN_EVENT.
class CWindowRunObserver : public engine::RunObserver {
  public:
    explicit CWindowRunObserver(HWND window) : window_(window) {}

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
    LRESULT Send(const RunEvent& event) const;

    HWND window_;
};

}  // namespace arkivo::ui
