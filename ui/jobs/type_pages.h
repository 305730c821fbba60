// The backup type pages of the job editor, one per type, shown in the editor's frame: a line
// on what the type does, a button that opens the type's help, its own option, and whether
// folders whose names begin with a dot are backed up. The check boxes take effect the moment
// they are clicked, whatever the editor's OK or Cancel; the period of a period job waits for
// the editor's OK (StorePeriod).
#pragma once

#include <cstddef>
#include <memory>

#include "jobs/job_options.h"
#include "settings/text_keys.h"
#include "ui/framework/dialog.h"
#include "ui/framework/skin.h"
#include "ui/jobs/type_help.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class CBackupTypePage : public CDialog {
  public:
    // The help dialog while it is shown; each click of the help button makes a new one.
    const CBackupTypeHelp* help() const { return help_.get(); }
    const CToolTips& toolTips() const { return buttons_.tips(); }

  protected:
    CBackupTypePage(int templateId, int helpButton, AppContext& context, std::size_t jobIndex,
                    const TextKey& description);

    void OnInitDialog() override;
    // The job accessors, their problems shown over the editor.
    JobOptionAccessors Accessors() const;
    // Shows a Setting.ini value the file did not take.
    void TellUnsaved(bool written) const;

    AppContext& context_;
    std::size_t jobIndex_;

  private:
    virtual std::unique_ptr<CBackupTypeHelp> MakeHelp() const = 0;
    void ShowHelp();
    void ToggleDotFolders();

    int helpButton_;
    const TextKey& description_;
    bool takeDotFolders_ = false;
    CImageButtonBar buttons_;
    std::unique_ptr<CBackupTypeHelp> help_;
};

// Differential, incremental and period jobs may put their copies into one ZIP archive.
class CZipTypePage : public CBackupTypePage {
  protected:
    CZipTypePage(int templateId, int helpButton, AppContext& context, std::size_t jobIndex,
                 const TextKey& description);
    void OnInitDialog() override;

  private:
    void ToggleZip();

    int zip_ = 0;
};

class CBackupTypeDlg_Sync : public CBackupTypePage {
  public:
    CBackupTypeDlg_Sync(AppContext& context, std::size_t jobIndex);

  private:
    void OnInitDialog() override;
    std::unique_ptr<CBackupTypeHelp> MakeHelp() const override;
    void ToggleDelete();

    bool delete_ = false;
};

class CBackupTypeDlg_Dif : public CZipTypePage {
  public:
    CBackupTypeDlg_Dif(AppContext& context, std::size_t jobIndex);

  private:
    std::unique_ptr<CBackupTypeHelp> MakeHelp() const override;
};

class CBackupTypeDlg_Inc : public CZipTypePage {
  public:
    CBackupTypeDlg_Inc(AppContext& context, std::size_t jobIndex);

  private:
    std::unique_ptr<CBackupTypeHelp> MakeHelp() const override;
};

}  // namespace arkivo::ui
