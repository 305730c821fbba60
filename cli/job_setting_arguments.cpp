#include "cli/job_setting_arguments.h"

namespace arkivo::cli {

const std::map<std::string, BackupType> kTypeNames = {{"sync", BackupType::Sync},
                                                      {"dif", BackupType::Dif},
                                                      {"inc", BackupType::Inc},
                                                      {"spd", BackupType::Spd}};

std::string TypeInWords(std::uint32_t backupType) {
    switch (static_cast<BackupType>(backupType)) {
        case BackupType::Sync:
            return "synchronisation";
        case BackupType::Dif:
            return "differential";
        case BackupType::Inc:
            return "incremental";
        case BackupType::Spd:
            return "period";
    }
    return "unknown type " + std::to_string(backupType);
}

std::optional<bool> OnOff(const std::optional<std::string>& value) {
    if (!value) {
        return std::nullopt;
    }
    return *value == "on";
}

CLI::Validator LocalDateValidator() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (PeriodStartFromText(text)) {
                return {};
            }
            return "\"" + text +
                   "\" is not a local date and time from 1970 on: write 2026-12-01, "
                   "2026-12-01T08:30 or 2026-12-01T08:30:15";
        },
        "DATE");
}

std::optional<JobPeriod> PeriodOfArguments(const std::vector<std::string>& fromTo) {
    const auto first = PeriodStartFromText(fromTo.at(0));
    const auto pastLast = PeriodEndFromText(fromTo.at(1));
    if (!first || !pastLast) {
        return std::nullopt;
    }
    return JobPeriod{*first, *pastLast};
}

}  // namespace arkivo::cli
