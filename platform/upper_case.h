// Upper-casing for comparing paths, job locations, filter patterns and INI names without regard
// to case, the way the system does it: on Windows the system's own upper-casing, elsewhere the
// Unicode simple upper-case mappings. Text is handled one UTF-16 unit at a time, so a
// character without a one-unit upper case stays as it is.
#pragma once

#include <string>
#include <string_view>

namespace arkivo::platform {

std::u16string ToUpper(std::u16string_view text);

inline bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && ToUpper(a) == ToUpper(b);
}

}  // namespace arkivo::platform
