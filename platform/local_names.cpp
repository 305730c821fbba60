#include "platform/local_names.h"

#include <array>

namespace arkivo::platform {
namespace {

char16_t AsciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool EqualsIgnoringCase(std::u16string_view text, std::u16string_view upper) {
    if (text.size() != upper.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (AsciiUpper(text[i]) != upper[i]) {
            return false;
        }
    }
    return true;
}

// "CON", "com1.txt", "LPT9.tar.gz", "nul ": the device name is what comes before the first dot,
// trailing spaces ignored.
bool NamesADevice(std::u16string_view name) {
    std::u16string_view stem = name.substr(0, name.find(u'.'));
    while (!stem.empty() && stem.back() == u' ') {
        stem.remove_suffix(1);
    }
    static constexpr std::array<std::u16string_view, 4> kDevices = {u"CON", u"PRN", u"AUX", u"NUL"};
    for (const auto device : kDevices) {
        if (EqualsIgnoringCase(stem, device)) {
            return true;
        }
    }
    if (stem.size() == 4 && (EqualsIgnoringCase(stem.substr(0, 3), u"COM") ||
                             EqualsIgnoringCase(stem.substr(0, 3), u"LPT"))) {
        // Windows also counts the superscript digits 1 to 3 as port numbers.
        const char16_t digit = stem[3];
        return (digit >= u'1' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
               digit == u'\u00B3';
    }
    return false;
}

}  // namespace

bool WindowsCannotName(std::u16string_view name) {
    if (name.empty() || name.back() == u'.' || name.back() == u' ') {
        return true;
    }
    for (const char16_t c : name) {
        if (c < 0x20 || std::u16string_view(u"<>:\"/\\|?*").find(c) != std::u16string_view::npos) {
            return true;
        }
    }
    return NamesADevice(name);
}

}  // namespace arkivo::platform
