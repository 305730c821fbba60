// Names such as "f12" or "f12.txt" for the many files a test makes. Built by appending, since
// GCC 12 at -O3 reports a false -Wrestrict on "literal" + std::string.
#pragma once

#include <string>
#include <string_view>

namespace arkivo::test {

inline std::string NumberedName(std::string_view stem, long long number,
                                std::string_view suffix = {}) {
    std::string name(stem);
    name += std::to_string(number);
    name += suffix;
    return name;
}

}  // namespace arkivo::test
