// The scheduler page's repeat pages: every day (nothing to choose), the days of the week, the
// day of the month. Each change is in "Option.ini" at once.
#pragma once

#include <array>
#include <string>

#include "ui/framework/dialog.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class CRepEverydayDlg : public CDialog {
  public:
    CRepEverydayDlg();
};

class CEveryweekDlg : public CDialog {
  public:
    explicit CEveryweekDlg(AppContext& context);

  private:
    void OnInitDialog() override;
    void ToggleDay(std::size_t day);

    AppContext& context_;
    std::array<int, 7> days_{};  // Sunday first
};

class CRepEverymonthDlg : public CDialog {
  public:
    explicit CRepEverymonthDlg(AppContext& context);

  private:
    void OnInitDialog() override;
    void DayTyped();

    AppContext& context_;
    std::u16string dayText_;
    bool settingText_ = false;
};

}  // namespace arkivo::ui
