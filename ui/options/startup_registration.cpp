#include "ui/options/startup_registration.h"

#include "platform/registry.h"

namespace arkivo::ui {

std::optional<TextKey> RegisterStartup(bool flag, const std::filesystem::path& executable) {
    using platform::RegistryResult;
    if (flag) {
        switch (platform::WriteUserString(kRunKey, kRunValue, executable.u16string())) {
            case RegistryResult::Ok:
                return std::nullopt;
            case RegistryResult::CannotOpenKey:
                return text::OptionNotReg01;
            default:
                return text::OptionNotReg02;
        }
    }
    switch (platform::DeleteUserValue(kRunKey, kRunValue)) {
        case RegistryResult::Ok:
            return std::nullopt;
        default:
            return text::OptionNotDel01;
    }
}

}  // namespace arkivo::ui
