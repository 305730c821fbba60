#include "cli/json_name.h"

#include "cli/utf8.h"

namespace arkivo::cli {
namespace {

std::string WithReplacements(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto character = NextUtf8Character(bytes, i);
        if (character.valid) {
            text.append(bytes.substr(i, character.length));
        } else {
            text += "\uFFFD";
        }
        i += character.length;
    }
    return text;
}

}  // namespace

void PutName(nlohmann::ordered_json& object, const std::string& key, std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        object[key] = std::string(bytes);
        return;
    }
    object[key] = WithReplacements(bytes);
    object[key + "Bytes"] = Base64(bytes);
}

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left > 1) {
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (left > 2) {
            group |= static_cast<unsigned char>(bytes[i + 2]);
        }
        text += kDigits[(group >> 18) & 63];
        text += kDigits[(group >> 12) & 63];
        text += left > 1 ? kDigits[(group >> 6) & 63] : '=';
        text += left > 2 ? kDigits[group & 63] : '=';
    }
    return text;
}

}  // namespace arkivo::cli
