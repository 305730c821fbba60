#include "ui/jobs/period_page.h"

#include <commctrl.h>

#include "platform/clock.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr const wchar_t* kTimeFormat = L"hh':'mm':'ss tt";

}  // namespace

CBackupTypeDlg_Spd::CBackupTypeDlg_Spd(AppContext& context, std::size_t jobIndex)
    : CZipTypePage(IDD_TYPE_SPD, IDC_TYPE_HELP_SPD, context, jobIndex, text::TypeSpdBackup) {}

std::unique_ptr<CBackupTypeHelp> CBackupTypeDlg_Spd::MakeHelp() const {
    return std::make_unique<CBackupTypeHelp_Spd>(context_.stores.language);
}

// A bound not stored yet opens at the present moment, as the pickers do by themselves. The
// end opens at the stored one: opening at the present would move it with every OK.
void CBackupTypeDlg_Spd::OnInitDialog() {
    CZipTypePage::OnInitDialog();
    auto& language = context_.stores.language;
    SetItemText(hwnd(), IDC_PERIOD_START_LABEL, language, text::TypeSpdStartDate);
    SetItemText(hwnd(), IDC_PERIOD_END_LABEL, language, text::TypeSpdEndDate);
    for (int picker : {IDC_PERIOD_START_TIME, IDC_PERIOD_END_TIME}) {
        ::SendDlgItemMessageW(hwnd(), picker, DTM_SETFORMATW, 0,
                              reinterpret_cast<LPARAM>(kTimeFormat));
    }
    const auto accessors = Accessors();
    const auto start = accessors.GetJobTime(jobIndex_, JobOption::PeriodStart);
    if (start > 0) {
        ShowInPickers(IDC_PERIOD_START_DATE, IDC_PERIOD_START_TIME, start);
    }
    const auto end = accessors.GetJobTime(jobIndex_, JobOption::PeriodEnd);
    if (end > 0) {
        ShowInPickers(IDC_PERIOD_END_DATE, IDC_PERIOD_END_TIME, end);
    }
}

void CBackupTypeDlg_Spd::ShowInPickers(int datePicker, int timePicker, std::int64_t instant) {
    const auto local = platform::ToLocalTime(instant);
    if (!local) {
        return;
    }
    SYSTEMTIME shown{};
    shown.wYear = static_cast<WORD>(local->year);
    shown.wMonth = static_cast<WORD>(local->month);
    shown.wDay = static_cast<WORD>(local->day);
    shown.wDayOfWeek = static_cast<WORD>(local->weekday);
    shown.wHour = static_cast<WORD>(local->hour);
    shown.wMinute = static_cast<WORD>(local->minute);
    shown.wSecond = static_cast<WORD>(local->second);
    for (int picker : {datePicker, timePicker}) {
        DateTime_SetSystemtime(Item(picker), GDT_VALID, &shown);
    }
}

std::optional<std::int64_t> CBackupTypeDlg_Spd::PickedTime(int datePicker, int timePicker) const {
    SYSTEMTIME date{};
    SYSTEMTIME time{};
    if (DateTime_GetSystemtime(Item(datePicker), &date) != GDT_VALID ||
        DateTime_GetSystemtime(Item(timePicker), &time) != GDT_VALID) {
        return std::nullopt;
    }
    platform::LocalTime local;
    local.year = date.wYear;
    local.month = date.wMonth;
    local.day = date.wDay;
    local.hour = time.wHour;
    local.minute = time.wMinute;
    local.second = time.wSecond;
    return platform::FromLocalTime(local);
}

void CBackupTypeDlg_Spd::StorePeriod() {
    const auto start = PickedTime(IDC_PERIOD_START_DATE, IDC_PERIOD_START_TIME);
    const auto end = PickedTime(IDC_PERIOD_END_DATE, IDC_PERIOD_END_TIME);
    if (!start || !end || *start < 0 || *end < 0) {
        return;
    }
    const auto accessors = Accessors();
    accessors.SetJobTime(jobIndex_, JobOption::PeriodStart, static_cast<std::uint64_t>(*start));
    accessors.SetJobTime(jobIndex_, JobOption::PeriodEnd, static_cast<std::uint64_t>(*end));
}

}  // namespace arkivo::ui
