// The main dialog's side of a backup run: the start, pause and stop buttons, the analysis
// status shown while the engine counts, and what the run's worker reports.
#include "common/text.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/main/tessaly_dlg.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

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
        // Owned by the main window, it stays above it when the main window is clicked.
        m_pProgressDlg->Create(hwnd());
    }
}

void CTessalyDlg::ShowProgress(bool show) {
    if (m_pProgressDlg != nullptr) {
        ::ShowWindow(m_pProgressDlg->hwnd(), show ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
}

void CTessalyDlg::StartCommand() {
    if (run_ == nullptr || !IsAnyJobChecked()) {
        return;
    }
    EnsureProgressWindow();
    ShowProgress(true);
    animation_.Play(IDB_COPY_ANIMATION);
    if (run_->IsRunning() || run_->IsPaused()) {
        run_->Resume();
        return;
    }
    run_->Start(context_.stores, observer_);
}

void CTessalyDlg::PauseCommand() {
    if (run_ == nullptr || !run_->IsRunning()) {
        return;
    }
    run_->Pause();
    animation_.Pause();
    ShowProgress(false);
}

void CTessalyDlg::StopCommand() {
    if (run_ == nullptr || !run_->IsRunning()) {
        return;
    }
    run_->Stop();
    ShowProgress(false);
}

void CTessalyDlg::StopRunAndWait() {
    if (run_ == nullptr || !run_->IsRunning()) {
        return;
    }
    run_->Stop();
    // The worker still sends its last reports to this thread: keep answering them.
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

bool CTessalyDlg::IsJobTicked(std::size_t jobIndex, bool storedTick) {
    const auto ticks = m_jobList.RowTicks();
    return jobIndex < ticks.size() ? ticks[jobIndex] : storedTick;
}

void CTessalyDlg::OnJobStarted(std::size_t, std::u16string_view base, std::u16string_view target) {
    SetBaseField(base);
    SetTargetField(target);
    if (m_pProgressDlg != nullptr) {
        m_pProgressDlg->SetBasePath(base);
        m_pProgressDlg->SetTargetPath(target);
    }
}

// The text stays for the whole count, which on a large tree is the only sign of work.
void CTessalyDlg::OnAnalysis(std::size_t jobIndex, bool active) {
    SetItemText(hwnd(), IDC_ANALYSIS_STATUS,
                active
                    ? AnalysisText(context_.stores.language.GetValue(text::RunAnalysis), jobIndex)
                    : std::u16string());
}

void CTessalyDlg::OnStatus(std::u16string_view text) {
    if (m_pProgressDlg != nullptr) {
        m_pProgressDlg->SetStatusText(text);
    }
}

void CTessalyDlg::OnAnimation(engine::Animation animation) {
    if (m_pProgressDlg != nullptr) {
        animation == engine::Animation::Copy ? m_pProgressDlg->ShowCopyAnimation()
                                             : m_pProgressDlg->ShowDeleteAnimation();
    }
}

void CTessalyDlg::OnProgressRange(std::uint64_t count) {
    if (m_pProgressDlg != nullptr) {
        m_pProgressDlg->SetProgressRange(count);
    }
}

void CTessalyDlg::OnProgressPos(std::uint64_t position) {
    if (m_pProgressDlg != nullptr) {
        m_pProgressDlg->SetProgressPos(position);
    }
}

// The start command resumes a run and shows it again; a stop ends the pause too, and then
// nothing is to be shown.
void CTessalyDlg::OnPaused(bool paused) {
    if (paused) {
        animation_.Pause();
        ShowProgress(false);
    }
}

void CTessalyDlg::OnMessage(const UserMessage& message) {
    ShowMessage(hwnd(), context_.stores.language, message);
}

void CTessalyDlg::OnRunFinished(const engine::RunSummary& summary,
                                std::u16string_view completeText) {
    RefreshJobList();
    animation_.Clear();
    ShowProgress(false);
    SetItemText(hwnd(), IDC_ANALYSIS_STATUS, u"");
    if (!summary.stopped && !summary.refused) {
        // Shown once the worker has let go, so that the run can end while the dialog is open.
        invoker_.Post([this, text = std::u16string(completeText)] { ShowCompleteDialog(text); });
    }
}

}  // namespace arkivo::ui
