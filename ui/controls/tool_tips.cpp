#include "ui/controls/tool_tips.h"

#include <commctrl.h>

#include <string>

#include "ui/framework/window_text.h"

namespace arkivo::ui {
namespace {

TOOLINFOW ToolOf(HWND owner, HWND control) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

}  // namespace

CToolTips::~CToolTips() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

void CToolTips::Create(HWND owner) {
    owner_ = owner;
    window_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
}

void CToolTips::SetText(HWND control, std::u16string_view text) {
    if (window_ == nullptr) {
        return;
    }
    std::wstring wide = Wide(text);
    TOOLINFOW tool = ToolOf(owner_, control);
    tool.lpszText = wide.data();
    const bool added = tools_.insert(control).second;
    ::SendMessageW(window_, added ? TTM_ADDTOOLW : TTM_UPDATETIPTEXTW, 0,
                   reinterpret_cast<LPARAM>(&tool));
}

std::u16string CToolTips::Text(HWND control) const {
    if (window_ == nullptr) {
        return {};
    }
    wchar_t buffer[512] = {};
    TOOLINFOW tool = ToolOf(owner_, control);
    tool.lpszText = buffer;
    ::SendMessageW(window_, TTM_GETTEXTW, sizeof(buffer) / sizeof(buffer[0]),
                   reinterpret_cast<LPARAM>(&tool));
    return std::u16string(buffer, buffer + ::wcslen(buffer));
}

}  // namespace arkivo::ui
