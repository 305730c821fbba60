// The program's main window: the base and target fields, the job list and the buttons that
// register jobs and start, pause and stop runs. Closing it hides it in the notification area.
#pragma once

#include <memory>
#include <string>

#include "engine/run_observer.h"
#include "jobs/job_commands.h"
#include "jobs/job_options.h"
#include "schedule/auto_detect_worker.h"
#include "schedule/schedule_tick.h"
#include "ui/controls/animation_picture.h"
#include "ui/framework/dialog.h"
#include "ui/framework/skin.h"
#include "ui/framework/thread_invoker.h"
#include "ui/jobs/job_list.h"
#include "ui/main/app_context.h"
#include "ui/main/auto_detect_dlg.h"
#include "ui/main/run_control.h"
#include "ui/main/run_events.h"
#include "ui/main/tray_icon.h"
#include "ui/progress/progress_dlg.h"

namespace arkivo::ui {

// The run's reports reach it on this thread through the run observer it hands the engine.
class CTessalyDlg : public CDialog, public JobListHost, private engine::RunObserver {
  public:
    // Without a run control (no engine) the start button does nothing.
    CTessalyDlg(AppContext& context, std::unique_ptr<RunControl> run);
    ~CTessalyDlg() override;

    HWND hwnd() const override { return CDialog::hwnd(); }
    void RefreshJobList() override;
    void SetBaseField(std::u16string_view path) override;
    void SetTargetField(std::u16string_view path) override;
    void RegisterFromFields() override;
    void TakeFtpFields(const FtpCredentials& base, const FtpCredentials& target) override;

    void ShowMain(int show);
    void ApplyLanguage();
    bool IsAnyJobChecked();
    void ShowCompleteDialog(std::u16string_view text);

    bool visibleByChoice() const { return m_bVisible; }
    const OptionBlock& options() const { return options_; }
    CJobList& jobList() { return m_jobList; }
    CTrayIcon& trayIcon() { return m_trayIcon; }
    CProgressDlg* progress() { return m_pProgressDlg.get(); }
    const CToolTips& toolTips() const { return buttons_.tips(); }
    const CAnimationPicture& animation() const { return animation_; }
    const JobOptionAccessors& accessors() const { return accessors_; }
    const CAutoDetectDlg& autoDetectWindow() const { return autoDetectDlg_; }
    bool IsAutoDetecting() const { return detector_->IsBusy(); }

  private:
    void OnInitDialog() override;
    void OnDestroy() override;
    void EnterMessageMap();
    void SetupButtons();
    void SetTexts();
    void BrowseInto(int editId);
    void ChooseFtpInto(int editId, FtpCredentials& credentials);
    void OpenOptions();
    void OpenHelp();
    void RequestUpdate();
    void ExitProgram();
    MessageResult OnSysCommand(WPARAM command);
    MessageResult OnWindowPosChanging(WINDOWPOS& position);

    // Timers (tessaly_dlg_timers.cpp)
    void ArmTimers();
    MessageResult OnTimer(UINT_PTR id);
    void ScheduleTick();
    void PeriodicAutoDetect();
    void AutoDetectCommand();
    bool StartAutoDetect();
    void OnAutoDetectEnded(const schedule::PassOutcome& outcome);

    // Runs (tessaly_dlg_run.cpp)
    void StartCommand();
    void PauseCommand();
    void StopCommand();
    void StopRunAndWait();
    void EnsureProgressWindow();
    void ShowProgress(bool show);
    // What the run's worker reports, called on this thread.
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

    AppContext& context_;
    std::unique_ptr<RunControl> run_;
    CThreadInvoker invoker_;
    CWindowRunObserver observer_;
    JobOptionAccessors accessors_;
    OptionBlock options_;
    CJobList m_jobList;
    CTrayIcon m_trayIcon;
    std::unique_ptr<CProgressDlg> m_pProgressDlg;
    FtpCredentials baseFtp_;
    FtpCredentials targetFtp_;
    bool m_bVisible = false;
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    HCURSOR m_hLinkCursor = nullptr;
    UINT taskbarCreated_ = 0;
    CImageButtonBar buttons_;
    CAnimationPicture animation_;
    CAutoDetectDlg autoDetectDlg_;
    schedule::ScheduleMemory scheduleMemory_;
    // After the run control it gives way to and the invoker it reports through, so that it
    // ends first.
    std::unique_ptr<schedule::AutoDetectWorker> detector_;
};

}  // namespace arkivo::ui
