#include "cli/console.h"

#include <iostream>

#include "common/text.h"
#include "platform/file_system.h"

namespace arkivo::cli {

std::string Narrow(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

std::string ShownPath(const std::filesystem::path& path) {
    return Utf16ToUtf8(platform::ShownPathText(path));
}

void PrintLine(std::ostream& out, std::u16string_view text) {
    out << Narrow(text) << '\n';
}

void PrintError(std::u16string_view text) {
    std::cerr << "arkivo: " << Narrow(text) << '\n';
}

}  // namespace arkivo::cli
