#include "ui/options/donate_page.h"

#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {

CDonateDlg::CDonateDlg(AppContext& context) : CDialog(IDD_DONATE_PAGE), context_(context) {}

void CDonateDlg::OnInitDialog() {
    SetItemText(hwnd(), IDC_DONATE_TEXT, context_.stores.language, text::DonateMessage);
}

}  // namespace arkivo::ui
