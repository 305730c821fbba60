#include "settings/built_in_texts.h"

#include <map>
#include <utility>

#include "common/text.h"
#include "settings/english_texts.inc"
#include "settings/ini_syntax.h"

namespace arkivo {
namespace {

using TextTable = std::map<std::pair<std::u16string, std::u16string>, std::u16string>;

// Read as the language files are, line by line through the same syntax.
TextTable ParseEnglish() {
    TextTable table;
    std::u16string section;
    std::string_view rest = kEnglishLanguageFile;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::u16string text = Utf8ToUtf16(line);
        const IniLine parsed = ClassifyIniLine(text, line.size());
        if (parsed.kind == IniLineKind::Section) {
            section = std::u16string(parsed.name);
        } else if (parsed.kind == IniLineKind::Entry) {
            table.insert_or_assign({section, std::u16string(parsed.name)}, parsed.value);
        }
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return table;
}

}  // namespace

std::u16string BuiltInEnglishText(const TextKey& text) {
    static const TextTable table = ParseEnglish();
    const auto found = table.find({std::u16string(text.section), std::u16string(text.key)});
    return found == table.end() ? std::u16string() : found->second;
}

}  // namespace arkivo
