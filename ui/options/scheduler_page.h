// The option dialog's scheduler page: whether the scheduler is on, the hour and minute, and
// how it repeats, with the repeat page of the choice in its frame. Each change is in
// "Option.ini" at once. A stored hour or minute that no clock shows is kept as stored and
// named on the page, so the user sees why no run starts.
#pragma once

#include <string>

#include "ui/framework/dialog.h"
#include "ui/framework/page_host.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class CScheduler : public CDialog {
  public:
    explicit CScheduler(AppContext& context);

    // The repeat page shown, null when no repeat kind is chosen.
    CDialog* RepeatPage() const;

  private:
    struct TimeField {
        int box;
        int spin;
        std::u16string_view key;
        long long modulus;
        const TextKey& warning;
        std::u16string text;
    };

    void OnInitDialog() override;
    void EnableControls();
    void ToggleScheduler();
    void ChooseRepeat(long long repeat);
    void TimeTyped(TimeField& field);
    MessageResult OnTimeSpin(TimeField& field, NMHDR& header);
    void ShowTimeThatNeverComes();

    AppContext& context_;
    int useScheduler_ = 0;
    long long repeat_ = 0;
    TimeField hour_;
    TimeField minute_;
    bool settingText_ = false;
    CPageHost repeatPages_;
};

}  // namespace arkivo::ui
