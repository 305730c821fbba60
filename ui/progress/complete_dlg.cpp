#include "ui/progress/complete_dlg.h"

#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {

CCompleteDlg::CCompleteDlg(std::u16string text) : CDialog(IDD_COMPLETE), text_(std::move(text)) {}

void CCompleteDlg::OnInitDialog() {
    SetItemText(hwnd(), IDC_COMPLETE_TEXT, text_);
    ::SetForegroundWindow(hwnd());
}

}  // namespace arkivo::ui
