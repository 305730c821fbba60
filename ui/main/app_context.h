// What every window of the program shares: the stores, the program's paths and the option
// block that the main dialog keeps.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/clock.h"
#include "platform/ftp_client.h"
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
    // Seconds since 1970 as the scheduler sees them; the system's clock when empty. Tests set
    // it to bring a set time about.
    std::function<std::int64_t()> clock{};
    // Makes the connections of the FTP location dialog; the platform's FTP client when empty.
    // Tests hand in a server of their own.
    std::function<std::unique_ptr<platform::FtpConnection>()> ftpConnections{};

    std::filesystem::path ProgramFolder() const { return stores.programFolder; }
    std::filesystem::path EnvironmentPath() const { return stores.EnvironmentPath(); }
    std::int64_t Now() const { return clock ? clock() : platform::NowUnixSeconds(); }
};

}  // namespace arkivo::ui
