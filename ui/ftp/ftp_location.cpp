#include "ui/ftp/ftp_location.h"

#include <string_view>

#include "jobs/job_record.h"
#include "ui/framework/window_text.h"

namespace arkivo::ui {
namespace {

constexpr std::u16string_view kScheme = u"ftp://";

// What the dialog starts from: the field's location without its scheme (in any case), nothing
// for a local path.
std::u16string LocationOf(std::u16string_view field) {
    if (!IsFtpLocation(field)) {
        return {};
    }
    field.remove_prefix(kScheme.find(u'/'));
    while (field.starts_with(u'/')) {
        field.remove_prefix(1);
    }
    return std::u16string(field);
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
