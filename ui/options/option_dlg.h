// A first option dialog: starting with Windows and the interface language. The full option
// dialog with its scheduler, report and donation pages replaces it.
#pragma once

#include "ui/framework/dialog.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class COptionDlg : public CDialog {
  public:
    COptionDlg(AppContext& context, OptionBlock& mirror);

  private:
    void OnInitDialog() override;
    void ToggleStartup();
    void LanguageChosen();
    void OnOk();

    AppContext& context_;
    OptionBlock& mirror_;
    int regStartup_ = 0;
    int selLang_ = 0;
};

}  // namespace arkivo::ui
