// The period job's page: the span whose changes its runs copy, picked as a start and an end
// date and time, and the ZIP choice. The period is stored by the job editor's OK.
#pragma once

#include <cstdint>
#include <optional>

#include "ui/jobs/type_pages.h"

namespace arkivo::ui {

class CBackupTypeDlg_Spd : public CZipTypePage {
  public:
    CBackupTypeDlg_Spd(AppContext& context, std::size_t jobIndex);

    // Writes the start and the end the pickers show into the job; nothing when one of them is
    // no time the clock knows.
    void StorePeriod();

  private:
    void OnInitDialog() override;
    std::unique_ptr<CBackupTypeHelp> MakeHelp() const override;
    void ShowInPickers(int datePicker, int timePicker, std::int64_t instant);
    std::optional<std::int64_t> PickedTime(int datePicker, int timePicker) const;
};

}  // namespace arkivo::ui
