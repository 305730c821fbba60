// The job editor: one job's base and target, its backup type and its filter patterns.
#pragma once

#include <memory>
#include <string>

#include "jobs/job_commands.h"
#include "ui/app_context.h"
#include "ui/controls/image_button.h"
#include "ui/controls/tool_tips.h"
#include "ui/dialog.h"

namespace arkivo::ui {

class ModifyList : public CDialog {
  public:
    // base and target are the texts to edit; OK writes the edited texts back into them.
    ModifyList(AppContext& context, std::size_t jobIndex, std::u16string& base,
               std::u16string& target);

    const FtpCredentials& baseFtp() const { return baseFtp_; }
    const FtpCredentials& targetFtp() const { return targetFtp_; }
    BackupType chosenType() const { return type_; }

  private:
    void OnInitDialog() override;
    void SetTexts();
    void ChooseType(BackupType type);
    void BrowseInto(int editId);
    void FillPatterns(int listId, CLangIni& store);
    void OnOk();

    AppContext& context_;
    std::size_t jobIndex_;
    std::u16string& base_;
    std::u16string& target_;
    FtpCredentials baseFtp_;
    FtpCredentials targetFtp_;
    BackupType type_ = BackupType::Sync;
    CImageButton buttons_[4];
    CToolTips tips_;
};

}  // namespace arkivo::ui
