// Entry names as an archive stores them, and the names whose data is stored uncompressed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace arkivo::zip {

struct EntryName {
    std::string bytes;  // the system's ANSI code page, "/" as separator
    bool utf8 = false;  // readers must be told the bytes are UTF-8
};

// The stored form of a caller's name: backslashes become slashes, and the text is converted to
// the ANSI code page. The separators are replaced before the conversion, so that the second
// byte of a double-byte character is never taken for one. nullopt for an empty name, a name
// the code page cannot express, and a name longer than kMaxNameBytes, which is refused rather
// than cut so that two long names cannot end up the same.
std::optional<EntryName> MakeEntryName(std::u16string_view name);

// Whether the name ends in a suffix of already-compressed data (".zip", ".gz" and others, in
// any letter case). The suffix runs from the last "." of the whole name.
bool HasStoredSuffix(std::string_view name);

}  // namespace arkivo::zip
