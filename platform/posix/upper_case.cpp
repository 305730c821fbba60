#include "platform/upper_case.h"

#include <algorithm>

#include "platform/posix/upper_case_table.h"

namespace arkivo::platform {
namespace {

char16_t ToUpperUnit(char16_t c) {
    if (c < 0x80) {
        return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
    }
    const auto& pairs = posix::kUpperCasePairs;
    const auto found = std::lower_bound(
        pairs.begin(), pairs.end(), c,
        [](const posix::UpperCasePair& pair, char16_t key) { return pair.character < key; });
    return found != pairs.end() && found->character == c ? found->upper : c;
}

}  // namespace

std::u16string ToUpper(std::u16string_view text) {
    std::u16string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), ToUpperUnit);
    return upper;
}

}  // namespace arkivo::platform
