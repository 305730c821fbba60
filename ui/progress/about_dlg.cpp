#include "ui/progress/about_dlg.h"

#include "ui/framework/window_text.h"
#include "ui/resource.h"
#include "ui/version.h"

namespace arkivo::ui {
namespace {

// A window's place in its parent's client coordinates.
RECT PlaceInParent(HWND window) {
    RECT place{};
    ::GetWindowRect(window, &place);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The height the label's text needs at the label's width, in its font.
int TextHeight(HWND label) {
    const std::wstring text = Wide(WindowText(label));
    RECT client{};
    ::GetClientRect(label, &client);
    HDC dc = ::GetDC(label);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    ::DrawTextW(dc, text.c_str(), -1, &client, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    return client.bottom - client.top;
}

}  // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::OnInitDialog() {
    SetItemText(hwnd(), IDC_ABOUT_VERSION, u"Version " ARKIVO_VERSION_UTF16);
    FitDescription();
}

// The description takes as many lines as its text needs in the font the system gives it; OK
// and the box's bottom move down with it.
void CAboutDlg::FitDescription() {
    const HWND label = Item(IDC_ABOUT_TEXT);
    const RECT place = PlaceInParent(label);
    const int grow = TextHeight(label) - (place.bottom - place.top);
    if (grow <= 0) {
        return;
    }
    ::SetWindowPos(label, nullptr, 0, 0, place.right - place.left, place.bottom - place.top + grow,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT ok = PlaceInParent(Item(IDOK));
    ::SetWindowPos(Item(IDOK), nullptr, ok.left, ok.top + grow, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT box{};
    ::GetWindowRect(hwnd(), &box);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, box.right - box.left, box.bottom - box.top + grow,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace arkivo::ui
