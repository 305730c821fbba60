// The main dialog's timers: the scheduler's tick, the periodic auto-detect pass, and the end
// of a pass started by the auto-detect button. Every timer is one-shot and armed again by its
// own handler, so a handler that takes long never has a second tick queued behind it.
#include <algorithm>

#include "schedule/auto_detect_settings.h"
#include "schedule/schedule_settings.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/main/tessaly_dlg.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr UINT kScheduleTickMs = static_cast<UINT>(schedule::kTickSeconds * 1000);
constexpr UINT kFirstAutoDetectMs = 1000;
constexpr UINT kAutoDetectWindowFirstMs = 1000;
constexpr UINT kAutoDetectWindowMs = 100;
constexpr std::u16string_view kAutoDetectBusy = u"Already using Auto-Detect. please, wait...";

// A cycle stored far beyond a day still arms a timer the system takes.
UINT CycleMs(long long hours) {
    constexpr long long kMaxMs = USER_TIMER_MAXIMUM;
    return static_cast<UINT>(std::clamp(hours, 1LL, kMaxMs / 3600000) * 3600000);
}

}  // namespace

void CTessalyDlg::ArmTimers() {
    ::SetTimer(hwnd(), IDT_SCHEDULE, kScheduleTickMs, nullptr);
    ::SetTimer(hwnd(), IDT_AUTO_DETECT, kFirstAutoDetectMs, nullptr);
}

MessageResult CTessalyDlg::OnTimer(UINT_PTR id) {
    ::KillTimer(hwnd(), id);
    switch (id) {
        case IDT_SCHEDULE:
            ScheduleTick();
            ::SetTimer(hwnd(), IDT_SCHEDULE, kScheduleTickMs, nullptr);
            return 0;
        case IDT_AUTO_DETECT:
            PeriodicAutoDetect();
            return 0;
        case IDT_AUTO_DETECT_WINDOW:
            if (detector_->IsBusy()) {
                ::SetTimer(hwnd(), IDT_AUTO_DETECT_WINDOW, kAutoDetectWindowMs, nullptr);
            } else {
                autoDetectDlg_.Close();
            }
            return 0;
        default:
            return std::nullopt;
    }
}

void CTessalyDlg::ScheduleTick() {
    auto& option = context_.stores.option;
    // An `arkivo` command may have changed the settings, or started a run for a due time.
    option.Reread();
    const auto settings = schedule::ReadScheduleSettings(option);
    const auto stored = schedule::ReadLastScheduledRun(option);
    auto& remembered = scheduleMemory_.lastScheduledRun;
    if (stored && (!remembered || *stored > *remembered)) {
        remembered = stored;
    }
    const auto decision = schedule::DecideTick(settings, context_.Now(), scheduleMemory_);
    if (decision.memoryToKeep && !schedule::WriteLastScheduledRun(option, *remembered)) {
        ShowMessage(hwnd(), context_.stores.language,
                    FileWriteFailure(option.Path(), option.LastWriteError()));
    }
    if (decision.startRun) {
        ShowMain(SW_SHOW);
        // As the start button: a run that is going or paused is resumed, never doubled.
        StartCommand();
    }
}

void CTessalyDlg::PeriodicAutoDetect() {
    const auto settings = schedule::ReadAutoDetectSettings(context_.stores.option);
    ::SetTimer(hwnd(), IDT_AUTO_DETECT, CycleMs(settings.cycleHours), nullptr);
    if (settings.on) {
        StartAutoDetect();
    }
}

void CTessalyDlg::AutoDetectCommand() {
    if (detector_->IsBusy()) {
        ShowMessage(hwnd(), kAutoDetectBusy);
        return;
    }
    autoDetectDlg_.Open(hwnd());
    ::SetTimer(hwnd(), IDT_AUTO_DETECT_WINDOW, kAutoDetectWindowFirstMs, nullptr);
    StartAutoDetect();
}

bool CTessalyDlg::StartAutoDetect() {
    return detector_->Start([this](const schedule::PassOutcome& outcome) {
        invoker_.Post([this, outcome] { OnAutoDetectEnded(outcome); });
    });
}

void CTessalyDlg::OnAutoDetectEnded(const schedule::PassOutcome& outcome) {
    if (hwnd() == nullptr) {
        return;
    }
    // The pass wrote its marks through a store of its own.
    context_.stores.setting.Reread();
    RefreshJobList();
    for (const auto& message : outcome.messages) {
        ShowMessage(hwnd(), context_.stores.language, message);
    }
}

}  // namespace arkivo::ui
