#include "ui/main/tessaly_dlg.h"

#include <shellapi.h>

#include "jobs/environment_file.h"
#include "platform/start_process.h"
#include "settings/lang_ini.h"
#include "ui/framework/folder_browser.h"
#include "ui/framework/window_text.h"
#include "ui/ftp/ftp_location.h"
#include "ui/main/help_pages.h"
#include "ui/options/option_dlg.h"
#include "ui/progress/about_dlg.h"
#include "ui/progress/complete_dlg.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr std::size_t kMaxFieldText = 255;

constexpr ImageButtonSpec kButtons[] = {
    {IDC_BASE_BROWSE, IDI_BROWSE, 24, text::ButtonBrowser},
    {IDC_TARGET_BROWSE, IDI_BROWSE, 24, text::ButtonBrowser},
    {IDC_BASE_FTP, IDI_FTP, 24, text::ButtonFtp},
    {IDC_TARGET_FTP, IDI_FTP, 24, text::ButtonFtp},
    {IDC_REGISTER, IDI_REGISTER, 32, text::ButtonRegister},
    {IDC_OPTION, IDI_OPTION, 32, text::ButtonOption},
    {IDC_HELP_PAGE, IDI_HELP, 32, text::ButtonHelp},
    {IDC_AUTO_DETECT, IDI_AUTO_DETECT, 32, text::ButtonAutoDetect},
    {IDC_START, IDI_START, 32, text::ButtonStartBackup},
    {IDC_PAUSE, IDI_PAUSE, 32, text::ButtonPause},
    {IDC_STOP, IDI_STOP, 32, text::ButtonStop},
};

UINT TrayMenuOf(int language) {
    switch (language) {
        case 1:
            return IDR_TRAY_JAPANESE;
        case 2:
            return IDR_TRAY_KOREAN;
        default:
            return IDR_TRAY_ENGLISH;
    }
}

HICON LoadIconSized(int id, int size) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

CTessalyDlg::CTessalyDlg(AppContext& context, std::unique_ptr<RunControl> run)
    : CDialog(IDD_MAIN),
      context_(context),
      run_(std::move(run)),
      observer_(invoker_, *this),
      accessors_(context.EnvironmentPath(),
                 [this](const UserMessage& problem) {
                     ShowMessage(hwnd(), context_.stores.language, problem);
                 }),
      m_jobList(context, *this),
      autoDetectDlg_(context),
      detector_(std::make_unique<schedule::AutoDetectWorker>(
          context.ProgramFolder(), run_ != nullptr ? run_->Controller() : nullptr)) {
    auto& option = context_.stores.option;
    options_.m_regStartup = static_cast<int>(ReadNumber(option, u"HowToBackup", u"RegStartup"));
    options_.m_selLang = static_cast<int>(ReadNumber(option, u"HowToBackup", u"SelLang"));
    options_.m_autoUpdate = static_cast<int>(ReadNumber(option, u"HowToBackup", u"AutoUpdate"));
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    EnterMessageMap();
}

CTessalyDlg::~CTessalyDlg() {
    if (hwnd() != nullptr && !IsModal()) {
        ::DestroyWindow(hwnd());
    }
    for (HICON icon : {m_hIcon, m_hSmallIcon}) {
        if (icon != nullptr) {
            ::DestroyIcon(icon);
        }
    }
}

