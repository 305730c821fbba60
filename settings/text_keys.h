// Section and key of every interface text, so lookups never spell them by hand.
#pragma once

#include <array>
#include <string_view>

namespace arkivo {

struct TextKey {
    std::u16string_view section;
    std::u16string_view key;
};

namespace text {
#define ARKIVO_TEXT(name, section, key) inline constexpr TextKey name{u"" section, u"" key};
#include "settings/text_keys.def"
#undef ARKIVO_TEXT
}  // namespace text

inline constexpr std::array kAllTextKeys = {
#define ARKIVO_TEXT(name, section, key) text::name,
#include "settings/text_keys.def"
#undef ARKIVO_TEXT
};

}  // namespace arkivo
