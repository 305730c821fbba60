// The main window's life in the notification area: hiding, showing, the tray menu, the
// language switch and the icon's return after the notification area restarts.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>
#include <shellapi.h>

#include "common/text.h"
#include "gui_support.h"
#include "settings/lang_ini.h"
#include "ui/jobs/modify_list.h"
#include "ui/options/option_dlg.h"
#include "ui/progress/about_dlg.h"
#include "ui/progress/complete_dlg.h"
#include "ui/progress/progress_dlg.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

// The popup of a menu resource.
Entries MenuOf(int menuId) {
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
    const Entries items = MenuItems(::GetSubMenu(menu, 0));
    ::DestroyMenu(menu);
    return items;
}

TEST(Menus, HoldTheirItemsAndCommandsInEveryLanguage) {
    EXPECT_EQ(MenuOf(IDR_TRAY_ENGLISH), (Entries{u"Open=32775", u"Option=32777", u"Exit=57665"}));
    EXPECT_EQ(MenuOf(IDR_TRAY_JAPANESE), (Entries{u"開く=32775", u"設定=32777", u"終了=57665"}));
    EXPECT_EQ(MenuOf(IDR_TRAY_KOREAN), (Entries{u"열기=32775", u"옵션=32777", u"종료=57665"}));
    EXPECT_EQ(MenuOf(IDR_JOBLIST_ENGLISH), (Entries{u"Delete=32771", u"Modify=32772"}));
    EXPECT_EQ(MenuOf(IDR_JOBLIST_JAPANESE), (Entries{u"削除=32771", u"修正=32772"}));
    EXPECT_EQ(MenuOf(IDR_JOBLIST_KOREAN), (Entries{u"삭제=32771", u"수정=32772"}));
}

using WindowTest = MainDialogTest;

