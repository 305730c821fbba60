// The line syntax of the INI files, shared by the reader and the writer so that whatever one
// writes the other reads back. A line is judged by its text without the line end:
//
//  - longer than kMaxIniLine (bytes in an 8-bit file, code units in a UTF-16 one): ignored;
//  - empty, or beginning with ";": ignored;
//  - first character "[" and last character "]": a section header, named by what remains when
//    every leading "[" and every trailing "]" is taken away;
//  - holding an "=": an entry whose key is the text before the first "=", exactly as it stands
//    (letter case and blanks included), and whose value is the rest of the line;
//  - anything else: ignored.
//
// Entries before the first header belong to the section named "". A section may come back
// later in the file: its entries continue it, and a key's last value is the one read.
#pragma once

#include <cstddef>
#include <string_view>

namespace arkivo {

inline constexpr std::size_t kMaxIniLine = 2047;

enum class IniLineKind { Ignored, Section, Entry };

struct IniLine {
    IniLineKind kind = IniLineKind::Ignored;
    std::u16string_view name;   // the section's name, or the entry's key
    std::u16string_view value;  // the entry's value
};

// `storedLength` is the line's length as its file measures it.
IniLine ClassifyIniLine(std::u16string_view text, std::size_t storedLength);

// Whether the name, key or value can be written so that the reader finds it again.
bool IsStorableSectionName(std::u16string_view name);
bool IsStorableKey(std::u16string_view key);
bool IsStorableValue(std::u16string_view value);

}  // namespace arkivo
