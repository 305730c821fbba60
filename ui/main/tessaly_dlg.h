// The program's main window: the base and target fields, the job list and the buttons that
// register jobs and start, pause and stop runs. Closing it hides it in the notification area.
#pragma once

#include <memory>
#include <string>

#include "jobs/job_commands.h"
#include "jobs/job_options.h"
#include "ui/controls/animation_picture.h"
#include "ui/controls/image_button.h"
#include "ui/controls/tool_tips.h"
#include "ui/framework/dialog.h"
#include "ui/jobs/job_list.h"
#include "ui/main/app_context.h"
#include "ui/main/run_control.h"
#include "ui/main/run_events.h"
#include "ui/main/tray_icon.h"
#include "ui/progress/progress_dlg.h"

namespace arkivo::ui {

class CTessalyDlg : public CDialog, public JobListHost {
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
    const CToolTips& toolTips() const { return tips_; }
    const JobOptionAccessors& accessors() const { return accessors_; }

  private:
    void OnInitDialog() override;
    void OnDestroy() override;
    void EnterMessageMap();
    void SetupButtons();
    void SetTexts();
    void BrowseInto(int editId);
    void OpenOptions();
    void OpenHelp();
    void RequestUpdate();
    void ExitProgram();
    MessageResult OnSysCommand(WPARAM command);
    MessageResult OnWindowPosChanging(WINDOWPOS& position);
    LRESULT OnEraseBackground(HDC dc);

    // Runs (tessaly_dlg_run.cpp)
    void StartCommand();
    void PauseCommand();
    void StopCommand();
    void StopRunAndWait();
    void OnTimer(UINT_PTR timer);
    void SetAnalysisStatus(const TextKey& key);
    LRESULT OnRunEvent(const RunEvent& event);
    void OnRunComplete();
    void EnsureProgressWindow();

    AppContext& context_;
    std::unique_ptr<RunControl> run_;
    CWindowRunObserver observer_{nullptr};
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
    HBITMAP background_ = nullptr;
    HBRUSH labelBrush_ = nullptr;
    UINT taskbarCreated_ = 0;
    std::size_t analysedJob_ = 0;
    std::u16string completeText_;
    bool completePending_ = false;
    CImageButton buttons_[11];
    CToolTips tips_;
    CAnimationPicture animation_;
};

}  // namespace arkivo::ui
