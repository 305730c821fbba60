// Checks of the texts a user enters for a job. The stored format separates fields with ","
// and gives each text 254 characters, so a text that breaks either rule would corrupt every
// later field of the file: such texts are refused where they are entered.
#pragma once

#include <optional>
#include <string_view>

#include "settings/text_keys.h"

namespace arkivo {

std::optional<TextKey> CheckJobText(std::u16string_view text);

}  // namespace arkivo