TEST_F(WindowTest, CloseHidesOpenOrADoubleClickOnTheIconShowsAndExitEnds) {
    Open();
    ASSERT_TRUE(::IsWindowVisible(dialog()));

    ::SendMessageW(dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_TRUE(::IsWindow(dialog()));
    EXPECT_FALSE(::IsWindowVisible(dialog()));

    // Nothing but the program's own show command brings the window back.
    ::SetWindowPos(dialog(), nullptr, 0, 0, 0, 0,
                   SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_FALSE(::IsWindowVisible(dialog()));

    ::SendMessageW(dialog(), WM_COMMAND, ID_TRAY_OPEN, 0);
    EXPECT_TRUE(::IsWindowVisible(dialog()));
    EXPECT_TRUE(dialog_->visibleByChoice());

    ::SendMessageW(dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ::SendMessageW(dialog(), WM_TRAY_NOTIFY, dialog_->trayIcon().id(), WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(dialog()));

    // Exit ends the dialog even when it is hidden.
    ::SendMessageW(dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    const HWND window = dialog();
    ::SendMessageW(window, WM_COMMAND, ID_APP_EXIT, 0);
    PumpMessages();
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(WindowTest, OpenOrADoubleClickOnTheIconRestoresAMinimisedWindow) {
    Open();
    ::SendMessageW(dialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpMessages();
    ASSERT_TRUE(::IsIconic(dialog()));
    ::SendMessageW(dialog(), WM_COMMAND, ID_TRAY_OPEN, 0);
    PumpMessages();
    EXPECT_FALSE(::IsIconic(dialog()));
    EXPECT_TRUE(::IsWindowVisible(dialog()));

    ::SendMessageW(dialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpMessages();
    ASSERT_TRUE(::IsIconic(dialog()));
    ::SendMessageW(dialog(), WM_TRAY_NOTIFY, dialog_->trayIcon().id(), WM_LBUTTONDBLCLK);
    PumpMessages();
    EXPECT_FALSE(::IsIconic(dialog()));
}

TEST_F(WindowTest, TheIconComesBackWhenTheNotificationAreaRestarts) {
    Open();
    auto& icon = dialog_->trayIcon();
    ASSERT_TRUE(icon.enabled());
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof(probe);
    probe.hWnd = dialog();
    probe.uID = icon.id();
    probe.uFlags = NIF_TIP;
    wcscpy(probe.szTip, L"Arkivo");
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &probe));

    // A restarted notification area has forgotten every icon.
    ::Shell_NotifyIconW(NIM_DELETE, &probe);
    ASSERT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &probe));

    ::SendMessageW(dialog(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);

    EXPECT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &probe));
    EXPECT_TRUE(icon.enabled());
}

// Image buttons carry their texts as tool tips, in the language chosen.
TEST_F(WindowTest, ChoosingJapaneseInTheOptionsSwitchesTextsToolTipsAndMenus) {
    Open();
    EXPECT_EQ(ItemText(dialog(), IDC_BASE_LABEL), folder_.English(text::StaticBase));
    EXPECT_EQ(dialog_->toolTips().Text(::GetDlgItem(dialog(), IDC_START)),
              folder_.English(text::ButtonStartBackup));
    EXPECT_EQ(dialog_->toolTips().Text(::GetDlgItem(dialog(), IDC_REGISTER)),
              folder_.English(text::ButtonRegister));
    ASSERT_EQ(dialog_->trayIcon().id(), static_cast<UINT>(IDR_TRAY_ENGLISH));
    driver_.OnDialog(u"Option", [](HWND options) {
        const HWND languages = FindControl(options, IDC_LANGUAGE_LIST);
        ::SendMessageW(languages, CB_SETCURSEL, 1, 0);
        ::SendMessageW(::GetParent(languages), WM_COMMAND,
                       MAKEWPARAM(IDC_LANGUAGE_LIST, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(languages));
        ::PostMessageW(options, WM_COMMAND, IDOK, 0);
        return true;
    });

    ::SendMessageW(dialog(), WM_COMMAND, ID_TRAY_OPTION, 0);
    PumpMessages();

    CLangIni japanese;
    japanese.Open(folder_ / "japanese.ini");
    EXPECT_EQ(ItemText(dialog(), IDC_BASE_LABEL), japanese.GetValue(text::StaticBase));
    EXPECT_NE(japanese.GetValue(text::StaticBase), folder_.English(text::StaticBase));
    EXPECT_EQ(dialog_->toolTips().Text(::GetDlgItem(dialog(), IDC_STOP)),
              japanese.GetValue(text::ButtonStop));
    EXPECT_EQ(dialog_->trayIcon().id(), static_cast<UINT>(IDR_TRAY_JAPANESE));
    EXPECT_EQ(dialog_->options().m_selLang, 1);
    CLangIni option;
    option.Open(folder_ / "Option.ini");
    EXPECT_EQ(option.GetValue(u"HowToBackup", u"SelLang"), u"1");
}

// The colour of the brush a dialog answers with: WM_CTLCOLORDLG for its own background,
// WM_CTLCOLORSTATIC for its labels.
COLORREF BrushColour(HWND dialog, UINT message = WM_CTLCOLORDLG) {
    HDC dc = ::GetDC(dialog);
    const auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(
        dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog)));
    ::ReleaseDC(dialog, dc);
    LOGBRUSH info{};
    ::GetObjectW(brush, sizeof(info), &info);
    return info.lbColor;
}

// The main window's labels set the colour.
TEST_F(WindowTest, EveryDialogHasTheMainWindowsBackgroundColour) {
    Open();
    const COLORREF main = BrushColour(dialog(), WM_CTLCOLORSTATIC);
    EXPECT_EQ(BrushColour(dialog()), main);
    ui::CAboutDlg about;
    ui::CCompleteDlg complete(u"done");
    ui::OptionBlock options;
    ui::CTabDialog option(*context_, options);
    ui::CProgressDlg progress(*context_, dialog());
    std::u16string base = u"C:\\a", target = u"D:\\b";
    ui::ModifyList editor(*context_, options, 0, base, target);
    const std::pair<const char*, ui::CDialog*> others[] = {{"about", &about},
                                                           {"complete", &complete},
                                                           {"option", &option},
                                                           {"progress", &progress},
                                                           {"editor", &editor}};
    for (const auto& [name, other] : others) {
        ASSERT_TRUE(other->Create(dialog())) << name;
        EXPECT_EQ(BrushColour(other->hwnd()), main) << name;
    }
}

// The buttons beside the paths and the auto-detect button show and can be used.
TEST_F(WindowTest, ThePathButtonsAndTheAutoDetectButtonShow) {
    Open();
    for (int id : {IDC_BASE_BROWSE, IDC_BASE_FTP, IDC_TARGET_FTP, IDC_AUTO_DETECT}) {
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog(), id))) << id;
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog(), id))) << id;
    }
}

// Every label of the About box shows its whole text, above the OK button.
TEST(AboutBox, EveryLabelHoldsItsWholeTextAboveOk) {
    ui::CAboutDlg about;
    ASSERT_TRUE(about.Create(nullptr));
    RECT ok{};
    ::GetWindowRect(about.Item(IDOK), &ok);
    HDC dc = ::GetDC(about.hwnd());
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(about.hwnd(), WM_GETFONT, 0, 0)));
    int labels = 0;
    for (HWND child = ::GetWindow(about.hwnd(), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        const std::u16string text = Text(child);
        if (std::wstring(name) != L"Static" || text.empty()) {
            continue;
        }
        ++labels;
        RECT label{};
        ::GetClientRect(child, &label);
        RECT needed = label;
        const std::wstring wide(text.begin(), text.end());
        ::DrawTextW(dc, wide.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        EXPECT_LE(needed.bottom, label.bottom) << "cut: " << std::string(wide.begin(), wide.end());
        RECT placed{};
        ::GetWindowRect(child, &placed);
        EXPECT_LE(placed.bottom, ok.top);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(about.hwnd(), dc);
    EXPECT_GE(labels, 3);
    RECT client{};
    ::GetClientRect(about.hwnd(), &client);
    ::MapWindowPoints(about.hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_LE(ok.bottom, client.bottom) << "OK is inside the box";
}

}  // namespace
}  // namespace arkivo::test
