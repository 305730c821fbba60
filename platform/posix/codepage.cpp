#include "platform/codepage.h"

#include "common/text.h"

namespace arkivo::platform {

std::u16string AnsiToUtf16(std::string_view ansi) {
    return Utf8ToUtf16(ansi);
}

std::optional<std::string> Utf16ToAnsi(std::u16string_view text) {
    // A surrogate without its other half has no UTF-8 form: converting it would put a
    // replacement character in its place, and what is read back would not be what was written.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        if (low ||
            (high && (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF))) {
            return std::nullopt;
        }
        i += high ? 1 : 0;
    }
    return Utf16ToUtf8(text);
}

std::string Utf16ToAnsiLossy(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

std::optional<std::string> PathToAnsi(const std::filesystem::path& path) {
    return path.native();
}

bool AnsiIsUtf8() {
    return true;
}

}  // namespace arkivo::platform
