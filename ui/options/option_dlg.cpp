#include "ui/options/option_dlg.h"

#include "common/text.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/options/startup_registration.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr std::u16string_view kSection = u"HowToBackup";
// Listed in this order and sorted by the list itself, they sit at the language indices.
constexpr const wchar_t* kLanguages[] = {L"English", L"Korean", L"Japanese"};

}  // namespace

COptionDlg::COptionDlg(AppContext& context, OptionBlock& mirror)
    : CDialog(IDD_OPTION), context_(context), mirror_(mirror) {
    auto& option = context_.stores.option;
    regStartup_ = static_cast<int>(ReadNumber(option, kSection, u"RegStartup"));
    selLang_ = static_cast<int>(NormalisedLanguage(ReadNumber(option, kSection, u"SelLang")));
    map().OnCommand(IDC_REG_STARTUP, [this] { ToggleStartup(); });
    map().OnCommand(IDOK, [this] { OnOk(); });
    map().OnCommand(IDC_LANGUAGE_LIST, CBN_SELCHANGE, [this] { LanguageChosen(); });
}

void COptionDlg::OnInitDialog() {
    auto& language = context_.stores.language;
    SetItemText(hwnd(), IDC_REG_STARTUP, language, text::OptionRegStart);
    SetItemText(hwnd(), IDC_LANGUAGE_LABEL, language, text::OptionSelectLanguage);
    SetItemText(hwnd(), IDOK, language, text::OptionOk);
    SetItemText(hwnd(), IDCANCEL, language, text::OptionCancel);
    for (const auto* name : kLanguages) {
        ::SendDlgItemMessageW(hwnd(), IDC_LANGUAGE_LIST, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(name));
    }
    ::SendDlgItemMessageW(hwnd(), IDC_LANGUAGE_LIST, CB_SETCURSEL, selLang_, 0);
    ::CheckDlgButton(hwnd(), IDC_REG_STARTUP, regStartup_ ? BST_CHECKED : BST_UNCHECKED);
}

void COptionDlg::ToggleStartup() {
    regStartup_ = regStartup_ ? 0 : 1;
    ::CheckDlgButton(hwnd(), IDC_REG_STARTUP, regStartup_ ? BST_CHECKED : BST_UNCHECKED);
    StoreValue(context_.stores.option, kSection, u"RegStartup", ToDecimal(regStartup_));
}

void COptionDlg::LanguageChosen() {
    const auto chosen = ::SendDlgItemMessageW(hwnd(), IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0);
    if (chosen == CB_ERR) {
        return;
    }
    selLang_ = static_cast<int>(chosen);
    // Only the file learns of the choice now; the language changes with OK.
    auto& option = context_.stores.option;
    const auto value = ToDecimal(selLang_);
    option.SetValue(kSection, u"SelLang", value, false);
    option.WriteValue(kSection, u"SelLang", value);
}

void COptionDlg::OnOk() {
    EndDialog(IDOK);
    mirror_.m_selLang = selLang_;
    if (auto problem = RegisterStartup(regStartup_ != 0, context_.executable)) {
        ShowMessage(hwnd(), context_.stores.language.GetValue(*problem));
    }
    mirror_.m_regStartup = regStartup_;
}

}  // namespace arkivo::ui
