#include "ui/options/repeat_pages.h"

#include "common/text.h"
#include "schedule/schedule_settings.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/options/number_box.h"
#include "ui/options/option_store.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

// The check boxes of the days, Sunday first.
constexpr std::array<int, 7> kDayBoxes = {IDC_WEEK_SUN, IDC_WEEK_MON, IDC_WEEK_TUE, IDC_WEEK_WED,
                                          IDC_WEEK_THU, IDC_WEEK_FRI, IDC_WEEK_SAT};
constexpr std::array<TextKey, 7> kDayTexts = {text::WeekSun, text::WeekMon, text::WeekTue,
                                              text::WeekWed, text::WeekThu, text::WeekFri,
                                              text::WeekSat};
constexpr std::u16string_view kDayOfMonthKey = u"DATE";

}  // namespace

CRepEverydayDlg::CRepEverydayDlg() : CDialog(IDD_REPEAT_DAILY) {}

CEveryweekDlg::CEveryweekDlg(AppContext& context) : CDialog(IDD_REPEAT_WEEKLY), context_(context) {
    for (std::size_t day = 0; day < days_.size(); ++day) {
        days_[day] = static_cast<int>(ReadNumber(
            context_.stores.option, schedule::kSchedulerSection, schedule::kWeekdayKeys[day]));
        map().OnCommand(kDayBoxes[day], [this, day] { ToggleDay(day); });
    }
}

void CEveryweekDlg::OnInitDialog() {
    for (std::size_t day = 0; day < days_.size(); ++day) {
        SetItemText(hwnd(), kDayBoxes[day], context_.stores.language, kDayTexts[day]);
        ::CheckDlgButton(hwnd(), kDayBoxes[day], days_[day] ? BST_CHECKED : BST_UNCHECKED);
    }
}

void CEveryweekDlg::ToggleDay(std::size_t day) {
    days_[day] = days_[day] ? 0 : 1;
    ::CheckDlgButton(hwnd(), kDayBoxes[day], days_[day] ? BST_CHECKED : BST_UNCHECKED);
    StoreOption(hwnd(), context_.stores, schedule::kSchedulerSection, schedule::kWeekdayKeys[day],
                ToDecimal(days_[day]));
}

CRepEverymonthDlg::CRepEverymonthDlg(AppContext& context)
    : CDialog(IDD_REPEAT_MONTHLY), context_(context) {
    dayText_ = context_.stores.option.GetValue(schedule::kSchedulerSection, kDayOfMonthKey);
    map().OnCommand(IDC_MONTH_DAY, EN_CHANGE, [this] { DayTyped(); });
}

void CRepEverymonthDlg::OnInitDialog() {
    auto& language = context_.stores.language;
    SetItemText(hwnd(), IDC_MONTH_EVERY, language, text::MonthEvery);
    SetItemText(hwnd(), IDC_MONTH_DATE, language, text::TypeDate);
    const SettingText guard(settingText_);
    SetItemText(hwnd(), IDC_MONTH_DAY, dayText_);
}

void CRepEverymonthDlg::DayTyped() {
    if (settingText_) {
        return;
    }
    const long long day = ParseLeadingInt(ItemText(hwnd(), IDC_MONTH_DAY));
    if (day > 31 || day < 1) {
        ShowMessage(hwnd(), context_.stores.language.GetValue(text::MonthMsgErrDay));
    }
    dayText_ = ToDecimal(day);
    ShowNumber(hwnd(), IDC_MONTH_DAY, dayText_, settingText_);
    StoreOption(hwnd(), context_.stores, schedule::kSchedulerSection, kDayOfMonthKey, dayText_);
}

}  // namespace arkivo::ui
