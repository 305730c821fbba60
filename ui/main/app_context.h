// What every window of the program shares: the stores, the program's paths and the option
// block that the main dialog keeps.
#pragma once

#include <filesystem>

#include "settings/app_stores.h"

namespace arkivo::ui {

struct OptionBlock {
    int m_regStartup = 0;
    int m_autoDetect = 0;
    int m_selLang = 0;
    int m_autoUpdate = 0;
};

struct AppContext {
    AppStores& stores;
    std::filesystem::path executable;
    bool showWindow = false;

    std::filesystem::path ProgramFolder() const { return stores.programFolder; }
    std::filesystem::path EnvironmentPath() const { return stores.EnvironmentPath(); }
};

}  // namespace arkivo::ui
