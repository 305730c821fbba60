// Our own writer for INI entries, observably like the Windows private-profile writer: names
// match without regard to case or surrounding blanks, a new key goes to the end of its
// section, a new section to the end of the file, and a file with a UTF-16 byte-order mark
// stays UTF-16. Lines that are not touched are kept as they were.
#include "platform/profile_writer.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/files.h"
#include "platform/upper_case.h"

namespace arkivo::platform {
namespace {

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) {
        s.remove_suffix(1);
    }
    return s;
}

bool IsHeader(std::u16string_view line, std::u16string_view& name) {
    const auto t = Trim(line);
    if (t.empty() || t.front() != u'[') {
        return false;
    }
    const auto close = t.rfind(u']');
    name = Trim(close == std::u16string_view::npos || close == 0 ? t.substr(1)
                                                                 : t.substr(1, close - 1));
    return true;
}

bool IsKeyLine(std::u16string_view line, std::u16string_view key) {
    const auto t = Trim(line);
    if (t.empty() || t.front() == u';') {
        return false;
    }
    const auto eq = t.find(u'=');
    return eq != std::u16string_view::npos && EqualsIgnoreCase(Trim(t.substr(0, eq)), key);
}

struct ProfileText {
    std::vector<std::u16string> lines;
    bool utf16 = false;
};

ProfileText Decode(const std::string& bytes) {
    ProfileText profile;
    std::u16string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        profile.utf16 = true;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
    } else {
        text = Utf8ToUtf16(bytes);
    }
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find(u'\n', start);
        if (end == std::u16string::npos) {
            end = text.size();
        }
        std::u16string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') {
            line.pop_back();
        }
        profile.lines.push_back(std::move(line));
        start = end + 1;
    }
    return profile;
}

std::string Encode(const ProfileText& profile) {
    std::u16string text;
    for (const auto& line : profile.lines) {
        text += line;
        text += u"\r\n";
    }
    if (!profile.utf16) {
        return Utf16ToUtf8(text);
    }
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// [begin, end) of the section's lines, header included; begin == npos when absent.
std::pair<std::size_t, std::size_t> FindSection(const ProfileText& profile,
                                                std::u16string_view section) {
    std::size_t begin = std::u16string::npos;
    for (std::size_t i = 0; i < profile.lines.size(); ++i) {
        std::u16string_view name;
        if (!IsHeader(profile.lines[i], name)) {
            continue;
        }
        if (begin != std::u16string::npos) {
            return {begin, i};
        }
        if (EqualsIgnoreCase(name, section)) {
            begin = i;
        }
    }
    return {begin, profile.lines.size()};
}

}  // namespace

bool WritePrivateProfileEntry(const std::filesystem::path& file, std::u16string_view section,
                              std::optional<std::u16string_view> key,
                              std::optional<std::u16string_view> value) {
    std::error_code error;
    const bool exists = std::filesystem::exists(file, error);
    std::string bytes;
    if (exists) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            return false;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ProfileText profile = Decode(bytes);
    auto [begin, end] = FindSection(profile, section);
    const bool found = begin != std::u16string::npos;
    auto& lines = profile.lines;

    if (!key) {
        if (!found) {
            return true;
        }
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(begin),
                    lines.begin() + static_cast<std::ptrdiff_t>(end));
    } else if (!value) {
        if (!found) {
            return true;
        }
        std::size_t i = begin + 1;
        while (i < end && !IsKeyLine(lines[i], *key)) {
            ++i;
        }
        if (i == end) {
            return true;
        }
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
        std::u16string entry = std::u16string(*key) + u"=" + std::u16string(*value);
        if (!found) {
            lines.push_back(u"[" + std::u16string(section) + u"]");
            lines.push_back(std::move(entry));
        } else {
            std::size_t i = begin + 1;
            while (i < end && !IsKeyLine(lines[i], *key)) {
                ++i;
            }
            if (i < end) {
                // The system's writer keeps the key as the file spells it.
                const std::u16string_view line = lines[i];
                lines[i] = std::u16string(Trim(line.substr(0, line.find(u'=')))) + u"=" +
                           std::u16string(*value);
            } else {
                std::size_t last = end;
                while (last > begin + 1 && Trim(lines[last - 1]).empty()) {
                    --last;
                }
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last), std::move(entry));
            }
        }
    }
    return !ReplaceFileContents(file, Encode(profile), FilePrivacy::Shared);
}

}  // namespace arkivo::platform
