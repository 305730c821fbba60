// OLE for the calling thread, for as long as a control that resolves dropped shortcuts lives.
// Every successful start, also one on a thread where OLE already runs, is matched by a stop.
#pragma once

#include <windows.h>
// The OLE header builds on the declarations above.
#include <ole2.h>

#include <string_view>

namespace arkivo::ui {

inline constexpr std::u16string_view kOleFailedText =
    u"OLE initialization failed.\n\nMake sure that the OLE libraries are the correct version.";

class OleSession {
  public:
    OleSession() : started_(SUCCEEDED(::OleInitialize(nullptr))) {}
    ~OleSession() {
        if (started_) {
            ::OleUninitialize();
        }
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    bool started() const { return started_; }

  private:
    bool started_;
};

}  // namespace arkivo::ui
