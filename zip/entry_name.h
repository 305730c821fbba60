// Entry names as an archive stores them, and the names whose data is stored uncompressed.
#pragma once

#include <filesystem>
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

// The stored form of prefix + "/" + relative, relative being a path as the file system holds
// it. A name that is text in the code page is made as above. On POSIX a name whose bytes are
// not UTF-8 keeps them exactly, without the UTF-8 flag, so that it comes back as it was and no
// two such names become one. Its backslashes stay too: in a name of unknown encoding 0x5C may
// be the second byte of a double-byte character.
std::optional<EntryName> MakeEntryName(std::u16string_view prefix,
                                       const std::filesystem::path& relative);

// Whether the name ends in a suffix of already-compressed data (".zip", ".gz" and others, in
// any letter case). The suffix runs from the last "." of the whole name.
bool HasStoredSuffix(std::string_view name);

}  // namespace arkivo::zip
