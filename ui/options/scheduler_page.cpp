#include "ui/options/scheduler_page.h"

#include <commctrl.h>

#include <memory>

#include "common/text.h"
#include "schedule/schedule_settings.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/options/number_box.h"
#include "ui/options/option_store.h"
#include "ui/options/repeat_pages.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

using schedule::kSchedulerSection;

constexpr int kRepeatRadios[] = {IDC_REPEAT_DAILY, IDC_REPEAT_WEEKLY, IDC_REPEAT_MONTHLY};
// The controls that only count while the scheduler is on.
constexpr int kScheduleControls[] = {IDC_SCHEDULE_HOUR,  IDC_SCHEDULE_MINUTE, IDC_HOUR_SPIN,
                                     IDC_MINUTE_SPIN,    IDC_HOUR_LABEL,      IDC_MINUTE_LABEL,
                                     IDC_REPEAT_GROUP,   IDC_REPEAT_DAILY,    IDC_REPEAT_WEEKLY,
                                     IDC_REPEAT_MONTHLY, IDC_REPEAT_FRAME,    IDC_TIME_GROUP};

bool IsRepeatKind(long long repeat) {
    return repeat >= 1 && repeat <= 3;
}

}  // namespace

CScheduler::CScheduler(AppContext& context)
    : CDialog(IDD_SCHEDULER),
      context_(context),
      hour_{IDC_SCHEDULE_HOUR, IDC_HOUR_SPIN, u"Hour", 24, text::SchedulerMsgErrHour, {}},
      minute_{IDC_SCHEDULE_MINUTE, IDC_MINUTE_SPIN, u"Min", 60, text::SchedulerMsgErrMin, {}} {
    auto& option = context_.stores.option;
    useScheduler_ = static_cast<int>(ReadNumber(option, kSchedulerSection, u"UseScheduler"));
    repeat_ = ReadNumber(option, kSchedulerSection, u"HowToRepeat");
    for (TimeField* field : {&hour_, &minute_}) {
        field->text = option.GetValue(kSchedulerSection, field->key);
        map().OnCommand(field->box, EN_CHANGE, [this, field] { TimeTyped(*field); });
        map().OnNotify(field->spin, UDN_DELTAPOS,
                       [this, field](NMHDR& header) { return OnTimeSpin(*field, header); });
    }
    repeatPages_.Add([] { return std::make_unique<CRepEverydayDlg>(); });
    repeatPages_.Add([&context] { return std::make_unique<CEveryweekDlg>(context); });
    repeatPages_.Add([&context] { return std::make_unique<CRepEverymonthDlg>(context); });
    map().OnCommand(IDC_USE_SCHEDULER, [this] { ToggleScheduler(); });
    for (long long kind = 1; kind <= 3; ++kind) {
        map().OnCommand(kRepeatRadios[kind - 1], [this, kind] { ChooseRepeat(kind); });
    }
}

CDialog* CScheduler::RepeatPage() const {
    return IsRepeatKind(repeat_) ? repeatPages_.Page(static_cast<int>(repeat_ - 1)) : nullptr;
}

void CScheduler::OnInitDialog() {
    auto& language = context_.stores.language;
    SetItemText(hwnd(), IDC_USE_SCHEDULER, language, text::SchedulerUse);
    SetItemText(hwnd(), IDC_TIME_GROUP, GroupCaption(language.GetValue(text::SchedulerBackupTime)));
    SetItemText(hwnd(), IDC_HOUR_LABEL, language, text::SchedulerHour);
    SetItemText(hwnd(), IDC_MINUTE_LABEL, language, text::SchedulerMin);
    SetItemText(hwnd(), IDC_REPEAT_GROUP, GroupCaption(language.GetValue(text::SchedulerRepeat)));
    SetItemText(hwnd(), IDC_REPEAT_DAILY, language, text::SchedulerEveryday);
    SetItemText(hwnd(), IDC_REPEAT_WEEKLY, language, text::SchedulerEveryweek);
    SetItemText(hwnd(), IDC_REPEAT_MONTHLY, language, text::SchedulerEverymonth);
    {
        const SettingText guard(settingText_);
        SetItemText(hwnd(), hour_.box, hour_.text);
        SetItemText(hwnd(), minute_.box, minute_.text);
    }
    ::CheckDlgButton(hwnd(), IDC_USE_SCHEDULER, useScheduler_ ? BST_CHECKED : BST_UNCHECKED);
    repeatPages_.Attach(Item(IDC_REPEAT_FRAME));
    if (IsRepeatKind(repeat_)) {
        ::CheckRadioButton(hwnd(), IDC_REPEAT_DAILY, IDC_REPEAT_MONTHLY,
                           kRepeatRadios[repeat_ - 1]);
        repeatPages_.Show(static_cast<int>(repeat_ - 1));
    }
    EnableControls();
    ShowTimeThatNeverComes();
}

void CScheduler::EnableControls() {
    for (int id : kScheduleControls) {
        ::EnableWindow(Item(id), useScheduler_ != 0);
    }
}

void CScheduler::ToggleScheduler() {
    useScheduler_ = useScheduler_ ? 0 : 1;
    ::CheckDlgButton(hwnd(), IDC_USE_SCHEDULER, useScheduler_ ? BST_CHECKED : BST_UNCHECKED);
    EnableControls();
    StoreOption(hwnd(), context_.stores, kSchedulerSection, u"UseScheduler",
                ToDecimal(useScheduler_));
}

void CScheduler::ChooseRepeat(long long repeat) {
    if (CDialog* shown = RepeatPage(); shown != nullptr) {
        ::ShowWindow(shown->hwnd(), SW_HIDE);
    }
    repeat_ = repeat;
    repeatPages_.Show(static_cast<int>(repeat - 1));
    StoreOption(hwnd(), context_.stores, kSchedulerSection, u"HowToRepeat", ToDecimal(repeat));
}

// Warned of, then stored as typed: the page names such a time until it is mended.
void CScheduler::TimeTyped(TimeField& field) {
    if (settingText_) {
        return;
    }
    const long long value = ParseLeadingInt(ItemText(hwnd(), field.box));
    if (value >= field.modulus || value < 0) {
        ShowMessage(hwnd(), context_.stores.language.GetValue(field.warning));
    }
    field.text = ToDecimal(value);
    ShowNumber(hwnd(), field.box, field.text, settingText_);
    StoreOption(hwnd(), context_.stores, kSchedulerSection, field.key, field.text);
    ShowTimeThatNeverComes();
}

MessageResult CScheduler::OnTimeSpin(TimeField& field, NMHDR& header) {
    const auto& change = reinterpret_cast<NMUPDOWN&>(header);
    const long long typed = ParseLeadingInt(ItemText(hwnd(), field.box));
    field.text = ToDecimal(SpinStep(typed, change.iDelta, field.modulus));
    ShowNumber(hwnd(), field.box, field.text, settingText_);
    StoreOption(hwnd(), context_.stores, kSchedulerSection, field.key, field.text);
    ShowTimeThatNeverComes();
    return TRUE;  // the control's own position is not used
}

void CScheduler::ShowTimeThatNeverComes() {
    std::u16string problem;
    for (const TimeField* field : {&hour_, &minute_}) {
        const long long value = ParseLeadingInt(field->text);
        if (value >= field->modulus || value < 0) {
            problem = context_.stores.language.GetValue(field->warning);
            break;
        }
    }
    SetItemText(hwnd(), IDC_SCHEDULE_NEVER, problem);
}

}  // namespace arkivo::ui
