// The option dialog's general page: starting with Windows, the periodic auto-detect and its
// cycle, the interface language and the update choice. Each change is in "Option.ini" at once;
// the Run key and the active language follow only the dialog's OK.
#pragma once

#include <string>

#include "ui/framework/dialog.h"
#include "ui/framework/skin.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class COption : public CDialog {
  public:
    explicit COption(AppContext& context);

    int regStartup() const { return regStartup_; }
    int autoDetect() const { return autoDetect_; }
    int selLang() const { return selLang_; }
    int autoUpdate() const { return autoUpdate_; }

  private:
    void OnInitDialog() override;
    void EnableCycle();
    void ToggleStartup();
    void ToggleAutoDetect();
    MessageResult OnCycleSpin(NMHDR& header);
    void LanguageChosen();
    void ChooseUpdate(int automatic);
    void UpdateNow();
    void Store(std::u16string_view key, int value);

    AppContext& context_;
    std::u16string cycleText_;
    int regStartup_ = 0;
    int autoDetect_ = 0;
    int selLang_ = 0;
    int autoUpdate_ = 0;
    CImageButtonBar buttons_;
};

}  // namespace arkivo::ui
