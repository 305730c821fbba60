#include "schedule/auto_detect_settings.h"

#include "common/text.h"
#include "settings/lang_ini.h"

namespace arkivo::schedule {
namespace {

constexpr std::u16string_view kSection = u"HowToBackup";
constexpr std::u16string_view kAutoDetect = u"AutoDetect";
constexpr std::u16string_view kCycleTime = u"AutoDetectCycleTime";

}  // namespace

AutoDetectSettings ReadAutoDetectSettings(CLangIni& option) {
    AutoDetectSettings settings;
    settings.on = ReadNumber(option, kSection, kAutoDetect) == 1;
    const long long hours = ReadNumber(option, kSection, kCycleTime);
    settings.cycleHours = hours > 0 ? hours : 1;
    return settings;
}

bool WriteAutoDetectSettings(CLangIni& option, bool on, std::optional<long long> cycleHours) {
    return StoreValue(option, kSection, kAutoDetect, on ? u"1" : u"0") &&
           (!cycleHours || StoreValue(option, kSection, kCycleTime, ToDecimal(*cycleHours)));
}

}  // namespace arkivo::schedule
