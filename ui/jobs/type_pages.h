// The backup type pages of the job editor, one per type, shown in the editor's frame: a line
// on what the type does, its own option, and whether folders whose names begin with a dot are
// backed up. The check boxes take effect the moment they are clicked, whatever the editor's
// OK or Cancel; the period of a period job waits for the editor's OK (StorePeriod).
#pragma once

#include <cstddef>

#include "jobs/job_options.h"
#include "settings/text_keys.h"
#include "ui/framework/dialog.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

class CBackupTypePage : public CDialog {
  protected:
    CBackupTypePage(int templateId, AppContext& context, std::size_t jobIndex,
                    const TextKey& description);

    void OnInitDialog() override;
    // The job accessors, their problems shown over the editor.
    JobOptionAccessors Accessors() const;
    // Shows a Setting.ini value the file did not take.
    void TellUnsaved(bool written) const;

    AppContext& context_;
    std::size_t jobIndex_;

  private:
    void ToggleDotFolders();

    const TextKey& description_;
    bool takeDotFolders_ = false;
};

// Differential, incremental and period jobs may put their copies into one ZIP archive.
class CZipTypePage : public CBackupTypePage {
  protected:
    CZipTypePage(int templateId, AppContext& context, std::size_t jobIndex,
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
    void ToggleDelete();

    bool delete_ = false;
};

class CBackupTypeDlg_Dif : public CZipTypePage {
  public:
    CBackupTypeDlg_Dif(AppContext& context, std::size_t jobIndex);
};

class CBackupTypeDlg_Inc : public CZipTypePage {
  public:
    CBackupTypeDlg_Inc(AppContext& context, std::size_t jobIndex);
};

}  // namespace arkivo::ui
