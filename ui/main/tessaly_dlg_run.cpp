// The main dialog's side of a backup run: the start, pause and stop buttons, the analysis
// status that blinks while the engine counts, and what the run's worker reports.
#include "common/text.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/main/tessaly_dlg.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr UINT_PTR kAnalysisShownTimer = 1;
constexpr UINT_PTR kAnalysisBlankTimer = 2;
constexpr UINT kAnalysisShownMs = 300;
constexpr UINT kAnalysisBlankMs = 100;
constexpr DWORD kStopWaitMs = 20000;

// "%s - %2d"
std::u16string AnalysisText(std::u16string_view label, std::size_t job) {
    std::u16string number = ToDecimalUnsigned(job);
    if (number.size() < 2) {
        number.insert(0, 2 - number.size(), u' ');
    }
    return std::u16string(label) + u" - " + number;
}

}  // namespace

void CTessalyDlg::EnsureProgressWindow() {
    if (m_pProgressDlg == nullptr) {
        m_pProgressDlg = std::make_unique<CProgressDlg>(context_, hwnd());
        m_pProgressDlg->Create(nullptr);
    }
}

void CTessalyDlg::StartCommand() {
    if (run_ == nullptr || !IsAnyJobChecked()) {
        return;
    }
    EnsureProgressWindow();
    ::ShowWindow(m_pProgressDlg->hwnd(), SW_SHOW);
    if (run_->IsRunning() || run_->IsPaused()) {
        run_->Resume();
        return;
    }
    animation_.Play(IDB_COPY_ANIMATION);
    run_->Start(context_.stores, observer_);
}

void CTessalyDlg::PauseCommand() {
    if (run_ == nullptr || !run_->IsRunning()) {
        return;
    }
    run_->Pause();
    if (m_pProgressDlg != nullptr) {
        ::ShowWindow(m_pProgressDlg->hwnd(), SW_HIDE);
    }
}

void CTessalyDlg::StopCommand() {
    if (run_ == nullptr || !run_->IsRunning()) {
        return;
    }
    run_->Stop();
    if (m_pProgressDlg != nullptr) {
        ::ShowWindow(m_pProgressDlg->hwnd(), SW_HIDE);
    }
}

void CTessalyDlg::StopRunAndWait() {
    if (run_ == nullptr || !run_->IsRunning()) {
        return;
    }
    run_->Stop();
    // The worker still sends its last reports to this window: keep answering them.
    const DWORD until = ::GetTickCount() + kStopWaitMs;
    while (run_->IsRunning() && ::GetTickCount() < until) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT | QS_SENDMESSAGE);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

void CTessalyDlg::SetAnalysisStatus(const TextKey& key) {
    SetItemText(hwnd(), IDC_ANALYSIS_STATUS,
                AnalysisText(context_.stores.language.GetValue(key), analysedJob_));
}

void CTessalyDlg::OnTimer(UINT_PTR timer) {
    ::KillTimer(hwnd(), timer);
    if (timer == kAnalysisShownTimer) {
        SetItemText(hwnd(), IDC_ANALYSIS_STATUS, u"");
        ::SetTimer(hwnd(), kAnalysisBlankTimer, kAnalysisBlankMs, nullptr);
    } else if (timer == kAnalysisBlankTimer) {
        SetAnalysisStatus(text::RootAnalysis);
        ::SetTimer(hwnd(), kAnalysisShownTimer, kAnalysisShownMs, nullptr);
    }
}

LRESULT CTessalyDlg::OnRunEvent(const RunEvent& event) {
    using Kind = RunEvent::Kind;
    auto* progress = m_pProgressDlg.get();
    switch (event.kind) {
        case Kind::QueryTick: {
            const auto ticks = m_jobList.RowTicks();
            return event.jobIndex < ticks.size() ? ticks[event.jobIndex] : event.flag;
        }
        case Kind::JobStarted:
            SetBaseField(event.first);
            SetTargetField(event.second);
            if (progress != nullptr) {
                progress->SetBasePath(event.first);
                progress->SetTargetPath(event.second);
            }
            break;
        case Kind::Analysis:
            ::KillTimer(hwnd(), kAnalysisShownTimer);
            ::KillTimer(hwnd(), kAnalysisBlankTimer);
            analysedJob_ = event.jobIndex;
            if (event.flag) {
                SetAnalysisStatus(text::RunAnalysis);
                ::SetTimer(hwnd(), kAnalysisShownTimer, kAnalysisShownMs, nullptr);
            } else {
                SetItemText(hwnd(), IDC_ANALYSIS_STATUS, u"");
            }
            break;
        case Kind::Status:
            if (progress != nullptr) {
                progress->SetStatusText(event.first);
            }
            break;
        case Kind::Animation:
            if (progress != nullptr) {
                event.animation == engine::Animation::Copy ? progress->ShowCopyAnimation()
                                                           : progress->ShowDeleteAnimation();
            }
            break;
        case Kind::ProgressRange:
            if (progress != nullptr) {
                progress->SetProgressRange(event.number);
            }
            break;
        case Kind::ProgressPos:
            if (progress != nullptr) {
                progress->SetProgressPos(event.number);
            }
            break;
        case Kind::Paused:
            if (progress != nullptr) {
                ::ShowWindow(progress->hwnd(), event.flag ? SW_HIDE : SW_SHOW);
            }
            break;
        case Kind::Message:
            ShowMessage(hwnd(), context_.stores.language, *event.message);
            break;
        case Kind::Finished:
            RefreshJobList();
            animation_.Clear();
            if (progress != nullptr) {
                ::ShowWindow(progress->hwnd(), SW_HIDE);
            }
            if (!event.summary->stopped && !event.summary->refused) {
                completeText_ = std::u16string(event.first);
                completePending_ = true;
                ::PostMessageW(hwnd(), WM_RUN_COMPLETE, 0, 0);
            }
            break;
    }
    return 1;
}

void CTessalyDlg::OnRunComplete() {
    if (!completePending_) {
        return;
    }
    completePending_ = false;
    ShowCompleteDialog(completeText_);
}

}  // namespace arkivo::ui
