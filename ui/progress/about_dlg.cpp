#include "ui/progress/about_dlg.h"

#include "ui/framework/window_text.h"
#include "ui/resource.h"
#include "ui/version.h"

namespace arkivo::ui {

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::OnInitDialog() {
    SetItemText(hwnd(), IDC_ABOUT_VERSION, u"Version " ARKIVO_VERSION_UTF16);
}

}  // namespace arkivo::ui
