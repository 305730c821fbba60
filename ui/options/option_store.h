// How the option pages keep a change: in the store's memory and at once in "Option.ini". A
// value the file did not take is told to the user, since the page would otherwise show a
// setting that the next start of the program forgets.
#pragma once

#include <windows.h>

#include <string_view>

#include "settings/app_stores.h"

namespace arkivo::ui {

void StoreOption(HWND owner, AppStores& stores, std::u16string_view section,
                 std::u16string_view key, std::u16string_view value);

// The spin buttons of an hour, a minute or a cycle: one step up or down from the number the
// text holds, wrapping around at `modulus` (up from 23 is 0, down from 0 is 23). The up arrow
// of a spin control with its default range reports a negative step.
long long SpinStep(long long value, int delta, long long modulus);

}  // namespace arkivo::ui
