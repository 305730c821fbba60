#include "settings/app_stores.h"

#include "common/text.h"
#include "jobs/environment_file.h"
#include "settings/data_folder_lock.h"

namespace arkivo {

std::string_view LanguageFileName(long long languageIndex) {
    return kLanguageFiles[static_cast<std::size_t>(NormalisedLanguage(languageIndex))];
}

long long NormalisedLanguage(long long languageIndex) {
    return (languageIndex == 1 || languageIndex == 2) ? languageIndex : 0;
}

std::u16string JobSectionName(std::size_t jobIndex) {
    return ToDecimalUnsigned(jobIndex + 1);
}

void AppStores::LoadAll(const std::filesystem::path& folder) {
    programFolder = folder;
    const DataFolderLock lock(folder);
    language.Open(folder / kLanguageFiles[0]);
    option.Open(folder / kOptionFile);
    filter.Open(folder / kFilterFile);
    filterInc.Open(folder / kFilterIncFile);
    setting.Open(folder / kSettingFile);
    banner.Open(folder / kBannerFile);
}

void AppStores::ApplyLanguage(long long languageIndex) {
    language.Open(programFolder / LanguageFileName(languageIndex));
}

long long AppStores::SelectedLanguage() {
    return NormalisedLanguage(ReadNumber(option, u"HowToBackup", u"SelLang"));
}

std::filesystem::path AppStores::EnvironmentPath() const {
    return programFolder / kEnvironmentFileName;
}

}  // namespace arkivo
