// The job editor: one job's base and target, its backup type and its filter patterns.
#pragma once

#include <memory>
#include <string>

#include "jobs/job_commands.h"
#include "ui/framework/dialog.h"
#include "ui/framework/page_host.h"
#include "ui/framework/skin.h"
#include "ui/jobs/filter_controls.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class ModifyList : public CDialog {
  public:
    // base and target are the texts to edit; OK writes the edited texts back into them.
    // languageOwner holds the interface language of the pattern lists' menus.
    ModifyList(AppContext& context, const OptionBlock& languageOwner, std::size_t jobIndex,
               std::u16string& base, std::u16string& target);

    const FtpCredentials& baseFtp() const { return baseFtp_; }
    const FtpCredentials& targetFtp() const { return targetFtp_; }
    BackupType chosenType() const { return type_; }
    CFilter& excludeList() { return m_filter; }
    CFilterInc& includeList() { return m_filterInc; }
    // The page of the type, null until the type was first chosen.
    CDialog* TypePage(BackupType type) const;

  private:
    void OnInitDialog() override;
    void SetTexts();
    void ChooseType(BackupType type);
    void BrowseInto(int editId);
    void ChooseFtpInto(int editId, FtpCredentials& credentials);
    void LoadFtpSides();
    void OnOk();

    AppContext& context_;
    const OptionBlock& languageOwner_;
    std::size_t jobIndex_;
    std::u16string& base_;
    std::u16string& target_;
    FtpCredentials baseFtp_;
    FtpCredentials targetFtp_;
    BackupType type_ = BackupType::Sync;
    CImageButtonBar buttons_;
    CFilter m_filter;
    CFilterInc m_filterInc;
    CPageHost typePages_;  // in BackupType order
};

}  // namespace arkivo::ui
