#include "common/shown_text.h"

namespace arkivo {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Characters that must not reach a line as they are, beyond the C0 controls and DEL.
bool IsHiddenControl(char32_t cp) {
    return (cp >= 0x80 && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029 ||
           (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

// The length of the valid UTF-8 sequence at the start of bytes, with its code point; 0 when
// the first byte does not begin one.
std::size_t Utf8SequenceAt(std::string_view bytes, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

// The short escapes of the three control characters names hold most often.
const char* NamedEscape(char32_t cp) {
    switch (cp) {
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        case '\r':
            return "\\r";
        default:
            return nullptr;
    }
}

bool NeedsEscape(char32_t cp) {
    return cp < 0x20 || cp == 0x7F || IsHiddenControl(cp);
}

void AppendByteEscape(std::string& out, char byte) {
    const auto value = static_cast<unsigned char>(byte);
    out += "\\x";
    out.push_back(kHexDigits[value >> 4]);
    out.push_back(kHexDigits[value & 0xF]);
}

}  // namespace

std::string EscapedForDisplay(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        char32_t cp = 0;
        const std::size_t length = Utf8SequenceAt(bytes.substr(i), cp);
        if (length == 0) {
            // One byte at a time: the next byte may begin a valid sequence.
            AppendByteEscape(out, bytes[i++]);
            continue;
        }
        if (cp == '\\') {
            out += "\\\\";
        } else if (const char* named = NamedEscape(cp)) {
            out += named;
        } else if (NeedsEscape(cp)) {
            for (std::size_t k = 0; k < length; ++k) {
                AppendByteEscape(out, bytes[i + k]);
            }
        } else {
            out.append(bytes.substr(i, length));
        }
        i += length;
    }
    return out;
}

std::u16string EscapedForDisplay(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out.push_back(unit);
            out.push_back(text[++i]);
        } else if (const char* named = NamedEscape(unit)) {
            out.push_back(static_cast<char16_t>(named[0]));
            out.push_back(static_cast<char16_t>(named[1]));
        } else if (high || low || NeedsEscape(unit)) {
            out += u"\\u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out.push_back(static_cast<char16_t>(kHexDigits[(unit >> shift) & 0xF]));
            }
        } else {
            out.push_back(unit);
        }
    }
    return out;
}

}  // namespace arkivo
