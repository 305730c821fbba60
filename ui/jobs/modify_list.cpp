#include "ui/jobs/modify_list.h"

#include "jobs/environment_file.h"
#include "jobs/job_options.h"
#include "settings/lang_ini.h"
#include "ui/framework/folder_browser.h"
#include "ui/framework/window_text.h"
#include "ui/ftp/ftp_location.h"
#include "ui/jobs/period_page.h"
#include "ui/jobs/type_pages.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr int kButtonIcon = 24;
constexpr ImageButtonSpec kButtons[] = {
    {IDC_MODIFY_BASE_BROWSE, IDI_BROWSE, kButtonIcon, text::ButtonBrowser},
    {IDC_MODIFY_TARGET_BROWSE, IDI_BROWSE, kButtonIcon, text::ButtonBrowser},
    {IDC_MODIFY_BASE_FTP, IDI_FTP, kButtonIcon, text::ButtonFtp},
    {IDC_MODIFY_TARGET_FTP, IDI_FTP, kButtonIcon, text::ButtonFtp},
};

struct TypeRow {
    BackupType type;
    int radio;
    TextKey label;
};
constexpr TypeRow kTypes[] = {
    {BackupType::Sync, IDC_TYPE_SYNC, text::StaticSync},
    {BackupType::Dif, IDC_TYPE_DIF, text::StaticDif},
    {BackupType::Inc, IDC_TYPE_INC, text::StaticInc},
    {BackupType::Spd, IDC_TYPE_SPD, text::StaticSpd},
};

int PageOf(BackupType type) {
    return static_cast<int>(type);
}

const TypeRow& RowOf(BackupType type) {
    for (const auto& row : kTypes) {
        if (row.type == type) {
            return row;
        }
    }
    return kTypes[0];
}

}  // namespace

ModifyList::ModifyList(AppContext& context, const OptionBlock& languageOwner, std::size_t jobIndex,
                       std::u16string& base, std::u16string& target)
    : CDialog(IDD_MODIFY),
      context_(context),
      languageOwner_(languageOwner),
      jobIndex_(jobIndex),
      base_(base),
      target_(target),
      m_filter(context),
      m_filterInc(context) {
    typePages_.Add(
        [&context, jobIndex] { return std::make_unique<CBackupTypeDlg_Sync>(context, jobIndex); });
    typePages_.Add(
        [&context, jobIndex] { return std::make_unique<CBackupTypeDlg_Dif>(context, jobIndex); });
    typePages_.Add(
        [&context, jobIndex] { return std::make_unique<CBackupTypeDlg_Inc>(context, jobIndex); });
    typePages_.Add(
        [&context, jobIndex] { return std::make_unique<CBackupTypeDlg_Spd>(context, jobIndex); });
    map().OnCommand(IDOK, [this] { OnOk(); });
    map().OnCommand(IDC_MODIFY_BASE_BROWSE, [this] { BrowseInto(IDC_MODIFY_BASE); });
    map().OnCommand(IDC_MODIFY_TARGET_BROWSE, [this] { BrowseInto(IDC_MODIFY_TARGET); });
    map().OnCommand(IDC_MODIFY_BASE_FTP, [this] { ChooseFtpInto(IDC_MODIFY_BASE, baseFtp_); });
    map().OnCommand(IDC_MODIFY_TARGET_FTP,
                    [this] { ChooseFtpInto(IDC_MODIFY_TARGET, targetFtp_); });
    for (const auto& row : kTypes) {
        map().OnCommand(row.radio, [this, type = row.type] { ChooseType(type); });
    }
}

void ModifyList::OnInitDialog() {
    const JobOptionAccessors accessors(context_.EnvironmentPath(),
                                       [this](const UserMessage& problem) {
                                           ShowMessage(hwnd(), context_.stores.language, problem);
                                       });
    const auto stored = accessors.GetJobOption(jobIndex_, JobOption::BackupType);
    type_ = stored >= 0 && stored <= 3 ? static_cast<BackupType>(stored) : BackupType::Sync;

    const int jobNumber = static_cast<int>(jobIndex_) + 1;
    m_filter.Init(Item(IDC_EXCLUDE_LIST), languageOwner_);
    m_filter.LoadJob(jobNumber);
    m_filterInc.Init(Item(IDC_INCLUDE_LIST), languageOwner_);
    m_filterInc.LoadJob(jobNumber);
    SetItemText(hwnd(), IDC_MODIFY_BASE, base_);
    SetItemText(hwnd(), IDC_MODIFY_TARGET, target_);
    SetTexts();
    typePages_.Attach(Item(IDC_TYPE_PAGE_FRAME));
    ::CheckRadioButton(hwnd(), IDC_TYPE_SYNC, IDC_TYPE_SPD, RowOf(type_).radio);
    ChooseType(type_);
    LoadFtpSides();
}

// The dialog opens on the job's own FTP settings, so the password need not be typed again.
void ModifyList::LoadFtpSides() {
    EnvironmentFile file(context_.EnvironmentPath());
    const JobTable& table = file.Load();
    if (table.loadStatus != LoadStatus::Ok || jobIndex_ >= table.jobs.size()) {
        return;
    }
    const JobRecord& job = table.jobs[jobIndex_];
    if (IsFtpLocation(job.basePath)) {
        baseFtp_ = {job.baseFtpUser, job.baseFtpPassword, job.baseFtpPort, job.baseFtpPassive};
    }
    if (IsFtpLocation(job.targetPath)) {
        targetFtp_ = {job.targetFtpUser, job.targetFtpPassword, job.targetFtpPort,
                      job.targetFtpPassive};
    }
}

void ModifyList::SetTexts() {
    auto& language = context_.stores.language;
    SetItemText(hwnd(), IDC_MODIFY_BASE_LABEL, language, text::StaticBase);
    SetItemText(hwnd(), IDC_MODIFY_TARGET_LABEL, language, text::StaticTarget);
    SetItemText(hwnd(), IDC_TYPE_LABEL, language, text::StaticBackupType);
    SetItemText(hwnd(), IDC_EXCLUDE_LABEL, language, text::StaticExcludeFilter);
    SetItemText(hwnd(), IDC_INCLUDE_LABEL, language, text::StaticIncludeFilter);
    SetItemText(hwnd(), IDOK, language, text::OptionOk);
    SetItemText(hwnd(), IDCANCEL, language, text::OptionCancel);
    for (const auto& row : kTypes) {
        SetItemText(hwnd(), row.radio, language, row.label);
    }
    buttons_.Attach(hwnd(), kButtons);
    buttons_.SetTips(language);
}

CDialog* ModifyList::TypePage(BackupType type) const {
    return typePages_.Page(PageOf(type));
}

void ModifyList::ChooseType(BackupType type) {
    type_ = type;
    typePages_.Show(PageOf(type));
}

void ModifyList::BrowseInto(int editId) {
    if (auto folder = BrowseForFolder()) {
        SetItemText(hwnd(), editId, *folder);
    }
}

void ModifyList::ChooseFtpInto(int editId, FtpCredentials& credentials) {
    ChooseFtpLocation(hwnd(), editId, context_.stores.language, credentials,
                      context_.ftpConnections);
}

void ModifyList::OnOk() {
    if (type_ == BackupType::Spd) {
        static_cast<CBackupTypeDlg_Spd*>(TypePage(BackupType::Spd))->StorePeriod();
    }
    base_ = ItemText(hwnd(), IDC_MODIFY_BASE);
    target_ = ItemText(hwnd(), IDC_MODIFY_TARGET);
    EndDialog(IDOK);
}

}  // namespace arkivo::ui