void CTessalyDlg::EnterMessageMap() {
    auto& m = map();
    m.OnCommand(IDC_BASE_BROWSE, [this] { BrowseInto(IDC_BASE_PATH); });
    m.OnCommand(IDC_TARGET_BROWSE, [this] { BrowseInto(IDC_TARGET_PATH); });
    m.OnCommand(IDC_BASE_FTP, [this] { ChooseFtpInto(IDC_BASE_PATH, baseFtp_); });
    m.OnCommand(IDC_TARGET_FTP, [this] { ChooseFtpInto(IDC_TARGET_PATH, targetFtp_); });
    m.OnCommand(IDC_REGISTER, [this] { RegisterFromFields(); });
    m.OnCommand(IDOK, [this] { RegisterFromFields(); });
    m.OnCommand(IDCANCEL, [] {});
    m.OnCommand(IDC_START, [this] { StartCommand(); });
    m.OnCommand(IDC_PAUSE, [this] { PauseCommand(); });
    m.OnCommand(IDC_STOP, [this] { StopCommand(); });
    m.OnCommand(IDC_OPTION, [this] { OpenOptions(); });
    m.OnCommand(ID_TRAY_OPTION, [this] { OpenOptions(); });
    m.OnCommand(IDC_HELP_PAGE, [this] { OpenHelp(); });
    m.OnCommand(IDC_AUTO_DETECT, [this] { AutoDetectCommand(); });
    m.OnMessage(WM_TIMER, [this](WPARAM id, LPARAM) { return OnTimer(id); });
    m.OnCommand(ID_TRAY_OPEN, [this] { ShowMain(SW_SHOW); });
    m.OnCommand(ID_APP_EXIT, [this] { ExitProgram(); });
    m.OnMessage(WM_TRAY_NOTIFY, [this](WPARAM wParam, LPARAM lParam) -> MessageResult {
        return m_trayIcon.OnTrayNotification(wParam, lParam);
    });
    m.OnMessage(taskbarCreated_, [this](WPARAM, LPARAM) -> MessageResult {
        m_trayIcon.Restore();
        return 0;
    });
    m.OnMessage(WM_UPDATE_REQUEST, [this](WPARAM, LPARAM) -> MessageResult {
        RequestUpdate();
        return 0;
    });
    m.OnMessage(WM_SYSCOMMAND, [this](WPARAM command, LPARAM) { return OnSysCommand(command); });
    m.OnMessage(WM_WINDOWPOSCHANGING, [this](WPARAM, LPARAM position) {
        return OnWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(position));
    });
}

void CTessalyDlg::OnInitDialog() {
    wchar_t about[64] = {};
    if (::LoadStringW(ModuleInstance(), IDS_ABOUTBOX, about, 64) > 0) {
        HMENU system = ::GetSystemMenu(hwnd(), FALSE);
        ::AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(system, MF_STRING, IDM_ABOUTBOX, about);
    }
    m_hIcon = LoadIconSized(IDI_MAIN, ::GetSystemMetrics(SM_CXICON));
    m_hSmallIcon = LoadIconSized(IDI_MAIN, ::GetSystemMetrics(SM_CXSMICON));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
    m_hLinkCursor = ::LoadCursorW(ModuleInstance(), MAKEINTRESOURCEW(IDC_LINK_CURSOR));
    background().Load(IDB_MAIN_BACKGROUND, CBackgroundBitmap::Fit::Stretch);
    ShowMain(context_.showWindow ? SW_SHOW : SW_HIDE);
    m_jobList.Setup(Item(IDC_JOB_LIST), options_);
    RefreshJobList();
    SetupButtons();
    animation_.Attach(Item(IDC_ANIMATION_AREA));
    ApplyLanguage();
    ArmTimers();
}

void CTessalyDlg::OnDestroy() {
    detector_->Cancel();
    detector_->Wait();
    autoDetectDlg_.Close();
    StopRunAndWait();
    m_trayIcon.Remove();
}

void CTessalyDlg::SetupButtons() {
    buttons_.Attach(hwnd(), kButtons);
}

void CTessalyDlg::ApplyLanguage() {
    context_.stores.ApplyLanguage(options_.m_selLang);
    m_trayIcon.Remove();
    m_trayIcon.Create(hwnd(), WM_TRAY_NOTIFY, kAppTitle, m_hSmallIcon,
                      TrayMenuOf(options_.m_selLang));
    m_trayIcon.SetIcon(IDI_MAIN);
    SetTexts();
}

void CTessalyDlg::SetTexts() {
    auto& language = context_.stores.language;
    SetItemText(hwnd(), IDC_BASE_LABEL, language, text::StaticBase);
    SetItemText(hwnd(), IDC_TARGET_LABEL, language, text::StaticTarget);
    buttons_.SetTips(language);
}

void CTessalyDlg::RefreshJobList() {
    m_jobList.Clear();
    EnvironmentFile file(context_.EnvironmentPath());
    const JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok) {
        ShowMessage(hwnd(), context_.stores.language, file.LoadProblem());
        return;
    }
    SetItemText(hwnd(), IDC_BASE_PATH, table.lastBasePath);
    SetItemText(hwnd(), IDC_TARGET_PATH, table.lastTargetPath);
    m_jobList.RefillFromFile(hwnd());
}

