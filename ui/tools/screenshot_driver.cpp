// Opens every dialog of the program in turn for screenshots.sh: each one is shown, announced
// with "<name>.ready" in the output folder (holding the window's place on the screen as
// "width height left top"), and closed once the script answers "<name>.done".
//   arkivo_screenshot_driver.exe <program folder> <output folder>
#include <windows.h>
// The common controls header builds on the declarations above.
#include <commctrl.h>

#include <filesystem>
#include <fstream>

#include "settings/lang_ini.h"
#include "ui/ftp/ftp_thread.h"
#include "ui/jobs/modify_list.h"
#include "ui/jobs/type_help.h"
#include "ui/main/auto_detect_dlg.h"
#include "ui/main/tessaly_dlg.h"
#include "ui/options/option_dlg.h"
#include "ui/progress/about_dlg.h"
#include "ui/progress/complete_dlg.h"
#include "ui/progress/progress_dlg.h"
#include "ui/resource.h"
#include "ui/tools/sample_ftp_server.h"

namespace {

namespace fs = std::filesystem;
using namespace arkivo;

void Pump(DWORD ms) {
    const DWORD until = ::GetTickCount() + ms;
    while (::GetTickCount() < until) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(10);
    }
}

void Snap(const fs::path& output, const char* name, HWND window) {
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    Pump(900);
    RECT frame{};
    ::GetWindowRect(window, &frame);
    {
        std::ofstream ready(output / (std::string(name) + ".partial"));
        ready << frame.right - frame.left << ' ' << frame.bottom - frame.top << ' ' << frame.left
              << ' ' << frame.top << '\n';
    }
    fs::rename(output / (std::string(name) + ".partial"), output / (std::string(name) + ".ready"));
    while (!fs::exists(output / (std::string(name) + ".done"))) {
        Pump(50);
    }
}

// The type's help as its page's help button shows it, but modeless.
template <class Help>
void SnapHelp(const fs::path& output, const char* name, CLangIni& language, HWND owner) {
    Help help(language);
    help.Create(owner);
    Snap(output, name, help.hwnd());
}

// The FTP location dialog connected to the sample server, one folder open and chosen.
void SnapFtp(const fs::path& output, CLangIni& language, HWND owner) {
    std::u16string location = u"files.example.org";
    FtpCredentials credentials{u"ada", u"secret", 21, 1};
    ui::FtpThread ftp(language, location, credentials, &tools::NewSampleFtpConnection);
    ftp.Create(owner);
    ::SendMessageW(ftp.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_FTP_CONNECT, BN_CLICKED), 0);
    for (int i = 0; i < 100 && (ftp.IsListing() || !ftp.IsConnected()); ++i) {
        Pump(20);
    }
    const HWND tree = ftp.Item(IDC_FTP_FOLDERS);
    if (HTREEITEM backup = ftp.tree().FindItem({u"backup"})) {
        TreeView_SelectItem(tree, backup);
        ::SendMessageW(tree, WM_KEYDOWN, VK_ADD, 0);
        for (int i = 0; i < 100 && ftp.IsListing(); ++i) {
            Pump(20);
        }
    }
    if (HTREEITEM daily = ftp.tree().FindItem({u"backup", u"daily"})) {
        TreeView_SelectItem(tree, daily);
    }
    ::SetFocus(tree);
    Snap(output, "ftp", ftp.hwnd());
}

