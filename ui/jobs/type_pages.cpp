#include "ui/jobs/type_pages.h"

#include "jobs/job_flags.h"
#include "settings/lang_ini.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr int kHelpIcon = 24;

}  // namespace

CBackupTypePage::CBackupTypePage(int templateId, int helpButton, AppContext& context,
                                 std::size_t jobIndex, const TextKey& description)
    : CDialog(templateId),
      context_(context),
      jobIndex_(jobIndex),
      helpButton_(helpButton),
      description_(description) {
    takeDotFolders_ = ReadTakeDotFolders(context_.stores.setting, jobIndex_);
    map().OnCommand(IDC_TAKE_DOT_FOLDERS, [this] { ToggleDotFolders(); });
    map().OnCommand(helpButton_, [this] { ShowHelp(); });
}

void CBackupTypePage::OnInitDialog() {
    auto& language = context_.stores.language;
    const ImageButtonSpec help[] = {{helpButton_, IDI_HELP, kHelpIcon, text::ButtonHelpInDetail}};
    buttons_.Attach(hwnd(), help);
    buttons_.SetTips(language);
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

// The page is a child window: the editor it sits in owns the help and waits for it.
void CBackupTypePage::ShowHelp() {
    help_ = MakeHelp();
    help_->DoModal(::GetAncestor(hwnd(), GA_ROOT));
    help_.reset();
}

void CBackupTypePage::ToggleDotFolders() {
    takeDotFolders_ = !takeDotFolders_;
    ::CheckDlgButton(hwnd(), IDC_TAKE_DOT_FOLDERS, takeDotFolders_ ? BST_CHECKED : BST_UNCHECKED);
    TellUnsaved(WriteTakeDotFolders(context_.stores.setting, jobIndex_, takeDotFolders_));
}

CZipTypePage::CZipTypePage(int templateId, int helpButton, AppContext& context,
                           std::size_t jobIndex, const TextKey& description)
    : CBackupTypePage(templateId, helpButton, context, jobIndex, description) {
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
    : CBackupTypePage(IDD_TYPE_SYNC, IDC_TYPE_HELP_SYNC, context, jobIndex, text::TypeSyncBackup) {
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

std::unique_ptr<CBackupTypeHelp> CBackupTypeDlg_Sync::MakeHelp() const {
    return std::make_unique<CBackupTypeHelp_Sync>(context_.stores.language);
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
    : CZipTypePage(IDD_TYPE_DIF, IDC_TYPE_HELP_DIF, context, jobIndex, text::TypeDifBackup) {}

std::unique_ptr<CBackupTypeHelp> CBackupTypeDlg_Dif::MakeHelp() const {
    return std::make_unique<CBackupTypeHelp_Dif>(context_.stores.language);
}

CBackupTypeDlg_Inc::CBackupTypeDlg_Inc(AppContext& context, std::size_t jobIndex)
    : CZipTypePage(IDD_TYPE_INC, IDC_TYPE_HELP_INC, context, jobIndex, text::TypeIncBackup) {}

std::unique_ptr<CBackupTypeHelp> CBackupTypeDlg_Inc::MakeHelp() const {
    return std::make_unique<CBackupTypeHelp_Inc>(context_.stores.language);
}

}  // namespace arkivo::ui
