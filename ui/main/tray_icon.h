// The program's icon in the notification area and its small menu.
#pragma once

#include <windows.h>
// The shell header builds on the declarations above.
#include <shellapi.h>

#include <string_view>

namespace arkivo::ui {

class CTrayIcon {
  public:
    CTrayIcon() = default;
    virtual ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // The icon id is also the number of the menu resource it opens.
    bool Create(HWND owner, UINT callbackMessage, std::u16string_view tip, HICON icon, UINT id);
    void SetIcon(int resourceId);
    void Remove();
    // Adds the icon again after the notification area restarted and forgot it.
    void Restore();

    // 1 when the message was for this icon, 0 otherwise.
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);

    bool enabled() const { return enabled_; }
    UINT id() const { return data_.uID; }

  private:
    NOTIFYICONDATAW data_{};
    bool enabled_ = false;
};

}  // namespace arkivo::ui
