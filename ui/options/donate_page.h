// The option dialog's donation page: a few words on how the program is kept going.
#pragma once

#include "ui/framework/dialog.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class CDonateDlg : public CDialog {
  public:
    explicit CDonateDlg(AppContext& context);

  private:
    void OnInitDialog() override;

    AppContext& context_;
};

}  // namespace arkivo::ui
