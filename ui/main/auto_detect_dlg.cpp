#include "ui/main/auto_detect_dlg.h"

#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {

CAutoDetectDlg::CAutoDetectDlg(AppContext& context) : CDialog(IDD_AUTO_DETECT), context_(context) {}

CAutoDetectDlg::~CAutoDetectDlg() {
    Close();
}

void CAutoDetectDlg::Open(HWND owner) {
    if (!IsOpen() && !Create(owner)) {
        return;
    }
    ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
}

void CAutoDetectDlg::Close() {
    if (IsOpen()) {
        animation_.Clear();
        ::DestroyWindow(hwnd());
    }
}

void CAutoDetectDlg::OnInitDialog() {
    SetItemText(hwnd(), IDC_AUTO_DETECT_TEXT, context_.stores.language, text::StaticAutoDetect);
    animation_.Attach(Item(IDC_AUTO_DETECT_ANIMATION));
    animation_.Play(IDB_COPY_ANIMATION);
}

}  // namespace arkivo::ui
