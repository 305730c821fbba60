// The help dialogs of the backup types: a moving picture of what the type does beside one or
// two texts on it, shown modally by the help button of the type's page in the job editor.
// They differ only by template, picture and texts.
#pragma once

#include <optional>

#include "settings/text_keys.h"
#include "ui/controls/animation_picture.h"
#include "ui/framework/dialog.h"

namespace arkivo {
class CLangIni;
}

namespace arkivo::ui {

// The pace of the help pictures: each frame is a step of the story, held long enough to read.
inline constexpr UINT kHelpFrameMilliseconds = 300;

struct BackupTypeHelpContent {
    int templateId;
    int picture;
    TextKey caption;
    TextKey firstText;
    // Only for templates with a second text field.
    std::optional<TextKey> secondText;
};

class CBackupTypeHelp : public CDialog {
  public:
    const CAnimationPicture& animation() const { return animation_; }

  protected:
    CBackupTypeHelp(CLangIni& language, const BackupTypeHelpContent& content);

  private:
    void OnInitDialog() override;

    CLangIni& language_;
    const BackupTypeHelpContent& content_;
    CAnimationPicture animation_;
};

class CBackupTypeHelp_Sync : public CBackupTypeHelp {
  public:
    explicit CBackupTypeHelp_Sync(CLangIni& language);
};

class CBackupTypeHelp_Dif : public CBackupTypeHelp {
  public:
    explicit CBackupTypeHelp_Dif(CLangIni& language);
};

class CBackupTypeHelp_Inc : public CBackupTypeHelp {
  public:
    explicit CBackupTypeHelp_Inc(CLangIni& language);
};

class CBackupTypeHelp_Spd : public CBackupTypeHelp {
  public:
    explicit CBackupTypeHelp_Spd(CLangIni& language);
};

}  // namespace arkivo::ui
