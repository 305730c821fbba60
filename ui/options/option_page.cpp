#include "ui/options/option_page.h"

#include <commctrl.h>

#include "common/text.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/options/option_store.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr std::u16string_view kSection = u"HowToBackup";
constexpr std::u16string_view kCycleKey = u"AutoDetectCycleTime";
constexpr long long kHoursOfADay = 24;
// Listed in this order and sorted by the list itself, they sit at the language indices.
constexpr const wchar_t* kLanguages[] = {L"English", L"Korean", L"Japanese"};
constexpr ImageButtonSpec kUpdateButton[] = {{IDC_UPDATE_NOW, IDI_START, 24, text::ButtonUpdate}};

}  // namespace

COption::COption(AppContext& context) : CDialog(IDD_OPTION_GENERAL), context_(context) {
    auto& option = context_.stores.option;
    regStartup_ = static_cast<int>(ReadNumber(option, kSection, u"RegStartup"));
    autoDetect_ = static_cast<int>(ReadNumber(option, kSection, u"AutoDetect"));
    selLang_ = static_cast<int>(NormalisedLanguage(ReadNumber(option, kSection, u"SelLang")));
    autoUpdate_ = static_cast<int>(ReadNumber(option, kSection, u"AutoUpdate"));
    cycleText_ = option.GetValue(kSection, kCycleKey);
    auto& m = map();
    m.OnCommand(IDC_REG_STARTUP, [this] { ToggleStartup(); });
    m.OnCommand(IDC_AUTO_DETECT_ON, [this] { ToggleAutoDetect(); });
    m.OnNotify(IDC_CYCLE_SPIN, UDN_DELTAPOS, [this](NMHDR& header) { return OnCycleSpin(header); });
    m.OnCommand(IDC_LANGUAGE_LIST, CBN_SELCHANGE, [this] { LanguageChosen(); });
    m.OnCommand(IDC_AUTO_UPDATE, [this] { ChooseUpdate(1); });
    m.OnCommand(IDC_MANUAL_UPDATE, [this] { ChooseUpdate(0); });
    m.OnCommand(IDC_UPDATE_NOW, [this] { UpdateNow(); });
}

void COption::OnInitDialog() {
    auto& language = context_.stores.language;
    SetItemText(hwnd(), IDC_REG_STARTUP, language, text::OptionRegStart);
    SetItemText(hwnd(), IDC_AUTO_DETECT_ON, language, text::OptionAutoDetect);
    SetItemText(hwnd(), IDC_CYCLE_LABEL, language, text::SchedulerHour);
    SetItemText(hwnd(), IDC_LANGUAGE_LABEL, language, text::OptionSelectLanguage);
    SetItemText(hwnd(), IDC_UPDATE_GROUP, GroupCaption(language.GetValue(text::OptionUpdate)));
    SetItemText(hwnd(), IDC_AUTO_UPDATE, language, text::OptionAutoUpdate);
    SetItemText(hwnd(), IDC_MANUAL_UPDATE, language, text::OptionManualUpdate);
    SetItemText(hwnd(), IDC_CYCLE_TIME, cycleText_);
    for (const auto* name : kLanguages) {
        ::SendDlgItemMessageW(hwnd(), IDC_LANGUAGE_LIST, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(name));
    }
    ::SendDlgItemMessageW(hwnd(), IDC_LANGUAGE_LIST, CB_SETCURSEL, selLang_, 0);
    ::CheckDlgButton(hwnd(), IDC_REG_STARTUP, regStartup_ ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(hwnd(), IDC_AUTO_DETECT_ON, autoDetect_ ? BST_CHECKED : BST_UNCHECKED);
    ::CheckRadioButton(hwnd(), IDC_AUTO_UPDATE, IDC_MANUAL_UPDATE,
                       autoUpdate_ == 1 ? IDC_AUTO_UPDATE : IDC_MANUAL_UPDATE);
    buttons_.Attach(hwnd(), kUpdateButton);
    buttons_.SetTips(language);
    EnableCycle();
}

void COption::EnableCycle() {
    for (int id : {IDC_CYCLE_TIME, IDC_CYCLE_SPIN}) {
        ::EnableWindow(Item(id), autoDetect_ != 0);
    }
}

void COption::Store(std::u16string_view key, int value) {
    StoreOption(hwnd(), context_.stores, kSection, key, ToDecimal(value));
}

void COption::ToggleStartup() {
    regStartup_ = regStartup_ ? 0 : 1;
    ::CheckDlgButton(hwnd(), IDC_REG_STARTUP, regStartup_ ? BST_CHECKED : BST_UNCHECKED);
    Store(u"RegStartup", regStartup_);
}

void COption::ToggleAutoDetect() {
    autoDetect_ = autoDetect_ ? 0 : 1;
    ::CheckDlgButton(hwnd(), IDC_AUTO_DETECT_ON, autoDetect_ ? BST_CHECKED : BST_UNCHECKED);
    EnableCycle();
    Store(u"AutoDetect", autoDetect_);
}

// Text typed into the box counts from the next arrow click, which starts from it.
MessageResult COption::OnCycleSpin(NMHDR& header) {
    const auto& change = reinterpret_cast<NMUPDOWN&>(header);
    const long long typed = ParseLeadingInt(ItemText(hwnd(), IDC_CYCLE_TIME));
    cycleText_ = ToDecimal(SpinStep(typed, change.iDelta, kHoursOfADay));
    SetItemText(hwnd(), IDC_CYCLE_TIME, cycleText_);
    StoreOption(hwnd(), context_.stores, kSection, kCycleKey, cycleText_);
    return TRUE;  // the control's own position is not used
}

void COption::LanguageChosen() {
    const auto chosen = ::SendDlgItemMessageW(hwnd(), IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0);
    if (chosen == CB_ERR) {
        return;
    }
    selLang_ = static_cast<int>(chosen);
    // The language itself changes with OK.
    StoreOption(hwnd(), context_.stores, kSection, u"SelLang", ToDecimal(selLang_));
}

void COption::ChooseUpdate(int automatic) {
    autoUpdate_ = automatic;
    StoreOption(hwnd(), context_.stores, kSection, u"AutoUpdate", ToDecimal(autoUpdate_));
}

void COption::UpdateNow() {
    StoreOption(hwnd(), context_.stores, kSection, u"BtnUpdate", u"1");
    ::SendMessageW(::GetParent(hwnd()), WM_UPDATE_REQUEST, 0, 0);
}

}  // namespace arkivo::ui
