#include "ui/options/number_box.h"

#include "ui/framework/window_text.h"

namespace arkivo::ui {

void ShowNumber(HWND page, int box, std::u16string_view number, bool& settingText) {
    if (ItemText(page, box) == number) {
        return;
    }
    const SettingText guard(settingText);
    SetItemText(page, box, number);
    const auto end = static_cast<LPARAM>(number.size());
    ::SendDlgItemMessageW(page, box, EM_SETSEL, end, end);
}

}  // namespace arkivo::ui
