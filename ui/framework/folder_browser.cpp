#include "ui/framework/folder_browser.h"

#include <windows.h>
// The shell headers build on the declarations above.
#include <shlobj.h>

namespace arkivo::ui {

std::optional<std::u16string> BrowseForFolder() {
    wchar_t title[] = L"select folder";
    BROWSEINFOW info{};
    info.lpszTitle = title;
    PIDLIST_ABSOLUTE items = ::SHBrowseForFolderW(&info);
    if (items == nullptr) {
        return std::nullopt;
    }
    wchar_t path[MAX_PATH] = {};
    const bool found = ::SHGetPathFromIDListW(items, path) != FALSE;
    ::CoTaskMemFree(items);
    if (!found) {
        return std::nullopt;
    }
    return std::u16string(path, path + ::wcslen(path));
}

}  // namespace arkivo::ui
