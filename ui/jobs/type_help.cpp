#include "ui/jobs/type_help.h"

#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

const BackupTypeHelpContent kSyncHelp{IDD_TYPE_HELP_SYNC, IDB_HELP_SYNC, text::StaticSync,
                                      text::TypeHelpSync1, std::nullopt};
// The differential dialog has two text fields and one text for both.
const BackupTypeHelpContent kDifHelp{IDD_TYPE_HELP_DIF, IDB_HELP_DIF, text::StaticDif,
                                     text::TypeHelpDif1, text::TypeHelpDif1};
const BackupTypeHelpContent kIncHelp{IDD_TYPE_HELP_INC, IDB_HELP_INC, text::StaticInc,
                                     text::TypeHelpInc1, text::TypeHelpInc2};
const BackupTypeHelpContent kSpdHelp{IDD_TYPE_HELP_SPD, IDB_HELP_SPD, text::StaticSpd,
                                     text::TypeHelpSpd1, text::TypeHelpSpd2};

}  // namespace

CBackupTypeHelp::CBackupTypeHelp(CLangIni& language, const BackupTypeHelpContent& content)
    : CDialog(content.templateId), language_(language), content_(content) {}

void CBackupTypeHelp::OnInitDialog() {
    background().Load(IDB_MAIN_BACKGROUND, CBackgroundBitmap::Fit::Stretch);
    animation_.Attach(Item(IDC_TYPE_HELP_ANIMATION));
    animation_.Play(content_.picture, kHelpFrameMilliseconds);
    SetWindowTextOf(hwnd(), language_.GetValue(content_.caption));
    SetItemText(hwnd(), IDC_TYPE_HELP_TEXT1, language_, content_.firstText);
    if (content_.secondText) {
        SetItemText(hwnd(), IDC_TYPE_HELP_TEXT2, language_, *content_.secondText);
    }
}

CBackupTypeHelp_Sync::CBackupTypeHelp_Sync(CLangIni& language)
    : CBackupTypeHelp(language, kSyncHelp) {}

CBackupTypeHelp_Dif::CBackupTypeHelp_Dif(CLangIni& language)
    : CBackupTypeHelp(language, kDifHelp) {}

CBackupTypeHelp_Inc::CBackupTypeHelp_Inc(CLangIni& language)
    : CBackupTypeHelp(language, kIncHelp) {}

CBackupTypeHelp_Spd::CBackupTypeHelp_Spd(CLangIni& language)
    : CBackupTypeHelp(language, kSpdHelp) {}

}  // namespace arkivo::ui
