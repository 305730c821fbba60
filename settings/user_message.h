// A message for the user: an interface text looked up in the chosen language, or one of the
// coded texts that read the same in every language.
#pragma once

#include <string>
#include <string_view>

#include "settings/text_keys.h"

namespace arkivo {

class CLangIni;

struct UserMessage {
    TextKey key{};
    std::u16string fixedText;

    static UserMessage Text(const TextKey& key) { return {key, {}}; }
    static UserMessage Fixed(std::u16string_view text) { return {{}, std::u16string(text)}; }

    bool IsText(const TextKey& other) const {
        return fixedText.empty() && key.section == other.section && key.key == other.key;
    }
};

std::u16string Resolve(CLangIni& language, const UserMessage& message);

}  // namespace arkivo