void CTessalyDlg::SetBaseField(std::u16string_view path) {
    SetItemText(hwnd(), IDC_BASE_PATH, path);
}

void CTessalyDlg::SetTargetField(std::u16string_view path) {
    SetItemText(hwnd(), IDC_TARGET_PATH, path);
}

void CTessalyDlg::RegisterFromFields() {
    NewJob job;
    job.base = ItemText(hwnd(), IDC_BASE_PATH).substr(0, kMaxFieldText);
    job.target = ItemText(hwnd(), IDC_TARGET_PATH).substr(0, kMaxFieldText);
    job.baseFtp = baseFtp_;
    job.targetFtp = targetFtp_;
    const auto outcome = RegisterJob(context_.EnvironmentPath(), job);
    for (const auto& messages : {&outcome.messages, &outcome.warnings}) {
        for (const auto& message : *messages) {
            ShowMessage(hwnd(), context_.stores.language, message);
        }
    }
    RefreshJobList();
}

void CTessalyDlg::TakeFtpFields(const FtpCredentials& base, const FtpCredentials& target) {
    baseFtp_ = base;
    targetFtp_ = target;
}

void CTessalyDlg::ShowMain(int show) {
    m_bVisible = show == SW_SHOW;
    // A minimised window comes back at its place and size, with the windows it owns.
    ::ShowWindow(hwnd(), m_bVisible && ::IsIconic(hwnd()) ? SW_RESTORE : show);
    if (m_bVisible) {
        ::SetForegroundWindow(hwnd());
        if (run_ != nullptr && run_->IsRunning() && !run_->IsPaused()) {
            ShowProgress(true);
        }
    }
}

bool CTessalyDlg::IsAnyJobChecked() {
    EnvironmentFile file(context_.EnvironmentPath());
    const JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok) {
        return false;
    }
    const auto ticks = m_jobList.RowTicks();
    for (std::size_t row = 0; row < table.jobs.size() && row < ticks.size(); ++row) {
        if (ticks[row]) {
            return true;
        }
    }
    return false;
}

void CTessalyDlg::ShowCompleteDialog(std::u16string_view text) {
    CCompleteDlg(std::u16string(text)).DoModal(hwnd());
}

void CTessalyDlg::BrowseInto(int editId) {
    if (auto folder = BrowseForFolder()) {
        SetItemText(hwnd(), editId, *folder);
    }
}

void CTessalyDlg::ChooseFtpInto(int editId, FtpCredentials& credentials) {
    ChooseFtpLocation(hwnd(), editId, context_.stores.language, credentials,
                      context_.ftpConnections);
}

void CTessalyDlg::OpenOptions() {
    CTabDialog dialog(context_, options_);
    if (dialog.DoModal(hwnd()) == IDOK) {
        ApplyLanguage();
    }
}

void CTessalyDlg::OpenHelp() {
    const std::wstring address = Wide(HelpPageAddress(options_.m_selLang));
    ::ShellExecuteW(nullptr, L"open", address.c_str(), L"", nullptr, SW_HIDE);
}

void CTessalyDlg::RequestUpdate() {
    if (platform::StartHiddenProcess(context_.ProgramFolder() / "ZENDRAKE.exe")) {
        ShowMessage(hwnd(), u"There is no ZENDRAKE.exe");
        return;
    }
    EndDialog(IDOK);
}

void CTessalyDlg::ExitProgram() {
    StopRunAndWait();
    EndDialog(IDCANCEL);
}

MessageResult CTessalyDlg::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) == SC_CLOSE) {
        ShowMain(SW_HIDE);
        return 0;
    }
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg().DoModal(hwnd());
        return 0;
    }
    return std::nullopt;
}

MessageResult CTessalyDlg::OnWindowPosChanging(WINDOWPOS& position) {
    if (m_bVisible) {
        position.flags |= SWP_SHOWWINDOW;
    } else {
        position.flags &= ~SWP_SHOWWINDOW;
    }
    return std::nullopt;
}

}  // namespace arkivo::ui
