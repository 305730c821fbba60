// The English interface texts, built into the program from the English language file, for
// when the language file cannot be found or lacks a text: no message is ever empty.
#pragma once

#include <string>

#include "settings/text_keys.h"

namespace arkivo {

// Empty only for a text the English language file does not have either.
std::u16string BuiltInEnglishText(const TextKey& text);

}  // namespace arkivo
