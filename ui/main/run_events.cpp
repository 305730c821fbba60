#include "ui/main/run_events.h"

namespace arkivo::ui {

using Kind = RunEvent::Kind;

namespace {

RunEvent EventOf(Kind kind) {
    RunEvent event;
    event.kind = kind;
    return event;
}

}  // namespace

LRESULT CWindowRunObserver::Send(const RunEvent& event) const {
    return ::SendMessageW(window_, WM_RUN_EVENT, 0, reinterpret_cast<LPARAM>(&event));
}

bool CWindowRunObserver::IsJobTicked(std::size_t jobIndex, bool storedTick) {
    RunEvent event = EventOf(Kind::QueryTick);
    event.jobIndex = jobIndex;
    event.flag = storedTick;
    return Send(event) != 0;
}

void CWindowRunObserver::OnJobStarted(std::size_t jobIndex, std::u16string_view base,
                                      std::u16string_view target) {
    RunEvent event = EventOf(Kind::JobStarted);
    event.jobIndex = jobIndex;
    event.first = base;
    event.second = target;
    Send(event);
}

void CWindowRunObserver::OnAnalysis(std::size_t jobIndex, bool active) {
    RunEvent event = EventOf(Kind::Analysis);
    event.jobIndex = jobIndex;
    event.flag = active;
    Send(event);
}

void CWindowRunObserver::OnStatus(std::u16string_view text) {
    RunEvent event = EventOf(Kind::Status);
    event.first = text;
    Send(event);
}

void CWindowRunObserver::OnAnimation(engine::Animation animation) {
    RunEvent event = EventOf(Kind::Animation);
    event.animation = animation;
    Send(event);
}

void CWindowRunObserver::OnProgressRange(std::uint64_t count) {
    RunEvent event = EventOf(Kind::ProgressRange);
    event.number = count;
    Send(event);
}

void CWindowRunObserver::OnProgressPos(std::uint64_t position) {
    RunEvent event = EventOf(Kind::ProgressPos);
    event.number = position;
    Send(event);
}

void CWindowRunObserver::OnPaused(bool paused) {
    RunEvent event = EventOf(Kind::Paused);
    event.flag = paused;
    Send(event);
}

void CWindowRunObserver::OnMessage(const UserMessage& message) {
    RunEvent event = EventOf(Kind::Message);
    event.message = &message;
    Send(event);
}

void CWindowRunObserver::OnRunFinished(const engine::RunSummary& summary,
                                       std::u16string_view completeText) {
    RunEvent event = EventOf(Kind::Finished);
    event.summary = &summary;
    event.first = completeText;
    Send(event);
}

}  // namespace arkivo::ui
