#include "ui/framework/page_host.h"

// The common controls header builds on the declarations above.
#include <commctrl.h>

#include <string>

namespace arkivo::ui {
namespace {

bool IsTabControl(HWND window) {
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    return std::wstring(name) == WC_TABCONTROLW;
}

}  // namespace

void CPageHost::Attach(HWND area) {
    area_ = area;
}

int CPageHost::Add(PageMaker make) {
    slots_.push_back(Slot{std::move(make), nullptr});
    return static_cast<int>(slots_.size()) - 1;
}

CDialog* CPageHost::Page(int index) const {
    if (index < 0 || index >= static_cast<int>(slots_.size())) {
        return nullptr;
    }
    return slots_[static_cast<std::size_t>(index)].page.get();
}

RECT CPageHost::PageArea() const {
    RECT area{};
    ::GetWindowRect(area_, &area);
    if (IsTabControl(area_)) {
        TabCtrl_AdjustRect(area_, FALSE, &area);
    }
    ::MapWindowPoints(nullptr, ::GetParent(area_), reinterpret_cast<POINT*>(&area), 2);
    return area;
}

bool CPageHost::Show(int index) {
    if (index < 0 || index >= static_cast<int>(slots_.size()) || area_ == nullptr) {
        return false;
    }
    auto& slot = slots_[static_cast<std::size_t>(index)];
    if (slot.page == nullptr) {
        auto page = slot.make();
        if (page == nullptr || !page->CreatePage(::GetParent(area_))) {
            return false;
        }
        const RECT area = PageArea();
        ::SetWindowPos(page->hwnd(), HWND_TOP, area.left, area.top, area.right - area.left,
                       area.bottom - area.top, SWP_NOACTIVATE);
        slot.page = std::move(page);
    }
    if (CDialog* shown = Page(current_); shown != nullptr && current_ != index) {
        ::ShowWindow(shown->hwnd(), SW_HIDE);
    }
    current_ = index;
    ::ShowWindow(slot.page->hwnd(), SW_SHOW);
    return true;
}

}  // namespace arkivo::ui
