// The small window that tells the user a run has finished.
#pragma once

#include <string>

#include "ui/framework/dialog.h"

namespace arkivo::ui {

class CCompleteDlg : public CDialog {
  public:
    explicit CCompleteDlg(std::u16string text);

  private:
    void OnInitDialog() override;

    std::u16string text_;
};

}  // namespace arkivo::ui
