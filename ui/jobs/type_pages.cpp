#include "ui/jobs/type_pages.h"

#include "jobs/job_flags.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {

CBackupTypePage::CBackupTypePage(int templateId, AppContext& context, std::size_t jobIndex,
                                 const TextKey& description)
    : CDialog(templateId), context_(context), jobIndex_(jobIndex), description_(description) {
    takeDotFolders_ = ReadTakeDotFolders(context_.stores.setting, jobIndex_);
    map().OnCommand(IDC_TAKE_DOT_FOLDERS, [this] { ToggleDotFolders(); });
}

void CBackupTypePage::OnInitDialog() {
    auto& language = context_.stores.language;
    SetItemText(hwnd(), IDC_TYPE_PAGE_TEXT, language, description_);
    SetItemText(hwnd(), IDC_TAKE_DOT_FOLDERS, language, text::TypeTakeDotFolders);
    ::CheckDlgButton(hwnd(), IDC_TAKE_DOT_FOLDERS, takeDotFolders_ ? BST_CHECKED : BST_UNCHECKED);
}

JobOptionAccessors CBackupTypePage::Accessors() const {
    return JobOptionAccessors(context_.EnvironmentPath(), [this](const UserMessage& problem) {
        ShowMessage(::GetParent(hwnd()), context_.stores.language, problem);
    });
}

void CBackupTypePage::TellUnsaved(bool written) const {
    if (!written) {
        auto& setting = context_.stores.setting;
        ShowMessage(::GetParent(hwnd()), context_.stores.language,
                    FileWriteFailure(setting.Path(), setting.LastWriteError()));
    }
}

void CBackupTypePage::ToggleDotFolders() {
    takeDotFolders_ = !takeDotFolders_;
    ::CheckDlgButton(hwnd(), IDC_TAKE_DOT_FOLDERS, takeDotFolders_ ? BST_CHECKED : BST_UNCHECKED);
    TellUnsaved(WriteTakeDotFolders(context_.stores.setting, jobIndex_, takeDotFolders_));
}

CZipTypePage::CZipTypePage(int templateId, AppContext& context, std::size_t jobIndex,
                           const TextKey& description)
    : CBackupTypePage(templateId, context, jobIndex, description) {
    zip_ = Accessors().GetJobOption(jobIndex_, JobOption::ZipOption) == 1 ? 1 : 0;
    map().OnCommand(IDC_ZIP_OPTION, [this] { ToggleZip(); });
}

void CZipTypePage::OnInitDialog() {
    CBackupTypePage::OnInitDialog();
    SetItemText(hwnd(), IDC_ZIP_OPTION, context_.stores.language, text::TypeZipOption);
    ::CheckDlgButton(hwnd(), IDC_ZIP_OPTION, zip_ ? BST_CHECKED : BST_UNCHECKED);
}

void CZipTypePage::ToggleZip() {
    zip_ = zip_ ? 0 : 1;
    ::CheckDlgButton(hwnd(), IDC_ZIP_OPTION, zip_ ? BST_CHECKED : BST_UNCHECKED);
    Accessors().SetJobOption(jobIndex_, JobOption::ZipOption, static_cast<std::uint32_t>(zip_));
}

CBackupTypeDlg_Sync::CBackupTypeDlg_Sync(AppContext& context, std::size_t jobIndex)
    : CBackupTypePage(IDD_TYPE_SYNC, context, jobIndex, text::TypeSyncBackup) {
    delete_ = ReadSyncDelNoSrc(context_.stores.setting, jobIndex_) != 0;
    map().OnCommand(IDC_SYNC_DELETE, [this] { ToggleDelete(); });
}

void CBackupTypeDlg_Sync::OnInitDialog() {
    CBackupTypePage::OnInitDialog();
    auto& language = context_.stores.language;
    SetItemText(hwnd(), IDC_SYNC_DELETE, language, text::TypeSyncDelNoSrc);
    SetItemText(hwnd(), IDC_SYNC_DELETE_NOTE, language, text::TypeSyncStateForDelNoSrc);
    ::CheckDlgButton(hwnd(), IDC_SYNC_DELETE, delete_ ? BST_CHECKED : BST_UNCHECKED);
}

void CBackupTypeDlg_Sync::ToggleDelete() {
    delete_ = !delete_;
    ::CheckDlgButton(hwnd(), IDC_SYNC_DELETE, delete_ ? BST_CHECKED : BST_UNCHECKED);
    const bool written = WriteSyncDelNoSrc(context_.stores.setting, jobIndex_, delete_);
    TellUnsaved(written);
    if (written) {
        context_.stores.setting.Reread();
    }
}

CBackupTypeDlg_Dif::CBackupTypeDlg_Dif(AppContext& context, std::size_t jobIndex)
    : CZipTypePage(IDD_TYPE_DIF, context, jobIndex, text::TypeDifBackup) {}

CBackupTypeDlg_Inc::CBackupTypeDlg_Inc(AppContext& context, std::size_t jobIndex)
    : CZipTypePage(IDD_TYPE_INC, context, jobIndex, text::TypeIncBackup) {}

}  // namespace arkivo::ui
