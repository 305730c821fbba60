// The option dialog's report page: whether a run writes a report, and which of its file lists
// (updated, created, deleted) it holds. Each change is in "Option.ini" at once.
#pragma once

#include <array>

#include "ui/framework/dialog.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class CReport : public CDialog {
  public:
    explicit CReport(AppContext& context);

  private:
    void OnInitDialog() override;
    void Toggle(std::size_t option);
    void EnableLists();

    AppContext& context_;
    std::array<int, 4> values_{};  // on, updated, created, deleted
};

}  // namespace arkivo::ui
