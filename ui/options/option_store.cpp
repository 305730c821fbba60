#include "ui/options/option_store.h"

#include "settings/lang_ini.h"
#include "settings/user_message.h"
#include "ui/framework/window_text.h"

namespace arkivo::ui {

void StoreOption(HWND owner, AppStores& stores, std::u16string_view section,
                 std::u16string_view key, std::u16string_view value) {
    auto& option = stores.option;
    option.SetValue(section, key, value, true);
    if (!option.WriteValue(section, key, value)) {
        ShowMessage(owner, stores.language,
                    FileWriteFailure(option.Path(), option.LastWriteError()));
    }
}

long long SpinStep(long long value, int delta, long long modulus) {
    const long long step = delta < 0 ? 1 : modulus - 1;
    const long long wrapped = (value % modulus + modulus) % modulus;
    return (wrapped + step) % modulus;
}

}  // namespace arkivo::ui
