// The option dialog: the general, scheduler, donation and report pages on tabs. The pages
// keep every change in "Option.ini" at once; OK brings the Run key in line with the start-up
// choice and hands the choices to the main window, which then changes its language.
#pragma once

#include "ui/framework/dialog.h"
#include "ui/framework/page_host.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class COption;

class CTabDialog : public CDialog {
  public:
    CTabDialog(AppContext& context, OptionBlock& mirror);

    // The page of this tab, null until it was first shown.
    CDialog* Page(int tab) const { return pages_.Page(tab); }
    // Shows the page of this tab, as a click on the tab does.
    void ChooseTab(int tab);

  private:
    void OnInitDialog() override;
    COption* General() const;
    void OnOk();
    void OnUpdateRequest();

    AppContext& context_;
    OptionBlock& mirror_;
    CPageHost pages_;
};

}  // namespace arkivo::ui