struct TypeShot {
    int radio;
    const char* page;
    const char* help;
    void (*snapHelp)(const fs::path&, const char*, CLangIni&, HWND);
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    const fs::path folder = argv[1];
    const fs::path output = argv[2];
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                        ICC_BAR_CLASSES | ICC_STANDARD_CLASSES |
                                                        ICC_DATE_CLASSES | ICC_TAB_CLASSES |
                                                        ICC_UPDOWN_CLASS | ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);

    AppStores stores;
    stores.LoadAll(folder);
    ui::AppContext context{stores, folder / "Arkivo.exe", true};
    ui::CTessalyDlg main(context, nullptr);
    main.Create(nullptr);
    Snap(output, "main", main.hwnd());

    std::u16string base = u"C:\\Users\\Ada\\Documents";
    std::u16string target = u"E:\\Backup\\Documents";
    {
        ui::ModifyList editor(context, main.options(), 0, base, target);
        editor.Create(main.hwnd());
        Snap(output, "editor", editor.hwnd());
        // A click on the third exclude pattern opens it for editing.
        HWND patterns = editor.Item(IDC_EXCLUDE_LIST);
        RECT row{};
        ListView_GetItemRect(patterns, 2, &row, LVIR_BOUNDS);
        const LPARAM at = MAKELPARAM(100, (row.top + row.bottom) / 2);
        ::SendMessageW(patterns, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(patterns, WM_LBUTTONUP, 0, at);
        Snap(output, "editing", editor.hwnd());
        // Escape leaves the pattern as it was.
        ::SendMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        const TypeShot types[] = {
            {IDC_TYPE_DIF, "type-dif", "help-dif", &SnapHelp<ui::CBackupTypeHelp_Dif>},
            {IDC_TYPE_INC, "type-inc", "help-inc", &SnapHelp<ui::CBackupTypeHelp_Inc>},
            {IDC_TYPE_SPD, "type-spd", "help-spd", &SnapHelp<ui::CBackupTypeHelp_Spd>},
            {IDC_TYPE_SYNC, "type-sync", "help-sync", &SnapHelp<ui::CBackupTypeHelp_Sync>}};
        for (const auto& type : types) {
            ::CheckRadioButton(editor.hwnd(), IDC_TYPE_SYNC, IDC_TYPE_SPD, type.radio);
            ::SendMessageW(editor.hwnd(), WM_COMMAND, MAKEWPARAM(type.radio, BN_CLICKED),
                           reinterpret_cast<LPARAM>(editor.Item(type.radio)));
            Snap(output, type.page, editor.hwnd());
            type.snapHelp(output, type.help, stores.language, editor.hwnd());
        }
    }
    {
        ui::CProgressDlg progress(context, main.hwnd());
        progress.Create(nullptr);
        progress.SetBasePath(base);
        progress.SetTargetPath(target);
        progress.SetStatusText(stores.language.GetValue(text::StaticCopying));
        progress.SetProgressRange(100);
        progress.SetProgressPos(40);
        // What a run shows while it copies.
        progress.ShowDeleteAnimation();
        Snap(output, "progress", progress.hwnd());
    }
    {
        ui::CCompleteDlg complete(stores.language.GetValue(text::RunComplete));
        complete.Create(main.hwnd());
        Snap(output, "complete", complete.hwnd());
    }
    {
        ui::OptionBlock options = main.options();
        ui::CTabDialog option(context, options);
        option.Create(main.hwnd());
        Snap(output, "option", option.hwnd());
        option.ChooseTab(1);
        Snap(output, "option-scheduler", option.hwnd());
        const HWND scheduler = option.Page(1)->hwnd();
        ::CheckRadioButton(scheduler, IDC_REPEAT_DAILY, IDC_REPEAT_MONTHLY, IDC_REPEAT_MONTHLY);
        ::SendMessageW(scheduler, WM_COMMAND, MAKEWPARAM(IDC_REPEAT_MONTHLY, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(scheduler, IDC_REPEAT_MONTHLY)));
        Snap(output, "option-monthly", option.hwnd());
        option.ChooseTab(2);
        Snap(output, "option-donate", option.hwnd());
        option.ChooseTab(3);
        Snap(output, "option-report", option.hwnd());
    }
    {
        ui::CAutoDetectDlg detect(context);
        detect.Open(main.hwnd());
        Snap(output, "autodetect", detect.hwnd());
    }
    {
        ui::CAboutDlg about;
        about.Create(main.hwnd());
        Snap(output, "about", about.hwnd());
    }
    SnapFtp(output, stores.language, main.hwnd());
    return 0;
}
