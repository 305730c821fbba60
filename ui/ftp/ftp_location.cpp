#include "ui/ftp/ftp_location.h"

#include <string_view>

#include "ui/framework/window_text.h"

namespace arkivo::ui {
namespace {

constexpr std::u16string_view kScheme = u"ftp://";

// What the dialog starts from: the field's location without its scheme, nothing for a local
// path.
std::u16string LocationOf(std::u16string_view field) {
    if (!field.starts_with(kScheme)) {
        return {};
    }
    return std::u16string(field.substr(kScheme.size()));
}

}  // namespace

bool ChooseFtpLocation(HWND owner, int pathField, CLangIni& language, FtpCredentials& credentials,
                       const FtpConnectionMaker& makeConnection) {
    std::u16string location = LocationOf(ItemText(owner, pathField));
    FtpCredentials chosen = credentials;
    FtpThread dialog(language, location, chosen, makeConnection);
    if (dialog.DoModal(owner) != IDOK) {
        return false;
    }
    credentials = chosen;
    SetItemText(owner, pathField, std::u16string(kScheme) + location);
    return true;
}

}  // namespace arkivo::ui
