// The six keyed stores of the program and the files behind them, all in the program folder.
#pragma once

#include <array>
#include <filesystem>
#include <string_view>

#include "settings/lang_ini.h"

namespace arkivo {

inline constexpr std::string_view kOptionFile = "Option.ini";
inline constexpr std::string_view kFilterFile = "Filter.ini";
inline constexpr std::string_view kFilterIncFile = "FilterInc.ini";
inline constexpr std::string_view kSettingFile = "Setting.ini";
inline constexpr std::string_view kBannerFile = "Banner.ini";

inline constexpr std::array<std::string_view, 3> kLanguageFiles = {"english.ini", "japanese.ini",
                                                                   "korean.ini"};

// 0 English, 1 Japanese, 2 Korean; any other index means English.
std::string_view LanguageFileName(long long languageIndex);
long long NormalisedLanguage(long long languageIndex);

// Per-job sections are named by the job's 1-based position in the table.
std::u16string JobSectionName(std::size_t jobIndex);

struct AppStores {
    CLangIni language;
    CLangIni option;
    CLangIni filter;
    CLangIni filterInc;
    CLangIni setting;
    CLangIni banner;
    std::filesystem::path programFolder;

    // Loads every store in the program's fixed order, English first for the language.
    void LoadAll(const std::filesystem::path& folder);

    // Merges the chosen language over what the language store holds.
    void ApplyLanguage(long long languageIndex);

    // The language index kept in "Option.ini".
    long long SelectedLanguage();

    std::filesystem::path EnvironmentPath() const;
};

}  // namespace arkivo
