#include "ui/main/tray_icon.h"

#include <algorithm>

#include "ui/framework/window_text.h"

namespace arkivo::ui {
namespace {

class Menu {
  public:
    explicit Menu(UINT id)
        : menu_(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id))) {}
    ~Menu() {
        if (menu_ != nullptr) {
            ::DestroyMenu(menu_);
        }
    }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    HMENU popup() const { return menu_ != nullptr ? ::GetSubMenu(menu_, 0) : nullptr; }

  private:
    HMENU menu_;
};

}  // namespace

CTrayIcon::~CTrayIcon() {
    Remove();
}

bool CTrayIcon::Create(HWND owner, UINT callbackMessage, std::u16string_view tip, HICON icon,
                       UINT id) {
    if (owner == nullptr || !::IsWindow(owner)) {
        return false;
    }
    data_ = NOTIFYICONDATAW{};
    data_.cbSize = sizeof(data_);
    data_.hWnd = owner;
    data_.uID = id;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = icon;
    const std::wstring text = Wide(tip.substr(0, std::size(data_.szTip) - 1));
    std::copy(text.begin(), text.end(), data_.szTip);
    enabled_ = ::Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return enabled_;
}

void CTrayIcon::SetIcon(int resourceId) {
    if (!enabled_) {
        return;
    }
    data_.hIcon = static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    NOTIFYICONDATAW change = data_;
    change.uFlags = NIF_ICON;
    ::Shell_NotifyIconW(NIM_MODIFY, &change);
}

void CTrayIcon::Remove() {
    if (!enabled_) {
        return;
    }
    NOTIFYICONDATAW removal = data_;
    removal.uFlags = 0;
    ::Shell_NotifyIconW(NIM_DELETE, &removal);
    enabled_ = false;
}

void CTrayIcon::Restore() {
    if (data_.hWnd != nullptr && ::IsWindow(data_.hWnd)) {
        enabled_ = ::Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    }
}

LRESULT CTrayIcon::OnTrayNotification(WPARAM wParam, LPARAM lParam) {
    if (wParam != data_.uID) {
        return 0;
    }
    const UINT mouse = LOWORD(lParam);
    if (mouse != WM_RBUTTONUP && mouse != WM_LBUTTONDBLCLK) {
        return 1;
    }
    Menu menu(data_.uID);
    HMENU popup = menu.popup();
    if (popup == nullptr) {
        return 0;
    }
    if (mouse == WM_RBUTTONUP) {
        ::SetMenuDefaultItem(popup, 0, TRUE);
        POINT cursor;
        ::GetCursorPos(&cursor);
        ::SetForegroundWindow(data_.hWnd);
        ::TrackPopupMenu(popup, TPM_LEFTALIGN, cursor.x, cursor.y, 0, data_.hWnd, nullptr);
        // Lets the menu close when the user clicks elsewhere.
        ::PostMessageW(data_.hWnd, WM_USER, 0, 0);
    } else {
        ::SetForegroundWindow(data_.hWnd);
        ::SendMessageW(data_.hWnd, WM_COMMAND, ::GetMenuItemID(popup, 0), 0);
    }
    return 1;
}

}  // namespace arkivo::ui
