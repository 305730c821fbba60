#include "ui/options/option_dlg.h"

#include <commctrl.h>

#include <memory>

#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/options/donate_page.h"
#include "ui/options/option_page.h"
#include "ui/options/report_page.h"
#include "ui/options/scheduler_page.h"
#include "ui/options/startup_registration.h"
#include "ui/resource.h"

namespace arkivo::ui {

CTabDialog::CTabDialog(AppContext& context, OptionBlock& mirror)
    : CDialog(IDD_OPTION), context_(context), mirror_(mirror) {
    pages_.Add([&context] { return std::make_unique<COption>(context); });
    pages_.Add([&context] { return std::make_unique<CScheduler>(context); });
    pages_.Add([&context] { return std::make_unique<CDonateDlg>(context); });
    pages_.Add([&context] { return std::make_unique<CReport>(context); });
    map().OnCommand(IDOK, [this] { OnOk(); });
    map().OnNotify(IDC_OPTION_TABS, TCN_SELCHANGE, [this](NMHDR&) -> MessageResult {
        ChooseTab(TabCtrl_GetCurSel(Item(IDC_OPTION_TABS)));
        return 0;
    });
    map().OnMessage(WM_UPDATE_REQUEST, [this](WPARAM, LPARAM) -> MessageResult {
        OnUpdateRequest();
        return 0;
    });
}

void CTabDialog::OnInitDialog() {
    auto& language = context_.stores.language;
    const HWND tabs = Item(IDC_OPTION_TABS);
    int index = 0;
    for (const TextKey& key :
         {text::TabOption, text::TabScheduler, text::TabDonate, text::TabReport}) {
        std::wstring label = Wide(language.GetValue(key));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = label.data();
        TabCtrl_InsertItem(tabs, index++, &item);
    }
    SetItemText(hwnd(), IDOK, language, text::OptionOk);
    SetItemText(hwnd(), IDCANCEL, language, text::OptionCancel);
    pages_.Attach(tabs);
    ChooseTab(0);
}

void CTabDialog::ChooseTab(int tab) {
    TabCtrl_SetCurSel(Item(IDC_OPTION_TABS), tab);
    pages_.Show(tab);
}

COption* CTabDialog::General() const {
    return static_cast<COption*>(pages_.Page(0));
}

void CTabDialog::OnOk() {
    const COption* general = General();
    const HWND owner = ::GetWindow(hwnd(), GW_OWNER);
    EndDialog(IDOK);
    if (general == nullptr) {
        return;
    }
    mirror_.m_selLang = general->selLang();
    if (auto problem = RegisterStartup(general->regStartup() != 0, context_.executable)) {
        ShowMessage(owner, context_.stores.language.GetValue(*problem));
    }
    mirror_.m_regStartup = general->regStartup();
    mirror_.m_autoDetect = general->autoDetect();
    mirror_.m_autoUpdate = general->autoUpdate();
}

// The main window starts the updater once this dialog is gone; the choices made so far are
// in the file already.
void CTabDialog::OnUpdateRequest() {
    const HWND owner = ::GetWindow(hwnd(), GW_OWNER);
    EndDialog(IDOK);
    if (owner != nullptr) {
        ::PostMessageW(owner, WM_UPDATE_REQUEST, 0, 0);
    }
}

}  // namespace arkivo::ui
