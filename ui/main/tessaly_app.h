// The application object: one copy per logon, the program folder recorded in the registry,
// the six stores loaded, then the main dialog until the user exits.
#pragma once

#include <memory>

#include "settings/app_stores.h"
#include "ui/main/run_control.h"

namespace arkivo::ui {

inline constexpr std::u16string_view kInstanceMutex = u"MY_PROGRAM_MUTEX";

class CTessalyApp {
  public:
    explicit CTessalyApp(std::unique_ptr<RunControl> run);

    // The whole life of the program; its exit code.
    int InitInstance();

    bool m_bShowWindow = false;

  private:
    AppStores stores_;
    std::unique_ptr<RunControl> run_;
};

}  // namespace arkivo::ui
