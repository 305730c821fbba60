// Child dialogs shown one at a time in the area of a frame or a tab control: each page is made
// the first time it is shown, sized to the area, and lives as long as the host.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "ui/framework/dialog.h"

namespace arkivo::ui {

class CPageHost {
  public:
    using PageMaker = std::function<std::unique_ptr<CDialog>()>;

    // The frame or tab control whose area the pages fill; the pages become children of its
    // parent, so that they take part in the dialog's keyboard navigation.
    void Attach(HWND area);
    // The page's index.
    int Add(PageMaker make);
    // Hides the page shown so far and shows this one, made now when it is new; false when it
    // could not be made.
    bool Show(int index);

    int current() const { return current_; }
    // Null until the page was first shown.
    CDialog* Page(int index) const;
    // The area the pages fill, in the parent's client coordinates.
    RECT PageArea() const;

  private:
    struct Slot {
        PageMaker make;
        std::unique_ptr<CDialog> page;
    };

    HWND area_ = nullptr;
    std::vector<Slot> slots_;
    int current_ = -1;
};

}  // namespace arkivo::ui
