#include "ui/main/run_events.h"

namespace arkivo::ui {

bool CWindowRunObserver::IsJobTicked(std::size_t jobIndex, bool storedTick) {
    return invoker_.Send([&] { return target_.IsJobTicked(jobIndex, storedTick); });
}

void CWindowRunObserver::OnJobStarted(std::size_t jobIndex, std::u16string_view base,
                                      std::u16string_view target) {
    invoker_.Send([&] { target_.OnJobStarted(jobIndex, base, target); });
}

void CWindowRunObserver::OnAnalysis(std::size_t jobIndex, bool active) {
    invoker_.Send([&] { target_.OnAnalysis(jobIndex, active); });
}

void CWindowRunObserver::OnStatus(std::u16string_view text) {
    invoker_.Send([&] { target_.OnStatus(text); });
}

void CWindowRunObserver::OnAnimation(engine::Animation animation) {
    invoker_.Send([&] { target_.OnAnimation(animation); });
}

void CWindowRunObserver::OnProgressRange(std::uint64_t count) {
    invoker_.Send([&] { target_.OnProgressRange(count); });
}

void CWindowRunObserver::OnProgressPos(std::uint64_t position) {
    invoker_.Send([&] { target_.OnProgressPos(position); });
}

void CWindowRunObserver::OnPaused(bool paused) {
    invoker_.Send([&] { target_.OnPaused(paused); });
}

void CWindowRunObserver::OnMessage(const UserMessage& message) {
    invoker_.Send([&] { target_.OnMessage(message); });
}

void CWindowRunObserver::OnRunFinished(const engine::RunSummary& summary,
                                       std::u16string_view completeText) {
    invoker_.Send([&] { target_.OnRunFinished(summary, completeText); });
}

}  // namespace arkivo::ui
