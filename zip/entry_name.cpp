#include "zip/entry_name.h"

#include <algorithm>
#include <array>

#include "common/text.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "zip/zip_format.h"

namespace arkivo::zip {
namespace {

constexpr std::array<std::string_view, 8> kStoredSuffixes = {".Z",   ".zip", ".zoo", ".arc",
                                                             ".lzh", ".arj", ".gz",  ".tgz"};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool IsUtf8(const std::string& bytes) {
    return Utf16ToUtf8(Utf8ToUtf16(bytes)) == bytes;
}

std::u16string Slashed(std::u16string_view name) {
    std::u16string slashed(name);
    std::replace(slashed.begin(), slashed.end(), u'\\', u'/');
    return slashed;
}

}  // namespace

std::optional<EntryName> MakeEntryName(std::u16string_view name) {
    auto converted = platform::Utf16ToAnsi(Slashed(name));
    if (!converted || converted->empty() || converted->size() > kMaxNameBytes) {
        return std::nullopt;
    }
    const bool ascii = std::all_of(converted->begin(), converted->end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return EntryName{std::move(*converted), !ascii && platform::AnsiIsUtf8()};
}

std::optional<EntryName> MakeEntryName(std::u16string_view prefix,
                                       const std::filesystem::path& relative) {
    const auto bytes = platform::PathToAnsi(relative);
    if (!bytes) {
        return std::nullopt;
    }
    if (!platform::AnsiIsUtf8() || IsUtf8(*bytes)) {
        return MakeEntryName(std::u16string(prefix) + u"/" + platform::PathText(relative));
    }
    auto name = platform::Utf16ToAnsi(Slashed(prefix));
    if (!name) {
        return std::nullopt;
    }
    *name += '/';
    *name += *bytes;
    if (name->size() > kMaxNameBytes) {
        return std::nullopt;
    }
    return EntryName{std::move(*name), false};
}

bool HasStoredSuffix(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    const std::string_view suffix = name.substr(dot);
    return std::any_of(kStoredSuffixes.begin(), kStoredSuffixes.end(),
                       [&](std::string_view s) { return EqualsIgnoringAsciiCase(suffix, s); });
}

}  // namespace arkivo::zip
