// Until the backup engine is part of the build, the program runs without it: the start
// button does nothing.
#include "ui/run_control.h"

namespace arkivo::ui {

std::unique_ptr<RunControl> MakeEngineRunControl() {
    return nullptr;
}

}  // namespace arkivo::ui
