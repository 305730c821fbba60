// Periodic auto-detect, section "HowToBackup" of "Option.ini": whether it is on and how many
// hours lie between two passes.
#pragma once

#include <optional>

namespace arkivo {
class CLangIni;
}

namespace arkivo::schedule {

struct AutoDetectSettings {
    bool on = false;
    // Hours between passes: 1 when the key is missing, and when it holds 0 (or nothing), which
    // would otherwise start passes back to back.
    long long cycleHours = 1;
};

AutoDetectSettings ReadAutoDetectSettings(CLangIni& option);

// False, with the store's LastWriteError, when a value could not be written.
bool WriteAutoDetectSettings(CLangIni& option, bool on, std::optional<long long> cycleHours);

}  // namespace arkivo::schedule
