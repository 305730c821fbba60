#include "platform/codepage.h"

#include "common/text.h"

namespace arkivo::platform {

std::u16string AnsiToUtf16(std::string_view ansi) {
    return Utf8ToUtf16(ansi);
}

std::optional<std::string> Utf16ToAnsi(std::u16string_view text) {
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
