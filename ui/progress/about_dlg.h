// The About box of the system menu.
#pragma once

#include "ui/framework/dialog.h"

namespace arkivo::ui {

class CAboutDlg : public CDialog {
  public:
    CAboutDlg();

  private:
    void OnInitDialog() override;
    void FitDescription();
};

}  // namespace arkivo::ui
