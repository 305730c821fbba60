#include <windows.h>

#include "ui/main/tessaly_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    arkivo::ui::CTessalyApp app(arkivo::ui::MakeEngineRunControl());
    return app.InitInstance();
}
