#include "settings/ini_syntax.h"

namespace arkivo {
namespace {

bool HasLineBreak(std::u16string_view text) {
    return text.find_first_of(u"\r\n") != std::u16string_view::npos;
}

}  // namespace

IniLine ClassifyIniLine(std::u16string_view text, std::size_t storedLength) {
    IniLine line;
    if (storedLength > kMaxIniLine || text.empty() || text.front() == u';') {
        return line;
    }
    if (text.front() == u'[' && text.back() == u']') {
        while (!text.empty() && text.front() == u'[') {
            text.remove_prefix(1);
        }
        while (!text.empty() && text.back() == u']') {
            text.remove_suffix(1);
        }
        line.kind = IniLineKind::Section;
        line.name = text;
        return line;
    }
    const auto eq = text.find(u'=');
    if (eq != std::u16string_view::npos) {
        line.kind = IniLineKind::Entry;
        line.name = text.substr(0, eq);
        line.value = text.substr(eq + 1);
    }
    return line;
}

bool IsStorableSectionName(std::u16string_view name) {
    return !HasLineBreak(name) && (name.empty() || (name.front() != u'[' && name.back() != u']'));
}

// A key beginning with "[" could make its line a header, one beginning with ";" a comment.
bool IsStorableKey(std::u16string_view key) {
    return !HasLineBreak(key) && key.find(u'=') == std::u16string_view::npos &&
           (key.empty() || (key.front() != u'[' && key.front() != u';'));
}

bool IsStorableValue(std::u16string_view value) {
    return !HasLineBreak(value);
}

}  // namespace arkivo
